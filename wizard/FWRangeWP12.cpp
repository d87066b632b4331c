#include "FWRangeWP12.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "StringTable.h"
#include "WPxFunctionCodes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr std::int16_t kModelWithInputB = ModelCode::Oxa16;
// The function texts F1 to F11 of model 3 run from this id on; the other
// models' list takes its F2 to F7 from them.
constexpr std::int32_t kF1BothInputs = 622;
constexpr std::int16_t kResetCounters = 3;
constexpr std::int16_t kResetAll = 4;

// One input's frame: pulses per revolution (a spin) and unit (a list).
struct InputControls {
    QLabel *pulsesLabel;
    QLabel *unitLabel;
    QLineEdit *pulses;
    UpDownControl *upDown;
    QComboBox *unit;
};

InputControls BuildInput(QGroupBox *frame, const char *pulsesLabel, const char *unitLabel, const char *pulses,
                         const char *upDown, const char *unit)
{
    InputControls c{};
    c.pulsesLabel = NewLabel(frame, QString::fromLatin1(pulsesLabel), 639);
    c.unitLabel = NewLabel(frame, QString::fromLatin1(unitLabel), 640);
    c.pulses = NewSpinTextBox(frame, QString::fromLatin1(pulses), c.upDown, QString::fromLatin1(upDown));
    c.unit = NewCombo(frame, QString::fromLatin1(unit));
    LayOutRows(frame, {{c.pulsesLabel, c.pulses}, {c.unitLabel, c.unit}});
    return c;
}

CTextDigitSpin *NewPulsesSpin(QObject *owner, QLineEdit *textBox, UpDownControl *upDown)
{
    CTextDigitSpin *spin = NewSpin(owner, textBox, upDown, CRangeWP12::kPulsesMin, CRangeWP12::kPulsesMax);
    spin->SetMoltiplicatore(1.0f);
    spin->SetDataFormat(QStringLiteral("###0"));
    return spin;
}

void FillUnits(CComboBox &combo)
{
    combo.ClearAllItem();
    for (std::int32_t id = 641; id <= 646; ++id) // Hz, KHz, rpm, krpm, rph, krph
        combo.AddText(LoadResourceString(id));
}

} // namespace

FWRangeWP12::FWRangeWP12(QWidget *parent) : FWizardRangePage<CRangeWP12>(QStringLiteral("FWRangeWP12"), kTitle, parent)
{
    QWidget *body = Body();
    frmFunction = NewFrame(body, QStringLiteral("frmFunction"), 621);
    cmbWPxFunction = NewCombo(frmFunction, QStringLiteral("cmbWPxFunction"));
    txtNota = NewLabel(frmFunction, QStringLiteral("txtNota"), 0);
    txtNota->setWordWrap(true);
    auto *functionLayout = new QVBoxLayout(frmFunction);
    functionLayout->addWidget(cmbWPxFunction);
    functionLayout->addWidget(txtNota);

    frmCounterA = NewFrame(body, QStringLiteral("frmCounterA"), 637);
    const InputControls a = BuildInput(frmCounterA, "Label1", "Label2", "txtImpGiroA", "UpDown1", "cmbUnitaIngA");
    frmCounterB = NewFrame(body, QStringLiteral("frmCounterB"), 638);
    const InputControls b = BuildInput(frmCounterB, "Label3", "Label4", "txtImpGiroB", "UpDown2", "cmbUnitaIngB");
    Label3 = b.pulsesLabel;
    Label4 = b.unitLabel;

    frmDigitalInFunction = NewFrame(body, QStringLiteral("frmDigitalInFunction"), 650);

    m_WPxFunction = NewComboWrapper(this, cmbWPxFunction);
    m_ImpGiroA = NewPulsesSpin(this, a.pulses, a.upDown);
    m_UnitaIngA = NewComboWrapper(this, a.unit);
    m_ImpGiroB = NewPulsesSpin(this, b.pulses, b.upDown);
    m_UnitaIngB = NewComboWrapper(this, b.unit);
    m_DigitalInFunction = new COptionButton(this);
    FillOptionGroup(*m_DigitalInFunction, frmDigitalInFunction, QStringLiteral("optDigitalInFunction"),
                    {651, 652, 653, 654, 655});

    auto *layout = new QGridLayout(body);
    layout->addWidget(frmFunction, 0, 0, 1, 2);
    layout->addWidget(frmCounterA, 1, 0);
    layout->addWidget(frmCounterB, 1, 1);
    layout->addWidget(frmDigitalInFunction, 2, 0, 1, 2);

    connect(m_WPxFunction, &CComboBox::Change, this, &FWRangeWP12::WPxFunctionChange);
}

void FWRangeWP12::FormLoad()
{
    // The function list is filled on activation, for the model shown.
    FillUnits(*m_UnitaIngA);
    FillUnits(*m_UnitaIngB);
}

void FWRangeWP12::PrepareControls()
{
    const bool model3 = WorkingCopy().ModelloStrumento() == kModelWithInputB;
    m_WPxFunction->ClearAllItem();
    if (model3) {
        for (std::int32_t id = kF1BothInputs; id <= 632; ++id) // F1 to F11
            m_WPxFunction->AddText(LoadResourceString(id));
    } else {
        m_WPxFunction->AddText(LoadResourceString(633));           // F1 of channel A alone
        for (std::int32_t id = kF1BothInputs + 1; id <= 628; ++id) // F2 to F7
            m_WPxFunction->AddText(LoadResourceString(id));
    }
    txtNota->setText(LoadResourceString(model3 ? 636 : 635));
    // Resetting the counters exists only on model 3.
    m_DigitalInFunction->Activate(kResetCounters, model3);
    m_DigitalInFunction->Activate(kResetAll, model3);
}

void FWRangeWP12::DataToControls()
{
    const CRangeWP12 &data = WorkingCopy();
    SelectListPosition(*m_WPxFunction, data.WPxFunction());
    WPxFunctionChange();
    // Pulses out of 1..9999: shown, and stored again, at the nearer limit.
    m_ImpGiroA->SetValue(data.ImpGiroA());
    SelectListPosition(*m_UnitaIngA, data.UnitaIngA());
    m_ImpGiroB->SetValue(data.ImpGiroB());
    SelectListPosition(*m_UnitaIngB, data.UnitaIngB());
    // Options 3 and 4 are disabled on models other than 3: a stored 3 or 4
    // then shows, and is stored as, the first option.
    SelectOption(*m_DigitalInFunction, data.DigitalInFunction());
}

void FWRangeWP12::ControlsToData()
{
    CRangeWP12 &data = WorkingCopy();
    data.SetWPxFunction(m_WPxFunction->Value());
    data.SetImpGiroA(m_ImpGiroA->ValueInt());
    data.SetUnitaIngA(m_UnitaIngA->Value());
    data.SetImpGiroB(m_ImpGiroB->ValueInt());
    data.SetUnitaIngB(m_UnitaIngB->Value());
    data.SetDigitalInFunction(m_DigitalInFunction->Value());
}

void FWRangeWP12::WPxFunctionChange()
{
    // Input B is edited only for F1 on model 3 (stepped values of A and B).
    const bool inputB =
        WorkingCopy().ModelloStrumento() == kModelWithInputB && WPxFunctions::ChannelFIsInputB(m_WPxFunction->Value());
    frmCounterB->setEnabled(inputB);
    Label3->setEnabled(inputB);
    Label4->setEnabled(inputB);
    m_ImpGiroB->SetEnabled(inputB);
    m_UnitaIngB->SetEnabled(inputB);
}
