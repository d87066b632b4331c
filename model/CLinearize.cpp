#include "CLinearize.h"

#include "AuxLineFunctions.h"
#include "CInOutScale.h"
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

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

static const RegisterParameterClass<CLinearize> kRegistration{"CLinearize", "CLinearizeB"};

namespace {

const QString kChannelAName = QStringLiteral("CLinearize");

constexpr std::int32_t kReportNumPointsP = 5470;  // "#SB#Number of points (Lin.P)"
constexpr std::int32_t kReportInput = 5471;       // "#SB#Input |1 (in.|2)"
constexpr std::int32_t kReportOutput = 5472;      // "#SB#Output |1 (ou.|2)"
constexpr std::int32_t kReportNumPointsOf = 5473; // "#SB#Number of points |1"
constexpr std::int32_t kReportChannelA = 5474;    // "(Lin.A)"
constexpr std::int32_t kReportChannelF = 5475;    // "(Lin.F)"

// Where one channel's curve lies in the map and in the lines.
struct Place {
    std::size_t numWord; // NumSpezzate
    std::size_t inWord;  // CoordinateIn(0); CoordinateOut(0) follows the input
    std::size_t outWord;
    std::size_t stride; // words from one point to the next
    bool wide;          // 32-bit points (two words, low first)
    std::size_t numLine;
    std::int32_t numId;
    std::size_t inLine; // input line of point 0; output line + 1; + 2 per point
    std::int32_t inId;  // input template of point 0; output + 1; + 2 per point
};

constexpr Place kBasePlace{12, 13, 14, 2, false, 12, 1512, 13, 1513};
constexpr Place kFreqPlaceA{44, 46, 48, 4, true, 22, 1718, 23, 1719};
constexpr Place kFreqPlaceF{112, 114, 116, 4, true, 56, 1752, 57, 1753};

// Slot A 3 (temperature) has no linearisation, nor has a code without a
// layout.
std::optional<Place> placeFor(std::int16_t slotA, bool channelA)
{
    if (slotA == SlotACode::GKP)
        return std::nullopt;
    switch (MemMapLayoutForSlotA(slotA)) {
    case MemMapLayout::MemMapBaseLayout: return kBasePlace;
    case MemMapLayout::MemMapFreqLayout: return channelA ? kFreqPlaceA : kFreqPlaceF;
    case MemMapLayout::None: break;
    }
    return std::nullopt;
}

// The number of points that travel in the lines and the report: NumSpezzate,
// never more than the 16 points there are (a value read from an instrument
// is not limited), none for 0 or less.
int pointsInUse(std::int16_t numSpezzate)
{
    return std::clamp<int>(numSpezzate, 0, CLinearize::kPoints);
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

CLinearize::CLinearize() : CParameterClass<CLinearize>(kChannelAName) {}

bool CLinearize::IsChannelA() const
{
    return ClassName() == kChannelAName;
}

bool CLinearize::ScalaInvertita() const
{
    CScaleMisuraDisplay &scale = IsChannelA() ? *g_Scala : *g_ScalaB;
    return scale.FineScalaDisplay() < scale.InizioScalaDisplay();
}

void CLinearize::checkIndex(std::int16_t index)
{
    if (index < 0 || index >= kPoints)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
}

std::int32_t CLinearize::CoordinateIn(std::int16_t index) const
{
    checkIndex(index);
    return m_CoordinateIn[static_cast<std::size_t>(index)];
}

std::int32_t CLinearize::CoordinateOut(std::int16_t index) const
{
    checkIndex(index);
    return m_CoordinateOut[static_cast<std::size_t>(index)];
}

void CLinearize::SetCoordinateIn(std::int16_t index, std::int32_t v)
{
    checkIndex(index);
    m_CoordinateIn[static_cast<std::size_t>(index)] = v;
}

void CLinearize::SetCoordinateOut(std::int16_t index, std::int32_t v)
{
    checkIndex(index);
    m_CoordinateOut[static_cast<std::size_t>(index)] = v;
}

CScaleMisuraDisplay &CLinearize::outputScale(std::int16_t slotA) const
{
    if (!IsChannelA() && ModuleCodes::IsFrequencyModule(slotA))
        return *g_ScalaB;
    return *g_Scala;
}

void CLinearize::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_NumSpezzate"), m_NumSpezzate);
    for (int i = 0; i < kPoints; ++i) {
        const auto k = static_cast<std::size_t>(i);
        c.Column(QStringLiteral("m_CoordinateIn") + twoDigits(i), m_CoordinateIn[k]);
        c.Column(QStringLiteral("m_CoordinateOut") + twoDigits(i), m_CoordinateOut[k]);
    }
}

// The values of each field that every road in takes as they are.
std::span<const FieldRule> CLinearize::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        NumberRule("m_NumSpezzate", kFewestPoints, kPoints),
    };
    return kRules;
}

std::vector<FieldRule> CLinearize::ContextRules() const
{
    // The column names of the points, as the rules need them to stay.
    static const std::array<QByteArray, 2 *kPoints> kPointColumns = [] {
        std::array<QByteArray, 2 * kPoints> names;
        for (int i = 0; i < kPoints; ++i) {
            names[static_cast<std::size_t>(2 * i)] = "m_CoordinateIn" + twoDigits(i).toLatin1();
            names[static_cast<std::size_t>(2 * i + 1)] = "m_CoordinateOut" + twoDigits(i).toLatin1();
        }
        return names;
    }();
    std::vector<FieldRule> rules;
    const auto place = placeFor(SlotA(), IsChannelA());
    if (!place || place->wide)
        return rules;
    for (int i = 0; i < 2 * pointsInUse(m_NumSpezzate); ++i)
        rules.push_back(WordRule(kPointColumns[static_cast<std::size_t>(i)].constData()));
    return rules;
}

void CLinearize::CopyProperties(const CLinearize &from, CLinearize &to)
{
    to.SetClassName(from.ClassName());
    to.SetNumSpezzate(from.NumSpezzate());
    for (std::int16_t i = 0; i < kPoints; ++i) {
        to.SetCoordinateIn(i, from.CoordinateIn(i));
        to.SetCoordinateOut(i, from.CoordinateOut(i));
    }
    to.SetElectricDigitalPoint(from.ElectricDigitalPoint());
    to.SetMinElectricScale(from.MinElectricScale());
    to.SetMaxElectricScale(from.MaxElectricScale());
    to.CopyInstrumentContext(from);
    to.SetDisplayDigit(from.DisplayDigit());
}

void CLinearize::SetReport(ReportRecordset &report) const
{
    const int points = pointsInUse(m_NumSpezzate);
    // Every text first, so a failure (a decimal point without a format)
    // appends no row at all.
    std::vector<QStringList> rows;
    QString header;
    if (ModuleCodes::IsFrequencyModule(SlotA()))
        header = GetResourceText(kReportNumPointsOf,
                                 {QVariant(LoadResourceString(IsChannelA() ? kReportChannelA : kReportChannelF))});
    else
        header = LoadResourceString(kReportNumPointsP);
    rows.push_back({header, QString::number(m_NumSpezzate)});
    if (points > 0) {
        const DigitalPointInfo input = CScaleMisuraDisplay::GetDigitalPointInfo(m_ElectricDigitalPoint);
        const DigitalPointInfo output =
            CScaleMisuraDisplay::GetDigitalPointInfo(outputScale(SlotA()).DigitalPointScalaDisplay());
        const QString unit = g_Scala->UnitaMisuraScalaElettrica();
        for (int i = 0; i < points; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const QVariantList number{QVariant(QString::number(i)), QVariant(twoDigits(i))};
            rows.push_back({GetResourceText(kReportInput, number),
                            ReportNumberText(m_CoordinateIn[k], input) + QStringLiteral(" ") + unit});
            rows.push_back({GetResourceText(kReportOutput, number), ReportNumberText(m_CoordinateOut[k], output)});
        }
    }
    for (const QStringList &row : rows)
        AddReportRow(report, row);
}

void CLinearize::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    const auto place = placeFor(modInstr.SlotA(), IsChannelA());
    if (!place)
        return;
    map[place->numWord] = m_NumSpezzate;
    for (std::size_t i = 0; i < kPoints; ++i) {
        const std::size_t in = place->inWord + place->stride * i;
        const std::size_t out = place->outWord + place->stride * i;
        // The base layout has one word per value: only the low 16 bits go.
        map[in] = LoWord(m_CoordinateIn[i]);
        map[out] = LoWord(m_CoordinateOut[i]);
        if (place->wide) {
            map[in + 1] = HiWord(m_CoordinateIn[i]);
            map[out + 1] = HiWord(m_CoordinateOut[i]);
        }
    }
}

void CLinearize::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    const auto place = placeFor(modInstr.SlotA(), IsChannelA());
    if (!place)
        return;
    m_NumSpezzate = map[place->numWord];
    for (std::size_t i = 0; i < kPoints; ++i) {
        const std::size_t in = place->inWord + place->stride * i;
        const std::size_t out = place->outWord + place->stride * i;
        if (place->wide) {
            m_CoordinateIn[i] = MakeLong(map[in], map[in + 1]);
            m_CoordinateOut[i] = MakeLong(map[out], map[out + 1]);
        } else {
            m_CoordinateIn[i] = map[in];
            m_CoordinateOut[i] = map[out];
        }
    }
}

void CLinearize::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    const auto place = placeFor(modInstr.SlotA(), IsChannelA());
    if (!place)
        return;
    // The channel's CInOutScale wrote its switch line before: "off" (exactly,
    // case-sensitive) means no linearisation line at all.
    const auto switchLine = LinearizationSwitchLine(modInstr.SlotA(), IsChannelA());
    if (switchLine && lines[switchLine->index] == LinearizationSwitchLineText(switchLine->templateId, false))
        return;

    // Every line is built before any is stored, so a failure (a decimal point
    // without a format) leaves the array as it was.
    std::vector<std::pair<std::size_t, QString>> out;
    out.emplace_back(place->numLine, AuxLine(place->numId, QString::number(m_NumSpezzate)));
    const int points = pointsInUse(m_NumSpezzate);
    if (points > 0) {
        const DigitalPointInfo input = CScaleMisuraDisplay::GetDigitalPointInfo(m_ElectricDigitalPoint);
        const DigitalPointInfo output =
            CScaleMisuraDisplay::GetDigitalPointInfo(outputScale(modInstr.SlotA()).DigitalPointScalaDisplay());
        for (int i = 0; i < points; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const std::size_t line = place->inLine + 2 * k;
            const std::int32_t id = place->inId + 2 * i;
            out.emplace_back(line, AuxLine(id, CommaToPoint(AuxNumberText(m_CoordinateIn[k], input))));
            out.emplace_back(line + 1, AuxLine(id + 1, CommaToPoint(AuxNumberText(m_CoordinateOut[k], output))));
        }
    }
    for (auto &[index, text] : out)
        lines[index] = std::move(text);
}

void CLinearize::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    const auto place = placeFor(modInstr.SlotA(), IsChannelA());
    if (!place)
        return;
    const auto read = [&](std::int32_t id) -> std::int32_t {
        const QString digits = RemovePoints(FindCmdAuxValue(static_cast<std::int16_t>(id), lines));
        const QString what = AuxCommandPrefix(id);
        // The frequency layout carries 32-bit points, the base layout 16-bit.
        return place->wide ? ReadDecimalLong(digits, what) : ReadDecimalInteger(digits, what);
    };

    // Everything is read before anything is stored: a bad line leaves the
    // object as it was.
    const std::int16_t numSpezzate = ReadDecimalInteger(FindCmdAuxValue(static_cast<std::int16_t>(place->numId), lines),
                                                        AuxCommandPrefix(place->numId));
    const int points = pointsInUse(numSpezzate);
    auto in = m_CoordinateIn;
    auto out = m_CoordinateOut;
    for (int i = 0; i < points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        in[k] = read(place->inId + 2 * i);
        out[k] = read(place->inId + 2 * i + 1);
    }
    m_NumSpezzate = numSpezzate;
    m_CoordinateIn = in;
    m_CoordinateOut = out;
}
