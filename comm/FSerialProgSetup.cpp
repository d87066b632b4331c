#include "FSerialProgSetup.h"

#include "CommandBorder.h"
#include "CTapiComm.h"
#include "ModbusTransfer.h"
#include "MsgBox.h"
#include "SerialControl.h"
#include "StringTable.h"
#include "WindowTimer.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr std::int32_t kCaption = 204;
constexpr std::int32_t kCancelCaption = 2001;
} // namespace

FSerialProgSetup::FSerialProgSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FSerialProgSetup"));
    setModal(true);

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
    TapiComm = new SerialControl(this);
    TapiComm->setObjectName(QStringLiteral("TapiComm"));
    Rs232Manager = new WindowTimer(this);
    Rs232Manager->setObjectName(QStringLiteral("Rs232Manager"));

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
    connect(cmdCancel, &QPushButton::clicked, this, &FSerialProgSetup::cmdCancel_Click);
}

FSerialProgSetup::~FSerialProgSetup()
{
    m_Engine.reset();
    if (m_Rs232)
        m_Rs232->CloseRs232();
}

bool FSerialProgSetup::Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *network)
{
    m_CommConfig = commConfig;
    m_ModInstr = modInstr;
    m_Network = network;
    m_Engine.reset();
    m_Rs232 = std::make_unique<CTapiComm>();
    if (commConfig && network) {
        m_Engine = std::make_unique<ModbusTransfer>(*m_Rs232, *commConfig, *network);
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

void FSerialProgSetup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_Started)
        return;
    m_Started = true;
    // Run once the window is on screen, inside the event loop that shows it.
    QTimer::singleShot(0, this, &FSerialProgSetup::StartTransfer);
}

void FSerialProgSetup::StartTransfer()
{
    if (!m_Engine) {
        m_ReturnValue = false;
        finish();
        return;
    }
    // The transfer runs from the event loop: nothing it throws may leave here.
    const bool ran = RunGuarded(this, QStringLiteral("Trasferimento Modbus: "), [&] {
        m_Rs232->Create(Rs232Manager, TapiComm, static_cast<std::int32_t>(winId()));
        m_Engine->SetAction(m_Action);
        m_Engine->SetIDProgramma(m_IDProgramma);
        m_Engine->SetModInstr(m_ModInstr);
        m_ReturnValue = m_Engine->StartTransfer();
    });
    if (!ran)
        m_ReturnValue = false;
    finish();
}

void FSerialProgSetup::finish()
{
    m_Finished = true;
    if (m_Rs232)
        m_Rs232->CloseRs232();
    done(m_ReturnValue ? QDialog::Accepted : QDialog::Rejected);
}

void FSerialProgSetup::cmdCancel_Click()
{
    if (m_Engine)
        m_Engine->Cancel();
    else
        m_ReturnValue = false;
}

// The close box and Escape cancel the transfer; the window stays open until
// the transfer has unwound and closes itself.
void FSerialProgSetup::closeEvent(QCloseEvent *event)
{
    if (m_Finished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cmdCancel_Click();
}

void FSerialProgSetup::reject()
{
    if (m_Finished) {
        QDialog::reject();
        return;
    }
    cmdCancel_Click();
}
