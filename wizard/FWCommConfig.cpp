#include "FWCommConfig.h"

#include "ControlKinds.h"
#include "ResourceText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr std::int32_t kTextComPortFrame = 323;
constexpr std::int32_t kTextInterfaceFrame = 320;
constexpr std::int32_t kTextAuxiliary = 321;
constexpr std::int32_t kTextSingleInstrument = 325;
constexpr std::int32_t kTextNetwork = 322;
constexpr std::int32_t kTextPortName = 336; // "COM|1"

QRadioButton *optionButton(QWidget *parent, const char *name, std::int32_t captionId)
{
    auto *button = new QRadioButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    SetControlTag(button, captionId);
    return button;
}

} // namespace

FWCommConfig::FWCommConfig(QWidget *parent) : FWizardDataPage<CCommConfig>(QStringLiteral("FWCommConfig"), kTitle, parent)
{
    ComPort = new QGroupBox(Body());
    ComPort->setObjectName(QStringLiteral("ComPort"));
    SetControlTag(ComPort, kTextComPortFrame);
    cmbComPort = new QComboBox(ComPort);
    cmbComPort->setObjectName(QStringLiteral("cmbComPort"));
    auto *portLayout = new QVBoxLayout(ComPort);
    portLayout->addWidget(cmbComPort);

    InterfaceType = new QGroupBox(Body());
    InterfaceType->setObjectName(QStringLiteral("InterfaceType"));
    SetControlTag(InterfaceType, kTextInterfaceFrame);
    optInterfaceType0 = optionButton(InterfaceType, "optInterfaceType0", kTextAuxiliary);
    optInterfaceType1 = optionButton(InterfaceType, "optInterfaceType1", kTextSingleInstrument);
    optInterfaceType2 = optionButton(InterfaceType, "optInterfaceType2", kTextNetwork);
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
        m_ComPort.AddText(GetResourceText(kTextPortName, {i + 1}), i);
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
