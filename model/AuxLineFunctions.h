#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

#include "MemMapTypes.h"

// Helpers of the auxiliary-interface text lines ("S.out>Add=12"): a line is a
// string-table template with "|1" replaced by the value text. An entry
// "NoSend" of a line array carries nothing.

inline const QString kAuxNoSend = QStringLiteral("NoSend");

// The value text of the first line of `lines` that begins with the command
// prefix of template `templateId` (its text without the final "|1"), compared
// without regard to case; "NoSend" entries are skipped and a line's position
// does not matter. No such line: traces "Non trovato comando " + prefix as a
// failed check and raises SetupReadError.
QString FindCmdAuxValue(std::int16_t templateId, std::span<const QString> lines);
inline QString FindCmdAuxValue(std::int16_t templateId, const MemMapAuxLines &lines)
{
    return FindCmdAuxValue(templateId, std::span<const QString>(lines.data(), lines.size()));
}
inline QString FindCmdAuxValue(std::int16_t templateId, const QStringList &lines)
{
    return FindCmdAuxValue(templateId, std::span<const QString>(lines.data(), static_cast<std::size_t>(lines.size())));
}

// The text without any ".": "12.5" becomes "125", the scaled integer of a
// value with one decimal.
QString RemovePoints(const QString &text);

// The text with every "," replaced by ".".
QString CommaToPoint(const QString &text);

// The decimal-point value whose sample text is exactly `sample`
// (case-sensitive): "1111" 0 ... "1.111" 3 for the four-digit display,
// "111111" 0x10000 ... "1.11111" 0x10005 for the six-digit display. An
// unknown text traces "Errore valore MeasureDigitalPoint" as a failed check
// and raises SetupReadError.
std::int32_t GetDigitalPointCode(const QString &sample);
