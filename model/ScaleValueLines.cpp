#include "ScaleValueLines.h"

#include "AuxLineFunctions.h"
#include "CInOutScale.h"
#include "CScaleMisuraDisplay.h"
#include "MBytes.h"
#include "NumberText.h"
#include "ResourceText.h"
#include "ModelError.h"
#include "ParameterCodes.h"
#include "StringTable.h"
#include "WPxFunctionCodes.h"

#include <limits>
#include <optional>

QString ScaleAuxLine(std::int16_t templateId, const QString &value)
{
    return GetResourceText(templateId, {QVariant(value)});
}

QString ScaleAuxPrefix(std::int16_t templateId)
{
    const QString text = LoadResourceString(templateId);
    return text.left(text.size() - 2);
}

QString AuxScaleText(std::int32_t value, std::int32_t digitalPoint)
{
    return AuxNumberText(value, CScaleMisuraDisplay::GetDigitalPointInfo(digitalPoint));
}

QString ReportScaleText(std::int32_t value, std::int32_t digitalPoint)
{
    return ReportNumberText(value, CScaleMisuraDisplay::GetDigitalPointInfo(digitalPoint));
}

QString DigitalPointSampleText(std::int32_t digitalPoint)
{
    return CScaleMisuraDisplay::GetDigitalPointInfo(digitalPoint).Sample;
}

std::int16_t ReadAuxScale16(const MemMapAuxLines &lines, std::int16_t templateId)
{
    return ReadDecimalInteger(RemovePoints(FindCmdAuxValue(templateId, lines)), ScaleAuxPrefix(templateId));
}

std::int32_t ReadAuxScale32(const MemMapAuxLines &lines, std::int16_t templateId)
{
    return ReadDecimalLong(RemovePoints(FindCmdAuxValue(templateId, lines)), ScaleAuxPrefix(templateId));
}

std::int32_t ReadAuxDigitalPoint(const MemMapAuxLines &lines, std::int16_t templateId)
{
    const QString sample = FindCmdAuxValue(templateId, lines);
    try {
        return GetDigitalPointCode(sample);
    } catch (const SetupReadError &e) {
        // Already traced as the failed check; the user is told the line.
        throw SetupReadError::LineError(e.Text(), ScaleAuxPrefix(templateId), sample);
    }
}

std::int32_t ReadAuxFunctionIndex(const MemMapAuxLines &lines)
{
    // The line carries the function number, F1 to F11; anything else is a
    // value outside the function's codes, named as the field.
    const QString text = FindCmdAuxValue(kFunctionLineTemplate, lines);
    const std::optional<std::int32_t> number = ParseDecimalLong(text);
    if (!number)
        RaiseSetupReadError(SetupReadError::RefusedValue(
            QStringLiteral("Valore non valido per m_WPxFunction: \"") + text + QLatin1Char('"'),
            SetupReadError::Cause::Choice, QStringLiteral("m_WPxFunction"), text));
    const std::int32_t index = *number > std::numeric_limits<std::int32_t>::min() ? *number - 1 : *number;
    return CheckCodeInTable(index, WPxFunctionCode::Count, QStringLiteral("m_WPxFunction"));
}

std::int32_t ReadWordPair(const MemMapWords &map, std::size_t low)
{
    return MakeLong(map[low], map[low + 1]);
}

void PutWordPair(MemMapWords &map, std::size_t low, std::int32_t value)
{
    map[low] = LoWord(value);
    map[low + 1] = HiWord(value);
}

std::int32_t WordDigitalPoint(std::int16_t word, bool sixDigits)
{
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(word)) | (sixDigits ? 0x10000 : 0);
}
