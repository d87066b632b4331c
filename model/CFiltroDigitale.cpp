#include "CFiltroDigitale.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "MemMapLayout.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ScaleValueLines.h"
#include "StringTable.h"

#include <optional>

static const RegisterParameterClass<CFiltroDigitale> kRegistration{"CFiltroDigitale"};

namespace {

constexpr std::int16_t kCampoLine = 1581;   // "FiLt>FiL.S=|1"
constexpr std::int16_t kCoeffLine = 1582;   // "FiLt>FiL.C=|1"
constexpr std::int32_t kReportCampo = 5501; // "#SB#Filter operating range (FiL.S)"
constexpr std::int32_t kReportCoeff = 5502; // "#SB#Filtering coefficient (FiL.C)"

// Campo of the frequency/counter modules: tenths of a percent.
constexpr int kPercentDecimals = 1;
const QString kPercentFormat = QStringLiteral("##0.0");
const QString kCoeffFormat = QStringLiteral("#0");

struct Place {
    bool frequency;
    std::size_t campoWord, coeffWord, campoLine, coeffLine;
};

std::optional<Place> placeFor(std::int16_t slotA)
{
    switch (MemMapLayoutForSlotA(slotA)) {
    case MemMapLayout::MemMapBaseLayout: return Place{false, 81, 82, 81, 82};
    case MemMapLayout::MemMapFreqLayout: return Place{true, 266, 268, 133, 134};
    case MemMapLayout::None: break;
    }
    return std::nullopt;
}

} // namespace

CFiltroDigitale::CFiltroDigitale() : CParameterClass<CFiltroDigitale>(QStringLiteral("CFiltroDigitale")) {}

void CFiltroDigitale::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_Campo"), m_Campo);
    c.Column(QStringLiteral("m_Coeff"), m_Coeff);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CFiltroDigitale::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        // 0 is the class's own starting value; the page offers 1 to 32.
        NumberRule("m_Coeff", 0, kCoeffMax),
    };
    return kRules;
}

void CFiltroDigitale::CopyProperties(const CFiltroDigitale &from, CFiltroDigitale &to)
{
    to.SetCampo(from.Campo());
    to.SetCoeff(from.Coeff());
    to.CopyInstrumentContext(from);
    to.SetDisplayDigit(from.DisplayDigit());
}

void CFiltroDigitale::SetReport(ReportRecordset &report) const
{
    const QString campo = ModuleCodes::IsFrequencyModule(SlotA())
                              ? ReportNumberText(m_Campo, kPercentDecimals, kPercentFormat) + QStringLiteral(" %")
                              : ReportScaleText(m_Campo, g_Scala->DigitalPointScalaDisplay());
    AddReportRow(report, {LoadResourceString(kReportCampo), campo});
    AddReportRow(report, {LoadResourceString(kReportCoeff), ReportNumberText(m_Coeff, 0, kCoeffFormat)});
}

void CFiltroDigitale::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    const auto place = placeFor(modInstr.SlotA());
    if (!place)
        return;
    map[place->campoWord] = m_Campo;
    map[place->coeffWord] = m_Coeff;
}

void CFiltroDigitale::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    const auto place = placeFor(modInstr.SlotA());
    if (!place)
        return;
    SetCampo(map[place->campoWord]);
    SetCoeff(map[place->coeffWord]);
}

void CFiltroDigitale::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const auto place = placeFor(modInstr.SlotA());
    if (!place)
        return;
    const QString campo = place->frequency ? AuxNumberText(m_Campo, kPercentDecimals, kPercentFormat)
                                           : AuxScaleText(m_Campo, g_Scala->DigitalPointScalaDisplay());
    lines[place->campoLine] = ScaleAuxLine(kCampoLine, campo);
    lines[place->coeffLine] = ScaleAuxLine(kCoeffLine, AuxNumberText(m_Coeff, 0, kCoeffFormat));
}

void CFiltroDigitale::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!placeFor(modInstr.SlotA()))
        return;
    // No decimal point is consulted: the digits are the scaled value.
    const std::int16_t campo = ReadAuxScale16(lines, kCampoLine);
    const std::int16_t coeff = ReadDecimalInteger(FindCmdAuxValue(kCoeffLine, lines), ScaleAuxPrefix(kCoeffLine));
    SetCampo(campo);
    SetCoeff(coeff);
}
