#include "FWRangeGKP.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "PageControls.h"
#include "StringTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr std::int16_t kThermocouple = 0;
constexpr std::int16_t kRtd = 1;
constexpr std::int16_t kResistance = 2;
constexpr std::int16_t kAutomatic = 0;
constexpr std::int16_t kManual = 1;

} // namespace

FWRangeGKP::FWRangeGKP(QWidget *parent) : FWizardRangePage<CRangeGKP>(QStringLiteral("FWRangeGKP"), kTitle, parent)
{
    QWidget *body = Body();
    ProbeSelect = NewFrame(body, QStringLiteral("ProbeSelect"), 392);
    CJC = NewFrame(body, QStringLiteral("CJC"), 406);
    RangeTC = NewFrame(body, QStringLiteral("RangeTC"), 417);
    RangeRTD = NewFrame(body, QStringLiteral("RangeRTD"), 409);
    RangeRES = NewFrame(body, QStringLiteral("RangeRES"), 397);
    DigitalFunzione = NewFrame(body, QStringLiteral("DigitalFunzione"), 390);

    m_ProbeSelect = new COptionButton(this);
    FillOptionGroup(*m_ProbeSelect, ProbeSelect, QStringLiteral("optProbeSelect"), {393, 394, 395});
    m_CJC = new COptionButton(this);
    FillOptionGroup(*m_CJC, CJC, QStringLiteral("optCJC"), {407, 408});

    txtTempCJC = NewSpinTextBox(CJC, QStringLiteral("txtTempCJC"), UpDown1, QStringLiteral("UpDown1"));
    static_cast<QVBoxLayout *>(CJC->layout())->addWidget(txtTempCJC);
    m_TempCJC = NewSpin(this, txtTempCJC, UpDown1, CRangeGKP::kTempCJCMin, CRangeGKP::kTempCJCMax);
    m_TempCJC->SetMoltiplicatore(1.0f);
    m_TempCJC->SetDataFormat(QStringLiteral("#0"));
    m_TempCJC->SetUnitaMisura(QStringLiteral("°C"));

    // The first two thermocouple texts are the same, as are the last three
    // resistance texts: each button is still its own range index.
    m_RangeTC = new COptionButton(this);
    FillOptionGroup(*m_RangeTC, RangeTC, QStringLiteral("optRangeTC"), {418, 419, 420, 421, 422, 423});
    m_RangeRTD = new COptionButton(this);
    FillOptionGroup(*m_RangeRTD, RangeRTD, QStringLiteral("optRangeRTD"), {410, 411, 412, 413, 414, 415});
    m_RangeRES = new COptionButton(this);
    FillOptionGroup(*m_RangeRES, RangeRES, QStringLiteral("optRangeRES"), {398, 399, 400, 401, 402, 403});

    cmbFunzione = NewCombo(DigitalFunzione, QStringLiteral("cmbFunzione"));
    (new QVBoxLayout(DigitalFunzione))->addWidget(cmbFunzione);
    m_DigitalInFunction = NewComboWrapper(this, cmbFunzione);

    auto *layout = new QGridLayout(body);
    layout->addWidget(ProbeSelect, 0, 0);
    layout->addWidget(CJC, 1, 0);
    layout->addWidget(RangeTC, 0, 1, 2, 1);
    layout->addWidget(RangeRTD, 0, 2, 2, 1);
    layout->addWidget(RangeRES, 0, 3, 2, 1);
    layout->addWidget(DigitalFunzione, 2, 0, 1, 4);

    connect(m_ProbeSelect, &COptionButton::Change, this, &FWRangeGKP::ProbeSelectChange);
    connect(m_CJC, &COptionButton::Change, this, &FWRangeGKP::CJCChange);
}

void FWRangeGKP::FormLoad()
{
    // Item data = position = the function code.
    m_DigitalInFunction->ClearAllItem();
    m_DigitalInFunction->AddText(LoadResourceString(424), 0);
    m_DigitalInFunction->AddText(LoadResourceString(425), 1);
    m_DigitalInFunction->AddText(LoadResourceString(426), 2);
}

void FWRangeGKP::DataToControls()
{
    const CRangeGKP &data = WorkingCopy();
    SelectOption(*m_CJC, data.CJC());
    SelectOption(*m_ProbeSelect, data.ProbeSelect());
    ProbeSelectChange();
    // Out of 0..50: shown, and stored again, at the nearer limit.
    m_TempCJC->SetValue(data.TempCJC());
    SelectOption(*m_RangeTC, data.Range());
    SelectOption(*m_RangeRTD, data.Range());
    SelectOption(*m_RangeRES, data.Range());
    SelectListItemData(*m_DigitalInFunction, data.DigitalInFunction());
    // A button already on raises no Change: the rule runs for the value shown.
    CJCChange();
}

void FWRangeGKP::ControlsToData()
{
    CRangeGKP &data = WorkingCopy();
    const std::int16_t probe = m_ProbeSelect->Value();
    data.SetCJC(m_CJC->Value());
    data.SetProbeSelect(probe);
    data.SetTempCJC(m_TempCJC->ValueInt());
    if (probe == kThermocouple)
        data.SetRange(m_RangeTC->Value());
    else if (probe == kRtd)
        data.SetRange(m_RangeRTD->Value());
    else if (probe == kResistance)
        data.SetRange(m_RangeRES->Value());
    data.SetDigitalInFunction(static_cast<std::int16_t>(m_DigitalInFunction->ItemData()));
}

void FWRangeGKP::ProbeSelectChange()
{
    const std::int16_t probe = m_ProbeSelect->Value();
    m_RangeTC->ActivateGroup(probe == kThermocouple);
    m_RangeRTD->ActivateGroup(probe == kRtd);
    m_RangeRES->ActivateGroup(probe == kResistance);
    // Only a thermocouple has a cold junction.
    if (probe == kRtd || probe == kResistance)
        m_CJC->SetValue(kAutomatic);
    m_CJC->ActivateGroup(probe == kThermocouple);
}

void FWRangeGKP::CJCChange()
{
    // Automatic: the spin is disabled but keeps its value.
    m_TempCJC->SetEnabled(m_CJC->Value() == kManual);
}
