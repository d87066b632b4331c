#include "FAuxProgSetup.h"

#include "ControlKinds.h"
#include "FormText.h"
#include "MsgBox.h"
#include "ResourceText.h"
#include "SerialControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr std::int32_t kCaptionCommunicating = 204;
constexpr std::int32_t kCaptionCancel = 2001;
} // namespace

FAuxProgSetup::FAuxProgSetup(QWidget *owner)
    : TransferWindow(owner, QStringLiteral("FAuxProgSetup"), QStringLiteral("Trasferimento ausiliario: "))
{
    // The close box stays (it cancels); there is no help button.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

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

    connect(cmdCancel, &QPushButton::clicked, this, &FAuxProgSetup::RequestCancel);
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

bool FAuxProgSetup::RunTransfer(std::int32_t handleWnd)
{
    // The transport's notification icon belongs to this window.
    m_Engine.SetHandleWnd(handleWnd);
    return m_Engine.StartTransfer();
}

void FAuxProgSetup::CancelTransfer()
{
    m_Engine.Cancel();
}
