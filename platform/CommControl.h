#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

// Status codes a communication control reports through CommStatus.
namespace CommStatusCode {
// Line errors: reported as they are detected, before the status that ends
// the send. They never end a send by themselves.
inline constexpr std::int32_t FramingError = 3;
inline constexpr std::int32_t Overrun = 5;
inline constexpr std::int32_t ParityError = 7;
inline constexpr std::int32_t Break = 9;
inline constexpr std::int32_t RxBufferOverflow = 10;
inline constexpr std::int32_t DeviceError = 12; // I/O error, device lost, port not open
// The status that ends a send: exactly one of these per SendReceive.
inline constexpr std::int32_t Received = 15;
inline constexpr std::int32_t TimeOut = 16;
} // namespace CommStatusCode

// The communication control the frame transport drives: a serial port opened
// by number with coded line settings, and one send-and-collect call whose
// outcome comes back as a CommStatus signal. SerialControl is the real one;
// tests drive the transport with a fake.
//
// Setters that can refuse a value return false (unknown code, port that will
// not open); the caller treats that as a failed operation.
class CommControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~CommControl() override = default;

    // Open state: true opens the port (or dials), false closes it.
    virtual bool PortOpen() const = 0;
    virtual bool SetPortOpen(bool open) = 0;

    // Line settings, as codes. Applied at once when the port is open.
    virtual std::int32_t BaudCode() const = 0;
    virtual bool SetBaudCode(std::int32_t code) = 0;
    virtual std::int32_t DataBits() const = 0;
    virtual bool SetDataBits(std::int32_t bits) = 0;
    virtual std::int32_t StopCode() const = 0;
    virtual bool SetStopCode(std::int32_t code) = 0;
    virtual std::int32_t ParityCode() const = 0;
    virtual bool SetParityCode(std::int32_t code) = 0;

    // Bytes of a complete answer for the next send; 0: collect until the
    // sender stops.
    virtual std::int16_t ByteToReceive() const = 0;
    virtual void SetByteToReceive(std::int16_t count) = 0;
    virtual void SetFrameTx(const QByteArray &frame) = 0;
    // The bytes collected by the last send that ended.
    virtual QByteArray FrameRx() const = 0;

    // Port number minus 1, and the connection kind (0 serial, 1 telephone).
    virtual std::int32_t CommPort() const = 0;
    virtual void SetCommPort(std::int32_t index) = 0;
    virtual std::int32_t ConnectionKind() const = 0;
    virtual void SetConnectionKind(std::int32_t kind) = 0;
    virtual void SetTelephoneArguments(const QString &number, bool flag, const QString &a, const QString &b,
                                       const QString &c, const QString &d) = 0;

    virtual std::int16_t InBufferSize() const = 0;
    virtual void SetInBufferSize(std::int16_t size) = 0;
    virtual std::int16_t OutBufferSize() const = 0;
    virtual void SetOutBufferSize(std::int16_t size) = 0;

    // True while an opening or a dial is still under way.
    virtual bool Busy() const = 0;

    // Receive time-out of a send, in milliseconds.
    virtual std::int16_t TimeOut() const = 0;
    virtual void SetTimeOut(std::int32_t ms) = 0;

    virtual bool DTR() const = 0;
    virtual void SetDTR(bool on) = 0;
    virtual bool RTS() const = 0;
    virtual void SetRTS(bool on) = 0;
    virtual bool CTS() const = 0;
    virtual bool DSR() const = 0;
    virtual bool CD() const = 0;

    // Writes the frame and collects the answer; ends with one CommStatus of
    // Received or TimeOut, always delivered from the event loop, never from
    // inside this call. A new send abandons one still running.
    virtual void SendReceive() = 0;
    virtual void HangUp() = 0;
    // Paced writing: frames leave in pieces of chunkBytes bytes with pauseMs
    // between them (chunkBytes <= 0: in one piece).
    virtual void SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs) = 0;

signals:
    void CommStatus(std::int32_t code, const QString &text);
    void Connected();
    void Disconnected(std::int32_t cause);
    void TapiError(const QString &text);
    void TapiStatus(std::int32_t code);
    // A diagnostic line for the owner's trace (why an open failed, a lost port).
    void TraceMessage(const QString &text);
};
