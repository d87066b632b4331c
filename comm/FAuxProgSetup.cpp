#include "FAuxProgSetup.h"

#include "CommandBorder.h"
#include "ControlKinds.h"
#include "FormText.h"
#include "MsgBox.h"
#include "ResourceText.h"
#include "SerialControl.h"
#include "WindowTimer.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr std::int32_t kCaptionCommunicating = 204;
constexpr std::int32_t kCaptionCancel = 2001;
} // namespace

FAuxProgSetup::FAuxProgSetup(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FAuxProgSetup"));
    setModal(true);
    // The close box stays (it cancels); there is no help button.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    TapiComm = new SerialControl(this);
    TapiComm->setObjectName(QStringLiteral("TapiComm"));
    Rs232Manager = new WindowTimer(this);
    Rs232Manager->setObjectName(QStringLiteral("Rs232Manager"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setWordWrap(true);
    ProgBarTransfer = new QProgressBar(this);
    ProgBarTransfer->setObjectName(QStringLiteral("ProgBarTransfer"));
    ProgBarTransfer->setTextVisible(false);
    ProgBarTransfer->setRange(0, 100);
    ProgBarTransfer->setValue(0);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label5);
    layout->addWidget(ProgBarTransfer);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(cmdCancel, &QPushButton::clicked, this, &FAuxProgSetup::cmdCancel_Click);
    connect(&m_Engine, &CAuxTransferEngine::StatusText, Label5, &QLabel::setText);
    connect(&m_Engine, &CAuxTransferEngine::ProgressRange, ProgBarTransfer, &QProgressBar::setRange);
    connect(&m_Engine, &CAuxTransferEngine::ProgressValue, ProgBarTransfer, &QProgressBar::setValue);

    m_Engine.SetLine(TapiComm, Rs232Manager, -1);
    connect(&m_Engine, &CAuxTransferEngine::Warning, this, [this](const QString &text, const QString &title) {
        MsgBox(text, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, title, this);
    });

    formLoad();
    setMinimumWidth(360);
    adjustSize();
}

// Unload: the engine closes the port and releases the transport.
FAuxProgSetup::~FAuxProgSetup() = default;

void FAuxProgSetup::formLoad()
{
    SetControlTag(this, kCaptionCommunicating);
    LoadFormCaptions(this);
    SetFormFont(this);
    cmdCancel->setText(GetResourceText(kCaptionCancel));
}

bool FAuxProgSetup::Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *networkAddMsgSetup)
{
    return m_Engine.Create(commConfig, modInstr, networkAddMsgSetup);
}

void FAuxProgSetup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_Activated)
        return;
    m_Activated = true;
    // The transfer starts once the window is on screen; it runs inside the
    // window's event loop, waiting on it for every exchange.
    QTimer::singleShot(0, this, &FAuxProgSetup::runTransfer);
}

void FAuxProgSetup::runTransfer()
{
    // The transfer runs from the event loop: nothing it throws may leave here.
    bool ok = false;
    RunGuarded(this, QStringLiteral("Trasferimento ausiliario: "), [&] {
        // The transport's notification icon belongs to this window.
        m_Engine.SetHandleWnd(static_cast<std::int32_t>(winId()));
        m_Engine.StartTransfer();
        ok = m_Engine.ReturnValue();
    });
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void FAuxProgSetup::cmdCancel_Click()
{
    m_Engine.Cancel();
}

void FAuxProgSetup::closeEvent(QCloseEvent *event)
{
    if (m_Engine.Finished() || !m_Activated) {
        QDialog::closeEvent(event);
        return;
    }
    // Closing asks for a cancel; the window closes when the transfer ends.
    cmdCancel_Click();
    event->ignore();
}

void FAuxProgSetup::reject()
{
    if (m_Engine.Finished() || !m_Activated) {
        QDialog::reject();
        return;
    }
    cmdCancel_Click();
}
