#include "CRangeGKP.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "StringTable.h"

static const RegisterParameterClass<CRangeGKP> kRegistration{"CRangeGKP"};

namespace {

constexpr std::int32_t kRangeLine = 1600;   // "inP>rAnG=|1"
constexpr std::int32_t kProbeLine = 1601;   // "inP>Prob=|1"
constexpr std::int32_t kCJCLine = 1602;     // "CJC>CJC=|1"
constexpr std::int32_t kCommandLine = 1588; // "Cnd>Cnd=|1"
constexpr std::int32_t kTempCJCLine = 1603; // "CJC>nAn=|1"

constexpr std::size_t kRangeWord = 1;
constexpr std::size_t kProbeWord = 2;
constexpr std::size_t kCJCWord = 3;
constexpr std::size_t kCommandWord = 88;
constexpr std::size_t kTempCJCWord = 108;

constexpr std::int32_t kRanges = 6;
constexpr std::int32_t kCJCModes = 2;
constexpr std::int32_t kCommands = 3;

const QString kConvProbeSelectFail = QStringLiteral("Errore valore ConvProbeSelect");
const QString kAutomaticCJC = QStringLiteral("Auto");

// The probe mnemonics of the auxiliary lines; the code is the index.
const QStringList &probeMnemonics()
{
    static const QStringList texts{QStringLiteral("tc"), QStringLiteral("rtd"), QStringLiteral("rESi")};
    return texts;
}

bool appliesTo(const CModInstr &modInstr)
{
    return modInstr.SlotA() == SlotACode::GKP;
}

} // namespace

CRangeGKP::CRangeGKP() : CParameterClass<CRangeGKP>(QStringLiteral("CRangeGKP")) {}

void CRangeGKP::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_ProbeSelect"), m_ProbeSelect);
    c.Column(QStringLiteral("m_CJC"), m_CJC);
    c.Column(QStringLiteral("m_TempCJC"), m_TempCJC);
    c.Column(QStringLiteral("m_Range"), m_Range);
    c.Column(QStringLiteral("m_DigitalInFunction"), m_DigitalInFunction);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CRangeGKP::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_ProbeSelect", 3),
        CodeRule("m_CJC", kCJCModes),
        NumberRule("m_TempCJC", kTempCJCMin, kTempCJCMax),
        CodeRule("m_Range", kRanges),
        CodeRule("m_DigitalInFunction", kCommands),
    };
    return kRules;
}

void CRangeGKP::CopyProperties(const CRangeGKP &from, CRangeGKP &to)
{
    to.SetProbeSelect(from.ProbeSelect());
    to.SetCJC(from.CJC());
    to.SetTempCJC(from.TempCJC());
    to.SetRange(from.Range());
    to.SetDigitalInFunction(from.DigitalInFunction());
    to.CopyInstrumentContext(from);
}

void CRangeGKP::SetElettricScale()
{
    g_Scala->SetLimitiScalaElettrica(ModelloStrumento(), SlotA(), m_Range, m_ProbeSelect);
}

void CRangeGKP::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(5392), EnumCodeText(5393, m_ProbeSelect, 3)});
    switch (m_ProbeSelect) {
    case 0: {
        QString cjc = EnumCodeText(5407, m_CJC, kCJCModes);
        if (m_CJC == 1)
            cjc += QLatin1Char(' ') + ReportNumberText(m_TempCJC, 0, u"#0") + QStringLiteral(" °C");
        AddReportRow(report, {LoadResourceString(5406), cjc});
        AddReportRow(report, {LoadResourceString(5417), EnumCodeText(5418, m_Range, kRanges)});
        break;
    }
    case 1: AddReportRow(report, {LoadResourceString(5409), EnumCodeText(5410, m_Range, kRanges)}); break;
    case 2: AddReportRow(report, {LoadResourceString(5397), EnumCodeText(5398, m_Range, kRanges)}); break;
    default: break;
    }
    AddReportRow(report, {LoadResourceString(5390), EnumCodeText(5424, m_DigitalInFunction, kCommands)});
}

void CRangeGKP::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    if (!appliesTo(modInstr))
        return;
    map[kRangeWord] = m_Range;
    map[kProbeWord] = m_ProbeSelect;
    map[kCJCWord] = m_CJC;
    map[kCommandWord] = m_DigitalInFunction;
    map[kTempCJCWord] = m_TempCJC;
}

void CRangeGKP::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    if (!appliesTo(modInstr))
        return;
    const std::int16_t range = CheckCodeInTable(map[kRangeWord], kRanges, QStringLiteral("m_Range"));
    const std::int16_t probe = CheckCodeInTable(map[kProbeWord], static_cast<std::int32_t>(probeMnemonics().size()),
                                                QStringLiteral("m_ProbeSelect"));
    const std::int16_t cjc = CheckCodeInTable(map[kCJCWord], kCJCModes, QStringLiteral("m_CJC"));
    const std::int16_t command = CheckCodeInTable(map[kCommandWord], kCommands, QStringLiteral("m_DigitalInFunction"));

    g_Scala->SetLimitiScalaElettrica(modInstr.ModelloStrumento(), modInstr.SlotA(), range, probe);
    m_Range = range;
    m_ProbeSelect = probe;
    m_CJC = cjc;
    m_DigitalInFunction = command;
    m_TempCJC = map[kTempCJCWord];
}

void CRangeGKP::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    if (!appliesTo(modInstr))
        return;
    // The probe mnemonic first: a code without one stops before any line is
    // written, so no "inP>Prob=" is ever sent empty.
    const QString probe = CodeToMnemonic(m_ProbeSelect, probeMnemonics(), kConvProbeSelectFail);
    lines[kRangeWord] = AuxLine(kRangeLine, LetteredCode(QLatin1Char('r'), m_Range));
    lines[kProbeWord] = AuxLine(kProbeLine, probe);
    lines[kCJCWord] = AuxLine(kCJCLine, m_CJC == 0 ? kAutomaticCJC : QStringLiteral("nAn"));
    lines[kCommandWord] = AuxLine(kCommandLine, LetteredCode(QLatin1Char('C'), m_DigitalInFunction));
    lines[kTempCJCWord] = AuxLine(kTempCJCLine, AuxNumberText(m_TempCJC, 0, u"#0"));
}

void CRangeGKP::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!appliesTo(modInstr))
        return;
    const std::int16_t range = ReadLetteredCodeLine(lines, kRangeLine, kRanges, QStringLiteral("m_Range"));
    const std::int16_t probe = MnemonicToCode(FindCmdAuxValue(kProbeLine, lines), probeMnemonics(),
                                              kConvProbeSelectFail, AuxCommandPrefix(kProbeLine));
    const std::int16_t cjc = FindCmdAuxValue(kCJCLine, lines) == kAutomaticCJC ? 0 : 1;
    const std::int16_t command =
        ReadLetteredCodeLine(lines, kCommandLine, kCommands, QStringLiteral("m_DigitalInFunction"));
    const std::int16_t tempCJC =
        ReadDecimalInteger(FindCmdAuxValue(kTempCJCLine, lines), AuxCommandPrefix(kTempCJCLine));

    g_Scala->SetLimitiScalaElettrica(modInstr.ModelloStrumento(), modInstr.SlotA(), range, probe);
    m_Range = range;
    m_ProbeSelect = probe;
    m_CJC = cjc;
    m_DigitalInFunction = command;
    m_TempCJC = tempCJC;
}
