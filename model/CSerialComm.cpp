#include "CSerialComm.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "MemMapLayout.h"
#include "NumberText.h"
#include "ParameterCodes.h"
#include "ParameterClassRegistry.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <optional>

static const RegisterParameterClass<CSerialComm> kRegistration{"CSerialComm"};

namespace {

constexpr std::int32_t kNetworkAddLine = 1586; // "S.out>Add=|1"
constexpr std::int32_t kBaudRateLine = 1587;   // "S.out>bdr=|1"
constexpr std::int32_t kNetworkAddLabel = 5350;
constexpr std::int32_t kBaudRateLabel = 5351;
constexpr std::int32_t kBaudRateTexts = 5352; // 5352..5355: "4800" .. "38400"

const QString kConvBaudRateFail = QStringLiteral("Errore valore ConvBaudRate");

// The baud-rate texts of the auxiliary lines; the code is the index.
const QStringList &auxBaudRates()
{
    static const QStringList texts{QStringLiteral("4.8"), QStringLiteral("9.6"), QStringLiteral("19.2"),
                                   QStringLiteral("38.4")};
    return texts;
}

// Word and line indexes of the two values in the configuration's layout.
struct Place {
    std::size_t networkAddWord;
    std::size_t baudRateWord;
    std::size_t networkAddLine;
    std::size_t baudRateLine;
};

std::optional<Place> placeFor(const CModInstr &modInstr)
{
    switch (MemMapLayoutForSlotA(modInstr.SlotA())) {
    case MemMapLayout::MemMapBaseLayout: return Place{86, 87, 86, 87};
    case MemMapLayout::MemMapFreqLayout: return Place{270, 272, 135, 136};
    case MemMapLayout::None: break;
    }
    return std::nullopt;
}

} // namespace

CSerialComm::CSerialComm() : CParameterClass<CSerialComm>(QStringLiteral("CSerialComm")) {}

void CSerialComm::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_NetworkAdd"), m_NetworkAdd);
    c.Column(QStringLiteral("m_BaudRate"), m_BaudRate);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CSerialComm::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        NumberRule("m_NetworkAdd", kNetworkAddMin, kNetworkAddMax),
        CodeRule("m_BaudRate", 4),
    };
    return kRules;
}

void CSerialComm::CopyProperties(const CSerialComm &from, CSerialComm &to)
{
    to.SetNetworkAdd(from.NetworkAdd());
    to.SetBaudRate(from.BaudRate());
}

void CSerialComm::SetReport(ReportRecordset &report) const
{
    // The table has texts for the four known codes only; any other stored
    // code is shown as itself rather than borrowing an unrelated text.
    const QString baud = (m_BaudRate >= 0 && m_BaudRate <= 3) ? LoadResourceString(kBaudRateTexts + m_BaudRate)
                                                              : QString::number(m_BaudRate);
    AddReportRow(report, {LoadResourceString(kNetworkAddLabel), ReportNumberText(m_NetworkAdd, 0, u"##0")});
    AddReportRow(report, {LoadResourceString(kBaudRateLabel), baud});
}

void CSerialComm::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    map[place->networkAddWord] = m_NetworkAdd;
    map[place->baudRateWord] = m_BaudRate;
}

void CSerialComm::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    SetNetworkAdd(map[place->networkAddWord]);
    SetBaudRate(map[place->baudRateWord]);
}

void CSerialComm::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    // Both texts first: a code without a text stops before either line is
    // written, so no "S.out>bdr=" is ever sent empty.
    const QString baud = CodeToMnemonic(m_BaudRate, auxBaudRates(), kConvBaudRateFail);
    lines[place->networkAddLine] = AuxLine(kNetworkAddLine, AuxNumberText(m_NetworkAdd, 0, u"##0"));
    lines[place->baudRateLine] = AuxLine(kBaudRateLine, baud);
}

void CSerialComm::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!placeFor(modInstr))
        return;
    // Both values are read before either is stored: a bad line leaves the
    // object as it was.
    const std::int16_t address =
        ReadDecimalInteger(FindCmdAuxValue(kNetworkAddLine, lines), QStringLiteral("S.out>Add="));
    const std::int16_t baud = MnemonicToCode(FindCmdAuxValue(kBaudRateLine, lines), auxBaudRates(), kConvBaudRateFail,
                                             AuxCommandPrefix(kBaudRateLine));
    SetNetworkAdd(address);
    SetBaudRate(baud);
}
