#include "TransferWindow.h"

#include "CTapiComm.h"
#include "CommandBorder.h"
#include "SerialControl.h"
#include "WindowTimer.h"

#include <QCloseEvent>
#include <QTimer>

TransferWindow::TransferWindow(QWidget *parent, const QString &objectName, const QString &tracePrefix)
    : QDialog(parent), m_TracePrefix(tracePrefix)
{
    setObjectName(objectName);
    setModal(true);
    TapiComm = new SerialControl(this);
    TapiComm->setObjectName(QStringLiteral("TapiComm"));
    Rs232Manager = new WindowTimer(this);
    Rs232Manager->setObjectName(QStringLiteral("Rs232Manager"));
}

// Unload: the port closes; the transport goes with the frame's members.
TransferWindow::~TransferWindow()
{
    if (m_Rs232)
        m_Rs232->CloseRs232();
}

CTapiComm &TransferWindow::NewTransport()
{
    m_Rs232 = std::make_unique<CTapiComm>();
    return *m_Rs232;
}

void TransferWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_Started)
        return;
    m_Started = true;
    // Run once the window is on screen, inside the event loop that shows it.
    QTimer::singleShot(0, this, &TransferWindow::runOnce);
}

void TransferWindow::runOnce()
{
    bool result = false;
    // The job runs from the event loop: nothing it throws may leave here.
    const bool ran = RunGuarded(this, m_TracePrefix, [&] {
        const auto handleWnd = static_cast<std::int32_t>(winId());
        if (m_Rs232)
            m_Rs232->Create(Rs232Manager, TapiComm, handleWnd);
        result = RunTransfer(handleWnd);
    });
    m_ReturnValue = ran && result;
    finish();
}

void TransferWindow::finish()
{
    m_Finished = true;
    if (m_Rs232)
        m_Rs232->CloseRs232();
    done(m_ReturnValue ? QDialog::Accepted : QDialog::Rejected);
}

void TransferWindow::RequestCancel()
{
    if (m_Finished)
        return;
    m_ReturnValue = false;
    CancelTransfer();
}

// The close box and Escape cancel the job; the window stays open until the
// job has unwound and closes itself.
void TransferWindow::closeEvent(QCloseEvent *event)
{
    if (!running()) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    RequestCancel();
}

void TransferWindow::reject()
{
    if (!running()) {
        QDialog::reject();
        return;
    }
    RequestCancel();
}
