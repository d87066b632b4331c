#include "CAlarm.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "MBytes.h"
#include "MErrors.h"
#include "MemMapLayout.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ParameterClassRegistry.h"
#include "ParameterCodes.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <utility>
#include <vector>

static const RegisterParameterClass<CAlarm> kRegistration{"CAlarm1", "CAlarm2", "CAlarm3", "CAlarm4"};

namespace {

constexpr std::int32_t kFirstFieldLine = 1545;   // "SP.1>Lo.S=|1"; + 9k + j
constexpr std::int32_t kFirstChannelLine = 1785; // "SP.1>Ch=|1"; + k

// Field j of an alarm's lines.
enum Field : int { LoS, HiS, SEt, HYS, OffD, OnD, RLY, ALr, CoLr, kFields };

constexpr std::int32_t kReportTitle = 5563;        // "#SBAC#|1 alarm parameters setting (SP.|2)"
constexpr std::int32_t kReportChannel = 5527;      // "#SB#Channel (Ch)"
constexpr std::int32_t kReportChannelTexts = 5528; // 5528 Ch.A, 5529 Ch.F
constexpr std::int32_t kReportMin = 5546;
constexpr std::int32_t kReportMax = 5547;
constexpr std::int32_t kReportSetPoint = 5544;
constexpr std::int32_t kReportHysteresis = 5543;
constexpr std::int32_t kReportOnDelay = 5541;
constexpr std::int32_t kReportOffDelay = 5542;
constexpr std::int32_t kReportType = 5556;
constexpr std::int32_t kReportTypeTexts = 5557; // 5557..5562
constexpr std::int32_t kReportRelay = 5553;
constexpr std::int32_t kReportRelayTexts = 5554; // 5554 nE, 5555 nd
constexpr std::int32_t kReportColor = 5548;
constexpr std::int32_t kReportColorTexts = 5549; // 5549..5552

const QString kConvAlarmTypeFail = QStringLiteral("Errore valore ConvAlarmType");
const QString kConvAlarmColorFail = QStringLiteral("Errore valore ConvAlarmColor");
const QString kRelayDeEnergized = QStringLiteral("nd");
const QString kRelayEnergized = QStringLiteral("nE");
const QString kChannelA = QStringLiteral("Ch.A");
const QString kChannelF = QStringLiteral("Ch.F");

const QStringList &alarmTypes()
{
    static const QStringList texts{QStringLiteral("oFF"),  QStringLiteral("do"),   QStringLiteral("uP"),
                                   QStringLiteral("d.do"), QStringLiteral("uP.L"), QStringLiteral("do.L")};
    return texts;
}

const QStringList &alarmColors()
{
    static const QStringList texts{QStringLiteral("rEd"), QStringLiteral("orAn"), QStringLiteral("GrEn"),
                                   QStringLiteral("nonE")};
    return texts;
}

std::int32_t fieldId(std::size_t k, int field)
{
    return kFirstFieldLine + static_cast<std::int32_t>(9 * k) + field;
}

std::int32_t channelId(std::size_t k)
{
    return kFirstChannelLine + static_cast<std::int32_t>(k);
}

QString lineValue(std::int32_t templateId, const MemMapAuxLines &lines)
{
    return FindCmdAuxValue(static_cast<std::int16_t>(templateId), lines);
}

} // namespace

CAlarm::CAlarm() : CParameterClass<CAlarm>(QStringLiteral("CAlarm")) {}

bool CAlarm::ScalaInvertita() const
{
    CScaleMisuraDisplay &scale = m_Channel == 0 ? *g_Scala : *g_ScalaB;
    return scale.FineScalaDisplay() < scale.InizioScalaDisplay();
}

std::int16_t CAlarm::AlarmNumber() const
{
    const QString name = ClassName();
    const QChar last = name.isEmpty() ? QChar() : name.back();
    if (last < QLatin1Char('1') || last > QLatin1Char('4'))
        RaiseProgramError(RunTimeError::TypeMismatch);
    return static_cast<std::int16_t>(last.unicode() - u'0');
}

bool CAlarm::RelayFitted(std::int16_t slotC, std::int16_t alarmNumber)
{
    return alarmNumber >= 1 && alarmNumber <= ModuleCodes::RelayCount(slotC);
}

QString CAlarm::ConvAlarmType(std::int16_t code)
{
    return CodeToMnemonic(code, alarmTypes(), kConvAlarmTypeFail);
}

std::int16_t CAlarm::ConvAlarmType(const QString &mnemonic, const QString &line)
{
    return MnemonicToCode(mnemonic, alarmTypes(), kConvAlarmTypeFail, line);
}

QString CAlarm::ConvAlarmColor(std::int16_t code)
{
    return CodeToMnemonic(code, alarmColors(), kConvAlarmColorFail);
}

std::int16_t CAlarm::ConvAlarmColor(const QString &mnemonic, const QString &line)
{
    return MnemonicToCode(mnemonic, alarmColors(), kConvAlarmColorFail, line);
}

void CAlarm::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_Channel"), m_Channel);
    c.Column(QStringLiteral("m_MinAlarmScale"), m_MinAlarmScale);
    c.Column(QStringLiteral("m_MaxAlarmScale"), m_MaxAlarmScale);
    c.Column(QStringLiteral("m_AlarmSetPoint"), m_AlarmSetPoint);
    c.Column(QStringLiteral("m_Isteresi"), m_Isteresi);
    c.Column(QStringLiteral("m_RitAttivazione"), m_RitAttivazione);
    c.Column(QStringLiteral("m_RitDisattivazione"), m_RitDisattivazione);
    c.Column(QStringLiteral("m_AlarmType"), m_AlarmType);
    c.Column(QStringLiteral("m_RelayStatus"), m_RelayStatus);
    c.Column(QStringLiteral("m_AlarmColor"), m_AlarmColor);
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CAlarm::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        CodeRule("m_Channel", 2),
        NumberRule("m_RitAttivazione", kDelayMin, kDelayMax),
        NumberRule("m_RitDisattivazione", kDelayMin, kDelayMax),
        CodeRule("m_AlarmType", 6),
        CodeRule("m_RelayStatus", 2),
        CodeRule("m_AlarmColor", 4),
    };
    return kRules;
}

std::vector<FieldRule> CAlarm::ContextRules() const
{
    if (MemMapLayoutForSlotA(SlotA()) != MemMapLayout::MemMapBaseLayout)
        return {};
    return {WordRule("m_MinAlarmScale"), WordRule("m_MaxAlarmScale"), WordRule("m_AlarmSetPoint"),
            WordRule("m_Isteresi")};
}

void CAlarm::CopyProperties(const CAlarm &from, CAlarm &to)
{
    to.SetClassName(from.ClassName());
    to.SetChannel(from.Channel());
    to.SetMinAlarmScale(from.MinAlarmScale());
    to.SetMaxAlarmScale(from.MaxAlarmScale());
    to.SetAlarmSetPoint(from.AlarmSetPoint());
    to.SetIsteresi(from.Isteresi());
    to.SetRitAttivazione(from.RitAttivazione());
    to.SetRitDisattivazione(from.RitDisattivazione());
    to.SetAlarmType(from.AlarmType());
    to.SetRelayStatus(from.RelayStatus());
    to.SetAlarmColor(from.AlarmColor());
    to.CopyInstrumentContext(from);
    to.SetDisplayDigit(from.DisplayDigit());
    to.SetWPxFunction(from.WPxFunction());
}

void CAlarm::SetReport(ReportRecordset &report) const
{
    const std::int16_t n = AlarmNumber();
    // Channel F's display decimal point only where channel F exists (model 3).
    const std::int32_t dp = (ModelloStrumento() == ModelCode::Oxa16 && m_Channel == 1)
                                ? g_ScalaB->DigitalPointScalaDisplay()
                                : g_Scala->DigitalPointScalaDisplay();
    const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(dp);

    // Every row is built before any is appended: a code without a text stops
    // the report of this alarm before its first row, never half-way.
    // Channel and relay codes show as the lines send them (0 or any other).
    ConvAlarmType(m_AlarmType);
    if (ModelloStrumento() == ModelCode::Oxa14)
        ConvAlarmColor(m_AlarmColor);

    const QString digit = QString::number(n);
    std::vector<QStringList> rows;
    rows.push_back({GetResourceText(kReportTitle, {QVariant(digit), QVariant(digit)})});
    if (ModelloStrumento() == ModelCode::Oxa16)
        rows.push_back(
            {LoadResourceString(kReportChannel), LoadResourceString(kReportChannelTexts + (m_Channel == 0 ? 0 : 1))});
    rows.push_back({LoadResourceString(kReportMin), ReportNumberText(m_MinAlarmScale, info)});
    rows.push_back({LoadResourceString(kReportMax), ReportNumberText(m_MaxAlarmScale, info)});
    rows.push_back({LoadResourceString(kReportSetPoint), ReportNumberText(m_AlarmSetPoint, info)});
    rows.push_back({LoadResourceString(kReportHysteresis), ReportNumberText(m_Isteresi, info)});
    rows.push_back({LoadResourceString(kReportOnDelay), QString::number(m_RitAttivazione) + QStringLiteral(" s.")});
    rows.push_back({LoadResourceString(kReportOffDelay), QString::number(m_RitDisattivazione) + QStringLiteral(" s.")});
    rows.push_back({LoadResourceString(kReportType), LoadResourceString(kReportTypeTexts + m_AlarmType)});
    rows.push_back(
        {LoadResourceString(kReportRelay), LoadResourceString(kReportRelayTexts + (m_RelayStatus == 0 ? 0 : 1))});
    if (ModelloStrumento() == ModelCode::Oxa14)
        rows.push_back({LoadResourceString(kReportColor), LoadResourceString(kReportColorTexts + m_AlarmColor)});
    for (const QStringList &row : rows)
        AddReportRow(report, row);
}

// Alarm k's words in the layout of the configuration's slot-A code, one list
// for the writer and the reader: word(index, member) for a value in one word
// (a 32-bit value keeps only its low 16 bits there and reads back
// sign-extended), pair(index, member) for a 32-bit value in two words, low
// word first. No words for a slot-A code without a layout.
template <class Self, class Word, class Pair>
void CAlarm::forEachWord(Self &self, const CModInstr &modInstr, Word word, Pair pair)
{
    const MemMapLayout layout = MemMapLayoutForSlotA(modInstr.SlotA());
    if (layout == MemMapLayout::None)
        return;
    const auto k = static_cast<std::size_t>(self.AlarmNumber() - 1);
    if (layout == MemMapLayout::MemMapBaseLayout) {
        const std::size_t w = 45 + 9 * k;
        word(w + 0, self.m_MinAlarmScale);
        word(w + 1, self.m_MaxAlarmScale);
        word(w + 2, self.m_AlarmSetPoint);
        word(w + 3, self.m_Isteresi);
        word(w + 4, self.m_RitDisattivazione);
        word(w + 5, self.m_RitAttivazione);
        word(w + 6, self.m_RelayStatus);
        word(w + 7, self.m_AlarmType);
        // The master module has no colour word.
        if (modInstr.SlotA() != SlotACode::MVZ)
            word(w + 8, self.m_AlarmColor);
        return;
    }
    const std::size_t s = 178 + 6 * k;
    pair(s + 0, self.m_MinAlarmScale);
    pair(s + 2, self.m_MaxAlarmScale);
    pair(s + 4, self.m_AlarmSetPoint);
    const std::size_t w = 202 + 14 * k;
    pair(w + 0, self.m_Isteresi);
    word(w + 2, self.m_Channel);
    word(w + 4, self.m_RitDisattivazione);
    word(w + 6, self.m_RitAttivazione);
    word(w + 8, self.m_RelayStatus);
    word(w + 10, self.m_AlarmType);
    word(w + 12, self.m_AlarmColor);
}

void CAlarm::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    forEachWord(
        *this, modInstr, [&map](std::size_t w, std::int32_t value) { map[w] = LoWord(value); },
        [&map](std::size_t w, std::int32_t value) {
            map[w] = LoWord(value);
            map[w + 1] = HiWord(value);
        });
}

void CAlarm::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    forEachWord(
        *this, modInstr, [&map](std::size_t w, auto &member) { member = map[w]; },
        [&map](std::size_t w, std::int32_t &member) { member = MakeLong(map[w], map[w + 1]); });
}

void CAlarm::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const MemMapLayout layout = MemMapLayoutForSlotA(modInstr.SlotA());
    if (layout == MemMapLayout::None)
        return;
    const std::int16_t n = AlarmNumber();
    if (!RelayFitted(modInstr.SlotC(), n))
        return;
    const auto k = static_cast<std::size_t>(n - 1);
    const bool freq = layout == MemMapLayout::MemMapFreqLayout;

    // The base layout always shows channel A's decimal point; the frequency
    // layout channel F's for an alarm on channel F of model 3.
    const std::int32_t dp = (freq && ModelloStrumento() == ModelCode::Oxa16 && m_Channel == 1)
                                ? g_ScalaB->DigitalPointScalaDisplay()
                                : g_Scala->DigitalPointScalaDisplay();
    const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(dp);
    const auto scaled = [&](std::int32_t value) { return CommaToPoint(AuxNumberText(value, info)); };

    // Every line is built before any is stored: a type or colour without a
    // mnemonic leaves the array as it was, so no line goes out empty.
    std::vector<std::pair<std::size_t, QString>> out;
    const std::size_t first = freq ? 90 + 10 * k : 45 + 9 * k;
    if (freq && modInstr.ModelloStrumento() == ModelCode::Oxa16)
        out.emplace_back(89 + 10 * k, AuxLine(channelId(k), m_Channel == 0 ? kChannelA : kChannelF));
    const auto field = [&](int j, const QString &value) {
        out.emplace_back(first + static_cast<std::size_t>(j), AuxLine(fieldId(k, j), value));
    };
    field(LoS, scaled(m_MinAlarmScale));
    field(HiS, scaled(m_MaxAlarmScale));
    field(SEt, scaled(m_AlarmSetPoint));
    field(HYS, scaled(m_Isteresi));
    field(OffD, QString::number(m_RitDisattivazione));
    field(OnD, QString::number(m_RitAttivazione));
    field(RLY, m_RelayStatus == 0 ? kRelayEnergized : kRelayDeEnergized);
    field(ALr, ConvAlarmType(m_AlarmType));
    if (modInstr.ModelloStrumento() == ModelCode::Oxa14)
        field(CoLr, ConvAlarmColor(m_AlarmColor));
    for (auto &[index, text] : out)
        lines[index] = std::move(text);
}

void CAlarm::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (MemMapLayoutForSlotA(modInstr.SlotA()) == MemMapLayout::None)
        return;
    const std::int16_t n = AlarmNumber();
    // The lines of an alarm whose relay is not fitted are never sent, so the
    // reply has none: the alarm keeps its values.
    if (!RelayFitted(modInstr.SlotC(), n))
        return;
    const auto k = static_cast<std::size_t>(n - 1);
    const auto scaled = [&](int j) {
        const std::int32_t id = fieldId(k, j);
        return ReadDecimalLong(RemovePoints(lineValue(id, lines)), AuxCommandPrefix(id));
    };
    const auto integer = [&](int j) {
        const std::int32_t id = fieldId(k, j);
        return ReadDecimalInteger(lineValue(id, lines), AuxCommandPrefix(id));
    };

    // Everything is read before anything is stored: a bad line leaves the
    // alarm as it was.
    const std::int32_t minScale = scaled(LoS);
    const std::int32_t maxScale = scaled(HiS);
    const std::int32_t setPoint = scaled(SEt);
    const std::int32_t hysteresis = scaled(HYS);
    const std::int16_t offDelay = integer(OffD);
    const std::int16_t onDelay = integer(OnD);
    const std::int16_t relay = lineValue(fieldId(k, RLY), lines) == kRelayDeEnergized ? 1 : 0;
    const std::int16_t type = ConvAlarmType(lineValue(fieldId(k, ALr), lines), AuxCommandPrefix(fieldId(k, ALr)));
    std::int16_t color = m_AlarmColor;
    if (modInstr.ModelloStrumento() == ModelCode::Oxa14)
        color = ConvAlarmColor(lineValue(fieldId(k, CoLr), lines), AuxCommandPrefix(fieldId(k, CoLr)));
    // The channel line goes out only on the frequency/counter modules of
    // model 3 (the writer's rule); elsewhere Channel keeps its value.
    std::int16_t channel = m_Channel;
    if (MemMapLayoutForSlotA(modInstr.SlotA()) == MemMapLayout::MemMapFreqLayout &&
        modInstr.ModelloStrumento() == ModelCode::Oxa16)
        channel = lineValue(channelId(k), lines) == kChannelF ? 1 : 0;

    m_MinAlarmScale = minScale;
    m_MaxAlarmScale = maxScale;
    m_AlarmSetPoint = setPoint;
    m_Isteresi = hysteresis;
    m_RitDisattivazione = offDelay;
    m_RitAttivazione = onDelay;
    m_RelayStatus = relay;
    m_AlarmType = type;
    m_AlarmColor = color;
    m_Channel = channel;
}
