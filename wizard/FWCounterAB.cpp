#include "FWCounterAB.h"

#include "CComboBox.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "FWInOutScale.h"
#include "PageControls.h"
#include "WPxFunctionCodes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTitle = 720; // "Decimal point position of the input signal..."

constexpr std::int32_t kElectricMin = 0;
constexpr std::int32_t kElectricMax = 32767;
constexpr std::int32_t kPulseWeightMin = 1;
constexpr std::int32_t kPulseWeightMax = 999999;
// The six-digit decimal points of the counters (0 to 5 decimals).
constexpr std::int32_t kSixDigitsFirst = 0x10000;
constexpr std::int32_t kSixDigitsLast = 0x10005;
// The highest electrical count the counter functions offer.
constexpr std::int32_t kElectricTopLimit = 999999;

} // namespace

using namespace pagecontrols;

struct FWCounterAB::CounterNames {
    const char *frame;
    std::int32_t captionId;
    std::array<const char *, 3> labels;
    const char *measureDigitalPointCombo;
    const char *digitalPointCombo;
    const char *pulseWeightTextBox;
    const char *upDown;
    const char *measureDigitalPoint;
    const char *digitalPoint;
    const char *pulseWeight;
};

FWCounterAB::FWCounterAB(QWidget *parent) : FWizardScalePage<CCounterAB>(QStringLiteral("FWCounterAB"), kTitle, parent)
{
    frmElettricScale = NewFrame(Body(), QStringLiteral("frmElettricScale"), 721);
    QLabel *Label6 = NewLabel(frmElettricScale, QStringLiteral("Label6"), 729);
    QComboBox *cmbElettricDigitalPoint = NewCombo(frmElettricScale, QStringLiteral("cmbElettricDigitalPoint"));
    QLabel *Label3 = NewLabel(frmElettricScale, QStringLiteral("Label3"), 723);
    UpDownControl *UpDown3 = nullptr;
    QLineEdit *txtMinElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMinElectricScale"), UpDown3, QStringLiteral("UpDown3"));
    QLabel *Label4 = NewLabel(frmElettricScale, QStringLiteral("Label4"), 722);
    UpDownControl *UpDown2 = nullptr;
    QLineEdit *txtMaxElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMaxElectricScale"), UpDown2, QStringLiteral("UpDown2"));
    LayOutRows(frmElettricScale,
               {{Label6, cmbElettricDigitalPoint}, {Label3, txtMinElectricScale}, {Label4, txtMaxElectricScale}});
    m_ElectricDigitalPoint = NewComboWrapper(this, "m_ElectricDigitalPoint", cmbElettricDigitalPoint);
    m_MinElectricScale = NewSpin(this, "m_MinElectricScale", txtMinElectricScale, UpDown3, kElectricMin, kElectricMax);
    m_MaxElectricScale = NewSpin(this, "m_MaxElectricScale", txtMaxElectricScale, UpDown2, kElectricMin, kElectricMax);

    // The counters share their captions: each frame holds the same three
    // rows under names of its own.
    m_CounterA = NewCounter({.frame = "frmCounterAPulseWeight",
                             .captionId = 724,
                             .labels = {"Label5", "Label8", "Label7"},
                             .measureDigitalPointCombo = "cmbMeasureDigitalPointCounterA",
                             .digitalPointCombo = "cmbCounterADigitalPoint",
                             .pulseWeightTextBox = "txtCounterAPulseWeight",
                             .upDown = "UpDown5",
                             .measureDigitalPoint = "m_MeasureDigitalPointCounterA",
                             .digitalPoint = "m_CounterADigitalPoint",
                             .pulseWeight = "m_CounterAPulseWeight"});
    m_CounterB = NewCounter({.frame = "frmCounterBPulseWeight",
                             .captionId = 728,
                             .labels = {"Label9", "Label1", "Label2"},
                             .measureDigitalPointCombo = "cmbMeasureDigitalPointCounterB",
                             .digitalPointCombo = "cmbCounterBDigitalPoint",
                             .pulseWeightTextBox = "txtCounterBPulseWeight",
                             .upDown = "UpDown1",
                             .measureDigitalPoint = "m_MeasureDigitalPointCounterB",
                             .digitalPoint = "m_CounterBDigitalPoint",
                             .pulseWeight = "m_CounterBPulseWeight"});

    // The three frames stand one under the other at the left edge; a hidden
    // electrical frame leaves no gap, so the counter frames move up.
    auto *layout = new QVBoxLayout(Body());
    layout->addWidget(frmElettricScale);
    layout->addWidget(m_CounterA.frame);
    layout->addWidget(m_CounterB.frame);
    layout->addStretch(1);

    // The display decimal points change nothing else on the page.
    connect(m_ElectricDigitalPoint, &CComboBox::Change, this, &FWCounterAB::m_ElectricDigitalPoint_Change);
    connect(m_CounterA.digitalPoint, &CComboBox::Change, this, [this] { ShowPulseWeightFormat(m_CounterA); });
    connect(m_CounterB.digitalPoint, &CComboBox::Change, this, [this] { ShowPulseWeightFormat(m_CounterB); });
}

FWCounterAB::Counter FWCounterAB::NewCounter(const CounterNames &names)
{
    Counter c;
    c.frame = NewFrame(Body(), names.frame, names.captionId);
    c.labels[0] = NewLabel(c.frame, names.labels[0], 725);
    QComboBox *measureDigitalPoint = NewCombo(c.frame, names.measureDigitalPointCombo);
    c.labels[1] = NewLabel(c.frame, names.labels[1], 726);
    QComboBox *digitalPoint = NewCombo(c.frame, names.digitalPointCombo);
    c.labels[2] = NewLabel(c.frame, names.labels[2], 727);
    UpDownControl *upDown = nullptr;
    QLineEdit *pulseWeight = NewSpinTextBox(c.frame, names.pulseWeightTextBox, upDown, names.upDown);
    LayOutRows(c.frame, {{c.labels[0], measureDigitalPoint}, {c.labels[1], digitalPoint}, {c.labels[2], pulseWeight}});

    c.measureDigitalPoint = NewComboWrapper(this, names.measureDigitalPoint, measureDigitalPoint);
    c.digitalPoint = NewComboWrapper(this, names.digitalPoint, digitalPoint);
    c.pulseWeight = NewSpin(this, names.pulseWeight, pulseWeight, upDown, kPulseWeightMin, kPulseWeightMax);
    // The counters' lists are fixed; the electrical list follows g_Scala and
    // is filled at every load.
    for (CComboBox *combo : {c.measureDigitalPoint, c.digitalPoint})
        FWInOutScale::AddDigitalPointItems(*combo, kSixDigitsFirst, kSixDigitsLast);
    return c;
}

void FWCounterAB::EnableCounter(const Counter &counter, bool enabled)
{
    counter.frame->setEnabled(enabled);
    for (QLabel *label : counter.labels)
        label->setEnabled(enabled);
    counter.measureDigitalPoint->SetEnabled(enabled);
    counter.pulseWeight->SetEnabled(enabled);
    counter.digitalPoint->SetEnabled(enabled);
}

void FWCounterAB::ShowPulseWeightFormat(const Counter &counter)
{
    if (counter.digitalPoint->Value() >= 0)
        SetSpinFormat(*counter.pulseWeight, DisplayFormat(counter.digitalPoint->ItemData()));
}

FWCounterAB::~FWCounterAB() = default;

void FWCounterAB::FormLoad()
{
    // Every showing starts from the designed window: everything shown and
    // enabled, the spins at their starting limits and values.
    frmElettricScale->setVisible(true);
    EnableCounter(m_CounterA, true);
    EnableCounter(m_CounterB, true);

    m_ElectricDigitalPoint->ClearAllItem();
    FWInOutScale::AddDigitalPointItems(*m_ElectricDigitalPoint, g_Scala->DPScalaElettricaMin(),
                                       g_Scala->DPScalaElettricaMax());
    const QString unit = g_Scala->UnitaMisuraScalaElettrica();
    for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale}) {
        spin->SetMin(kElectricMin);
        spin->SetMax(kElectricMax);
        spin->SetValue(kElectricMin);
        spin->SetUnitaMisura(unit);
    }
    for (CTextDigitSpin *spin : {m_CounterA.pulseWeight, m_CounterB.pulseWeight}) {
        spin->SetMin(kPulseWeightMin);
        spin->SetMax(kPulseWeightMax);
        spin->SetValue(kPulseWeightMin);
    }
}

void FWCounterAB::PrepareControls()
{
    // The page's own rule comes before the data.
    ShowCounterFrames();
}

void FWCounterAB::ShowCounterFrames()
{
    const std::int16_t function = WorkingCopy().WPxFunction();
    // The counters hold channel A's electrical range when they take its
    // place; F8 and F9 use one counter each.
    frmElettricScale->setVisible(WPxFunctions::CountersTakeChannelA(function));
    if (function == WPxFunctionCode::F8)
        EnableCounter(m_CounterB, false);
    else if (function == WPxFunctionCode::F9)
        EnableCounter(m_CounterA, false);
}

void FWCounterAB::DataToControls()
{
    const CCounterAB &data = WorkingCopy();
    // The decimal point first: its handler sets the limits the two values
    // are clamped to.
    SelectListItemData(*m_ElectricDigitalPoint, data.ElectricDigitalPoint());
    m_ElectricDigitalPoint_Change();
    m_MinElectricScale->SetValue(data.MinElectricScale());
    m_MaxElectricScale->SetValue(data.MaxElectricScale());

    SelectListItemData(*m_CounterA.measureDigitalPoint, data.MeasureDigitalPointCounterA());
    m_CounterA.pulseWeight->SetValue(data.CounterAPulseWeight());
    SelectListItemData(*m_CounterA.digitalPoint, data.CounterADigitalPoint());
    ShowPulseWeightFormat(m_CounterA);

    SelectListItemData(*m_CounterB.measureDigitalPoint, data.MeasureDigitalPointCounterB());
    m_CounterB.pulseWeight->SetValue(data.CounterBPulseWeight());
    SelectListItemData(*m_CounterB.digitalPoint, data.CounterBDigitalPoint());
    ShowPulseWeightFormat(m_CounterB);
}

void FWCounterAB::ControlsToData()
{
    CCounterAB &data = WorkingCopy();
    data.SetElectricDigitalPoint(m_ElectricDigitalPoint->ItemData());
    data.SetMinElectricScale(m_MinElectricScale->Value());
    data.SetMaxElectricScale(m_MaxElectricScale->Value());
    data.SetMeasureDigitalPointCounterA(m_CounterA.measureDigitalPoint->ItemData());
    data.SetCounterAPulseWeight(m_CounterA.pulseWeight->Value());
    data.SetCounterADigitalPoint(m_CounterA.digitalPoint->ItemData());
    data.SetMeasureDigitalPointCounterB(m_CounterB.measureDigitalPoint->ItemData());
    data.SetCounterBPulseWeight(m_CounterB.pulseWeight->Value());
    data.SetCounterBDigitalPoint(m_CounterB.digitalPoint->ItemData());
}

bool FWCounterAB::CheckData()
{
    // Only the functions that show the electrical range check it; End, Next
    // and Back alike.
    return frmElettricScale->isHidden() || CheckMaxAboveMin(this, *m_MinElectricScale, *m_MaxElectricScale);
}

void FWCounterAB::m_ElectricDigitalPoint_Change()
{
    if (m_ElectricDigitalPoint->Value() < 0)
        return; // a list being refilled has no decimal point yet
    const DigitalPointInfo info = DisplayFormat(m_ElectricDigitalPoint->ItemData());
    const std::int32_t top =
        FWInOutScale::FrequencyRangeTop(g_Scala->FineScalaElettrica(), info.Factor, kElectricTopLimit);
    for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale}) {
        spin->SetMin(g_Scala->InizioScalaElettrica());
        spin->SetMax(top);
    }
    SetSpinFormat(*m_MinElectricScale, info);
    SetSpinFormat(*m_MaxElectricScale, info);
}
