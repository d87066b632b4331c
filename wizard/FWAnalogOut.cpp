#include "FWAnalogOut.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "ModuleCodes.h"
#include "PageControls.h"
#include "ScaleTables.h"
#include "StringTable.h"
#include "UpDownControl.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace pagecontrols;

namespace {

constexpr std::int32_t kTextOutputRange = 520;
constexpr std::int32_t kTextMaxOut = 521;
constexpr std::int32_t kTextMinOut = 522;
constexpr std::int32_t kTextTypeSignalOut = 523;
constexpr std::int32_t kTextVoltage = 524;
constexpr std::int32_t kTextCurrent = 525;
constexpr std::int32_t kTextChannelFrame = 527;
constexpr std::int32_t kTextChannelA = 528;
constexpr std::int32_t kTextChannelF = 529;

const QString kPercent = QStringLiteral("%");

// The percentages are tenths: the one-decimal record of the four-digit
// table gives the factor 0.1 and the format "##0.0".
const DigitalPointInfo &percentFormat()
{
    return g_DigitalPoint4[1];
}

void resetPercentSpin(CTextDigitSpin &spin)
{
    ResetSpin(spin, FWAnalogOut::kOutMin, FWAnalogOut::kOutMax, 1, percentFormat().Factor,
              percentFormat().NumberFormat, kPercent);
}

} // namespace

FWAnalogOut::FWAnalogOut(QWidget *parent) : FWizardDataPage<CAnalogOut>(QStringLiteral("FWAnalogOut"), kTitle, parent)
{
    QWidget *body = Body();

    frmChannel = NewFrame(body, "frmChannel", kTextChannelFrame);
    cmbChannel = NewCombo(frmChannel, "cmbChannel");
    auto *channelLayout = new QVBoxLayout(frmChannel);
    channelLayout->addWidget(cmbChannel);
    channelLayout->addStretch(1);

    OutputRange = NewFrame(body, "OutputRange", kTextOutputRange);
    Label4 = NewLabel(OutputRange, "Label4", kTextMaxOut);
    txtMaxOut = NewSpinTextBox(OutputRange, "txtMaxOut", UpDown1, "UpDown1");
    Label5 = NewLabel(OutputRange, "Label5", kTextMinOut);
    txtMinOut = NewSpinTextBox(OutputRange, "txtMinOut", UpDown2, "UpDown2");
    auto *rangeLayout = new QGridLayout(OutputRange);
    rangeLayout->addWidget(Label4, 0, 0);
    rangeLayout->addWidget(txtMaxOut, 0, 1);
    rangeLayout->addWidget(Label5, 1, 0);
    rangeLayout->addWidget(txtMinOut, 1, 1);

    TypeSignalOut = NewFrame(body, "TypeSignalOut", kTextTypeSignalOut);

    auto *topRow = new QHBoxLayout;
    topRow->addWidget(frmChannel);
    topRow->addWidget(OutputRange, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(topRow);
    layout->addWidget(TypeSignalOut);
    layout->addStretch(1);

    m_ChannelCombo = new CComboBox(this);
    m_ChannelCombo->setObjectName(QStringLiteral("m_ChannelCombo"));
    m_ChannelCombo->Create(cmbChannel);

    m_MaxOut = new CTextDigitSpin(this);
    m_MaxOut->setObjectName(QStringLiteral("m_MaxOut"));
    m_MaxOut->Create(txtMaxOut, UpDown1, kOutMin, kOutMax, 1, true, true);
    m_MinOut = new CTextDigitSpin(this);
    m_MinOut->setObjectName(QStringLiteral("m_MinOut"));
    m_MinOut->Create(txtMinOut, UpDown2, kOutMin, kOutMax, 1, true, true);
    resetPercentSpin(*m_MaxOut);
    resetPercentSpin(*m_MinOut);

    m_TypeSignalOut = new COptionButton(this);
    m_TypeSignalOut->setObjectName(QStringLiteral("m_TypeSignalOut"));
    FillOptionGroup(*m_TypeSignalOut, TypeSignalOut, "optTypeSignalOut", {kTextVoltage, kTextCurrent});
}

FWAnalogOut::~FWAnalogOut() = default;

void FWAnalogOut::FormLoad()
{
    m_ChannelCombo->ClearAllItem();
    m_ChannelCombo->AddText(LoadResourceString(kTextChannelA));
    m_ChannelCombo->AddText(LoadResourceString(kTextChannelF));
    resetPercentSpin(*m_MaxOut);
    resetPercentSpin(*m_MinOut);
}

void FWAnalogOut::Activate()
{
    const CAnalogOut &data = WorkingCopy();
    const bool channelChoice = data.WPxFunction() != 6;
    frmChannel->setVisible(data.ModelloStrumento() == ModelCode::Oxa16);
    frmChannel->setEnabled(channelChoice);
    m_ChannelCombo->SetEnabled(channelChoice);
    DataToControls();
    RefreshButtons();
}

void FWAnalogOut::DataToControls()
{
    const CAnalogOut &data = WorkingCopy();
    // A channel code other than 0 is channel F, as the instrument's lines
    // take it.
    m_ChannelCombo->SetValue(data.Channel() == 0 ? 0 : 1);
    if (!m_ChannelCombo->Enabled())
        m_ChannelCombo->SetValue(0);
    m_MaxOut->SetValue(data.MaxOut());
    m_MinOut->SetValue(data.MinOut());
    const std::int16_t type = data.TypeSignalOut();
    // A code other than 0 is current, as the lines and the report take it.
    m_TypeSignalOut->SetValue(type == 0 ? 0 : 1);
}

void FWAnalogOut::ControlsToData()
{
    CAnalogOut &data = WorkingCopy();
    data.SetChannel(std::max<std::int16_t>(m_ChannelCombo->Value(), 0));
    data.SetMaxOut(m_MaxOut->ValueInt());
    data.SetMinOut(m_MinOut->ValueInt());
    data.SetTypeSignalOut(m_TypeSignalOut->Value());
}
