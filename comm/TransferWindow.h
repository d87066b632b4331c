#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class CTapiComm;
class SerialControl;
class WindowTimer;

// The frame of the windows that talk to an instrument (the Modbus and the
// auxiliary transfer, the live view). Such a window does its whole job
// inside its first activation and then closes itself; the caller shows it
// modally and reads ReturnValue afterwards.
//
// - The job (RunTransfer) starts once, from the event loop, right after the
//   window is first shown, and runs through the command border with the
//   window's trace prefix: nothing it throws leaves the event loop, and a
//   job that threw has failed. The window then closes itself.
// - ReturnValue is true until the job has run, and then its result; a
//   cancel request makes it false at once.
// - The window's own button (Cancel, or Close), Escape and the title-bar
//   close box only ask the job to cancel (CancelTransfer); the window stays
//   open until the job has unwound. Before the window is first shown and
//   after the job has ended the window closes as any dialog, and once the
//   job has ended a cancel request does nothing.
// - The line: TapiComm and Rs232Manager are the serial control and the
//   pacing timer the transport runs on. A window whose engine runs on a
//   transport of the window's makes it with NewTransport; the frame creates
//   it on the line (with the window's handle) just before the job, and
//   closes its port when the job has ended and when the window goes, after
//   the window's own members (the engine) are gone. An engine that keeps a
//   transport of its own is handed the line and closes its port itself.
class TransferWindow : public QDialog {
    Q_OBJECT
public:
    ~TransferWindow() override;

    // True only when the whole job succeeded.
    bool ReturnValue() const { return m_ReturnValue; }

    SerialControl *TapiComm = nullptr;
    WindowTimer *Rs232Manager = nullptr;

protected:
    TransferWindow(QWidget *parent, const QString &objectName, const QString &tracePrefix);

    // The job; its result becomes ReturnValue. `handleWnd` is the window's
    // handle, for the transport's notification icon.
    virtual bool RunTransfer(std::int32_t handleWnd) = 0;
    // Asks the job under way (or about to start) to end as cancelled.
    virtual void CancelTransfer() = 0;

    // The handler of the window's Cancel or Close button.
    void RequestCancel();

    // A new transport of the window's (the previous one, if any, goes).
    CTapiComm &NewTransport();

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void runOnce();
    void finish();
    // From the first show to the end of the job.
    bool running() const { return m_Started && !m_Finished; }

    QString m_TracePrefix;
    std::unique_ptr<CTapiComm> m_Rs232;
    bool m_ReturnValue = true;
    bool m_Started = false;
    bool m_Finished = false;
};
