#include "CCounterAB.h"

#include "CInOutScale.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "MBytes.h"
#include "MemMapLayout.h"
#include "ModuleCodes.h"
#include "ParameterClassRegistry.h"
#include "ScaleValueLines.h"
#include "StringTable.h"

#include <vector>

static const RegisterParameterClass<CCounterAB> kRegistration{"CCounterAB"};

namespace {

// Frequency-layout words. Channel A's electrical scale takes the words of
// the channel-A scale object; counter A's display decimal point takes the
// word of channel F's electrical decimal point, and counter B's settings the
// words of channel F's display scale (decimal point, start low word, end).
constexpr std::size_t kWordCounterADigitalPoint = 26;
constexpr std::size_t kWordCounterAPulseWeight = 28;
constexpr std::size_t kWordMeasureDigitalPointCounterA = kFreqScaleWordsF.electricDigitalPoint; // 30
constexpr std::size_t kWordCounterBDigitalPoint = kFreqScaleWordsF.minMeasureScale;             // 38
constexpr std::size_t kWordCounterBPulseWeight = kFreqScaleWordsF.maxMeasureScale;              // 40
constexpr std::size_t kWordMeasureDigitalPointCounterB = kFreqScaleWordsF.measureDigitalPoint;  // 36
static_assert(kWordMeasureDigitalPointCounterA == 30 && kWordCounterBDigitalPoint == 38 &&
              kWordCounterBPulseWeight == 40 && kWordMeasureDigitalPointCounterB == 36);

constexpr AuxLinePlace kLineCounterADigitalPoint{13, 1790};        // "Cnt.A>dP.Pr=|1"
constexpr AuxLinePlace kLineCounterAPulseWeight{14, 1791};         // "Cnt.A>PrES=|1"
constexpr AuxLinePlace kLineMeasureDigitalPointCounterA{15, 1789}; // "Cnt.A>dP.d=|1"
constexpr AuxLinePlace kLineCounterBDigitalPoint{19, 1793};        // "Cnt.F>dP.Pr=|1"
constexpr AuxLinePlace kLineCounterBPulseWeight{20, 1794};         // "Cnt.F>PrES=|1"
constexpr AuxLinePlace kLineMeasureDigitalPointCounterB{18, 1792}; // "Cnt.F>dP.d=|1"

constexpr std::int32_t kReportElectricTitle = 5721;         // "#SBAC#Electrical range (SCA.A)"
constexpr std::int32_t kReportMaxElectric = 5722;           // "#SB#Maximum input value (Hi.E)"
constexpr std::int32_t kReportMinElectric = 5723;           // "#SB#Minimum input value (Lo.E)"
constexpr std::int32_t kReportCounterATitle = 5724;         // "#SBAC#Settings of channel A (Cnt.A)"
constexpr std::int32_t kReportMeasureDigitalPoint = 5725;   // "#SB#Counter decimal point position (dP.d)"
constexpr std::int32_t kReportPrescalerDigitalPoint = 5726; // "#SB#Decimal point position of the prescaler (dP.Pr)"
constexpr std::int32_t kReportPrescaler = 5727;             // "#SB#Prescaler (PrES)"
constexpr std::int32_t kReportCounterBTitle = 5728;         // "#SBAC#Settings of channel F (Cnt.F)"
constexpr std::int32_t kReportElectricDigitalPoint = 5729;  // "#SB#Decimal point position (dP.E)"

bool isModule4or5(const CModInstr &modInstr)
{
    return MemMapLayoutForSlotA(modInstr.SlotA()) == MemMapLayout::MemMapFreqLayout;
}

} // namespace

CCounterAB::CCounterAB() : CParameterClass<CCounterAB>(QStringLiteral("CCounterAB")) {}

void CCounterAB::Columns(ColumnVisitor &c)
{
    c.Column(QStringLiteral("m_ElectricDigitalPoint"), m_ElectricDigitalPoint);
    c.Column(QStringLiteral("m_MinElectricScale"), m_MinElectricScale);
    c.Column(QStringLiteral("m_MaxElectricScale"), m_MaxElectricScale);
    c.Column(QStringLiteral("m_MeasureDigitalPointCounterA"), m_MeasureDigitalPointCounterA);
    c.Column(QStringLiteral("m_CounterAPulseWeight"), m_CounterAPulseWeight);
    c.Column(QStringLiteral("m_CounterADigitalPoint"), m_CounterADigitalPoint);
    c.Column(QStringLiteral("m_MeasureDigitalPointCounterB"), m_MeasureDigitalPointCounterB);
    c.Column(QStringLiteral("m_CounterBPulseWeight"), m_CounterBPulseWeight);
    c.Column(QStringLiteral("m_CounterBDigitalPoint"), m_CounterBDigitalPoint);
}

std::span<const FieldRule> CCounterAB::FieldRules() const
{
    static constexpr FieldRule kRules[] = {
        DigitalPointRule("m_ElectricDigitalPoint"), DigitalPointRule("m_MeasureDigitalPointCounterA"),
        DigitalPointRule("m_CounterADigitalPoint"), DigitalPointRule("m_MeasureDigitalPointCounterB"),
        DigitalPointRule("m_CounterBDigitalPoint"),
    };
    return kRules;
}

void CCounterAB::CopyProperties(const CCounterAB &from, CCounterAB &to)
{
    to.SetElectricDigitalPoint(from.ElectricDigitalPoint());
    to.SetMinElectricScale(from.MinElectricScale());
    to.SetMaxElectricScale(from.MaxElectricScale());
    to.SetMeasureDigitalPointCounterA(from.MeasureDigitalPointCounterA());
    to.SetCounterAPulseWeight(from.CounterAPulseWeight());
    to.SetCounterADigitalPoint(from.CounterADigitalPoint());
    to.SetMeasureDigitalPointCounterB(from.MeasureDigitalPointCounterB());
    to.SetCounterBPulseWeight(from.CounterBPulseWeight());
    to.SetCounterBDigitalPoint(from.CounterBDigitalPoint());
    to.SetWPxFunction(from.WPxFunction());
}

void CCounterAB::SetDisplayScale() const
{
    switch (m_WPxFunction) {
    case WPxFunctionCode::F8: g_ScalaB->SetScalaDisplay(m_MeasureDigitalPointCounterA, 0, kCounterDisplayEnd); break;
    case WPxFunctionCode::F9: g_ScalaB->SetScalaDisplay(m_MeasureDigitalPointCounterB, 0, kCounterDisplayEnd); break;
    case WPxFunctionCode::F10:
    case WPxFunctionCode::F11:
        g_Scala->SetScalaDisplay(m_MeasureDigitalPointCounterA, 0, kCounterDisplayEnd);
        g_ScalaB->SetScalaDisplay(m_MeasureDigitalPointCounterB, 0, kCounterDisplayEnd);
        break;
    default: break;
    }
}

void CCounterAB::SetReport(ReportRecordset &report) const
{
    const auto label = [](std::int32_t id) { return LoadResourceString(id); };
    if (electricInUse()) {
        const QString unit = g_Scala->UnitaMisuraScalaElettrica();
        AddReportRow(report, {label(kReportElectricTitle)});
        AddReportRow(report, {label(kReportElectricDigitalPoint), DigitalPointSampleText(m_ElectricDigitalPoint)});
        AddReportRow(report, {label(kReportMinElectric), ReportScaleText(m_MinElectricScale, m_ElectricDigitalPoint) +
                                                             QStringLiteral(" ") + unit});
        AddReportRow(report, {label(kReportMaxElectric), ReportScaleText(m_MaxElectricScale, m_ElectricDigitalPoint) +
                                                             QStringLiteral(" ") + unit});
    }
    const auto counter = [&](std::int32_t titleId, std::int32_t measureDp, std::int32_t prescalerDp,
                             std::int32_t pulseWeight) {
        AddReportRow(report, {label(titleId)});
        AddReportRow(report, {label(kReportMeasureDigitalPoint), DigitalPointSampleText(measureDp)});
        AddReportRow(report, {label(kReportPrescalerDigitalPoint), DigitalPointSampleText(prescalerDp)});
        AddReportRow(report, {label(kReportPrescaler), ReportScaleText(pulseWeight, prescalerDp)});
    };
    if (counterAInUse())
        counter(kReportCounterATitle, m_MeasureDigitalPointCounterA, m_CounterADigitalPoint, m_CounterAPulseWeight);
    if (counterBInUse())
        counter(kReportCounterBTitle, m_MeasureDigitalPointCounterB, m_CounterBDigitalPoint, m_CounterBPulseWeight);
}

void CCounterAB::GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const
{
    if (!isModule4or5(modInstr))
        return;
    if (electricInUse()) {
        map[kFreqScaleWordsA.electricDigitalPoint] = LoWord(m_ElectricDigitalPoint);
        PutWordPair(map, kFreqScaleWordsA.minElectricScale, m_MinElectricScale);
        PutWordPair(map, kFreqScaleWordsA.maxElectricScale, m_MaxElectricScale);
    }
    if (counterAInUse()) {
        map[kWordCounterADigitalPoint] = LoWord(m_CounterADigitalPoint);
        PutWordPair(map, kWordCounterAPulseWeight, m_CounterAPulseWeight);
        map[kWordMeasureDigitalPointCounterA] = LoWord(m_MeasureDigitalPointCounterA);
    }
    if (counterBInUse()) {
        map[kWordCounterBDigitalPoint] = LoWord(m_CounterBDigitalPoint);
        PutWordPair(map, kWordCounterBPulseWeight, m_CounterBPulseWeight);
        map[kWordMeasureDigitalPointCounterB] = LoWord(m_MeasureDigitalPointCounterB);
    }
}

void CCounterAB::SetUserSetup(const CModInstr &modInstr, const MemMapWords &map)
{
    if (!isModule4or5(modInstr))
        return;
    // The counters show six digits on every model; the electrical decimal
    // point has the six-digit family only on model 3.
    SetElectricDigitalPoint(
        WordDigitalPoint(map[kFreqScaleWordsA.electricDigitalPoint], modInstr.ModelloStrumento() == ModelCode::Oxa16));
    SetMinElectricScale(ReadWordPair(map, kFreqScaleWordsA.minElectricScale));
    SetMaxElectricScale(ReadWordPair(map, kFreqScaleWordsA.maxElectricScale));
    SetCounterADigitalPoint(WordDigitalPoint(map[kWordCounterADigitalPoint], true));
    SetCounterAPulseWeight(ReadWordPair(map, kWordCounterAPulseWeight));
    SetMeasureDigitalPointCounterA(WordDigitalPoint(map[kWordMeasureDigitalPointCounterA], true));
    SetCounterBDigitalPoint(WordDigitalPoint(map[kWordCounterBDigitalPoint], true));
    SetCounterBPulseWeight(ReadWordPair(map, kWordCounterBPulseWeight));
    SetMeasureDigitalPointCounterB(WordDigitalPoint(map[kWordMeasureDigitalPointCounterB], true));
}

void CCounterAB::GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const
{
    if (!isModule4or5(modInstr))
        return;
    // Every value text is made before the first line is stored, so a value
    // without a text (an unknown decimal point) leaves the lines as they were.
    struct Line {
        AuxLinePlace place;
        QString value;
    };
    std::vector<Line> out;
    if (electricInUse()) {
        out.push_back({kFreqElectricDigitalPointLineA, DigitalPointSampleText(m_ElectricDigitalPoint)});
        out.push_back({kFreqMinElectricScaleLineA, AuxScaleText(m_MinElectricScale, m_ElectricDigitalPoint)});
        out.push_back({kFreqMaxElectricScaleLineA, AuxScaleText(m_MaxElectricScale, m_ElectricDigitalPoint)});
    }
    if (counterAInUse()) {
        out.push_back({kLineCounterADigitalPoint, DigitalPointSampleText(m_CounterADigitalPoint)});
        out.push_back({kLineCounterAPulseWeight, AuxScaleText(m_CounterAPulseWeight, m_CounterADigitalPoint)});
        out.push_back({kLineMeasureDigitalPointCounterA, DigitalPointSampleText(m_MeasureDigitalPointCounterA)});
    }
    if (counterBInUse()) {
        out.push_back({kLineCounterBDigitalPoint, DigitalPointSampleText(m_CounterBDigitalPoint)});
        out.push_back({kLineCounterBPulseWeight, AuxScaleText(m_CounterBPulseWeight, m_CounterBDigitalPoint)});
        out.push_back({kLineMeasureDigitalPointCounterB, DigitalPointSampleText(m_MeasureDigitalPointCounterB)});
    }
    for (const Line &l : out)
        lines[l.place.index] = ScaleAuxLine(l.place.templateId, l.value);
}

void CCounterAB::SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines)
{
    if (!isModule4or5(modInstr))
        return;
    // Every value is read before any is stored: a bad line leaves the object
    // as it was.
    const std::int32_t function = ReadAuxFunctionIndex(lines);
    const bool counterA = WPxFunctions::UsesCounterA(function);
    const bool counterB = WPxFunctions::UsesCounterB(function);

    const std::int32_t dpE = ReadAuxDigitalPoint(lines, kFreqElectricDigitalPointLineA.templateId);
    const std::int32_t minE = ReadAuxScale32(lines, kFreqMinElectricScaleLineA.templateId);
    const std::int32_t maxE = ReadAuxScale32(lines, kFreqMaxElectricScaleLineA.templateId);

    std::int32_t dpA = m_CounterADigitalPoint, weightA = m_CounterAPulseWeight,
                 measureA = m_MeasureDigitalPointCounterA;
    if (counterA) {
        dpA = ReadAuxDigitalPoint(lines, kLineCounterADigitalPoint.templateId);
        weightA = ReadAuxScale32(lines, kLineCounterAPulseWeight.templateId);
        measureA = ReadAuxDigitalPoint(lines, kLineMeasureDigitalPointCounterA.templateId);
    }
    std::int32_t dpB = m_CounterBDigitalPoint, weightB = m_CounterBPulseWeight,
                 measureB = m_MeasureDigitalPointCounterB;
    if (counterB) {
        dpB = ReadAuxDigitalPoint(lines, kLineCounterBDigitalPoint.templateId);
        weightB = ReadAuxScale32(lines, kLineCounterBPulseWeight.templateId);
        measureB = ReadAuxDigitalPoint(lines, kLineMeasureDigitalPointCounterB.templateId);
    }

    SetElectricDigitalPoint(dpE);
    SetMinElectricScale(minE);
    SetMaxElectricScale(maxE);
    SetCounterADigitalPoint(dpA);
    SetCounterAPulseWeight(weightA);
    SetMeasureDigitalPointCounterA(measureA);
    SetCounterBDigitalPoint(dpB);
    SetCounterBPulseWeight(weightB);
    SetMeasureDigitalPointCounterB(measureB);
}
