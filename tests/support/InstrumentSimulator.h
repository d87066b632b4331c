#pragma once
#include "PtyPair.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The Modbus RTU side of simulated OXA instruments on the master end of a
// pseudo-terminal: one or several instruments on the same line (an RS485
// network), each with its own address, line speed and identification.
//
// Requests for addresses 1..247 are checked and answered by libmodbus, so
// the program's frames and CRC are judged by a stack we did not write;
// addresses 248..255, which libmodbus refuses, are answered by the
// simulator's own frame code. Function 4 reads and function 6 writes the
// instrument's memory (a register written is read back as written).
//
// An instrument answers only while the program's end of the line is set to
// the instrument's speed (read with tcgetattr on the pair), as a real one
// hears only noise otherwise. It takes the address and the baud-rate code
// written into its address and speed registers (0xE056/0xE057, or
// 0x210E/0x2110 for the frequency modules) after answering that write.
namespace testsim {

// The identification an instrument with a module coding reports: the type
// code (register 0x000B) and the module word in register 0x3004, or 0x100C
// for the frequency modules. No type code stands for slot-A code 1.
struct Identification {
    std::int16_t typeCode = 0;
    std::uint16_t moduleRegister = 0;
    std::int16_t moduleWord = 0;
};
std::optional<Identification> IdentificationOf(std::int32_t codificaModuli);

// CRC-16/MODBUS of the bytes, the simulator's own.
std::uint16_t ModbusCrc(const QByteArray &bytes);

class InstrumentSimulator {
public:
    enum class Fault {
        None,
        Silent, // hears nothing
        BadCRC, // answers with a corrupted CRC
    };

    struct Request {
        QByteArray bytes;
        int instrument = -1; // the instrument addressed, -1 for none
        bool answered = false;
    };

    explicit InstrumentSimulator(testpty::PtyPair &pair);
    ~InstrumentSimulator();
    InstrumentSimulator(const InstrumentSimulator &) = delete;
    InstrumentSimulator &operator=(const InstrumentSimulator &) = delete;

    // An instrument at `address` (1..255) and `baud` (4800, 9600, 19200 or
    // 38400) identifying itself by `codificaModuli`; returns its number.
    int AddInstrument(int address, std::int32_t codificaModuli, int baud);
    // The identification the instrument reports from now on (another module
    // fitting); its memory stays as it is.
    void SetCoding(int instrument, std::int32_t codificaModuli);
    // The instrument misbehaves once it has given `afterAnswers` more
    // answers.
    void SetFault(int instrument, Fault fault, int afterAnswers = 0);

    int Address(int instrument) const;
    int Baud(int instrument) const;
    std::int16_t Register(int instrument, std::uint16_t reg) const;
    void SetRegister(int instrument, std::uint16_t reg, std::int16_t value);
    // `count` registers from `first`.
    std::vector<std::int16_t> Registers(int instrument, std::uint16_t first, int count) const;

    QList<Request> Requests() const;
    // Function-6 requests that reached the instrument.
    int WriteRequests(int instrument) const;

    void Stop();

private:
    struct Instrument;
    void run();
    void handle(const QByteArray &frame);
    QByteArray libmodbusReply(Instrument &inst, const QByteArray &frame);
    QByteArray ownReply(Instrument &inst, const QByteArray &frame);
    void afterWrite(Instrument &inst, const QByteArray &frame);

    testpty::PtyPair &m_Pair;
    int m_Pipe[2] = {-1, -1}; // socket pair feeding libmodbus
    mutable std::mutex m_Mutex;
    std::vector<std::unique_ptr<Instrument>> m_Instruments;
    QList<Request> m_Requests;
    std::atomic<bool> m_Stop{false};
    std::thread m_Thread;
};

} // namespace testsim
