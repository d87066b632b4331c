#include "CTapiComm.h"

#include "CSystem.h"
#include "CTrayIcon.h"
#include "MErrors.h"
#include "ProgramImages.h"
#include "SettingsStore.h"
#include "CTraceCode.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

QString hex(std::int32_t value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}

template <std::size_t N>
bool inTable(const std::array<std::int32_t, N> &, std::int32_t index)
{
    return index >= 0 && index < static_cast<std::int32_t>(N);
}

} // namespace

CTapiComm::CTapiComm(QObject *parent) : QObject(parent) {}

CTapiComm::~CTapiComm()
{
    CloseRs232();
}

void CTapiComm::Create(WindowTimer *timer, CommControl *control, std::int32_t handleWnd)
{
    if (m_Rs232Manager)
        disconnect(m_Rs232Manager, nullptr, this, nullptr);
    if (m_Rs232)
        disconnect(m_Rs232, nullptr, this, nullptr);

    m_Rs232Manager = timer;
    if (timer) {
        timer->SetEnabled(false);
        timer->SetInterval(kTimerInterval);
        connect(timer, &WindowTimer::Timer, this, &CTapiComm::onTimer);
    }
    m_CommMode = 0;
    m_Rs232 = control;
    if (control) {
        control->SetTimeOut(kDefaultTimeOutRx);
        connect(control, &CommControl::CommStatus, this, &CTapiComm::onCommStatus);
        connect(control, &CommControl::Connected, this, &CTapiComm::onConnected);
        connect(control, &CommControl::Disconnected, this, &CTapiComm::onDisconnected);
        connect(control, &CommControl::TapiError, this, &CTapiComm::onTapiError);
        connect(control, &CommControl::TapiStatus, this, &CTapiComm::onTapiStatus);
        connect(control, &CommControl::TraceMessage, this, [](const QString &text) { g_Trace.BugMessage(text); });
    }
    m_HandleWnd = handleWnd;
}

bool CTapiComm::OpenRs232(std::int32_t port, std::int32_t baudIndex, std::int32_t parityIndex, std::int32_t stopIndex)
{
    CommControl *c = m_Rs232;
    // Each step stands for a property write that may fail; the first failure
    // ends the opening.
    const bool opened = c && inTable(BaudCodeTable, baudIndex) && inTable(ParityCodeTable, parityIndex) &&
                        inTable(StopCodeTable, stopIndex) &&
                        (c->SetConnectionKind(0), c->SetCommPort(port - 1), true) &&
                        c->SetBaudCode(BaudCodeTable[baudIndex]) && c->SetDataBits(8) &&
                        c->SetParityCode(ParityCodeTable[parityIndex]) && c->SetStopCode(StopCodeTable[stopIndex]) &&
                        c->SetPortOpen(true);
    if (!opened) {
        g_Trace.BugMessage(QStringLiteral("Porta COM") + QString::number(port) +
                           QStringLiteral(" già aperta o non presente sul sistema."));
        return false;
    }
    waitWhileBusy();
    m_BaudIndex = baudIndex;
    m_ParityIndex = parityIndex;
    m_StopIndex = stopIndex;
    const bool open = c->PortOpen();
    if (open)
        showTrayIcon(10001);
    return open;
}

bool CTapiComm::OpenTelephonComm(const QString &a1, bool a2, const QString &a3, const QString &a4, const QString &a5,
                                 const QString &a6)
{
    CommControl *c = m_Rs232;
    bool opened = false;
    if (c) {
        c->SetConnectionKind(1);
        c->SetTelephoneArguments(a1, a2, a3, a4, a5, a6);
        opened = c->SetPortOpen(true);
    }
    if (!opened) {
        g_Trace.BugMessage(QStringLiteral("Apertura comunicazione telefonica non riuscita."));
        return false;
    }
    waitWhileBusy();
    const bool open = c->PortOpen();
    if (open && !CSystem().IsWindows9x())
        showTrayIcon(10002);
    return open;
}

void CTapiComm::CloseRs232()
{
    CommControl *c = m_Rs232;
    if (c) {
        bool closed = true;
        if (c->ConnectionKind() == 1 && c->Busy())
            c->HangUp();
        else
            closed = c->SetPortOpen(false);
        if (!closed)
            g_Trace.BugMessage(QStringLiteral("CloseRs232() non riuscita!!!!. Errore nella chiusura della porta."));
    }
    hideTrayIcon();
}

void CTapiComm::Settings(std::int32_t &baudIndex, std::int32_t &parityIndex, std::int32_t &stopIndex)
{
    // An index outside its table is not taken: the current one stays.
    auto take = [](std::int32_t &argument, std::int32_t &current, bool valid) {
        if (argument == -1)
            argument = current;
        else if (valid)
            current = argument;
    };
    take(baudIndex, m_BaudIndex, inTable(BaudCodeTable, baudIndex));
    take(parityIndex, m_ParityIndex, inTable(ParityCodeTable, parityIndex));
    take(stopIndex, m_StopIndex, inTable(StopCodeTable, stopIndex));
    if (CommControl *c = m_Rs232) {
        c->SetBaudCode(BaudCodeTable[m_BaudIndex]);
        c->SetDataBits(8);
        c->SetParityCode(ParityCodeTable[m_ParityIndex]);
        c->SetStopCode(StopCodeTable[m_StopIndex]);
    }
}

void CTapiComm::SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs)
{
    if (m_Rs232)
        m_Rs232->SplitWriteCommFrame(chunkBytes, pauseMs);
}

void CTapiComm::StartTxRx()
{
    if (m_TxRxInProgress) {
        g_Trace.BugMessage(QStringLiteral("StartTxRx ignorata: scambio già in corso"));
        return;
    }
    m_CRCErrors = 0;
    m_LineErrors = 0;
    m_TimeOuts = 0;
    m_Error = CommErrorCode::None;
    // A report left over from an earlier exchange must not be taken for the
    // answer to this one.
    m_ReplyPending = false;
    m_AwaitingReport = false;
    m_TicksAwaiting = 0;
    m_TxRxInProgress = true;
    m_SendPending = true;
    if (!m_Rs232Manager) {
        // Nothing would ever pace the exchange.
        g_Trace.BugMessage(QStringLiteral("StartTxRx senza timer: scambio terminato"));
        m_SendPending = false;
        endExchange(CommErrorCode::NoAnswer);
        return;
    }
    setTimer(true);
}

void CTapiComm::CancelTxRx(bool cancel)
{
    m_CancelRequest = cancel;
    if (cancel && m_Rs232 && m_Rs232->ConnectionKind() == 1 && m_Rs232->Busy())
        m_Rs232->HangUp();
}

bool CTapiComm::DTR() const
{
    return m_Rs232 && m_Rs232->DTR();
}

void CTapiComm::SetDTR(bool on)
{
    if (m_Rs232 && m_Rs232->PortOpen())
        m_Rs232->SetDTR(on);
}

bool CTapiComm::RTS() const
{
    return m_Rs232 && m_Rs232->RTS();
}

void CTapiComm::SetRTS(bool on)
{
    if (m_Rs232 && m_Rs232->PortOpen())
        m_Rs232->SetRTS(on);
}

std::int16_t CTapiComm::InBufferSize() const
{
    return m_Rs232 ? m_Rs232->InBufferSize() : 0;
}

void CTapiComm::SetInBufferSize(std::int16_t size)
{
    if (m_Rs232)
        m_Rs232->SetInBufferSize(size);
}

std::int16_t CTapiComm::OutBufferSize() const
{
    return m_Rs232 ? m_Rs232->OutBufferSize() : 0;
}

void CTapiComm::SetOutBufferSize(std::int16_t size)
{
    if (m_Rs232)
        m_Rs232->SetOutBufferSize(size);
}

bool CTapiComm::CD() const
{
    return m_Rs232 && m_Rs232->CD();
}
bool CTapiComm::DSR() const
{
    return m_Rs232 && m_Rs232->DSR();
}
bool CTapiComm::CTS() const
{
    return m_Rs232 && m_Rs232->CTS();
}

void CTapiComm::SetFrameTx(const QByteArray &frame)
{
    if (!m_TxRxInProgress)
        m_FrameTx = frame;
}

void CTapiComm::SetByteToReceive(std::int16_t count)
{
    if (!m_TxRxInProgress)
        m_ByteToReceive = count;
}

std::int32_t CTapiComm::TimeOutRx() const
{
    return m_Rs232 ? m_Rs232->TimeOut() : 0;
}

void CTapiComm::SetTimeOutRx(std::int32_t ms)
{
    if (m_Rs232)
        m_Rs232->SetTimeOut(ms);
}

void CTapiComm::setTimer(bool on)
{
    if (m_Rs232Manager)
        m_Rs232Manager->SetEnabled(on);
}

void CTapiComm::onTimer()
{
    if (m_SendPending) {
        m_SendPending = false;
        sendStep();
    }
    if (m_ReplyPending) {
        m_ReplyPending = false;
        receiveStep();
    } else if (m_AwaitingReport && m_TxRxInProgress) {
        // The control owes a report for the frame in flight. One that stays
        // silent well past its time-out counts as a time-out.
        ++m_TicksAwaiting;
        const std::int32_t interval = m_Rs232Manager ? m_Rs232Manager->Interval() : kTimerInterval;
        if (static_cast<std::int64_t>(m_TicksAwaiting) * interval >= TimeOutRx() + kReportGraceMs) {
            m_AwaitingReport = false;
            ++m_TimeOuts;
            g_Trace.BugMessage(QStringLiteral("Errore di timeout nr.") + QString::number(m_TimeOuts));
            m_SendPending = true;
        }
    }
}

void CTapiComm::sendStep()
{
    setTimer(false);
    if (m_CancelRequest) {
        g_Trace.BugMessage(QStringLiteral("Annullata operazione di Tx Rx"));
        m_CancelRequest = false;
        endExchange(CommErrorCode::Cancelled);
    } else if (m_LineErrors >= kMaxLineErrors) {
        g_Trace.BugMessage(QStringLiteral("Errore UART"));
        endExchange(CommErrorCode::Reception);
    } else if (m_TimeOuts >= m_MaxErrorTimeOut) {
        g_Trace.BugMessage(QStringLiteral("Errore TIMEOUT"));
        endExchange(CommErrorCode::NoAnswer);
    } else if (m_CRCErrors < m_MaxErrorCRC) {
        m_AwaitingReport = true;
        m_TicksAwaiting = 0;
        if (CommControl *c = m_Rs232) {
            c->SetByteToReceive(m_ByteToReceive);
            c->SetFrameTx(m_FrameTx);
            c->SendReceive();
        }
        setTimer(true);
    } else {
        g_Trace.BugMessage(QStringLiteral("Errore CRC"));
        endExchange(CommErrorCode::CRC);
    }
}

void CTapiComm::receiveStep()
{
    setTimer(false);
    m_FrameRx = m_Rs232 ? m_Rs232->FrameRx() : QByteArray();
    bool ok = true;
    emit VerifyCRC(ok, m_FrameRx);
    if (ok) {
        // The exchange is over before its owner hears of it, as with every
        // other outcome: an owner may start the next one from EndTxRx.
        m_TxRxInProgress = false;
        if (m_CommMode == 0)
            emit EndTxRx();
    } else {
        ++m_CRCErrors;
        g_Trace.BugMessage(QStringLiteral("Errore di CRC nr.") + QString::number(m_CRCErrors));
        m_SendPending = true;
        setTimer(true);
    }
}

void CTapiComm::endExchange(std::int32_t error)
{
    m_TxRxInProgress = false;
    m_AwaitingReport = false;
    m_Error = error;
    if (m_CommMode != 0)
        return;
    switch (error) {
    case CommErrorCode::Reception: emit UARTError(); break;
    case CommErrorCode::NoAnswer: emit TimeOutError(); break;
    case CommErrorCode::Cancelled: emit TxRxCancelled(); break;
    case CommErrorCode::CRC: emit CRCError(); break;
    default: break;
    }
}

void CTapiComm::onCommStatus(std::int32_t code, const QString &text)
{
    g_Trace.BugTraceDisable();
    g_Trace.BugMessage(QStringLiteral("CommStatus event:") + QString::number(code) + QStringLiteral("->") + text);
    g_Trace.BugTraceEnable();
    setTimer(false);
    switch (code) {
    case CommStatusCode::FramingError:
    case CommStatusCode::Overrun:
    case CommStatusCode::ParityError:
    case CommStatusCode::Break:
    case CommStatusCode::RxBufferOverflow:
    case CommStatusCode::DeviceError:
        ++m_LineErrors;
        g_Trace.BugMessage(QStringLiteral("Errore UART nr.") + QString::number(m_LineErrors));
        break;
    // A report ends the frame in flight; one that comes with no frame in
    // flight (after the exchange ended) is left alone.
    case CommStatusCode::Received:
        if (m_AwaitingReport) {
            m_AwaitingReport = false;
            m_ReplyPending = true;
        }
        break;
    case CommStatusCode::TimeOut:
        if (m_AwaitingReport) {
            m_AwaitingReport = false;
            ++m_TimeOuts;
            g_Trace.BugMessage(QStringLiteral("Errore di timeout nr.") + QString::number(m_TimeOuts));
            m_SendPending = true;
        }
        break;
    default: break;
    }
    // Between exchanges the timer stays off: it would only tick idly.
    if (m_TxRxInProgress)
        setTimer(true);
}

void CTapiComm::onConnected()
{
    g_Trace.BugMessage(QStringLiteral("Modem connected!!!!"));
}

void CTapiComm::onDisconnected(std::int32_t cause)
{
    g_Trace.BugMessage(QStringLiteral("Modem disconnected!!!! Cause:&H") + hex(cause));
}

void CTapiComm::onTapiError(const QString &text)
{
    g_Trace.BugMessage(QStringLiteral("Tapi error:") + text);
}

void CTapiComm::onTapiStatus(std::int32_t code)
{
    g_Trace.BugMessage(QStringLiteral("Tapi status: &H") + hex(code));
}

bool CTapiComm::waitWhileBusy()
{
    // A dial can take a while; the control is asked again every 50 ms, and
    // given up on after a minute.
    constexpr int kPollMs = 50;
    constexpr qint64 kLimitMs = 60000;
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_Rs232 && m_Rs232->Busy()) {
        if (elapsed.elapsed() > kLimitMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(kPollMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The notification-area icon shown while a connection is open.
void CTapiComm::showTrayIcon(std::int32_t iconId)
{
    if (m_TrayIconShown || m_HandleWnd == -1)
        return;
    m_TrayIconShown = true;
    // The owner is the window whose handle was given to Create; without a
    // window of that handle, the active window of the program.
    QWidget *owner = m_HandleWnd != 0 ? QWidget::find(static_cast<WId>(m_HandleWnd)) : nullptr;
    if (!owner)
        owner = QApplication::activeWindow();
    if (!owner) {
        g_Trace.BugMessage(QStringLiteral("Nessuna finestra per l'icona di notifica: icona non mostrata"));
        return;
    }
    try {
        auto tray = std::make_unique<CTrayIcon>();
        QString tip = QString::fromLatin1(kApplicationTitle);
        tray->Create(owner, TrayPicture::FromIcon(ProgramIcon(iconId)), tip);
        m_TrayIcon = std::move(tray);
    } catch (const ProgramError &e) {
        g_Trace.BugMessage(QStringLiteral("Errore creazione icona di notifica: ") + e.Description());
    }
}

void CTapiComm::hideTrayIcon()
{
    if (!m_TrayIconShown || m_HandleWnd == -1)
        return;
    m_TrayIconShown = false;
    m_TrayIcon.reset();
}

void WaitForEndOfTxRx(const CTapiComm &comm)
{
    while (comm.TxRxInProgress())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
