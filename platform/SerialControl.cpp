#include "SerialControl.h"

#include "SerialPorts.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

QString statusText(std::int32_t code, qsizetype bytes)
{
    switch (code) {
    case CommStatusCode::FramingError: return QStringLiteral("Errore di framing");
    case CommStatusCode::Overrun: return QStringLiteral("Overrun del ricevitore");
    case CommStatusCode::ParityError: return QStringLiteral("Errore di parità");
    case CommStatusCode::Break: return QStringLiteral("Break sulla linea");
    case CommStatusCode::RxBufferOverflow: return QStringLiteral("Buffer di ricezione pieno");
    case CommStatusCode::DeviceError: return QStringLiteral("Errore del dispositivo seriale");
    case CommStatusCode::Received: return QStringLiteral("Ricevuti %1 byte").arg(bytes);
    case CommStatusCode::TimeOut: return QStringLiteral("Timeout di ricezione");
    default: return QString();
    }
}

// The group that owns a device node, for the permission hint.
QString deviceGroup(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("dialout");
    if (const struct group *g = ::getgrgid(st.st_gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(st.st_gid);
}

// Qt reports a port locked by another program and a port the user may not
// open alike (PermissionError); the access check tells them apart.
QString openFailureText(const QString &device, QSerialPort::SerialPortError error, const QString &errorString)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Porta seriale %1 non presente sul sistema.").arg(device);
    case QSerialPort::PermissionError:
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
            const QString group = deviceGroup(device);
            return QStringLiteral("Porta seriale %1: accesso negato. L'utente deve appartenere al "
                                  "gruppo \"%2\" che possiede il dispositivo (sudo usermod -aG %2 "
                                  "<utente>, poi un nuovo accesso).")
                .arg(device, group);
        }
        return QStringLiteral("Porta seriale %1 già in uso da un altro programma.").arg(device);
    default: return QStringLiteral("Porta seriale %1: apertura non riuscita (%2).").arg(device, errorString);
    }
}

} // namespace

bool ReadLineCounters(int fd, LineCounters &counters)
{
#if defined(__linux__) && defined(TIOCGICOUNT)
    if (fd < 0)
        return false;
    serial_icounter_struct ic{};
    if (::ioctl(fd, TIOCGICOUNT, &ic) != 0)
        return false;
    counters.frame = ic.frame;
    counters.overrun = ic.overrun;
    counters.parity = ic.parity;
    counters.brk = ic.brk;
    counters.bufferOverrun = ic.buf_overrun;
    return true;
#else
    (void)fd;
    (void)counters;
    return false;
#endif
}

std::vector<std::int32_t> LineErrorCodes(const LineCounters &before, const LineCounters &after)
{
    std::vector<std::int32_t> codes;
    if (after.frame != before.frame)
        codes.push_back(CommStatusCode::FramingError);
    if (after.overrun != before.overrun)
        codes.push_back(CommStatusCode::Overrun);
    if (after.parity != before.parity)
        codes.push_back(CommStatusCode::ParityError);
    if (after.brk != before.brk)
        codes.push_back(CommStatusCode::Break);
    if (after.bufferOverrun != before.bufferOverrun)
        codes.push_back(CommStatusCode::RxBufferOverflow);
    return codes;
}

std::optional<std::int32_t> SerialControl::BaudRateOfCode(std::int32_t code)
{
    switch (code) {
    case 0: return 1200;
    case 1: return 2400;
    case 2: return 4800;
    case 3: return 9600;
    case 5: return 19200;
    case 6: return 38400;
    case 8: return 57600;
    case 9: return 115200;
    default: return std::nullopt;
    }
}

SerialControl::SerialControl(QObject *parent) : CommControl(parent)
{
    for (QTimer *t : {&m_RxTimer, &m_IdleTimer, &m_ChunkTimer}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_RxTimer, &QTimer::timeout, this, &SerialControl::onTimeOut);
    connect(&m_IdleTimer, &QTimer::timeout, this, [this] { finish(CommStatusCode::Received); });
    connect(&m_ChunkTimer, &QTimer::timeout, this, &SerialControl::writeNextChunk);
    connect(&m_Port, &QSerialPort::readyRead, this, &SerialControl::onReadyRead);
    connect(&m_Port, &QSerialPort::errorOccurred, this, &SerialControl::onError);
}

SerialControl::~SerialControl()
{
    m_Port.close();
}

void SerialControl::trace(const QString &text)
{
    emit TraceMessage(text);
}

bool SerialControl::PortOpen() const
{
    return m_Port.isOpen();
}

bool SerialControl::SetPortOpen(bool open)
{
    if (open)
        return m_Port.isOpen() ? openAgain() : openPort();
    closePort();
    return true;
}

// Opening while open: the same port stays open; another port number cannot
// be opened before the open one is closed, so the request fails instead of
// leaving the owner on the wrong line.
bool SerialControl::openAgain()
{
    const std::int32_t number = m_CommPort + 1;
    if (m_ConnectionKind == 0 && SerialPortDevice(number) == m_OpenDevice)
        return true;
    trace(QStringLiteral("Porta seriale %1 già aperta: la porta COM%2 non può essere aperta prima di chiuderla.")
              .arg(m_OpenDevice)
              .arg(number));
    return false;
}

bool SerialControl::openPort()
{
    if (m_ConnectionKind != 0) {
        trace(QStringLiteral("Nessuna linea telefonica su questo sistema: collegamento via modem non disponibile."));
        return false;
    }
    const std::int32_t number = m_CommPort + 1;
    const QString device = SerialPortDevice(number);
    if (device.isEmpty()) {
        const QStringList devices = SerialPortDevices();
        trace(QStringLiteral("Porta COM%1: nessun dispositivo seriale con questo numero (dispositivi: %2).")
                  .arg(number)
                  .arg(devices.isEmpty() ? QStringLiteral("nessuno") : devices.join(QStringLiteral(", "))));
        return false;
    }
    m_Port.setPortName(device);
    if (!m_Port.open(QIODevice::ReadWrite)) {
        trace(openFailureText(device, m_Port.error(), m_Port.errorString()));
        return false;
    }
    if (!applyLineSettings()) {
        trace(QStringLiteral("Porta seriale %1: impostazioni di linea non accettate dal driver (%2).")
                  .arg(device, m_Port.errorString()));
        m_Port.close();
        return false;
    }
    if (m_Dtr)
        m_Port.setDataTerminalReady(*m_Dtr);
    if (m_Rts)
        m_Port.setRequestToSend(*m_Rts);
    m_Port.clear(QSerialPort::Input);
    m_OpenDevice = device;
    m_Failing = false;
    ++m_Opening;
    return true;
}

bool SerialControl::applyLineSettings()
{
    const auto rate = BaudRateOfCode(m_BaudCode);
    const auto parity = m_ParityCode == 1   ? QSerialPort::OddParity
                        : m_ParityCode == 2 ? QSerialPort::EvenParity
                                            : QSerialPort::NoParity;
    return rate && m_Port.setBaudRate(*rate) && m_Port.setDataBits(static_cast<QSerialPort::DataBits>(m_DataBits)) &&
           m_Port.setParity(parity) &&
           m_Port.setStopBits(m_StopCode == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
           m_Port.setFlowControl(QSerialPort::NoFlowControl);
}

void SerialControl::closePort()
{
    m_Port.close();
    // A send still collecting ends now, so its owner is not left waiting.
    finish(CommStatusCode::TimeOut);
}

bool SerialControl::SetBaudCode(std::int32_t code)
{
    const auto rate = BaudRateOfCode(code);
    if (!rate || (m_Port.isOpen() && !m_Port.setBaudRate(*rate)))
        return false;
    m_BaudCode = code;
    return true;
}

bool SerialControl::SetDataBits(std::int32_t bits)
{
    if (bits < 5 || bits > 8 || (m_Port.isOpen() && !m_Port.setDataBits(static_cast<QSerialPort::DataBits>(bits))))
        return false;
    m_DataBits = bits;
    return true;
}

bool SerialControl::SetStopCode(std::int32_t code)
{
    if (code != 0 && code != 2)
        return false;
    if (m_Port.isOpen() && !m_Port.setStopBits(code == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop))
        return false;
    m_StopCode = code;
    return true;
}

bool SerialControl::SetParityCode(std::int32_t code)
{
    if (code < 0 || code > 2)
        return false;
    const auto parity = code == 1   ? QSerialPort::OddParity
                        : code == 2 ? QSerialPort::EvenParity
                                    : QSerialPort::NoParity;
    if (m_Port.isOpen() && !m_Port.setParity(parity))
        return false;
    m_ParityCode = code;
    return true;
}

void SerialControl::SetByteToReceive(std::int16_t count)
{
    m_ByteToReceive = std::max<std::int16_t>(count, 0);
}

void SerialControl::SetInBufferSize(std::int16_t size)
{
    m_InBufferSize = std::max<std::int16_t>(size, 0);
}

void SerialControl::SetOutBufferSize(std::int16_t size)
{
    m_OutBufferSize = std::max<std::int16_t>(size, 0);
}

void SerialControl::SetTimeOut(std::int32_t ms)
{
    m_TimeOut = static_cast<std::int16_t>(std::clamp<std::int32_t>(ms, 0, 32767));
}

// Line states: a pseudo-terminal has none, so what was set is what reads back.
bool SerialControl::DTR() const
{
    if (m_Dtr || !m_Port.isOpen())
        return m_Dtr.value_or(false);
    return m_Port.pinoutSignals().testFlag(QSerialPort::DataTerminalReadySignal);
}

void SerialControl::SetDTR(bool on)
{
    m_Dtr = on;
    if (m_Port.isOpen())
        m_Port.setDataTerminalReady(on);
}

bool SerialControl::RTS() const
{
    if (m_Rts || !m_Port.isOpen())
        return m_Rts.value_or(false);
    return m_Port.pinoutSignals().testFlag(QSerialPort::RequestToSendSignal);
}

void SerialControl::SetRTS(bool on)
{
    m_Rts = on;
    if (m_Port.isOpen())
        m_Port.setRequestToSend(on);
}

bool SerialControl::CTS() const
{
    return m_Port.isOpen() && m_Port.pinoutSignals().testFlag(QSerialPort::ClearToSendSignal);
}

bool SerialControl::DSR() const
{
    return m_Port.isOpen() && m_Port.pinoutSignals().testFlag(QSerialPort::DataSetReadySignal);
}

bool SerialControl::CD() const
{
    return m_Port.isOpen() && m_Port.pinoutSignals().testFlag(QSerialPort::DataCarrierDetectSignal);
}

void SerialControl::SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs)
{
    m_ChunkBytes = chunkBytes;
    m_PauseMs = std::max<std::int16_t>(pauseMs, 0);
}

QString SerialControl::DevicePath() const
{
    return m_Port.isOpen() ? m_Port.portName() : QString();
}

std::int32_t SerialControl::IdleGap() const
{
    if (m_IdleGapSetting > 0)
        return m_IdleGapSetting;
    // 40 character times, and never below kMinIdleGapMs: an instrument may
    // pause that long between its echo and its dump, or between two lines.
    const std::int32_t rate = BaudRateOfCode(m_BaudCode).value_or(9600);
    return std::max<std::int32_t>(kMinIdleGapMs, 400000 / rate);
}

void SerialControl::SendReceive()
{
    ++m_Serial; // abandons a send still running: its reports are no longer delivered
    m_RxTimer.stop();
    m_IdleTimer.stop();
    m_ChunkTimer.stop();
    m_TxRest.clear();
    m_Rx.clear();
    m_FrameRx.clear();
    m_Overflow = false;
    m_HaveCounters = false;
    m_Expected = m_ByteToReceive;
    m_Collecting = true;

    if (!m_Port.isOpen()) {
        report(CommStatusCode::DeviceError, QStringLiteral("Porta non aperta"));
        finish(CommStatusCode::TimeOut);
        return;
    }
    // Whatever is waiting belongs to an earlier exchange.
    m_Port.clear(QSerialPort::Input);
    m_Port.readAll();
    m_HaveCounters = ReadLineCounters(m_Port.handle(), m_Counters);

    m_TxRest = m_FrameTx;
    writeNextChunk();
}

void SerialControl::writeNextChunk()
{
    if (!m_Collecting || !m_Port.isOpen())
        return;
    const qsizetype size = m_ChunkBytes > 0 ? std::min<qsizetype>(m_ChunkBytes, m_TxRest.size()) : m_TxRest.size();
    const QByteArray piece = m_TxRest.left(size);
    m_TxRest.remove(0, size);
    if (!piece.isEmpty()) {
        if (m_Port.write(piece) != piece.size()) {
            report(CommStatusCode::DeviceError, statusText(CommStatusCode::DeviceError, 0));
            finish(CommStatusCode::TimeOut);
            return;
        }
        m_Port.flush();
    }
    if (m_TxRest.isEmpty())
        startReceiveTimeOut();
    else
        m_ChunkTimer.start(m_PauseMs);
}

void SerialControl::startReceiveTimeOut()
{
    m_RxTimer.start(std::max<std::int32_t>(m_TimeOut, 1));
}

void SerialControl::onReadyRead()
{
    const QByteArray data = m_Port.readAll();
    if (!m_Collecting)
        return; // late or unasked bytes: dropped
    m_Rx += data;
    if (m_InBufferSize > 0 && m_Rx.size() > m_InBufferSize)
        m_Overflow = true;
    if (m_Expected > 0) {
        if (m_Rx.size() >= m_Expected) {
            m_Rx.truncate(m_Expected);
            finish(CommStatusCode::Received);
        }
    } else {
        m_IdleTimer.start(IdleGap());
    }
}

void SerialControl::onTimeOut()
{
    // A sender that is still talking when the time-out passes has had its
    // time: what came in is the answer, for the owner to judge.
    if (m_Expected == 0 && !m_Rx.isEmpty())
        finish(CommStatusCode::Received);
    else
        finish(CommStatusCode::TimeOut);
}

void SerialControl::onError(QSerialPort::SerialPortError error)
{
    const bool fatal =
        error == QSerialPort::ReadError || error == QSerialPort::WriteError || error == QSerialPort::ResourceError;
    if (!fatal || !m_Port.isOpen() || m_Failing)
        return;
    m_Failing = true;
    const QString device = m_Port.portName();
    const QString reason = m_Port.errorString();
    if (m_Collecting)
        report(CommStatusCode::DeviceError, statusText(CommStatusCode::DeviceError, 0));
    // Closed from the event loop, not inside the port's own notification; the
    // running send ends with it.
    const std::uint64_t serial = m_Serial;
    const std::uint64_t opening = m_Opening;
    QMetaObject::invokeMethod(
        this,
        [this, serial, opening, device, reason] {
            m_Failing = false;
            if (!m_Port.isOpen() || opening != m_Opening)
                return;
            trace(QStringLiteral("Porta seriale %1 persa durante la comunicazione (%2): porta chiusa.")
                      .arg(device, reason));
            m_Port.close();
            if (serial == m_Serial)
                finish(CommStatusCode::TimeOut);
        },
        Qt::QueuedConnection);
}

void SerialControl::finish(std::int32_t code)
{
    if (!m_Collecting)
        return;
    m_Collecting = false;
    m_RxTimer.stop();
    m_IdleTimer.stop();
    m_ChunkTimer.stop();
    m_TxRest.clear();
    m_FrameRx = m_Rx;
    if (m_HaveCounters && m_Port.isOpen()) {
        LineCounters now;
        if (ReadLineCounters(m_Port.handle(), now)) {
            for (std::int32_t lineError : LineErrorCodes(m_Counters, now))
                report(lineError, statusText(lineError, 0));
            m_Counters = now;
        }
    }
    if (m_Overflow)
        report(CommStatusCode::RxBufferOverflow, statusText(CommStatusCode::RxBufferOverflow, 0));
    report(code, statusText(code, m_FrameRx.size()));
}

void SerialControl::report(std::int32_t code, const QString &text)
{
    const std::uint64_t serial = m_Serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, code, text] {
            if (serial == m_Serial)
                emit CommStatus(code, text);
        },
        Qt::QueuedConnection);
}
