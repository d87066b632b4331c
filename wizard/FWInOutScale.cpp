#include "FWInOutScale.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "WPxFunctionCodes.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

constexpr std::int32_t kTitle = 490; // "Definition of input range and display range |1..."

// Values the spins take at every load, before the rules of the showing.
constexpr std::int32_t kElectricMin = 0;
constexpr std::int32_t kElectricMax = 32767;
constexpr std::int32_t kMeasureMin = -9999;
constexpr std::int32_t kMeasureMax = 9999;
// The displayed range of the six-digit display (model 3 with the
// frequency/counter modules) and of model 0's "9990" and "1999" displays.
constexpr std::int32_t kMeasureLimit6 = 999999;
constexpr std::int32_t kMeasureLimit9990 = 9990;
constexpr std::int32_t kMeasureLimit1999 = 1999;
constexpr std::int32_t kFourDigitsFirst = 0;
constexpr std::int32_t kFourDigitsLast = 3;
constexpr std::int32_t kSixDigitsFirst = 0x10000;
constexpr std::int32_t kSixDigitsLast = 0x10005;

} // namespace

using namespace pagecontrols;

FWInOutScale::FWInOutScale(QWidget *parent) : FWizardScalePage<CInOutScale>(QStringLiteral("FWInOutScale"), 0, parent)
{
    frmElettricScale = NewFrame(Body(), QStringLiteral("frmElettricScale"), 480);
    Label6 = NewLabel(frmElettricScale, QStringLiteral("Label6"), 493);
    cmbElettricDigitalPoint = NewCombo(frmElettricScale, QStringLiteral("cmbElettricDigitalPoint"));
    Label2 = NewLabel(frmElettricScale, QStringLiteral("Label2"), 481);
    txtMaxElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMaxElectricScale"), UpDown2, QStringLiteral("UpDown2"));
    Label1 = NewLabel(frmElettricScale, QStringLiteral("Label1"), 482);
    txtMinElectricScale =
        NewSpinTextBox(frmElettricScale, QStringLiteral("txtMinElectricScale"), UpDown1, QStringLiteral("UpDown1"));
    LayOutRows(frmElettricScale,
               {{Label6, cmbElettricDigitalPoint}, {Label2, txtMaxElectricScale}, {Label1, txtMinElectricScale}});

    frmMeasureScale = NewFrame(Body(), QStringLiteral("frmMeasureScale"), 483);
    Label5 = NewLabel(frmMeasureScale, QStringLiteral("Label5"), 484);
    cmbMeasureDigitalPoint = NewCombo(frmMeasureScale, QStringLiteral("cmbMeasureDigitalPoint"));
    Label4 = NewLabel(frmMeasureScale, QStringLiteral("Label4"), 485);
    txtMaxMeasureScale =
        NewSpinTextBox(frmMeasureScale, QStringLiteral("txtMaxMeasureScale"), UpDown4, QStringLiteral("UpDown4"));
    Label3 = NewLabel(frmMeasureScale, QStringLiteral("Label3"), 486);
    txtMinMeasureScale =
        NewSpinTextBox(frmMeasureScale, QStringLiteral("txtMinMeasureScale"), UpDown3, QStringLiteral("UpDown3"));
    LayOutRows(frmMeasureScale,
               {{Label5, cmbMeasureDigitalPoint}, {Label4, txtMaxMeasureScale}, {Label3, txtMinMeasureScale}});

    Linearizzazione = NewFrame(Body(), QStringLiteral("Linearizzazione"), 487);
    optLinearizzazione0 = NewOption(Linearizzazione, QStringLiteral("optLinearizzazione0"), 488);
    optLinearizzazione1 = NewOption(Linearizzazione, QStringLiteral("optLinearizzazione1"), 489);
    auto *linearRow = new QHBoxLayout(Linearizzazione);
    linearRow->addWidget(optLinearizzazione0);
    linearRow->addWidget(optLinearizzazione1);

    auto *layout = new QGridLayout(Body());
    layout->addWidget(frmElettricScale, 0, 0);
    layout->addWidget(frmMeasureScale, 0, 1);
    layout->addWidget(Linearizzazione, 1, 0, 1, 2);

    // The wrappers live with the page: the controls stay built between
    // showings, and each load gives them their starting state again.
    m_ElectricDigitalPoint = NewComboWrapper(this, "m_ElectricDigitalPoint", cmbElettricDigitalPoint);
    m_MinElectricScale = NewSpin(this, "m_MinElectricScale", txtMinElectricScale, UpDown1, kElectricMin, kElectricMax);
    m_MaxElectricScale = NewSpin(this, "m_MaxElectricScale", txtMaxElectricScale, UpDown2, kElectricMin, kElectricMax);
    m_MeasureDigitalPoint = NewComboWrapper(this, "m_MeasureDigitalPoint", cmbMeasureDigitalPoint);
    m_MinMeasureScale = NewSpin(this, "m_MinMeasureScale", txtMinMeasureScale, UpDown3, kMeasureMin, kMeasureMax);
    m_MaxMeasureScale = NewSpin(this, "m_MaxMeasureScale", txtMaxMeasureScale, UpDown4, kMeasureMin, kMeasureMax);
    m_Linearizzazione = NewOptionGroup(this, "m_Linearizzazione");
    m_Linearizzazione->Create(Linearizzazione);
    m_Linearizzazione->AddOptionButton(optLinearizzazione0, COptionButton::kNoItemData);
    m_Linearizzazione->AddOptionButton(optLinearizzazione1, COptionButton::kNoItemData);

    connect(m_ElectricDigitalPoint, &CComboBox::Change, this, &FWInOutScale::m_ElectricDigitalPoint_Change);
    connect(m_MeasureDigitalPoint, &CComboBox::Change, this, &FWInOutScale::m_MeasureDigitalPoint_Change);
}

FWInOutScale::~FWInOutScale() = default;

void FWInOutScale::AddDigitalPointItems(CComboBox &combo, std::int32_t from, std::int32_t to)
{
    for (std::int32_t value = from; value <= to; ++value)
        combo.AddText(CScaleMisuraDisplay::GetDigitalPointInfo(value).Sample, value);
}

std::int32_t FWInOutScale::FrequencyRangeTop(std::int32_t fineScalaElettrica, float factor, std::int32_t limit)
{
    // In double precision with the record's single-precision factor, as the
    // instrument's own tables are computed; a quotient beyond the Long range
    // (or no quotient at all) is absorbed by the limit.
    const double top = std::trunc(static_cast<double>(fineScalaElettrica) * 0.001 / static_cast<double>(factor));
    if (!std::isfinite(top) || top > static_cast<double>(limit) ||
        top < static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return limit;
    return static_cast<std::int32_t>(top);
}

bool FWInOutScale::isChannelA()
{
    return WorkingCopy().IsChannelA();
}

void FWInOutScale::FormLoad()
{
    // Every load starts from the designed state: all controls enabled, the
    // lists filled afresh, the spins at their starting limits.
    for (QWidget *control : {static_cast<QWidget *>(frmElettricScale), static_cast<QWidget *>(Label1),
                             static_cast<QWidget *>(Label2), static_cast<QWidget *>(Label6)})
        control->setEnabled(true);
    m_ElectricDigitalPoint->SetEnabled(true);
    m_MinElectricScale->SetEnabled(true);
    m_MaxElectricScale->SetEnabled(true);
    m_Linearizzazione->ActivateGroup(true);

    // The electrical decimal points come from channel A's range on both
    // pages: channel F's input shares its decimal-point choices.
    m_ElectricDigitalPoint->ClearAllItem();
    AddDigitalPointItems(*m_ElectricDigitalPoint, g_Scala->DPScalaElettricaMin(), g_Scala->DPScalaElettricaMax());
    const bool choice = g_Scala->DPScalaElettricaMin() != g_Scala->DPScalaElettricaMax();
    m_ElectricDigitalPoint->SetEnabled(choice);
    Label6->setEnabled(choice);

    ResetSpin(*m_MinElectricScale, kElectricMin, kElectricMax);
    ResetSpin(*m_MaxElectricScale, kElectricMin, kElectricMax);

    m_MeasureDigitalPoint->ClearAllItem();
    AddDigitalPointItems(*m_MeasureDigitalPoint, kFourDigitsFirst, kFourDigitsLast);
    ResetSpin(*m_MinMeasureScale, kMeasureMin, kMeasureMax);
    ResetSpin(*m_MaxMeasureScale, kMeasureMin, kMeasureMax);
}

void FWInOutScale::PrepareControls()
{
    const CInOutScale &data = WorkingCopy();
    QString channel;
    if (ModuleCodes::IsFrequencyModule(data.SlotA()))
        channel = LoadResourceString(data.IsChannelA() ? 491 : 492);
    lblTitle->setText(GetResourceText(kTitle, {channel}));

    EnableScaleControls();
    SetMeasureScaleLimits();
}

void FWInOutScale::EnableScaleControls()
{
    const CInOutScale &data = WorkingCopy();
    const std::int16_t slotA = data.SlotA();
    if (data.IsChannelA()) {
        const bool baseInput = (ModuleCodes::IsLowHighSignalModule(slotA) || slotA == SlotACode::MVZ) &&
                               data.ModelloStrumento() != ModelCode::Oxa12;
        const bool frequencyInput =
            ModuleCodes::IsFrequencyModule(slotA) && !WPxFunctions::CountersTakeChannelA(data.WPxFunction());
        m_Linearizzazione->ActivateGroup(baseInput || frequencyInput);
        return;
    }
    // Channel F: on the functions F2 to F6 only its displayed range is set.
    const bool electric = !WPxFunctions::ComputesChannelF(data.WPxFunction());
    frmElettricScale->setEnabled(electric);
    Label6->setEnabled(electric);
    m_ElectricDigitalPoint->SetEnabled(electric);
    Label1->setEnabled(electric);
    m_MinElectricScale->SetEnabled(electric);
    Label2->setEnabled(electric);
    m_MaxElectricScale->SetEnabled(electric);
    m_Linearizzazione->ActivateGroup(electric);
}

void FWInOutScale::SetMeasureScaleLimits()
{
    const CInOutScale &data = WorkingCopy();
    const std::int16_t slotA = data.SlotA();
    if (ModuleCodes::IsFrequencyModule(slotA)) {
        if (data.ModelloStrumento() != ModelCode::Oxa16)
            return;
        for (CTextDigitSpin *spin : {m_MinMeasureScale, m_MaxMeasureScale}) {
            spin->SetMin(-kMeasureLimit6);
            spin->SetMax(kMeasureLimit6);
        }
        m_MeasureDigitalPoint->ClearAllItem();
        AddDigitalPointItems(*m_MeasureDigitalPoint, kSixDigitsFirst, kSixDigitsLast);
        return;
    }
    if (!ModuleCodes::OffersDisplayChoice(data.ModelloStrumento(), slotA))
        return;
    if (data.DisplayDigit() != 0) {
        for (CTextDigitSpin *spin : {m_MinMeasureScale, m_MaxMeasureScale}) {
            spin->SetMin(-kMeasureLimit9990);
            spin->SetMax(kMeasureLimit9990);
            spin->SetIncrementoMinimo(10);
        }
    } else {
        for (CTextDigitSpin *spin : {m_MinMeasureScale, m_MaxMeasureScale}) {
            spin->SetMin(-kMeasureLimit1999);
            spin->SetMax(kMeasureLimit1999);
        }
    }
}

void FWInOutScale::DataToControls()
{
    const CInOutScale &data = WorkingCopy();
    // The decimal points first: their change handlers set the limits to
    // which the spins then clamp the stored values.
    SelectListItemData(*m_ElectricDigitalPoint, data.ElectricDigitalPoint());
    m_ElectricDigitalPoint_Change();
    m_MinElectricScale->SetValue(data.MinElectricScale());
    m_MaxElectricScale->SetValue(data.MaxElectricScale());

    SelectListItemData(*m_MeasureDigitalPoint, data.MeasureDigitalPoint());
    m_MeasureDigitalPoint_Change();
    m_MinMeasureScale->SetValue(data.MinMeasureScale());
    m_MaxMeasureScale->SetValue(data.MaxMeasureScale());

    m_Linearizzazione->SetValue(data.Linearizzazione() != 0 ? 1 : 0);
    if (!m_Linearizzazione->EnabledGroup())
        m_Linearizzazione->SetValue(0);
}

void FWInOutScale::ControlsToData()
{
    CInOutScale &data = WorkingCopy();
    data.SetElectricDigitalPoint(m_ElectricDigitalPoint->ItemData());
    data.SetMinElectricScale(m_MinElectricScale->Value());
    data.SetMaxElectricScale(m_MaxElectricScale->Value());
    data.SetMeasureDigitalPoint(m_MeasureDigitalPoint->ItemData());
    data.SetMinMeasureScale(m_MinMeasureScale->Value());
    data.SetMaxMeasureScale(m_MaxMeasureScale->Value());
    data.SetLinearizzazione(m_Linearizzazione->Value());
}

bool FWInOutScale::CheckData()
{
    // The displayed range may run downward (an inverted display); the
    // electrical one may not.
    return !frmElettricScale->isEnabled() || CheckMaxAboveMin(this, *m_MinElectricScale, *m_MaxElectricScale);
}

bool FWInOutScale::CheckBeforeClose(std::int32_t button)
{
    return button == kButtonBack || CheckData();
}

void FWInOutScale::m_ElectricDigitalPoint_Change()
{
    if (m_ElectricDigitalPoint->Value() < 0)
        return; // a list being refilled has no decimal point yet
    const CInOutScale &data = WorkingCopy();
    const DigitalPointInfo info = DisplayFormat(m_ElectricDigitalPoint->ItemData());
    const std::int16_t slotA = data.SlotA();

    if (ModuleCodes::IsFrequencyModule(slotA)) {
        const std::int32_t limit = data.ModelloStrumento() == ModelCode::Oxa16 ? 999999 : 9999;
        // Channel F has an electrical range of its own only on F1 (input B).
        CScaleMisuraDisplay &scale =
            (WPxFunctions::ChannelFIsInputB(data.WPxFunction()) && !data.IsChannelA()) ? *g_ScalaB : *g_Scala;
        const std::int32_t top = FrequencyRangeTop(scale.FineScalaElettrica(), info.Factor, limit);
        for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale}) {
            spin->SetMin(scale.InizioScalaElettrica());
            spin->SetMax(top);
            spin->SetUnitaMisura(scale.UnitaMisuraScalaElettrica());
        }
    } else {
        for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale}) {
            spin->SetMin(g_Scala->InizioScalaElettrica());
            spin->SetMax(g_Scala->FineScalaElettrica());
        }
        for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale})
            spin->SetUnitaMisura(g_Scala->UnitaMisuraScalaElettrica());
        // A DC measurement of the low/high-signal inputs runs both ways.
        if (ModuleCodes::IsLowHighSignalModule(slotA) && data.MeasureType() == 1) {
            for (CTextDigitSpin *spin : {m_MinElectricScale, m_MaxElectricScale})
                spin->SetMin(-spin->Max());
        }
    }
    SetSpinFormat(*m_MinElectricScale, info);
    SetSpinFormat(*m_MaxElectricScale, info);
}

void FWInOutScale::m_MeasureDigitalPoint_Change()
{
    if (m_MeasureDigitalPoint->Value() < 0)
        return;
    // The limits stay: the displayed range is a count of digits whatever the
    // decimal point.
    const DigitalPointInfo info = DisplayFormat(m_MeasureDigitalPoint->ItemData());
    SetSpinFormat(*m_MinMeasureScale, info);
    SetSpinFormat(*m_MaxMeasureScale, info);
}
