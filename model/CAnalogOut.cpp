#include "CAnalogOut.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "MemMapLayout.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "StringTable.h"

static const RegisterParameterClass<CAnalogOut> kRegistration{"CAnalogOut"};

namespace {

constexpr std::int32_t kLoALine = 1583;  // "A.out>Lo.A=|1"
constexpr std::int32_t kHiALine = 1584;  // "A.out>Hi.A=|1"
constexpr std::int32_t kTypeLine = 1585; // "A.out>tYPE=|1"
constexpr std::int32_t kChLine = 1795;   // "A.out>Ch=|1"

constexpr std::int32_t kReportTitle = 5520;
constexpr std::int32_t kReportMax = 5521;
constexpr std::int32_t kReportMin = 5522;
constexpr std::int32_t kReportType = 5523;
constexpr std::int32_t kReportTypeTexts = 5524; // 5524 voltage, 5525 current
constexpr std::int32_t kReportChannel = 5527;
constexpr std::int32_t kReportChannelTexts = 5528; // 5528 Ch.A, 5529 Ch.F

const QString kVoltage = QStringLiteral("U");
const QString kCurrent = QStringLiteral("A");
const QString kChannelA = QStringLiteral("Ch.A");
const QString kChannelF = QStringLiteral("Ch.F");
const QString kPercentFormat = QStringLiteral("##0.0");

QString lineValue(std::int32_t templateId, const MemMapAuxLines &lines)
{
    return FindCmdAuxValue(static_cast<std::int16_t>(templateId), lines);
}

} // namespace

CAnalogOut::CAnalogOut() : CParameterClass<CAnalogOut>(QStringLiteral("CAnalogOut")) {}

void CAnalogOut::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_Channel"), m_Channel);
    c.Column(QStringLiteral("m_MaxOut"), m_MaxOut);
    c.Column(QStringLiteral("m_MinOut"), m_MinOut);
    c.Column(QStringLiteral("m_TypeSignalOut"), m_TypeSignalOut);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CAnalogOut::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_Channel", 2),
        NumberRule("m_MaxOut", kOutMin, kOutMax),
        NumberRule("m_MinOut", kOutMin, kOutMax),
        CodeRule("m_TypeSignalOut", 2),
    };
    return kRules;
}

void CAnalogOut::CopyProperties(const CAnalogOut &from, CAnalogOut &to)
{
    to.SetChannel(from.Channel());
    to.SetMaxOut(from.MaxOut());
    to.SetMinOut(from.MinOut());
    to.SetTypeSignalOut(from.TypeSignalOut());
    to.SetModelloStrumento(from.ModelloStrumento());
    to.SetWPxFunction(from.WPxFunction());
}

QString CAnalogOut::PercentText(std::int16_t tenths)
{
    return AuxNumberText(tenths, 1, kPercentFormat);
}

void CAnalogOut::SetReport(ReportRecordset &report) const
{
    AddReportRow(report, {LoadResourceString(kReportTitle)});
    if (m_ModelloStrumento == ModelCode::Oxa16)
        AddReportRow(report, {LoadResourceString(kReportChannel),
                              LoadResourceString(kReportChannelTexts + (m_Channel == 0 ? 0 : 1))});
    AddReportRow(
        report, {LoadResourceString(kReportMin), ReportNumberText(m_MinOut, 1, kPercentFormat) + QStringLiteral(" %")});
    AddReportRow(
        report, {LoadResourceString(kReportMax), ReportNumberText(m_MaxOut, 1, kPercentFormat) + QStringLiteral(" %")});
    AddReportRow(report, {LoadResourceString(kReportType),
                          LoadResourceString(kReportTypeTexts + (m_TypeSignalOut == 0 ? 0 : 1))});
}

void CAnalogOut::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    switch (MemMapLayoutForSlotA(modInstr.SlotA())) {
    case MemMapLayout::MemMapBaseLayout:
        map[83] = m_MinOut;
        map[84] = m_MaxOut;
        map[85] = m_TypeSignalOut;
        break;
    case MemMapLayout::MemMapFreqLayout:
        map[258] = m_Channel;
        map[260] = m_MinOut;
        map[262] = m_MaxOut;
        map[264] = m_TypeSignalOut;
        break;
    case MemMapLayout::None: break;
    }
}

void CAnalogOut::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    switch (MemMapLayoutForSlotA(modInstr.SlotA())) {
    case MemMapLayout::MemMapBaseLayout:
        m_MinOut = map[83];
        m_MaxOut = map[84];
        m_TypeSignalOut = map[85];
        break;
    case MemMapLayout::MemMapFreqLayout:
        m_Channel = map[258];
        m_MinOut = map[260];
        m_MaxOut = map[262];
        m_TypeSignalOut = map[264];
        break;
    case MemMapLayout::None: break;
    }
}

void CAnalogOut::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const MemMapLayout layout = MemMapLayoutForSlotA(modInstr.SlotA());
    if (layout == MemMapLayout::None)
        return;
    const bool freq = layout == MemMapLayout::MemMapFreqLayout;
    const std::size_t first = freq ? 130 : 83;
    if (freq && modInstr.ModelloStrumento() == ModelCode::Oxa16)
        lines[129] = AuxLine(kChLine, m_Channel == 0 ? kChannelA : kChannelF);
    lines[first] = AuxLine(kLoALine, PercentText(m_MinOut));
    lines[first + 1] = AuxLine(kHiALine, PercentText(m_MaxOut));
    lines[first + 2] = AuxLine(kTypeLine, m_TypeSignalOut == 0 ? kVoltage : kCurrent);
}

void CAnalogOut::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    const MemMapLayout layout = MemMapLayoutForSlotA(modInstr.SlotA());
    if (layout == MemMapLayout::None)
        return;
    // Everything is read before anything is stored: a bad line leaves the
    // object as it was.
    const std::int16_t minOut =
        ReadDecimalInteger(RemovePoints(lineValue(kLoALine, lines)), AuxCommandPrefix(kLoALine));
    const std::int16_t maxOut =
        ReadDecimalInteger(RemovePoints(lineValue(kHiALine, lines)), AuxCommandPrefix(kHiALine));
    const std::int16_t type = lineValue(kTypeLine, lines) == kVoltage ? 0 : 1;
    // The channel line goes out only on the frequency/counter modules of
    // model 3; elsewhere Channel keeps its value.
    std::int16_t channel = m_Channel;
    if (layout == MemMapLayout::MemMapFreqLayout && modInstr.ModelloStrumento() == ModelCode::Oxa16)
        channel = lineValue(kChLine, lines) == kChannelF ? 1 : 0;
    m_MinOut = minOut;
    m_MaxOut = maxOut;
    m_TypeSignalOut = type;
    m_Channel = channel;
}
