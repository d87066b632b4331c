#include "FWSerialComm.h"

#include "COptionButton.h"
#include "CTextDigitSpin.h"
#include "PageControls.h"
#include "UpDownControl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

constexpr std::int16_t kBaudRates = 4;

} // namespace

FWSerialComm::FWSerialComm(QWidget *parent)
    : FWizardDataPage<CSerialComm>(QStringLiteral("FWSerialComm"), kTitle, parent)
{
    QWidget *body = Body();
    frmNetworkAdd = NewFrame(body, "frmNetworkAdd", 350);
    txtNetworkAdd = NewSpinTextBox(frmNetworkAdd, "txtNetworkAdd", UpDown1, "UpDown1");
    auto *addressRow = new QHBoxLayout(frmNetworkAdd);
    addressRow->addWidget(txtNetworkAdd);
    addressRow->addStretch(1);
    BaudRate = NewFrame(body, "BaudRate", 351);

    auto *layout = new QHBoxLayout(body);
    auto *left = new QVBoxLayout;
    left->addWidget(frmNetworkAdd);
    left->addStretch(1);
    layout->addLayout(left, 1);
    layout->addWidget(BaudRate, 1);

    m_NetworkAdd = NewSpin(this, QStringLiteral("m_NetworkAdd"), txtNetworkAdd, UpDown1, CSerialComm::kNetworkAddMin,
                           CSerialComm::kNetworkAddMax);
    m_BaudRate = NewOptionGroup(this, QStringLiteral("m_BaudRate"));
    FillOptionGroup(*m_BaudRate, BaudRate, "optBaudRate", {352, 353, 354, 355});
}

FWSerialComm::~FWSerialComm() = default;

void FWSerialComm::DataToControls()
{
    const CSerialComm &data = WorkingCopy();
    m_NetworkAdd->SetValue(data.NetworkAdd());
    // A code without a button (no baud rate of the instrument) shows the
    // first rate rather than the previous showing's choice.
    const std::int16_t code = data.BaudRate();
    m_BaudRate->SetValue(code >= 0 && code < kBaudRates ? code : 0);
}

void FWSerialComm::ControlsToData()
{
    CSerialComm &data = WorkingCopy();
    data.SetNetworkAdd(m_NetworkAdd->ValueInt());
    data.SetBaudRate(m_BaudRate->Value());
}
