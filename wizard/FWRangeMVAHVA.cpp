#include "FWRangeMVAHVA.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "StringTable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr std::int16_t kSlotAHva = SlotACode::HVA;
constexpr std::int16_t kManual = 1;

bool LowSignal(std::int16_t slotA)
{
    return slotA == SlotACode::MVA || slotA == SlotACode::MVBC;
}

} // namespace

FWRangeMVAHVA::FWRangeMVAHVA(QWidget *parent)
    : FWizardRangePage<CRangeMVAHVA>(QStringLiteral("FWRangeMVAHVA"), 0, parent)
{
    QWidget *body = Body();
    RangeMVAMVB = NewFrame(body, QStringLiteral("RangeMVAMVB"), 450);
    RangeHVA = NewFrame(body, QStringLiteral("RangeHVA"), 441);
    MeasureType = NewFrame(body, QStringLiteral("MeasureType"), 434);
    IntegrationTime = NewFrame(body, QStringLiteral("IntegrationTime"), 438);
    DigitalInFunction = NewFrame(body, QStringLiteral("DigitalInFunction"), 430);

    m_RangeMVAMVB = new COptionButton(this);
    FillOptionGroup(*m_RangeMVAMVB, RangeMVAMVB, QStringLiteral("optRangeMVAMVB"), {451, 452, 453, 454, 455, 456});
    m_RangeHVA = new COptionButton(this);
    FillOptionGroup(*m_RangeHVA, RangeHVA, QStringLiteral("optRangeHVA"), {444, 445, 446, 447, 448, 449});
    m_MeasureType = new COptionButton(this);
    FillOptionGroup(*m_MeasureType, MeasureType, QStringLiteral("optMeasureType"), {436, 437});
    m_IntegrationTime = new COptionButton(this);
    FillOptionGroup(*m_IntegrationTime, IntegrationTime, QStringLiteral("optIntegrationTime"), {439, 440});
    // Under the integration time's buttons, before the next frame's.
    txtIntTime = NewSpinTextBox(IntegrationTime, QStringLiteral("txtIntTime"), UpDown1, QStringLiteral("UpDown1"));
    static_cast<QVBoxLayout *>(IntegrationTime->layout())->addWidget(txtIntTime);
    m_IntTime = NewSpin(this, txtIntTime, UpDown1, CRangeMVAHVA::kIntTimeMin, CRangeMVAHVA::kIntTimeMax);
    m_IntTime->SetMoltiplicatore(0.1f);
    m_IntTime->SetDataFormat(QStringLiteral("##0.0"));
    m_IntTime->SetUnitaMisura(QStringLiteral("ms"));

    m_DigitalInFunction = new COptionButton(this);
    FillOptionGroup(*m_DigitalInFunction, DigitalInFunction, QStringLiteral("optDigitalInFunction"), {431, 432, 433});

    auto *layout = new QGridLayout(body);
    layout->addWidget(RangeMVAMVB, 0, 0);
    layout->addWidget(RangeHVA, 0, 1);
    layout->addWidget(MeasureType, 0, 2);
    layout->addWidget(IntegrationTime, 1, 0);
    layout->addWidget(DigitalInFunction, 1, 1, 1, 2);

    connect(m_IntegrationTime, &COptionButton::Change, this, &FWRangeMVAHVA::IntegrationTimeChange);
}

COptionButton &FWRangeMVAHVA::RangeInUse()
{
    return LowSignal(WorkingCopy().SlotA()) ? *m_RangeMVAMVB : *m_RangeHVA;
}

void FWRangeMVAHVA::PrepareControls()
{
    const std::int16_t slotA = WorkingCopy().SlotA();
    m_RangeMVAMVB->ActivateGroup(LowSignal(slotA));
    m_RangeHVA->ActivateGroup(slotA == kSlotAHva);
    lblTitle->setText(LoadResourceString(slotA == kSlotAHva ? kTitleHighSignal : kTitleLowSignal));
}

void FWRangeMVAHVA::DataToControls()
{
    const CRangeMVAHVA &data = WorkingCopy();
    SelectOption(RangeInUse(), data.Range());
    SelectOption(*m_MeasureType, data.MeasureType());
    SelectOption(*m_IntegrationTime, data.IntegrationTime());
    // Out of 1000..9999: shown, and stored again, at the nearer limit.
    m_IntTime->SetValue(data.IntTime());
    SelectOption(*m_DigitalInFunction, data.DigitalInFunction());
    // A button already on raises no Change: the rule runs for the value shown.
    IntegrationTimeChange();
}

void FWRangeMVAHVA::ControlsToData()
{
    CRangeMVAHVA &data = WorkingCopy();
    data.SetRange(RangeInUse().Value());
    data.SetMeasureType(m_MeasureType->Value());
    data.SetIntegrationTime(m_IntegrationTime->Value());
    data.SetIntTime(m_IntTime->ValueInt());
    data.SetDigitalInFunction(m_DigitalInFunction->Value());
}

void FWRangeMVAHVA::IntegrationTimeChange()
{
    // Automatic: the spin is disabled but keeps its value.
    m_IntTime->SetEnabled(m_IntegrationTime->Value() == kManual);
}
