#include "CRangeWP12.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "ResourceText.h"
#include "ScaleValueLines.h"
#include "StringTable.h"
#include "WPxFunctionCodes.h"

static const RegisterParameterClass<CRangeWP12> kRegistration{"CRangeWP12"};

namespace {

constexpr std::int32_t kFunctionLine = 1700; // "Func>Func=F.|1"
constexpr std::int32_t kPulsesALine = 1701;  // "InP.A>PU.A=|1"
constexpr std::int32_t kUnitALine = 1702;    // "InP.A>EnG.A=|1"
constexpr std::int32_t kPulsesBLine = 1703;  // "InP.F>PU.F=|1"
constexpr std::int32_t kUnitBLine = 1704;    // "InP.F>EnG.F=|1"
constexpr std::int32_t kCommandLine = 1588;  // "Cnd>Cnd=|1"

constexpr std::size_t kFunctionWord = 4;
constexpr std::size_t kPulsesAWord = 6;
constexpr std::size_t kUnitAWord = 8;
constexpr std::size_t kPulsesBWord = 10;
constexpr std::size_t kUnitBWord = 12;
constexpr std::size_t kCommandWord = 274;

constexpr std::size_t kFunctionIndex = 2;
constexpr std::size_t kPulsesAIndex = 3;
constexpr std::size_t kUnitAIndex = 4;
constexpr std::size_t kPulsesBIndex = 5;
constexpr std::size_t kUnitBIndex = 6;
constexpr std::size_t kCommandIndex = 137;

constexpr std::int32_t kUnits = 6;
constexpr std::int32_t kCommands = 5;

// The model whose instruments show input B (channel F).
constexpr std::int16_t kModelWithInputB = ModelCode::Oxa16;

bool appliesTo(const CModInstr &modInstr)
{
    return ModuleCodes::IsFrequencyModule(modInstr.SlotA());
}

// The pulses per revolution the page offers for either input (they divide
// the full scale: 0 or less is no value), and input B's unit codes.
constexpr FieldRule kPulsesARule = NumberRule("m_ImpGiroA", CRangeWP12::kPulsesMin, CRangeWP12::kPulsesMax);
constexpr FieldRule kPulsesBRule = NumberRule("m_ImpGiroB", CRangeWP12::kPulsesMin, CRangeWP12::kPulsesMax);
constexpr FieldRule kUnitBRule = CodeRule("m_UnitaIngB", kUnits);

std::int16_t checkPulses(std::int32_t pulses, const FieldRule &rule)
{
    CheckFieldValue(rule, pulses);
    return static_cast<std::int16_t>(pulses);
}

QString inputRowValue(std::int16_t pulses, std::int16_t unit)
{
    return ReportNumberText(pulses, 0, u"###0") + QLatin1Char(' ') + EnumCodeText(5641, unit, kUnits);
}

std::int16_t readPulses(const MemMapAuxLines &lines, std::int32_t templateId, const FieldRule &rule)
{
    return checkPulses(ReadDecimalInteger(FindCmdAuxValue(templateId, lines), AuxCommandPrefix(templateId)), rule);
}

} // namespace

CRangeWP12::CRangeWP12() : CParameterClass<CRangeWP12>(QStringLiteral("CRangeWP12")) {}

void CRangeWP12::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_WPxFunction"), m_WPxFunction);
    c.Column(QStringLiteral("m_ImpGiroA"), m_ImpGiroA);
    c.Column(QStringLiteral("m_UnitaIngA"), m_UnitaIngA);
    c.Column(QStringLiteral("m_ImpGiroB"), m_ImpGiroB);
    c.Column(QStringLiteral("m_UnitaIngB"), m_UnitaIngB);
    c.Column(QStringLiteral("m_DigitalInFunction"), m_DigitalInFunction);
}

// The values of each field that every road in takes as they are. Input B is
// left out: the map carries its words on every model, and a model without
// input B holds whatever its instrument has there, which is kept and sent
// back as it is (its page does not offer input B for editing there).
std::span<const FieldRule> CRangeWP12::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_WPxFunction", WPxFunctionCode::Count),
        kPulsesARule,
        CodeRule("m_UnitaIngA", kUnits),
        CodeRule("m_DigitalInFunction", kCommands),
    };
    return kRules;
}

void CRangeWP12::CopyProperties(const CRangeWP12 &from, CRangeWP12 &to)
{
    to.SetWPxFunction(from.WPxFunction());
    to.SetImpGiroA(from.ImpGiroA());
    to.SetUnitaIngA(from.UnitaIngA());
    to.SetImpGiroB(from.ImpGiroB());
    to.SetUnitaIngB(from.UnitaIngB());
    to.SetDigitalInFunction(from.DigitalInFunction());
    to.CopyInstrumentContext(from);
}

void CRangeWP12::SetElettricScale()
{
    // Input B is in use on its model only: there it holds what input A
    // holds, and a value outside is refused naming its field.
    if (ModelloStrumento() == kModelWithInputB) {
        CheckFieldValue(kPulsesBRule, m_ImpGiroB, ClassName());
        CheckFieldValue(kUnitBRule, m_UnitaIngB, ClassName());
    }
    g_Scala->SetLimitiScalaElettrica(ModelloStrumento(), SlotA(), m_ImpGiroA, m_UnitaIngA);
    // Models without input B keep its words as the instrument holds them
    // (see SetUserSetup); values that give no range leave g_ScalaB as it is
    // instead of failing the whole configuration on an unused input.
    const bool inputBGivesRange = m_ImpGiroB >= 1 && m_UnitaIngB >= 0 && m_UnitaIngB < kUnits;
    if (ModelloStrumento() == kModelWithInputB || inputBGivesRange)
        g_ScalaB->SetLimitiScalaElettrica(ModelloStrumento(), SlotA(), m_ImpGiroB, m_UnitaIngB);
}

void CRangeWP12::SetReport(ReportRecordset &report) const
{
    const QString function = (ModelloStrumento() != kModelWithInputB && m_WPxFunction == WPxFunctionCode::F1)
                                 ? LoadResourceString(5633)
                                 : EnumCodeText(5622, m_WPxFunction, WPxFunctionCode::Count);
    AddReportRow(report, {LoadResourceString(5621), function});
    AddReportRow(report, {GetResourceText(5639, {LoadResourceString(5637)}), inputRowValue(m_ImpGiroA, m_UnitaIngA)});
    if (ModelloStrumento() == kModelWithInputB && WPxFunctions::ChannelFIsInputB(m_WPxFunction))
        AddReportRow(report,
                     {GetResourceText(5639, {LoadResourceString(5638)}), inputRowValue(m_ImpGiroB, m_UnitaIngB)});
    AddReportRow(report, {LoadResourceString(5650), EnumCodeText(5651, m_DigitalInFunction, kCommands)});
}

void CRangeWP12::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    if (!appliesTo(modInstr))
        return;
    map[kFunctionWord] = m_WPxFunction;
    map[kPulsesAWord] = m_ImpGiroA;
    map[kUnitAWord] = m_UnitaIngA;
    map[kPulsesBWord] = m_ImpGiroB;
    map[kUnitBWord] = m_UnitaIngB;
    map[kCommandWord] = m_DigitalInFunction;
}

void CRangeWP12::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    if (!appliesTo(modInstr))
        return;
    const std::int16_t function =
        CheckCodeInTable(map[kFunctionWord], WPxFunctionCode::Count, QStringLiteral("m_WPxFunction"));
    const std::int16_t pulsesA = checkPulses(map[kPulsesAWord], kPulsesARule);
    const std::int16_t unitA = CheckCodeInTable(map[kUnitAWord], kUnits, QStringLiteral("m_UnitaIngA"));
    // Input B exists on model 3 only; elsewhere its words carry whatever the
    // instrument holds there and are kept as they are, so an unused input
    // cannot fail the reading of a good instrument.
    const bool inputB = modInstr.ModelloStrumento() == kModelWithInputB;
    const std::int16_t pulsesB = inputB ? checkPulses(map[kPulsesBWord], kPulsesBRule) : map[kPulsesBWord];
    const std::int16_t unitB =
        inputB ? CheckCodeInTable(map[kUnitBWord], kUnits, QStringLiteral("m_UnitaIngB")) : map[kUnitBWord];
    const std::int16_t command = CheckCodeInTable(map[kCommandWord], kCommands, QStringLiteral("m_DigitalInFunction"));
    m_WPxFunction = function;
    m_ImpGiroA = pulsesA;
    m_UnitaIngA = unitA;
    m_ImpGiroB = pulsesB;
    m_UnitaIngB = unitB;
    m_DigitalInFunction = command;
}

void CRangeWP12::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    if (!appliesTo(modInstr))
        return;
    lines[kFunctionIndex] =
        AuxLine(kFunctionLine, AuxNumberText(static_cast<std::int64_t>(m_WPxFunction) + 1, 0, u"#0"));
    lines[kPulsesAIndex] = AuxLine(kPulsesALine, AuxNumberText(m_ImpGiroA, 0, u"###0"));
    lines[kUnitAIndex] = AuxLine(kUnitALine, LetteredCode(QLatin1Char('r'), m_UnitaIngA));
    lines[kCommandIndex] = AuxLine(kCommandLine, LetteredCode(QLatin1Char('C'), m_DigitalInFunction));
    if (modInstr.ModelloStrumento() == kModelWithInputB) {
        lines[kPulsesBIndex] = AuxLine(kPulsesBLine, AuxNumberText(m_ImpGiroB, 0, u"###0"));
        lines[kUnitBIndex] = AuxLine(kUnitBLine, LetteredCode(QLatin1Char('r'), m_UnitaIngB));
    }
}

void CRangeWP12::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!appliesTo(modInstr))
        return;
    const auto function = static_cast<std::int16_t>(ReadAuxFunctionIndex(lines));
    const std::int16_t pulsesA = readPulses(lines, kPulsesALine, kPulsesARule);
    const std::int16_t unitA = ReadLetteredCodeLine(lines, kUnitALine, kUnits, QStringLiteral("m_UnitaIngA"));
    const std::int16_t command =
        ReadLetteredCodeLine(lines, kCommandLine, kCommands, QStringLiteral("m_DigitalInFunction"));
    std::int16_t pulsesB = m_ImpGiroB;
    std::int16_t unitB = m_UnitaIngB;
    if (modInstr.ModelloStrumento() == kModelWithInputB) {
        pulsesB = readPulses(lines, kPulsesBLine, kPulsesBRule);
        unitB = ReadLetteredCodeLine(lines, kUnitBLine, kUnits, QStringLiteral("m_UnitaIngB"));
    }
    m_WPxFunction = function;
    m_ImpGiroA = pulsesA;
    m_UnitaIngA = unitA;
    m_DigitalInFunction = command;
    m_ImpGiroB = pulsesB;
    m_UnitaIngB = unitB;
}
