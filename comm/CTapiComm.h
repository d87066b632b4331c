#pragma once
#include "CommControl.h"
#include "WindowTimer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <memory>
#include <cstdint>

// Outcome of one exchange (CTapiComm::Error).
namespace CommErrorCode {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t Reception = 1; // line errors
inline constexpr std::int32_t NoAnswer = 2;  // time-outs
inline constexpr std::int32_t Cancelled = 3;
inline constexpr std::int32_t CRC = 4; // answers rejected by the owner
} // namespace CommErrorCode

// The frame transport: one request/answer exchange at a time over a
// communication control, paced by a window timer. It sends the owner's frame,
// waits for an answer of ByteToReceive bytes, resends on time-outs and on
// answers the owner rejects (VerifyCRC), and ends with Error set.
//
// Every step runs in a timer tick; the control's reports only count and set
// flags. The owner's calling protocol:
//   SetCommMode(1); SetFrameTx(frame); SetByteToReceive(n); StartTxRx();
//   WaitForEndOfTxRx(comm);   // sleeps in the event loop
//   if (comm.Error() == 0) use comm.FrameRx();
class CTapiComm : public QObject {
    Q_OBJECT
public:
    // Pacing of the exchange steps.
    static constexpr std::int32_t kTimerInterval = 200;
    static constexpr std::int32_t kDefaultTimeOutRx = 3000;
    // Line errors of one exchange that end it at the next send step.
    static constexpr std::int16_t kMaxLineErrors = 3;
    // A control that has not reported this long after its receive time-out
    // is taken to have timed out, so no exchange can wait for ever.
    static constexpr std::int32_t kReportGraceMs = 2000;

    explicit CTapiComm(QObject *parent = nullptr);
    ~CTapiComm() override;

    void Create(WindowTimer *timer, CommControl *control, std::int32_t handleWnd);
    bool OpenRs232(std::int32_t port, std::int32_t baudIndex, std::int32_t parityIndex, std::int32_t stopIndex);
    bool OpenTelephonComm(const QString &a1, bool a2, const QString &a3, const QString &a4, const QString &a5,
                          const QString &a6);
    void CloseRs232();
    // -1 in an argument reads the current index back into it; any other value
    // becomes the current index. The codes then go to the control.
    void Settings(std::int32_t &baudIndex, std::int32_t &parityIndex, std::int32_t &stopIndex);
    void SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs);
    void StartTxRx();

    std::int32_t CommMode() const { return m_CommMode; }
    void SetCommMode(std::int32_t mode) { m_CommMode = mode; }
    std::int32_t Error() const { return m_Error; }
    void CancelTxRx(bool cancel);

    bool DTR() const;
    void SetDTR(bool on);
    bool RTS() const;
    void SetRTS(bool on);
    std::int16_t InBufferSize() const;
    void SetInBufferSize(std::int16_t size);
    std::int16_t OutBufferSize() const;
    void SetOutBufferSize(std::int16_t size);
    bool CD() const;
    bool DSR() const;
    bool CTS() const;

    void SetFrameTx(const QByteArray &frame);
    QByteArray FrameTx() const { return m_FrameTx; }
    QByteArray FrameRx() const { return m_FrameRx; }
    std::int16_t ByteToReceive() const { return m_ByteToReceive; }
    void SetByteToReceive(std::int16_t count);
    bool TxRxInProgress() const { return m_TxRxInProgress; }
    std::int32_t TimeOutRx() const;
    void SetTimeOutRx(std::int32_t ms);
    std::int16_t MaxErrorTimeOut() const { return m_MaxErrorTimeOut; }
    void SetMaxErrorTimeOut(std::int16_t n) { m_MaxErrorTimeOut = n; }
    std::int16_t MaxErrorCRC() const { return m_MaxErrorCRC; }
    void SetMaxErrorCRC(std::int16_t n) { m_MaxErrorCRC = n; }
    std::int32_t HandleWnd() const { return m_HandleWnd; }
    // The notification-area icon while a connection is open (null otherwise).
    const class CTrayIcon *TrayIcon() const { return m_TrayIcon.get(); }

signals:
    void UARTError();
    void TimeOutError();
    void CRCError();
    // Raised for every answer: leave ok true to accept the frame, set it
    // false to reject it. Connect directly (ok is written back).
    void VerifyCRC(bool &ok, const QByteArray &frame);
    void EndTxRx();
    void TxRxCancelled();

private:
    void onTimer();
    void onCommStatus(std::int32_t code, const QString &text);
    void onConnected();
    void onDisconnected(std::int32_t cause);
    void onTapiError(const QString &text);
    void onTapiStatus(std::int32_t code);
    void sendStep();
    void receiveStep();
    void endExchange(std::int32_t error);
    void setTimer(bool on);
    bool waitWhileBusy();
    void showTrayIcon(std::int32_t iconId);
    void hideTrayIcon();

    QPointer<WindowTimer> m_Rs232Manager;
    QPointer<CommControl> m_Rs232;
    std::int32_t m_HandleWnd = 0;
    bool m_TrayIconShown = false;
    std::unique_ptr<class CTrayIcon> m_TrayIcon;

    static constexpr std::array<std::int32_t, 7> BaudCodeTable{0, 1, 2, 3, 6, 5, 9};
    static constexpr std::array<std::int32_t, 3> ParityCodeTable{0, 2, 1};
    static constexpr std::array<std::int32_t, 3> StopCodeTable{0, 2, 1};
    std::int32_t m_BaudIndex = 3;
    std::int32_t m_ParityIndex = 2;
    std::int32_t m_StopIndex = 0;

    std::int16_t m_CRCErrors = 0;
    std::int16_t m_LineErrors = 0;
    std::int16_t m_TimeOuts = 0;
    bool m_ReplyPending = false;
    bool m_SendPending = false;
    // A frame has left and its control has not reported yet; the ticks
    // counted since feed the report watchdog.
    bool m_AwaitingReport = false;
    std::int32_t m_TicksAwaiting = 0;
    bool m_TxRxInProgress = false;
    QByteArray m_FrameTx;
    QByteArray m_FrameRx;
    std::int16_t m_ByteToReceive = 0;
    std::int32_t m_CommMode = 0;
    std::int32_t m_Error = 0;
    bool m_CancelRequest = false;
    std::int16_t m_MaxErrorTimeOut = 3;
    std::int16_t m_MaxErrorCRC = 3;
};

// The owner's wait of the calling protocol: returns when the exchange has
// ended, sleeping in the event loop meanwhile (timer ticks, the control's
// reports and the user's input are handled while it waits).
void WaitForEndOfTxRx(const CTapiComm &comm);
