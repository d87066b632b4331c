#pragma once
#include <QString>
#include <cstdint>

#include "MemMapTypes.h"

// Small encodings shared by the range and display classes: enumeration
// texts of report rows, the auxiliary lines with a lettered code ("r3",
// "C1"), and the checks a code read back from an instrument must pass.

// The report text of an enumeration code: string baseId + code when code is
// 0..count-1, else the code itself in decimal (a stored value outside the
// table must not pick up a neighbouring, unrelated text).
QString EnumCodeText(std::int32_t baseId, std::int32_t code, std::int32_t count);

// Auxiliary line: the template of templateId with "|1" replaced by value.
QString AuxLine(std::int32_t templateId, const QString &value);

// The command prefix of an auxiliary-line template (its text without the
// final "|1"), to name a line in a read error.
QString AuxCommandPrefix(std::int32_t templateId);

// The value text of a lettered code: letter followed by code + 1 ("r" and 2
// give "r3").
QString LetteredCode(QChar letter, std::int32_t code);

// Reading back a lettered code: the last character of text must be a digit;
// the result is that digit minus 1 ("r3" gives 2; only the last character
// counts, so "r12" gives 1). Anything else raises SetupReadError naming
// `what` (the command prefix).
std::int16_t ReadLastDigitCode(const QString &text, const QString &what);

// What a stored field may hold: the codes 0..max of its list (`Code`), the
// numbers min..max its page offers (`Number`), or the decimal points of the
// scale tables (`DigitalPoint`: 0 to 3 of the four-digit display, 0x10000 to
// 0x10005 of the six-digit one; a rule for one display takes only its
// family). A value inside is taken as it is on every road in (instrument map,
// auxiliary lines, exchange file, stored row); any other is refused on each of
// them (CParameterClassBase::CheckValues).
struct FieldRule {
    enum class Kind { Code, Number, DigitalPoint };
    const char *column;
    std::int32_t min;
    std::int32_t max;
    Kind kind;
};

constexpr FieldRule CodeRule(const char *column, std::int32_t count)
{
    return {column, 0, count - 1, FieldRule::Kind::Code};
}

constexpr FieldRule NumberRule(const char *column, std::int32_t min, std::int32_t max)
{
    return {column, min, max, FieldRule::Kind::Number};
}

// The decimal points of both displays (min..max selects the families: 0 and
// 0x10005 both, 0 and 3 the four-digit one, 0x10000 and 0x10005 the six-digit
// one).
constexpr FieldRule DigitalPointRule(const char *column)
{
    return {column, 0, 0x10005, FieldRule::Kind::DigitalPoint};
}
constexpr FieldRule DigitalPointRule(const char *column, bool sixDigits)
{
    return sixDigits ? FieldRule{column, 0x10000, 0x10005, FieldRule::Kind::DigitalPoint}
                     : FieldRule{column, 0, 3, FieldRule::Kind::DigitalPoint};
}

// A value a word of the base-layout map carries (one signed 16-bit word).
constexpr FieldRule WordRule(const char *column)
{
    return NumberRule(column, -32768, 32767);
}

// True when value is one the rule takes.
bool FieldValueFits(const FieldRule &rule, std::int32_t value);

// Raises SetupReadError naming the field and the value when value is outside
// the rule: "Valore fuori tabella per m_X: 7" for a code or a decimal point,
// "Valore fuori dai limiti per m_X: 32767 (da 0 a 9000)" for a number. The
// error names `table`, the ClassName of the object, when it is given.
void CheckFieldValue(const FieldRule &rule, std::int32_t value, const QString &table = QString());

// A code read back from an instrument must lie in 0..count-1; else
// SetupReadError naming `what` (the parameter). Returns the code.
std::int16_t CheckCodeInTable(std::int32_t code, std::int32_t count, const QString &what);

// The lettered code of the auxiliary line of template templateId, read back
// (ReadLastDigitCode, naming the command prefix) and checked against its
// table (CheckCodeInTable, naming `what`). A missing line raises
// SetupReadError (FindCmdAuxValue).
std::int16_t ReadLetteredCodeLine(const MemMapAuxLines &lines, std::int32_t templateId, std::int32_t count,
                                  const QString &what);
