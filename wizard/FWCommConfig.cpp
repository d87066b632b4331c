#include "FWCommConfig.h"

#include "PageControls.h"
#include "ResourceText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace pagecontrols;

FWCommConfig::FWCommConfig(QWidget *parent)
    : FWizardDataPage<CCommConfig>(QStringLiteral("FWCommConfig"), kTitle, parent)
{
    ComPort = NewFrame(Body(), QStringLiteral("ComPort"), 323);
    cmbComPort = NewCombo(ComPort, QStringLiteral("cmbComPort"));
    auto *portLayout = new QVBoxLayout(ComPort);
    portLayout->addWidget(cmbComPort);

    InterfaceType = NewFrame(Body(), QStringLiteral("InterfaceType"), 320);
    optInterfaceType0 = NewOption(InterfaceType, QStringLiteral("optInterfaceType0"), 321);
    optInterfaceType1 = NewOption(InterfaceType, QStringLiteral("optInterfaceType1"), 325);
    optInterfaceType2 = NewOption(InterfaceType, QStringLiteral("optInterfaceType2"), 322);
    auto *typeLayout = new QVBoxLayout(InterfaceType);
    typeLayout->addWidget(optInterfaceType0);
    typeLayout->addWidget(optInterfaceType1);
    typeLayout->addWidget(optInterfaceType2);

    auto *layout = new QVBoxLayout(Body());
    layout->addWidget(ComPort);
    layout->addWidget(InterfaceType);
    layout->addStretch(1);

    m_ComPort.Create(cmbComPort);
    // The interface codes are the button positions: no item data.
    m_InterfaceType.Create(InterfaceType);
    m_InterfaceType.AddOptionButton(optInterfaceType0, COptionButton::kNoItemData);
    m_InterfaceType.AddOptionButton(optInterfaceType1, COptionButton::kNoItemData);
    m_InterfaceType.AddOptionButton(optInterfaceType2, COptionButton::kNoItemData);
}

void FWCommConfig::FormLoad()
{
    // COM1 .. COM10; the port value is the item's index.
    m_ComPort.ClearAllItem();
    for (std::int32_t i = 0; i < kPorts; ++i)
        m_ComPort.AddText(GetResourceText(336, {i + 1}), i);
}

void FWCommConfig::DataToControls()
{
    m_InterfaceType.SetValue(WorkingCopy().InterfaceType());
    m_ComPort.SetValue(WorkingCopy().ComPort());
}

void FWCommConfig::ControlsToData()
{
    WorkingCopy().SetInterfaceType(m_InterfaceType.Value());
    // A stored port outside COM1..COM10 selects nothing: it stays as it was
    // until the user picks a port, rather than becoming "no port" (-1).
    const std::int16_t port = m_ComPort.Value();
    if (port >= 0)
        WorkingCopy().SetComPort(port);
}

void FWCommConfig::ApplyRules()
{
    m_InterfaceType.Activate(0, m_Action == 0);
}
