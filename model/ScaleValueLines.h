#pragma once
#include "MemMapTypes.h"

#include <QString>
#include <cstddef>
#include <cstdint>

// Value texts and value readers shared by the scale, counter and filter
// classes: scaled counts with a decimal-point value (low word the number of
// decimals, high word the display family), decimal points as their sample
// text, 32-bit counts as two map words (low word first).

// The line of a template with its value ("SCAL>Lo.E=" + value).
QString ScaleAuxLine(std::int16_t templateId, const QString &value);
// The command prefix of a template: its text without the final "|1".
QString ScaleAuxPrefix(std::int16_t templateId);

// A count in the decimals of a decimal-point value, with "." whatever the
// locale (auxiliary lines) or with the locale's separator (report rows).
// A decimal point outside its table raises SetupReadError.
QString AuxScaleText(std::int32_t value, std::int32_t digitalPoint);
QString ReportScaleText(std::int32_t value, std::int32_t digitalPoint);
// The sample text of a decimal point ("111.1").
QString DigitalPointSampleText(std::int32_t digitalPoint);

// Readers of auxiliary lines found by template wherever they are: the count
// is the value text without its points, as a 16-bit or 32-bit decimal
// integer; the decimal point is the value of its sample text. A missing line
// or a value that does not convert raises SetupReadError.
std::int16_t ReadAuxScale16(const MemMapAuxLines &lines, std::int16_t templateId);
std::int32_t ReadAuxScale32(const MemMapAuxLines &lines, std::int16_t templateId);
std::int32_t ReadAuxDigitalPoint(const MemMapAuxLines &lines, std::int16_t templateId);
// The function index of the frequency/counter module (0 = F1 to 10 = F11)
// from its function line "Func>Func=F." + number. A missing line raises
// SetupReadError; so does a number outside F1..F11 or a text that is not a
// number, naming m_WPxFunction and the value.
std::int32_t ReadAuxFunctionIndex(const MemMapAuxLines &lines);

// The decimal-point value of a map word: the word is its low word (the
// number of decimals, taken unsigned), 1 its high word when sixDigits.
std::int32_t WordDigitalPoint(std::int16_t word, bool sixDigits);

// A 32-bit value in two words, low word at `low`, high word at low + 1.
std::int32_t ReadWordPair(const MemMapWords &map, std::size_t low);
void PutWordPair(MemMapWords &map, std::size_t low, std::int32_t value);
