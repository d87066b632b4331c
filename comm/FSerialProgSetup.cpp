#include "FSerialProgSetup.h"

#include "ModbusTransfer.h"
#include "MsgBox.h"
#include "StringTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr std::int32_t kCaption = 204;
constexpr std::int32_t kCancelCaption = 2001;
} // namespace

FSerialProgSetup::FSerialProgSetup(QWidget *parent)
    : TransferWindow(parent, QStringLiteral("FSerialProgSetup"), QStringLiteral("Trasferimento Modbus: "))
{
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    ProgBarTransfer = new QProgressBar(this);
    ProgBarTransfer->setObjectName(QStringLiteral("ProgBarTransfer"));
    ProgBarTransfer->setTextVisible(false);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label5);
    layout->addWidget(ProgBarTransfer);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(420);

    // Load.
    setWindowTitle(LoadResourceString(kCaption));
    cmdCancel->setText(LoadResourceString(kCancelCaption));
    connect(cmdCancel, &QPushButton::clicked, this, &FSerialProgSetup::RequestCancel);
}

// The engine goes first; the frame then closes the port.
FSerialProgSetup::~FSerialProgSetup() = default;

bool FSerialProgSetup::Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *network)
{
    m_ModInstr = modInstr;
    m_Engine.reset();
    CTapiComm &transport = NewTransport();
    if (commConfig && network) {
        m_Engine = std::make_unique<ModbusTransfer>(transport, *commConfig, *network);
        connect(m_Engine.get(), &ModbusTransfer::Warning, this, [this](const QString &text, const QString &title) {
            MsgBox(text, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, title, this);
        });
        connect(m_Engine.get(), &ModbusTransfer::Label1Changed, Label1, &QLabel::setText);
        connect(m_Engine.get(), &ModbusTransfer::Label5Changed, Label5, &QLabel::setText);
        connect(m_Engine.get(), &ModbusTransfer::ProgressRangeChanged, ProgBarTransfer, &QProgressBar::setRange);
        connect(m_Engine.get(), &ModbusTransfer::ProgressValueChanged, ProgBarTransfer, &QProgressBar::setValue);
    }
    return true;
}

bool FSerialProgSetup::RunTransfer(std::int32_t)
{
    if (!m_Engine)
        return false;
    m_Engine->SetAction(m_Action);
    m_Engine->SetIDProgramma(m_IDProgramma);
    m_Engine->SetModInstr(m_ModInstr);
    return m_Engine->StartTransfer();
}

void FSerialProgSetup::CancelTransfer()
{
    if (m_Engine)
        m_Engine->Cancel();
}
