#pragma once
#include "ScaleTables.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <optional>

// Shared helpers of the parameter classes: texts of scaled integers, strict
// parsing of value texts, mnemonic look-ups.
//
// A quantity of the display is held as a scaled integer (the displayed number
// without its decimal point). Its text is built from the integer's digits, not
// from a float product, so 999999000 with 5 decimals is "9999.99000" and never
// "9999.98975". Number formats are digit patterns: '0' a digit always shown,
// '#' a digit shown only when significant, one '.' for the decimal separator.
// No group separators are ever written.

// The text of `value`, a number with `decimals` digits after its decimal
// point, in `numberFormat`, with `separator` as decimal separator. A format
// with fewer decimals rounds (a half away from zero), one with more pads with
// zeros.
QString FormatScaledNumber(std::int64_t value, int decimals, QStringView numberFormat, QStringView separator);

// Digits after the '.' of a number format ("#0.00" has 2).
int NumberFormatDecimals(QStringView numberFormat);

// Value text of an auxiliary line: the scaled value of a decimal-point record
// in the record's number format, with "." whatever the locale.
QString AuxNumberText(std::int64_t value, const DigitalPointInfo &info);
QString AuxNumberText(std::int64_t value, int decimals, QStringView numberFormat);

// Value text of a report row: the same with the locale's decimal separator.
QString ReportNumberText(std::int64_t value, const DigitalPointInfo &info, const QLocale &locale = QLocale());
QString ReportNumberText(std::int64_t value, int decimals, QStringView numberFormat, const QLocale &locale = QLocale());

// Strict decimal parsing: an optional '+' or '-' and one or more digits,
// nothing else (no blanks, no separators); leading zeros are allowed ("0089"
// is 89). Empty text, any other character or a value outside the type's range
// gives no value.
std::optional<std::int32_t> ParseDecimalLong(QStringView text);
std::optional<std::int16_t> ParseDecimalInteger(QStringView text);

// The same for data read back from an instrument or a file: a text that does
// not parse raises SetupReadError (traced as a failed check); `what` names the
// value in that text (a command prefix or a property name).
std::int32_t ReadDecimalLong(const QString &text, const QString &what = QString());
std::int16_t ReadDecimalInteger(const QString &text, const QString &what = QString());

// Mnemonic tables: code i is the i-th entry; comparisons are exact and
// case-sensitive.
std::optional<std::int16_t> FindMnemonicCode(QStringView text, const QStringList &mnemonics);
// The code of `text`; unknown text traces `failText` (such as "Errore valore
// ConvBaudRate") as a failed check and raises SetupReadError, which names
// `line` (the command prefix of the line the text came from) when given.
std::int16_t MnemonicToCode(const QString &text, const QStringList &mnemonics, const QString &failText,
                            const QString &line = QString());
// The mnemonic of `code`; a code outside the table does the same, so that a
// line is never sent with an empty value.
QString CodeToMnemonic(std::int32_t code, const QStringList &mnemonics, const QString &failText);
