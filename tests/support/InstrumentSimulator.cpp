#include "InstrumentSimulator.h"

#include <chrono>
#include <fcntl.h>
#include <modbus/modbus.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsim {

namespace {

constexpr int kRequestLength = 8; // functions 4 and 6
constexpr int kLastLibmodbusAddress = 247;
constexpr int kRegisters = 0x10000;
constexpr std::uint16_t kTypeRegister = 0x000B;

std::uint8_t at(const QByteArray &b, qsizetype i)
{
    return static_cast<std::uint8_t>(b.at(i));
}

speed_t speedOf(int baud)
{
    switch (baud) {
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    default: return B0;
    }
}

int baudOfCode(int code)
{
    static constexpr int rates[] = {4800, 9600, 19200, 38400};
    return (code >= 0 && code < 4) ? rates[code] : 0;
}

bool frequencyCoding(std::int32_t coding)
{
    const int slotA = (coding >> 10) & 7;
    return slotA == 4 || slotA == 5;
}

QByteArray withCrc(QByteArray frame)
{
    const std::uint16_t crc = ModbusCrc(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

void drain(int fd)
{
    char buf[512];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
}

} // namespace

std::uint16_t ModbusCrc(const QByteArray &bytes)
{
    std::uint16_t crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::optional<Identification> IdentificationOf(std::int32_t coding)
{
    Identification id;
    switch ((coding >> 10) & 7) {
    case 0: id.typeCode = 20; break;
    case 2: id.typeCode = 27; break;
    case 3: id.typeCode = 28; break;
    case 4: id.typeCode = 54; break;
    case 5: id.typeCode = 55; break;
    case 6: id.typeCode = 59; break;
    default: return std::nullopt;
    }
    id.moduleRegister = (id.typeCode == 54 || id.typeCode == 55) ? 0x100C : 0x3004;
    const auto c = static_cast<std::uint32_t>(coding);
    id.moduleWord = static_cast<std::int16_t>((c & 0xC01Fu) | (((c >> 16) & 63u) << 6));
    return id;
}

struct InstrumentSimulator::Instrument {
    int address = 1;
    int baud = 9600;
    std::int32_t coding = 0;
    Fault fault = Fault::None;
    int faultAfter = 0;
    int answers = 0;
    modbus_t *ctx = nullptr;
    modbus_mapping_t *map = nullptr;

    ~Instrument()
    {
        if (map)
            modbus_mapping_free(map);
        if (ctx)
            modbus_free(ctx);
    }
    bool faulty(Fault kind) const { return fault == kind && answers >= faultAfter; }
    void identify(std::int32_t c)
    {
        // Clear the old identification first: the module word may move.
        if (const auto old = IdentificationOf(coding))
            map->tab_input_registers[old->moduleRegister] = 0;
        coding = c;
        if (const auto id = IdentificationOf(c)) {
            map->tab_input_registers[kTypeRegister] = static_cast<std::uint16_t>(id->typeCode);
            map->tab_input_registers[id->moduleRegister] = static_cast<std::uint16_t>(id->moduleWord);
        }
    }
};

InstrumentSimulator::InstrumentSimulator(testpty::PtyPair &pair) : m_Pair(pair)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_Pipe) != 0)
        m_Pipe[0] = m_Pipe[1] = -1;
    m_Thread = std::thread([this] { run(); });
}

InstrumentSimulator::~InstrumentSimulator()
{
    Stop();
    m_Instruments.clear();
    for (int fd : m_Pipe) {
        if (fd >= 0)
            ::close(fd);
    }
}

void InstrumentSimulator::Stop()
{
    m_Stop = true;
    if (m_Thread.joinable())
        m_Thread.join();
}

int InstrumentSimulator::AddInstrument(int address, std::int32_t coding, int baud)
{
    auto inst = std::make_unique<Instrument>();
    inst->address = address;
    inst->baud = baud;
    inst->ctx = modbus_new_rtu("/dev/null", 9600, 'N', 8, 1);
    inst->map = modbus_mapping_new(0, 0, kRegisters, kRegisters);
    if (inst->ctx) {
        // The socket pair stands in for the line; nothing is ever opened.
        modbus_set_socket(inst->ctx, m_Pipe[0]);
        modbus_set_byte_timeout(inst->ctx, 0, 20000);
        modbus_set_response_timeout(inst->ctx, 0, 20000);
    }
    inst->identify(coding);
    std::lock_guard lock(m_Mutex);
    m_Instruments.push_back(std::move(inst));
    return static_cast<int>(m_Instruments.size()) - 1;
}

void InstrumentSimulator::SetCoding(int instrument, std::int32_t coding)
{
    std::lock_guard lock(m_Mutex);
    m_Instruments.at(static_cast<std::size_t>(instrument))->identify(coding);
}

void InstrumentSimulator::SetFault(int instrument, Fault fault, int afterAnswers)
{
    std::lock_guard lock(m_Mutex);
    Instrument &inst = *m_Instruments.at(static_cast<std::size_t>(instrument));
    inst.fault = fault;
    inst.faultAfter = inst.answers + afterAnswers;
}

int InstrumentSimulator::Address(int instrument) const
{
    std::lock_guard lock(m_Mutex);
    return m_Instruments.at(static_cast<std::size_t>(instrument))->address;
}

int InstrumentSimulator::Baud(int instrument) const
{
    std::lock_guard lock(m_Mutex);
    return m_Instruments.at(static_cast<std::size_t>(instrument))->baud;
}

std::int16_t InstrumentSimulator::Register(int instrument, std::uint16_t reg) const
{
    std::lock_guard lock(m_Mutex);
    return static_cast<std::int16_t>(
        m_Instruments.at(static_cast<std::size_t>(instrument))->map->tab_input_registers[reg]);
}

void InstrumentSimulator::SetRegister(int instrument, std::uint16_t reg, std::int16_t value)
{
    std::lock_guard lock(m_Mutex);
    modbus_mapping_t *map = m_Instruments.at(static_cast<std::size_t>(instrument))->map;
    map->tab_input_registers[reg] = static_cast<std::uint16_t>(value);
    map->tab_registers[reg] = static_cast<std::uint16_t>(value);
}

std::vector<std::int16_t> InstrumentSimulator::Registers(int instrument, std::uint16_t first, int count) const
{
    std::vector<std::int16_t> words;
    for (int k = 0; k < count; ++k)
        words.push_back(Register(instrument, static_cast<std::uint16_t>(first + k)));
    return words;
}

QList<InstrumentSimulator::Request> InstrumentSimulator::Requests() const
{
    std::lock_guard lock(m_Mutex);
    return m_Requests;
}

int InstrumentSimulator::WriteRequests(int instrument) const
{
    int n = 0;
    for (const Request &r : Requests()) {
        if (r.instrument == instrument && r.bytes.size() > 1 && at(r.bytes, 1) == 0x06)
            ++n;
    }
    return n;
}

void InstrumentSimulator::run()
{
    using Clock = std::chrono::steady_clock;
    QByteArray pending;
    Clock::time_point last = Clock::now();
    while (!m_Stop) {
        pollfd p{m_Pair.MasterFd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, pending.isEmpty() ? 50 : 5);
        if (ready > 0 && (p.revents & POLLIN)) {
            char buf[512];
            const ssize_t n = ::read(m_Pair.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                pending.append(buf, n);
                last = Clock::now();
                while (pending.size() >= kRequestLength) {
                    handle(pending.left(kRequestLength));
                    pending.remove(0, kRequestLength);
                }
            }
            continue;
        }
        if (ready > 0) {
            // No end of the program open right now.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        // A piece of a frame followed by silence is noise.
        if (!pending.isEmpty() && Clock::now() - last > std::chrono::milliseconds(20)) {
            std::lock_guard lock(m_Mutex);
            m_Requests.append({pending, -1, false});
            pending.clear();
        }
    }
}

void InstrumentSimulator::handle(const QByteArray &frame)
{
    const speed_t lineSpeed = m_Pair.LineSpeed();
    QByteArray reply;
    {
        std::lock_guard lock(m_Mutex);
        int index = -1;
        for (std::size_t i = 0; i < m_Instruments.size(); ++i) {
            if (m_Instruments[i]->address == at(frame, 0)) {
                index = static_cast<int>(i);
                break;
            }
        }
        m_Requests.append({frame, index, false});
        if (index < 0)
            return;
        Instrument &inst = *m_Instruments[static_cast<std::size_t>(index)];
        if (lineSpeed != speedOf(inst.baud) || inst.faulty(Fault::Silent))
            return;
        reply = inst.address <= kLastLibmodbusAddress ? libmodbusReply(inst, frame) : ownReply(inst, frame);
        if (reply.isEmpty())
            return;
        if (inst.faulty(Fault::BadCRC))
            reply[reply.size() - 1] = static_cast<char>(reply.at(reply.size() - 1) ^ 0x5A);
        ++inst.answers;
        m_Requests.last().answered = true;
        // The reply is built; a new address or speed applies from the next
        // request on. It is taken before the reply goes out, so that a test
        // reading the instrument once the program has its answer sees it.
        if (at(frame, 1) == 0x06)
            afterWrite(inst, frame);
    }
    m_Pair.Write(reply);
}

QByteArray InstrumentSimulator::libmodbusReply(Instrument &inst, const QByteArray &frame)
{
    if (!inst.ctx || !inst.map || m_Pipe[0] < 0)
        return {};
    drain(m_Pipe[0]);
    drain(m_Pipe[1]);
    if (::write(m_Pipe[1], frame.constData(), static_cast<size_t>(frame.size())) != frame.size())
        return {};
    modbus_set_slave(inst.ctx, inst.address);
    std::uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
    const int length = modbus_receive(inst.ctx, request);
    if (length <= 0)
        return {}; // bad CRC or not a request libmodbus accepts
    if (modbus_reply(inst.ctx, request, length, inst.map) <= 0)
        return {};
    QByteArray reply;
    char buf[MODBUS_RTU_MAX_ADU_LENGTH];
    ssize_t n = 0;
    while ((n = ::read(m_Pipe[1], buf, sizeof buf)) > 0)
        reply.append(buf, n);
    return reply;
}

// Addresses libmodbus refuses: functions 4 and 6 by hand.
QByteArray InstrumentSimulator::ownReply(Instrument &inst, const QByteArray &frame)
{
    const std::uint16_t crc = static_cast<std::uint16_t>(at(frame, 6) | (at(frame, 7) << 8));
    if (ModbusCrc(frame.left(6)) != crc)
        return {};
    const std::uint8_t function = at(frame, 1);
    const auto reg = static_cast<std::uint16_t>((at(frame, 2) << 8) | at(frame, 3));
    QByteArray reply;
    reply.append(frame.at(0));
    if (function == 0x04) {
        const int count = (at(frame, 4) << 8) | at(frame, 5);
        if (count < 1 || count > 125 || reg + count > kRegisters) {
            reply.append(static_cast<char>(0x84));
            reply.append(static_cast<char>(count < 1 || count > 125 ? 0x03 : 0x02));
            return withCrc(reply);
        }
        reply.append(static_cast<char>(0x04));
        reply.append(static_cast<char>(2 * count));
        for (int k = 0; k < count; ++k) {
            const std::uint16_t word = inst.map->tab_input_registers[reg + k];
            reply.append(static_cast<char>(word >> 8));
            reply.append(static_cast<char>(word & 0xFF));
        }
        return withCrc(reply);
    }
    if (function == 0x06) {
        inst.map->tab_registers[reg] = static_cast<std::uint16_t>((at(frame, 4) << 8) | at(frame, 5));
        return frame; // the echo
    }
    reply.append(static_cast<char>(function | 0x80));
    reply.append(static_cast<char>(0x01));
    return withCrc(reply);
}

// A register written is read back as written; the address and speed
// registers take effect for the requests after this one.
void InstrumentSimulator::afterWrite(Instrument &inst, const QByteArray &frame)
{
    const auto reg = static_cast<std::uint16_t>((at(frame, 2) << 8) | at(frame, 3));
    const std::uint16_t value = inst.map->tab_registers[reg];
    inst.map->tab_input_registers[reg] = value;
    const bool freq = frequencyCoding(inst.coding);
    if (reg == (freq ? 0x210E : 0xE056) && value >= 1 && value <= 255)
        inst.address = value;
    if (reg == (freq ? 0x2110 : 0xE057) && baudOfCode(value) != 0)
        inst.baud = baudOfCode(value);
}

} // namespace testsim
