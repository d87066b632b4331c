#include "FWCounterAB.h"

#include "CComboBox.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "FWInOutScale.h"
#include "MsgBox.h"
#include "PageControls.h"
#include "StringTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTitle = 720; // "Decimal point position of the input signal..."
constexpr std::int32_t kMaxNotAboveMin = 797;

constexpr std::int32_t kElectricMin = 0;
constexpr std::int32_t kElectricMax = 32767;
constexpr std::int32_t kPulseWeightMin = 1;
constexpr std::int32_t kPulseWeightMax = 999999;
// The six-digit decimal points of the counters (0 to 5 decimals).
constexpr std::int32_t kSixDigitsFirst = 0x10000;
constexpr std::int32_t kSixDigitsLast = 0x10005;
// The highest electrical count the counter functions offer.
constexpr std::int32_t kElectricTopLimit = 999999;

// The functions of WPxFunction the page tells apart.
constexpr std::int16_t kFunctionF8 = 7;  // counter A only
constexpr std::int16_t kFunctionF9 = 8;  // counter B only
constexpr std::int16_t kFunctionF10 = 9; // F10 and F11: with the electrical range

QGridLayout *rows(QGroupBox *frame, std::initializer_list<std::pair<QWidget *, QWidget *>> labelled)
{
    auto *grid = new QGridLayout(frame);
    int row = 0;
    for (const auto &[label, control] : labelled) {
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    }
    return grid;
}

void setSpinFormat(CTextDigitSpin &spin, const DigitalPointInfo &info)
{
    spin.SetMoltiplicatore(info.Factor);
    spin.SetDataFormat(info.NumberFormat);
}

} // namespace

using namespace pagecontrols;

FWCounterAB::FWCounterAB(QWidget *parent)
    : FWizardDataPage<CCounterAB>(QStringLiteral("FWCounterAB"), kTitle, parent)
{
    frmElettricScale = NewFrame(Body(), QStringLiteral("frmElettricScale"), 721);
    Label6 = NewLabel(frmElettricScale, QStringLiteral("Label6"), 729);
    cmbElettricDigitalPoint = NewCombo(frmElettricScale, QStringLiteral("cmbElettricDigitalPoint"));
    Label3 = NewLabel(frmElettricScale, QStringLiteral("Label3"), 723);
    txtMinElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMinElectricScale"), UpDown3, QStringLiteral("UpDown3"));
    Label4 = NewLabel(frmElettricScale, QStringLiteral("Label4"), 722);
    txtMaxElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMaxElectricScale"), UpDown2, QStringLiteral("UpDown2"));
    rows(frmElettricScale,
         {{Label6, cmbElettricDigitalPoint}, {Label3, txtMinElectricScale}, {Label4, txtMaxElectricScale}});

    frmCounterAPulseWeight = NewFrame(Body(), QStringLiteral("frmCounterAPulseWeight"), 724);
    Label5 = NewLabel(frmCounterAPulseWeight, QStringLiteral("Label5"), 725);
    cmbMeasureDigitalPointCounterA =
        NewCombo(frmCounterAPulseWeight, QStringLiteral("cmbMeasureDigitalPointCounterA"));
    Label8 = NewLabel(frmCounterAPulseWeight, QStringLiteral("Label8"), 726);
    cmbCounterADigitalPoint = NewCombo(frmCounterAPulseWeight, QStringLiteral("cmbCounterADigitalPoint"));
    Label7 = NewLabel(frmCounterAPulseWeight, QStringLiteral("Label7"), 727);
    txtCounterAPulseWeight =
        NewSpinTextBox(frmCounterAPulseWeight, QStringLiteral("txtCounterAPulseWeight"), UpDown5,
                       QStringLiteral("UpDown5"));
    rows(frmCounterAPulseWeight, {{Label5, cmbMeasureDigitalPointCounterA},
                                  {Label8, cmbCounterADigitalPoint},
                                  {Label7, txtCounterAPulseWeight}});

    frmCounterBPulseWeight = NewFrame(Body(), QStringLiteral("frmCounterBPulseWeight"), 728);
    Label9 = NewLabel(frmCounterBPulseWeight, QStringLiteral("Label9"), 725);
    cmbMeasureDigitalPointCounterB =
        NewCombo(frmCounterBPulseWeight, QStringLiteral("cmbMeasureDigitalPointCounterB"));
    Label1 = NewLabel(frmCounterBPulseWeight, QStringLiteral("Label1"), 726);
    cmbCounterBDigitalPoint = NewCombo(frmCounterBPulseWeight, QStringLiteral("cmbCounterBDigitalPoint"));
    Label2 = NewLabel(frmCounterBPulseWeight, QStringLiteral("Label2"), 727);
    txtCounterBPulseWeight =
        NewSpinTextBox(frmCounterBPulseWeight, QStringLiteral("txtCounterBPulseWeight"), UpDown1,
                       QStringLiteral("UpDown1"));
    rows(frmCounterBPulseWeight, {{Label9, cmbMeasureDigitalPointCounterB},
                                  {Label1, cmbCounterBDigitalPoint},
                                  {Label2, txtCounterBPulseWeight}});

    // The three frames stand one under the other at the left edge; a hidden
    // electrical frame leaves no gap, so the counter frames move up.
    auto *layout = new QVBoxLayout(Body());
    layout->addWidget(frmElettricScale);
    layout->addWidget(frmCounterAPulseWeight);
    layout->addWidget(frmCounterBPulseWeight);
    layout->addStretch(1);

    const auto makeCombo = [this](const char *name, QComboBox *combo) {
        auto *wrapper = new CComboBox(this);
        wrapper->setObjectName(QString::fromLatin1(name));
        wrapper->Create(combo);
        return wrapper;
    };
    const auto makeSpin = [this](const char *name, QLineEdit *text, UpDownControl *upDown, std::int32_t min,
                                 std::int32_t max) {
        auto *spin = new CTextDigitSpin(this);
        spin->setObjectName(QString::fromLatin1(name));
        spin->Create(text, upDown, min, max, 1, true, true);
        return spin;
    };
    m_ElectricDigitalPoint = makeCombo("m_ElectricDigitalPoint", cmbElettricDigitalPoint);
    m_MinElectricScale = makeSpin("m_MinElectricScale", txtMinElectricScale, UpDown3, kElectricMin, kElectricMax);
    m_MaxElectricScale = makeSpin("m_MaxElectricScale", txtMaxElectricScale, UpDown2, kElectricMin, kElectricMax);
    m_MeasureDigitalPointCounterA = makeCombo("m_MeasureDigitalPointCounterA", cmbMeasureDigitalPointCounterA);
    m_CounterADigitalPoint = makeCombo("m_CounterADigitalPoint", cmbCounterADigitalPoint);
    m_CounterAPulseWeight =
        makeSpin("m_CounterAPulseWeight", txtCounterAPulseWeight, UpDown5, kPulseWeightMin, kPulseWeightMax);
    m_MeasureDigitalPointCounterB = makeCombo("m_MeasureDigitalPointCounterB", cmbMeasureDigitalPointCounterB);
    m_CounterBDigitalPoint = makeCombo("m_CounterBDigitalPoint", cmbCounterBDigitalPoint);
    m_CounterBPulseWeight =
        makeSpin("m_CounterBPulseWeight", txtCounterBPulseWeight, UpDown1, kPulseWeightMin, kPulseWeightMax);

    // The counters' fixed lists; the electrical list follows g_Scala and is
    // filled at every load.
    for (CComboBox *combo : {m_MeasureDigitalPointCounterA, m_CounterADigitalPoint, m_MeasureDigitalPointCounterB,
                             m_CounterBDigitalPoint})
        FWInOutScale::AddDigitalPointItems(*combo, kSixDigitsFirst, kSixDigitsLast);

    // The display decimal points change nothing else on the page.
    connect(m_ElectricDigitalPoint, &CComboBox::Change, this, &FWCounterAB::m_ElectricDigitalPoint_Change);
    connect(m_CounterADigitalPoint, &CComboBox::Change, this, &FWCounterAB::m_CounterADigitalPoint_Change);
    connect(m_CounterBDigitalPoint, &CComboBox::Change, this, &FWCounterAB::m_CounterBDigitalPoint_Change);
}

FWCounterAB::~FWCounterAB() = default;

void FWCounterAB::FormLoad()
{
    // Every showing starts from the designed window: everything shown and
    // enabled, the spins at their starting limits and values.
    frmElettricScale->setVisible(true);
    for (QWidget *control : {static_cast<QWidget *>(frmCounterAPulseWeight), static_cast<QWidget *>(Label5),
                             static_cast<QWidget *>(Label8), static_cast<QWidget *>(Label7),
                             static_cast<QWidget *>(frmCounterBPulseWeight), static_cast<QWidget *>(Label9),
                             static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2)})
        control->setEnabled(true);
    for (CComboBox *combo : {m_MeasureDigitalPointCounterA, m_CounterADigitalPoint, m_MeasureDigitalPointCounterB,
                             m_CounterBDigitalPoint})
        combo->SetEnabled(true);

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
    for (CTextDigitSpin *spin : {m_CounterAPulseWeight, m_CounterBPulseWeight}) {
        spin->SetEnabled(true);
        spin->SetMin(kPulseWeightMin);
        spin->SetMax(kPulseWeightMax);
        spin->SetValue(kPulseWeightMin);
    }
}

void FWCounterAB::Activate()
{
    // The page's own rule comes before the data.
    ShowCounterFrames();
    DataToControls();
    RefreshButtons();
}

void FWCounterAB::ShowCounterFrames()
{
    const std::int16_t function = WorkingCopy().WPxFunction();
    frmElettricScale->setVisible(function >= kFunctionF10);
    if (function == kFunctionF8) {
        for (QWidget *control : {static_cast<QWidget *>(frmCounterBPulseWeight), static_cast<QWidget *>(Label9),
                                 static_cast<QWidget *>(Label1), static_cast<QWidget *>(Label2)})
            control->setEnabled(false);
        m_MeasureDigitalPointCounterB->SetEnabled(false);
        m_CounterBPulseWeight->SetEnabled(false);
        m_CounterBDigitalPoint->SetEnabled(false);
    } else if (function == kFunctionF9) {
        for (QWidget *control : {static_cast<QWidget *>(frmCounterAPulseWeight), static_cast<QWidget *>(Label5),
                                 static_cast<QWidget *>(Label8), static_cast<QWidget *>(Label7)})
            control->setEnabled(false);
        m_MeasureDigitalPointCounterA->SetEnabled(false);
        m_CounterAPulseWeight->SetEnabled(false);
        m_CounterADigitalPoint->SetEnabled(false);
    }
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

    SelectListItemData(*m_MeasureDigitalPointCounterA, data.MeasureDigitalPointCounterA());
    m_CounterAPulseWeight->SetValue(data.CounterAPulseWeight());
    SelectListItemData(*m_CounterADigitalPoint, data.CounterADigitalPoint());
    m_CounterADigitalPoint_Change();

    SelectListItemData(*m_MeasureDigitalPointCounterB, data.MeasureDigitalPointCounterB());
    m_CounterBPulseWeight->SetValue(data.CounterBPulseWeight());
    SelectListItemData(*m_CounterBDigitalPoint, data.CounterBDigitalPoint());
    m_CounterBDigitalPoint_Change();
}

void FWCounterAB::ControlsToData()
{
    CCounterAB &data = WorkingCopy();
    data.SetElectricDigitalPoint(m_ElectricDigitalPoint->ItemData());
    data.SetMinElectricScale(m_MinElectricScale->Value());
    data.SetMaxElectricScale(m_MaxElectricScale->Value());
    data.SetMeasureDigitalPointCounterA(m_MeasureDigitalPointCounterA->ItemData());
    data.SetCounterAPulseWeight(m_CounterAPulseWeight->Value());
    data.SetCounterADigitalPoint(m_CounterADigitalPoint->ItemData());
    data.SetMeasureDigitalPointCounterB(m_MeasureDigitalPointCounterB->ItemData());
    data.SetCounterBPulseWeight(m_CounterBPulseWeight->Value());
    data.SetCounterBDigitalPoint(m_CounterBDigitalPoint->ItemData());
}

bool FWCounterAB::CheckData()
{
    // Only the functions that show the electrical range check it; End, Next
    // and Back alike.
    if (!frmElettricScale->isHidden() && m_MinElectricScale->Value() >= m_MaxElectricScale->Value()) {
        MsgBox(LoadResourceString(kMaxNotAboveMin), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), this);
        return false;
    }
    return true;
}

void FWCounterAB::AfterControlsToData(std::int32_t button)
{
    if (button == kButtonNext)
        WorkingCopy().SetDisplayScale();
}

void FWCounterAB::m_ElectricDigitalPoint_Change()
{
    if (m_ElectricDigitalPoint->Value() < 0)
        return; // a list being refilled has no decimal point yet
    const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(m_ElectricDigitalPoint->ItemData());
    const std::int32_t top =
        FWInOutScale::FrequencyRangeTop(g_Scala->FineScalaElettrica(), info.Factor, kElectricTopLimit);
    for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale}) {
        spin->SetMin(g_Scala->InizioScalaElettrica());
        spin->SetMax(top);
    }
    setSpinFormat(*m_MinElectricScale, info);
    setSpinFormat(*m_MaxElectricScale, info);
}

void FWCounterAB::m_CounterADigitalPoint_Change()
{
    if (m_CounterADigitalPoint->Value() >= 0)
        setSpinFormat(*m_CounterAPulseWeight,
                      CScaleMisuraDisplay::GetDigitalPointInfo(m_CounterADigitalPoint->ItemData()));
}

void FWCounterAB::m_CounterBDigitalPoint_Change()
{
    if (m_CounterBDigitalPoint->Value() >= 0)
        setSpinFormat(*m_CounterBPulseWeight,
                      CScaleMisuraDisplay::GetDigitalPointInfo(m_CounterBDigitalPoint->ItemData()));
}
