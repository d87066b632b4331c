#include "FWAlarm.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "UpDownControl.h"
#include "WPxFunctionCodes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace pagecontrols;

namespace {

// The value spins as created, before a channel's scale replaces their
// limits, step and format.
constexpr std::int32_t kValueMin = 0;
constexpr std::int32_t kValueMax = 32767;
const QString kDelayUnit = QStringLiteral("s.");

// Selects the stored button; a code the group cannot show (a disabled
// button, or no such button) selects the first button instead of leaving
// whatever the previous showing selected.
void selectStored(COptionButton &group, std::int16_t code, std::int16_t buttons)
{
    if (code >= 0 && code < buttons)
        group.SetValue(code);
    if (group.Value() != code)
        group.SetValue(0);
}

} // namespace

FWAlarm::FWAlarm(QWidget *parent)
    : FWizardDataPage<CAlarm>(QStringLiteral("FWAlarm"), 0, parent),
      m_ChannelChoice(Body(), this, QStringLiteral("m_Channel"))
{
    QWidget *body = Body();

    frmAlarmScale = NewFrame(body, "frmAlarmScale", 545);
    Label1 = NewLabel(frmAlarmScale, "Label1", 546);
    txtMinAlarmScale = NewSpinTextBox(frmAlarmScale, "txtMinAlarmScale", UpDown1, "UpDown1");
    Label2 = NewLabel(frmAlarmScale, "Label2", 547);
    txtMaxAlarmScale = NewSpinTextBox(frmAlarmScale, "txtMaxAlarmScale", UpDown2, "UpDown2");
    LayOutRows(frmAlarmScale, {{Label1, txtMinAlarmScale}, {Label2, txtMaxAlarmScale}});

    AlarmSetup = NewFrame(body, "AlarmSetup", 540);
    Label3 = NewLabel(AlarmSetup, "Label3", 544);
    txtAlarmSetPoint = NewSpinTextBox(AlarmSetup, "txtAlarmSetPoint", UpDown3, "UpDown3");
    Label4 = NewLabel(AlarmSetup, "Label4", 543);
    txtIsteresi = NewSpinTextBox(AlarmSetup, "txtIsteresi", UpDown4, "UpDown4");
    Label6 = NewLabel(AlarmSetup, "Label6", 541);
    txtRitAttivazione = NewSpinTextBox(AlarmSetup, "txtRitAttivazione", UpDown5, "UpDown5");
    Label5 = NewLabel(AlarmSetup, "Label5", 542);
    txtRitDisattivazione = NewSpinTextBox(AlarmSetup, "txtRitDisattivazione", UpDown6, "UpDown6");
    auto *setupLayout = new QGridLayout(AlarmSetup);
    setupLayout->addWidget(Label3, 0, 0);
    setupLayout->addWidget(txtAlarmSetPoint, 0, 1);
    setupLayout->addWidget(Label4, 1, 0);
    setupLayout->addWidget(txtIsteresi, 1, 1);
    setupLayout->addWidget(Label6, 0, 2);
    setupLayout->addWidget(txtRitAttivazione, 0, 3);
    setupLayout->addWidget(Label5, 1, 2);
    setupLayout->addWidget(txtRitDisattivazione, 1, 3);

    AlarmType = NewFrame(body, "AlarmType", 556);
    RelayStatus = NewFrame(body, "RelayStatus", 553);
    AlarmColor = NewFrame(body, "AlarmColor", 548);

    // The channel frame and the limits frame side by side: with the
    // channel frame hidden the limits frame takes its place on the left.
    auto *topRow = new QHBoxLayout;
    topRow->addWidget(m_ChannelChoice.Frame());
    topRow->addWidget(frmAlarmScale, 1);
    auto *groupRow = new QHBoxLayout;
    groupRow->addWidget(AlarmType, 2);
    groupRow->addWidget(RelayStatus, 1);
    groupRow->addWidget(AlarmColor, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(topRow);
    layout->addWidget(AlarmSetup);
    layout->addLayout(groupRow);
    layout->addStretch(1);

    connect(&m_ChannelChoice.List(), &CComboBox::Change, this, &FWAlarm::ChannelChanged);

    m_MinAlarmScale = NewSpin(this, "m_MinAlarmScale", txtMinAlarmScale, UpDown1, kValueMin, kValueMax);
    m_MaxAlarmScale = NewSpin(this, "m_MaxAlarmScale", txtMaxAlarmScale, UpDown2, kValueMin, kValueMax);
    m_AlarmSetPoint = NewSpin(this, "m_AlarmSetPoint", txtAlarmSetPoint, UpDown3, kValueMin, kValueMax);
    m_Isteresi = NewSpin(this, "m_Isteresi", txtIsteresi, UpDown4, kValueMin, kValueMax);
    m_RitAttivazione =
        NewSpin(this, "m_RitAttivazione", txtRitAttivazione, UpDown5, CAlarm::kDelayMin, CAlarm::kDelayMax);
    m_RitDisattivazione =
        NewSpin(this, "m_RitDisattivazione", txtRitDisattivazione, UpDown6, CAlarm::kDelayMin, CAlarm::kDelayMax);
    m_RitAttivazione->SetUnitaMisura(kDelayUnit);
    m_RitDisattivazione->SetUnitaMisura(kDelayUnit);
    // The limit spins' handlers reach the other spins: connected once all exist.
    connect(m_MinAlarmScale, &CTextDigitSpin::Change, this, &FWAlarm::MinAlarmScaleChanged);
    connect(m_MaxAlarmScale, &CTextDigitSpin::Change, this, &FWAlarm::MaxAlarmScaleChanged);

    m_AlarmType = NewOptionGroup(this, "m_AlarmType");
    FillOptionGroup(*m_AlarmType, AlarmType, "optAlarmType", {557, 558, 559, 560, 561, 562});
    m_RelayStatus = NewOptionGroup(this, "m_RelayStatus");
    FillOptionGroup(*m_RelayStatus, RelayStatus, "optRelayStatus", {554, 555});
    m_AlarmColor = NewOptionGroup(this, "m_AlarmColor");
    FillOptionGroup(*m_AlarmColor, AlarmColor, "optAlarmColor", {549, 550, 551, 552});
}

FWAlarm::~FWAlarm() = default;

CScaleMisuraDisplay &FWAlarm::AlarmScale(const CAlarm &context, std::int16_t channel)
{
    if (context.ModelloStrumento() == ModelCode::Oxa16)
        return channel == 0 ? *g_Scala : *g_ScalaB;
    // The function of the frequency/counter module counts only when that
    // module is fitted: a function left over from an earlier configuration
    // must not send a low/high-signal or temperature input's alarms to the
    // second channel, whose scale such an input never publishes.
    const std::int16_t function = context.WPxFunction();
    if (ModuleCodes::IsFrequencyModule(context.SlotA()) && !WPxFunctions::OneLineShowsChannelA(function))
        return *g_ScalaB;
    return *g_Scala;
}

std::int32_t FWAlarm::HysteresisCap(const CAlarm &context)
{
    const std::int16_t model = context.ModelloStrumento();
    if (model == ModelCode::Oxa16)
        return 999999;
    if (model == ModelCode::Oxa14 || model == ModelCode::Ivr)
        return 9999;
    if (model == ModelCode::Oxa12 && ModuleCodes::IsFrequencyModule(context.SlotA()))
        return 9999;
    return context.DisplayDigit() == 1 ? 9990 : 1999;
}

void FWAlarm::FormLoad()
{
    m_ChannelChoice.Fill();

    // Each showing starts from the spins as created; the channel's scale
    // then sets their limits, step and format afresh.
    m_MinAlarmScale->SetEnableEvent(false);
    m_MaxAlarmScale->SetEnableEvent(false);
    for (CTextDigitSpin *spin : {m_MinAlarmScale, m_MaxAlarmScale, m_AlarmSetPoint, m_Isteresi})
        ResetSpin(*spin, kValueMin, kValueMax);
    ResetSpin(*m_RitAttivazione, CAlarm::kDelayMin, CAlarm::kDelayMax, 1, 1.0f, QStringLiteral("###0"), kDelayUnit);
    ResetSpin(*m_RitDisattivazione, CAlarm::kDelayMin, CAlarm::kDelayMax, 1, 1.0f, QStringLiteral("###0"), kDelayUnit);
    m_MinAlarmScale->SetEnableEvent(true);
    m_MaxAlarmScale->SetEnableEvent(true);
}

void FWAlarm::PrepareControls()
{
    const CAlarm &data = WorkingCopy();
    const QString name = data.ClassName();
    lblTitle->clear();
    for (int n = 1; n <= 4; ++n) {
        if (name == QStringLiteral("CAlarm%1").arg(n)) {
            lblTitle->setText(GetResourceText(kTitle, {QString::number(n)}));
            break;
        }
    }

    m_ChannelChoice.ApplyRules(data.ModelloStrumento(), data.WPxFunction());
    m_AlarmColor->ActivateGroup(data.ModelloStrumento() == ModelCode::Oxa14);
    const bool latch = !(data.ModelloStrumento() == ModelCode::Ivr && ModuleCodes::IsFrequencyModule(data.SlotA()));
    m_AlarmType->Activate(4, latch);
    m_AlarmType->Activate(5, latch);
}

void FWAlarm::DataToControls()
{
    const CAlarm &data = WorkingCopy();
    // Showing the channel always runs ChannelChanged, which sets the value
    // spins' limits before the values are loaded.
    m_ChannelChoice.Show(data.Channel());

    m_MinAlarmScale->SetValue(data.MinAlarmScale());
    m_MaxAlarmScale->SetValue(data.MaxAlarmScale());
    m_AlarmSetPoint->SetValue(data.AlarmSetPoint());
    m_Isteresi->SetValue(data.Isteresi());
    m_RitAttivazione->SetValue(data.RitAttivazione());
    m_RitDisattivazione->SetValue(data.RitDisattivazione());

    selectStored(*m_AlarmType, data.AlarmType(), 6);
    selectStored(*m_RelayStatus, data.RelayStatus(), 2);
    selectStored(*m_AlarmColor, data.AlarmColor(), 4);
}

void FWAlarm::ControlsToData()
{
    CAlarm &data = WorkingCopy();
    data.SetChannel(m_ChannelChoice.Chosen());
    data.SetMinAlarmScale(m_MinAlarmScale->Value());
    data.SetMaxAlarmScale(m_MaxAlarmScale->Value());
    data.SetAlarmSetPoint(m_AlarmSetPoint->Value());
    data.SetIsteresi(m_Isteresi->Value());
    data.SetRitAttivazione(m_RitAttivazione->ValueInt());
    data.SetRitDisattivazione(m_RitDisattivazione->ValueInt());
    data.SetAlarmType(m_AlarmType->Value());
    data.SetRelayStatus(m_RelayStatus->Value());
    data.SetAlarmColor(m_AlarmColor->Value());
}

void FWAlarm::ChannelChanged()
{
    const CAlarm &data = WorkingCopy();
    const CScaleMisuraDisplay &scale = AlarmScale(data, m_ChannelChoice.List().Value());
    const std::int32_t start = scale.InizioScalaDisplay();
    const std::int32_t end = scale.FineScalaDisplay();
    const std::int32_t low = std::min(start, end);
    const std::int32_t high = std::max(start, end);
    for (CTextDigitSpin *spin : {m_MinAlarmScale, m_MaxAlarmScale}) {
        spin->SetMin(low);
        spin->SetMax(high);
    }
    m_Isteresi->SetMax(Span(start, end));
    LimitAlarmRange();

    const bool tens = StepsByTen(data.ModelloStrumento(), data.SlotA(), data.DisplayDigit());
    const DigitalPointInfo info = DisplayFormat(scale.DigitalPointScalaDisplay());
    for (CTextDigitSpin *spin : {m_MinAlarmScale, m_MaxAlarmScale, m_AlarmSetPoint, m_Isteresi}) {
        spin->SetIncrementoMinimo(tens ? 10 : 1);
        SetSpinFormat(*spin, info);
    }
}

void FWAlarm::LimitAlarmRange()
{
    const std::int32_t cap = HysteresisCap(WorkingCopy());
    if (m_Isteresi->Max() > cap)
        m_Isteresi->SetMax(cap);
}

void FWAlarm::MinAlarmScaleChanged()
{
    const std::int32_t minimum = m_MinAlarmScale->Value();
    m_MaxAlarmScale->SetMin(minimum);
    m_AlarmSetPoint->SetMin(minimum);
}

void FWAlarm::MaxAlarmScaleChanged()
{
    m_AlarmSetPoint->SetMax(m_MaxAlarmScale->Value());
}
