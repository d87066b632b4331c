#include "CRangeMVAHVA.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "StringTable.h"

static const RegisterParameterClass<CRangeMVAHVA> kRegistration{"CRangeMVAHVA"};

namespace {

constexpr std::int32_t kRangeLine = 1501;       // "inP>rAnG=|1"
constexpr std::int32_t kMeasureTypeLine = 1502; // "inP>tYPE=|1"
constexpr std::int32_t kIntTimeLine = 1503;     // "inP>int.t=|1"
constexpr std::int32_t kCommandLine = 1588;     // "Cnd>Cnd=|1"

constexpr std::size_t kRangeWord = 1;
constexpr std::size_t kMeasureTypeWord = 2;
constexpr std::size_t kIntTimeWord = 3;
constexpr std::size_t kCommandWord = 88;

// Word 3 and line 3 of an automatic integration time.
constexpr std::int16_t kAutomaticWord = 999;
const QString kAutomaticText = QStringLiteral("99.9");
// The shortest manual time; an automatic time reads back with it.
constexpr std::int16_t kMinManualTime = 1000;

constexpr std::int32_t kRanges = 6;
constexpr std::int32_t kMeasureTypes = 2;
constexpr std::int32_t kCommands = 3;

bool appliesTo(const CModInstr &modInstr)
{
    return ModuleCodes::IsLowHighSignalModule(modInstr.SlotA());
}

} // namespace

CRangeMVAHVA::CRangeMVAHVA() : CParameterClass<CRangeMVAHVA>(QStringLiteral("CRangeMVAHVA")) {}

void CRangeMVAHVA::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_Range"), m_Range);
    c.Column(QStringLiteral("m_MeasureType"), m_MeasureType);
    c.Column(QStringLiteral("m_IntegrationTime"), m_IntegrationTime);
    c.Column(QStringLiteral("m_IntTime"), m_IntTime);
    c.Column(QStringLiteral("m_DigitalInFunction"), m_DigitalInFunction);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CRangeMVAHVA::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_Range", kRanges),
        CodeRule("m_MeasureType", kMeasureTypes),
        CodeRule("m_IntegrationTime", 2),
        NumberRule("m_IntTime", kIntTimeMin, kIntTimeMax),
        CodeRule("m_DigitalInFunction", kCommands),
    };
    return kRules;
}

void CRangeMVAHVA::CopyProperties(const CRangeMVAHVA &from, CRangeMVAHVA &to)
{
    to.SetRange(from.Range());
    to.SetMeasureType(from.MeasureType());
    to.SetIntegrationTime(from.IntegrationTime());
    to.SetIntTime(from.IntTime());
    to.SetDigitalInFunction(from.DigitalInFunction());
    to.CopyInstrumentContext(from);
}

void CRangeMVAHVA::SetElettricScale()
{
    g_Scala->SetLimitiScalaElettrica(ModelloStrumento(), SlotA(), m_Range, 0);
}

void CRangeMVAHVA::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(5434), EnumCodeText(5436, m_MeasureType, kMeasureTypes)});

    QString time = EnumCodeText(5439, m_IntegrationTime, 2);
    if (m_IntegrationTime == 1)
        time += QLatin1Char(' ') + ReportNumberText(m_IntTime, 1, u"##0.0") + QStringLiteral(" ms");
    AddReportRow(report, {LoadResourceString(5438), time});

    if (SlotA() == SlotACode::HVA)
        AddReportRow(report, {LoadResourceString(5441), EnumCodeText(5444, m_Range, kRanges)});
    else
        AddReportRow(report, {LoadResourceString(5450), EnumCodeText(5451, m_Range, kRanges)});

    AddReportRow(report, {LoadResourceString(5430), EnumCodeText(5431, m_DigitalInFunction, kCommands)});
}

void CRangeMVAHVA::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    if (!appliesTo(modInstr))
        return;
    map[kRangeWord] = m_Range;
    map[kMeasureTypeWord] = m_MeasureType;
    map[kIntTimeWord] = m_IntegrationTime == 0 ? kAutomaticWord : m_IntTime;
    map[kCommandWord] = m_DigitalInFunction;
}

void CRangeMVAHVA::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    if (!appliesTo(modInstr))
        return;
    const std::int16_t range = CheckCodeInTable(map[kRangeWord], kRanges, QStringLiteral("m_Range"));
    const std::int16_t measureType =
        CheckCodeInTable(map[kMeasureTypeWord], kMeasureTypes, QStringLiteral("m_MeasureType"));
    const std::int16_t command = CheckCodeInTable(map[kCommandWord], kCommands, QStringLiteral("m_DigitalInFunction"));
    const bool manual = map[kIntTimeWord] >= kMinManualTime;

    g_Scala->SetLimitiScalaElettrica(modInstr.ModelloStrumento(), modInstr.SlotA(), range, 0);
    m_Range = range;
    m_MeasureType = measureType;
    m_IntegrationTime = manual ? 1 : 0;
    m_IntTime = manual ? map[kIntTimeWord] : kMinManualTime;
    m_DigitalInFunction = command;
}

void CRangeMVAHVA::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    if (!appliesTo(modInstr))
        return;
    lines[kRangeWord] = AuxLine(kRangeLine, LetteredCode(QLatin1Char('r'), m_Range));
    lines[kMeasureTypeWord] =
        AuxLine(kMeasureTypeLine, m_MeasureType == 0 ? QStringLiteral("trnS") : QStringLiteral("dC"));
    lines[kIntTimeWord] =
        AuxLine(kIntTimeLine, m_IntegrationTime == 0 ? kAutomaticText : AuxNumberText(m_IntTime, 1, u"000.0"));
    lines[kCommandWord] = AuxLine(kCommandLine, LetteredCode(QLatin1Char('C'), m_DigitalInFunction));
}

void CRangeMVAHVA::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!appliesTo(modInstr))
        return;
    const std::int16_t range = ReadLetteredCodeLine(lines, kRangeLine, kRanges, QStringLiteral("m_Range"));
    const std::int16_t measureType = FindCmdAuxValue(kMeasureTypeLine, lines) == QLatin1String("trnS") ? 0 : 1;
    const QString time = FindCmdAuxValue(kIntTimeLine, lines);
    const bool automatic = time == kAutomaticText;
    const std::int16_t intTime =
        automatic ? kMinManualTime : ReadDecimalInteger(RemovePoints(time), AuxCommandPrefix(kIntTimeLine));
    const std::int16_t command =
        ReadLetteredCodeLine(lines, kCommandLine, kCommands, QStringLiteral("m_DigitalInFunction"));

    g_Scala->SetLimitiScalaElettrica(modInstr.ModelloStrumento(), modInstr.SlotA(), range, 0);
    m_Range = range;
    m_MeasureType = measureType;
    m_IntegrationTime = automatic ? 0 : 1;
    m_IntTime = intTime;
    m_DigitalInFunction = command;
}
