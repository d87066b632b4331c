#include "ScaleValueLines.h"

#include "AuxLineFunctions.h"
#include "CInOutScale.h"
#include "CScaleMisuraDisplay.h"
#include "MBytes.h"
#include "NumberText.h"
#include "ResourceText.h"
#include "StringTable.h"

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
    return GetDigitalPointCode(FindCmdAuxValue(templateId, lines));
}

std::int32_t ReadAuxFunctionIndex(const MemMapAuxLines &lines)
{
    const std::int16_t number =
        ReadDecimalInteger(FindCmdAuxValue(kFunctionLineTemplate, lines), ScaleAuxPrefix(kFunctionLineTemplate));
    return std::int32_t{number} - 1;
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
