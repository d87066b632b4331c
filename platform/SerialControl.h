#pragma once
#include "CommControl.h"

#include <QSerialPort>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <vector>

// Line-error counters of a serial driver (Linux TIOCGICOUNT).
struct LineCounters {
    std::int64_t frame = 0;
    std::int64_t overrun = 0;
    std::int64_t parity = 0;
    std::int64_t brk = 0;
    std::int64_t bufferOverrun = 0;
};

// Reads the driver's counters; false when the driver keeps none (ptys, some
// USB adapters), in which case no line errors can be reported.
bool ReadLineCounters(int fd, LineCounters &counters);
// One status code per kind of line error that grew between two readings.
std::vector<std::int32_t> LineErrorCodes(const LineCounters &before, const LineCounters &after);

// The serial communication control, over QSerialPort.
//
// Codes: baud 0 1200, 1 2400, 2 4800, 3 9600, 5 19200, 6 38400, 8 57600,
// 9 115200 (4 and 7, 14400 and 56000 on other systems, have no POSIX rate and
// are refused); parity 0 none, 1 odd, 2 even; stop 0 one bit, 2 two bits
// (1, one and a half, does not exist on POSIX lines and is refused); data bits
// 5 to 8. An unknown code is refused and the previous one kept.
//
// SendReceive drops whatever input is waiting, writes the frame and collects
// the answer: Received once ByteToReceive bytes are in (extra bytes of the
// same answer are dropped), TimeOut when the time-out passes first. With
// ByteToReceive 0 it collects until the line has been quiet for the idle gap
// after the last byte (2 s at least, so a sender that pauses less than that
// is still heard to the end), or until the time-out passes: Received with
// every byte, TimeOut when nothing came.
// Bytes arriving while no send is collecting are discarded, so a late answer
// never reaches the next exchange.
//
// Opening while open succeeds for the same port number only; another number
// is refused (and traced) until the open port is closed. A failed open is
// traced with its cause: a device that does not exist, one held by another
// program, or one the user may not open (the trace names the group that
// owns the device, which the user must join).
//
// A port that fails while open (adapter pulled, I/O error) is closed and the
// running send ends with DeviceError then TimeOut; a send on a closed port
// reports the same at once.
class SerialControl : public CommControl {
    Q_OBJECT
public:
    explicit SerialControl(QObject *parent = nullptr);
    ~SerialControl() override;

    bool PortOpen() const override;
    bool SetPortOpen(bool open) override;

    std::int32_t BaudCode() const override { return m_BaudCode; }
    bool SetBaudCode(std::int32_t code) override;
    std::int32_t DataBits() const override { return m_DataBits; }
    bool SetDataBits(std::int32_t bits) override;
    std::int32_t StopCode() const override { return m_StopCode; }
    bool SetStopCode(std::int32_t code) override;
    std::int32_t ParityCode() const override { return m_ParityCode; }
    bool SetParityCode(std::int32_t code) override;

    std::int16_t ByteToReceive() const override { return m_ByteToReceive; }
    void SetByteToReceive(std::int16_t count) override;
    void SetFrameTx(const QByteArray &frame) override { m_FrameTx = frame; }
    QByteArray FrameRx() const override { return m_FrameRx; }

    std::int32_t CommPort() const override { return m_CommPort; }
    void SetCommPort(std::int32_t index) override { m_CommPort = index; }
    std::int32_t ConnectionKind() const override { return m_ConnectionKind; }
    void SetConnectionKind(std::int32_t kind) override { m_ConnectionKind = kind; }
    void SetTelephoneArguments(const QString &, bool, const QString &, const QString &, const QString &,
                               const QString &) override
    {
    }

    std::int16_t InBufferSize() const override { return m_InBufferSize; }
    void SetInBufferSize(std::int16_t size) override;
    std::int16_t OutBufferSize() const override { return m_OutBufferSize; }
    void SetOutBufferSize(std::int16_t size) override;

    bool Busy() const override { return false; }

    std::int16_t TimeOut() const override { return m_TimeOut; }
    void SetTimeOut(std::int32_t ms) override;

    bool DTR() const override;
    void SetDTR(bool on) override;
    bool RTS() const override;
    void SetRTS(bool on) override;
    bool CTS() const override;
    bool DSR() const override;
    bool CD() const override;

    void SendReceive() override;
    void HangUp() override {}
    void SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs) override;

    // The device of the open port (empty while closed).
    QString DevicePath() const;
    // Quiet time after the last byte that ends a ByteToReceive 0 reception;
    // 0 (the default) is 40 character times at the line's speed, and never
    // less than kMinIdleGapMs. Tests that never pause shorten it.
    static constexpr std::int32_t kMinIdleGapMs = 2000;
    void SetIdleGap(std::int32_t ms) { m_IdleGapSetting = ms; }
    std::int32_t IdleGap() const;

    static std::optional<std::int32_t> BaudRateOfCode(std::int32_t code);

private:
    bool openPort();
    bool openAgain();
    void closePort();
    bool applyLineSettings();
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void onTimeOut();
    void writeNextChunk();
    void startReceiveTimeOut();
    void finish(std::int32_t code);
    void report(std::int32_t code, const QString &text);
    void trace(const QString &text);

    mutable QSerialPort m_Port; // line states are read through it in const getters
    QTimer m_RxTimer;           // receive time-out
    QTimer m_IdleTimer;         // end of a ByteToReceive 0 reception
    QTimer m_ChunkTimer;        // pause between the pieces of a paced frame

    std::int32_t m_BaudCode = 3;
    std::int32_t m_DataBits = 8;
    std::int32_t m_StopCode = 0;
    std::int32_t m_ParityCode = 0;
    std::int16_t m_ByteToReceive = 0;
    QByteArray m_FrameTx;
    QByteArray m_FrameRx;
    std::int32_t m_CommPort = 0;
    QString m_OpenDevice; // the device of the last successful opening
    std::int32_t m_ConnectionKind = 0;
    std::int16_t m_InBufferSize = 1024;
    std::int16_t m_OutBufferSize = 512;
    std::int16_t m_TimeOut = 3000;
    std::optional<bool> m_Dtr;
    std::optional<bool> m_Rts;
    std::int16_t m_ChunkBytes = 0;
    std::int16_t m_PauseMs = 0;
    std::int32_t m_IdleGapSetting = 0;

    // The running send.
    std::uint64_t m_Serial = 0;
    bool m_Collecting = false;
    QByteArray m_Rx;
    QByteArray m_TxRest;
    std::int16_t m_Expected = 0;
    bool m_Overflow = false;
    bool m_HaveCounters = false;
    bool m_Failing = false;      // a lost port waiting to be closed
    std::uint64_t m_Opening = 0; // counts successful openings
    LineCounters m_Counters;
};
