#include "FWNetworkAddMsgSetup.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "PageControls.h"
#include "UpDownControl.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

// Interface types as the main window hands them over.
constexpr std::int16_t kRs232 = 1;
constexpr std::int16_t kRs485 = 2;

// Group positions.
constexpr std::int16_t kSingleInstr = 0;
constexpr std::int16_t kNetworkInstr = 1;
constexpr std::int16_t kAutomatic = 0;
constexpr std::int16_t kManual = 1;

QLabel *numberLabel(QWidget *parent, const char *name, const char *number)
{
    QLabel *label = NewLabel(parent, name, 0);
    label->setText(QString::fromLatin1(number));
    return label;
}

} // namespace

FWNetworkAddMsgSetup::FWNetworkAddMsgSetup(QWidget *parent)
    : FWizardDataPage<CNetworkAddMsgSetup>(QStringLiteral("FWNetworkAddMsgSetup"), kTitle, parent)
{
    SetDefaultFollowsTab(true);
    QWidget *body = Body();

    frmModeConfig = NewFrame(body, "frmModeConfig", 580);
    optConfigSingleInstr = NewOption(frmModeConfig, "optConfigSingleInstr", 581);
    optConfigNetworkInstr = NewOption(frmModeConfig, "optConfigNetworkInstr", 582);
    auto *modeLayout = new QVBoxLayout(frmModeConfig);
    modeLayout->addWidget(optConfigSingleInstr);
    modeLayout->addWidget(optConfigNetworkInstr);

    frmSelNetworkAdd = NewFrame(body, "frmSelNetworkAdd", 583);
    optAutomatic = NewOption(frmSelNetworkAdd, "optAutomatic", 589);
    optManual = NewOption(frmSelNetworkAdd, "optManual", 590);
    txtNetworkAdd = NewSpinTextBox(frmSelNetworkAdd, "txtNetworkAdd", UpDown1, "UpDown1");
    auto *addressLayout = new QGridLayout(frmSelNetworkAdd);
    addressLayout->addWidget(optAutomatic, 0, 0);
    addressLayout->addWidget(optManual, 1, 0);
    addressLayout->addWidget(txtNetworkAdd, 1, 1);

    frmTotalInstrNetwork = NewFrame(body, "frmTotalInstrNetwork", 340);
    txtTotalInstrNetwork = NewSpinTextBox(frmTotalInstrNetwork, "txtTotalInstrNetwork", UpDown2, "UpDown2");
    auto *countLayout = new QVBoxLayout(frmTotalInstrNetwork);
    countLayout->addWidget(txtTotalInstrNetwork);
    countLayout->addStretch(1);

    frmMessage = NewFrame(body, "frmMessage", 1255);
    Label4 = numberLabel(frmMessage, "Label4", "1");
    Label1 = NewLabel(frmMessage, "Label1", 585);
    Label5 = numberLabel(frmMessage, "Label5", "2");
    Label2 = NewLabel(frmMessage, "Label2", 586);
    Label6 = numberLabel(frmMessage, "Label6", "3");
    Label3 = NewLabel(frmMessage, "Label3", 587);
    auto *messageLayout = new QGridLayout(frmMessage);
    messageLayout->addWidget(Label4, 0, 0);
    messageLayout->addWidget(Label1, 0, 1);
    messageLayout->addWidget(Label5, 1, 0);
    messageLayout->addWidget(Label2, 1, 1);
    messageLayout->addWidget(Label6, 2, 0);
    messageLayout->addWidget(Label3, 2, 1);
    messageLayout->setColumnStretch(1, 1);

    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(frmSelNetworkAdd, 2);
    addressRow->addWidget(frmTotalInstrNetwork, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(frmModeConfig);
    layout->addLayout(addressRow);
    layout->addWidget(frmMessage);
    layout->addStretch(1);

    m_ModeConfig = NewOptionGroup(this, QStringLiteral("m_ModeConfig"));
    m_ModeConfig->Create(frmModeConfig);
    m_ModeConfig->AddOptionButton(optConfigSingleInstr, COptionButton::kNoItemData);
    m_ModeConfig->AddOptionButton(optConfigNetworkInstr, COptionButton::kNoItemData);
    connect(m_ModeConfig, &COptionButton::Change, this, &FWNetworkAddMsgSetup::ModeConfigChanged);

    m_SelNetworkAdd = NewOptionGroup(this, QStringLiteral("m_SelNetworkAdd"));
    m_SelNetworkAdd->Create(frmSelNetworkAdd);
    m_SelNetworkAdd->AddOptionButton(optAutomatic, COptionButton::kNoItemData);
    m_SelNetworkAdd->AddOptionButton(optManual, COptionButton::kNoItemData);
    connect(m_SelNetworkAdd, &COptionButton::Change, this, &FWNetworkAddMsgSetup::SelNetworkAddChanged);

    m_NetworkAdd = NewSpin(this, QStringLiteral("m_NetworkAdd"), txtNetworkAdd, UpDown1, kAddressMin, kAddressMax);
    m_TotalInstrNetwork =
        NewSpin(this, QStringLiteral("m_TotalInstrNetwork"), txtTotalInstrNetwork, UpDown2, kAddressMin, kAddressMax);
}

FWNetworkAddMsgSetup::~FWNetworkAddMsgSetup() = default;

void FWNetworkAddMsgSetup::FormLoad()
{
    // Each showing starts with every choice enabled, as a freshly loaded
    // window: the rules then disable what the interface does not offer.
    m_ModeConfig->ActivateGroup(true);
    m_SelNetworkAdd->ActivateGroup(true);
    m_NetworkAdd->SetEnabled(true);
    frmTotalInstrNetwork->setEnabled(true);
    m_TotalInstrNetwork->SetEnabled(true);
}

void FWNetworkAddMsgSetup::DataToControls()
{
    const CNetworkAddMsgSetup &data = WorkingCopy();
    // Any code other than 0 means the whole network, and the address given
    // by hand, as the transfer reads them.
    m_ModeConfig->SetValue(data.ModeConfig() == 0 ? kSingleInstr : kNetworkInstr);
    ModeConfigChanged();
    m_SelNetworkAdd->SetValue(data.SelNetworkAdd() == 0 ? kAutomatic : kManual);
    SelNetworkAddChanged();
    m_NetworkAdd->SetValue(data.NetworkAdd());
    m_TotalInstrNetwork->SetValue(data.TotalInstrNetwork());
}

void FWNetworkAddMsgSetup::ControlsToData()
{
    CNetworkAddMsgSetup &data = WorkingCopy();
    data.SetModeConfig(m_ModeConfig->Value());
    data.SetSelNetworkAdd(m_SelNetworkAdd->Value());
    data.SetNetworkAdd(m_NetworkAdd->ValueInt());
    data.SetTotalInstrNetwork(m_TotalInstrNetwork->ValueInt());
}

void FWNetworkAddMsgSetup::ApplyRules()
{
    const std::int16_t interfaceType = WorkingCopy().InterfaceType();
    if (m_Action == 0) {
        m_ModeConfig->Activate(kNetworkInstr, interfaceType == kRs485);
        return;
    }
    // The live view: the mode follows the interface.
    m_ModeConfig->Activate(kSingleInstr, interfaceType == kRs232);
    m_ModeConfig->Activate(kNetworkInstr, interfaceType == kRs485);
    m_SelNetworkAdd->ActivateGroup(interfaceType == kRs232);
    m_NetworkAdd->SetEnabled(interfaceType == kRs232 && m_SelNetworkAdd->Value() == kManual);
    frmTotalInstrNetwork->setEnabled(interfaceType == kRs485);
    m_TotalInstrNetwork->SetEnabled(interfaceType == kRs485);
}

void FWNetworkAddMsgSetup::ModeConfigChanged()
{
    if (m_Action != 0)
        return;
    const std::int16_t interfaceType = WorkingCopy().InterfaceType();
    const bool single = m_ModeConfig->Value() == kSingleInstr;
    m_SelNetworkAdd->ActivateGroup(single);
    // Without RS232 to one instrument the address cannot be searched for:
    // a selected automatic detection moves to the manual address.
    m_SelNetworkAdd->Activate(kAutomatic, single && interfaceType == kRs232);
    m_NetworkAdd->SetEnabled(single && m_SelNetworkAdd->Value() == kManual);
    frmTotalInstrNetwork->setEnabled(!single);
    m_TotalInstrNetwork->SetEnabled(!single);
}

void FWNetworkAddMsgSetup::SelNetworkAddChanged()
{
    m_NetworkAdd->SetEnabled(m_SelNetworkAdd->Value() == kManual);
}
