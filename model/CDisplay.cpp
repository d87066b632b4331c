#include "CDisplay.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "StringTable.h"

#include <optional>

static const RegisterParameterClass<CDisplay> kRegistration{"CDisplay"};

namespace {

constexpr std::int32_t kPasswordLine = 1500;     // "PASS>PASS=|1"
constexpr std::int32_t kDisplayDigitLine = 1504; // "diSP>diSP=|1"
constexpr std::int32_t kColorLine = 1505;        // "CoLr>CoLr=|1"

constexpr std::int32_t kDisplayDigits = 2;
const QString kDisplay1999 = QStringLiteral("1999");
const QString kDisplay9990 = QStringLiteral("9990");

const QString kConvDisplayColorFail = QStringLiteral("Errore valore ConvDisplayColor");

// The colour mnemonics of the auxiliary lines; the code is the index.
const QStringList &colorMnemonics()
{
    static const QStringList texts{QStringLiteral("rEd"), QStringLiteral("orAn"), QStringLiteral("GrEn")};
    return texts;
}

// The word or line of each value in the configuration's layout.
struct Place {
    std::size_t passwordWord;
    std::size_t colorWord;
    std::optional<std::size_t> displayDigitWord; // none: DisplayDigit is 0 on reading
    std::size_t passwordLine;
    std::size_t colorLine;
    std::optional<std::size_t> displayDigitLine; // none: DisplayDigit is kept on reading
    bool colorLineOnModel1Only;
};

std::optional<Place> placeFor(const CModInstr &modInstr)
{
    const std::int16_t slotA = modInstr.SlotA();
    if (slotA >= SlotACode::MVA && slotA <= SlotACode::GKP)
        return Place{0, 5, 4, 0, 5, 4, false};
    if (ModuleCodes::IsFrequencyModule(slotA))
        return Place{0, 2, std::nullopt, 0, 1, std::nullopt, true};
    return std::nullopt;
}

bool colorLineSent(const Place &place, const CModInstr &modInstr)
{
    return !place.colorLineOnModel1Only || modInstr.ModelloStrumento() == ModelCode::Oxa14;
}

} // namespace

CDisplay::CDisplay() : CParameterClass<CDisplay>(QStringLiteral("CDisplay")) {}

void CDisplay::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_DisplayDigit"), m_DisplayDigit);
    c.Column(QStringLiteral("m_DisplayColor"), m_DisplayColor);
    c.Column(QStringLiteral("m_Password"), m_Password);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CDisplay::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_DisplayDigit", kDisplayDigits),
        CodeRule("m_DisplayColor", 3),
        NumberRule("m_Password", kPasswordMin, kPasswordMax),
    };
    return kRules;
}

void CDisplay::CopyProperties(const CDisplay &from, CDisplay &to)
{
    to.SetDisplayDigit(from.DisplayDigit());
    to.SetDisplayColor(from.DisplayColor());
    to.SetPassword(from.Password());
    to.CopyInstrumentContext(from);
}

void CDisplay::SetReport(ReportRecordset &report) const
{
    if (ModuleCodes::OffersDisplayChoice(ModelloStrumento(), SlotA()))
        AddReportRow(report, {LoadResourceString(5511), EnumCodeText(5512, m_DisplayDigit, kDisplayDigits)});
    if (ModelloStrumento() == ModelCode::Oxa14)
        AddReportRow(report, {LoadResourceString(5514),
                              EnumCodeText(5515, m_DisplayColor, static_cast<std::int32_t>(colorMnemonics().size()))});
    AddReportRow(report, {LoadResourceString(5510), ReportNumberText(m_Password, 0, u"###0")});
}

void CDisplay::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    map[place->passwordWord] = m_Password;
    if (place->displayDigitWord)
        map[*place->displayDigitWord] = m_DisplayDigit;
    map[place->colorWord] = m_DisplayColor;
}

void CDisplay::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    const std::int16_t displayDigit =
        place->displayDigitWord
            ? CheckCodeInTable(map[*place->displayDigitWord], kDisplayDigits, QStringLiteral("m_DisplayDigit"))
            : std::int16_t{0};
    const std::int16_t color = CheckCodeInTable(
        map[place->colorWord], static_cast<std::int32_t>(colorMnemonics().size()), QStringLiteral("m_DisplayColor"));
    m_Password = map[place->passwordWord];
    m_DisplayDigit = displayDigit;
    m_DisplayColor = color;
}

void CDisplay::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    const bool sendColor = colorLineSent(*place, modInstr);
    // The colour mnemonic first: a code without one stops before any line is
    // written, so no "CoLr>CoLr=" is ever sent empty.
    const QString color =
        sendColor ? CodeToMnemonic(m_DisplayColor, colorMnemonics(), kConvDisplayColorFail) : QString();
    lines[place->passwordLine] = AuxLine(kPasswordLine, AuxNumberText(m_Password, 0, u"0000"));
    if (place->displayDigitLine)
        lines[*place->displayDigitLine] = AuxLine(kDisplayDigitLine, m_DisplayDigit == 0 ? kDisplay1999 : kDisplay9990);
    if (sendColor)
        lines[place->colorLine] = AuxLine(kColorLine, color);
}

void CDisplay::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    const auto place = placeFor(modInstr);
    if (!place)
        return;
    const std::int16_t password =
        ReadDecimalInteger(FindCmdAuxValue(kPasswordLine, lines), AuxCommandPrefix(kPasswordLine));
    std::int16_t displayDigit = m_DisplayDigit;
    if (place->displayDigitLine)
        displayDigit = FindCmdAuxValue(kDisplayDigitLine, lines) == kDisplay1999 ? 0 : 1;
    std::int16_t color = m_DisplayColor;
    if (colorLineSent(*place, modInstr))
        color = MnemonicToCode(FindCmdAuxValue(kColorLine, lines), colorMnemonics(), kConvDisplayColorFail,
                               AuxCommandPrefix(kColorLine));
    m_Password = password;
    m_DisplayDigit = displayDigit;
    m_DisplayColor = color;
}
