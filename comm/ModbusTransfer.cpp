#include "ModbusTransfer.h"

#include "CCommConfig.h"
#include "CGestioneMemMap.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CTapiComm.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "ICopyClass.h"
#include "MErrors.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Frames

std::uint16_t CalcCRC(const QByteArray &frame)
{
    std::uint16_t crc = 0xFFFF;
    for (qsizetype i = 0; i + 2 < frame.size(); ++i) {
        crc ^= static_cast<std::uint8_t>(frame.at(i));
        for (int bit = 0; bit < 8; ++bit) {
            const bool out = (crc & 1u) != 0;
            crc >>= 1;
            if (out)
                crc ^= 0xA001;
        }
    }
    return crc;
}

bool CheckCRC(const QByteArray &frame)
{
    if (frame.size() < 3)
        return false;
    const auto low = static_cast<std::uint8_t>(frame.at(frame.size() - 2));
    const auto high = static_cast<std::uint8_t>(frame.at(frame.size() - 1));
    return CalcCRC(frame) == static_cast<std::uint16_t>(low | (high << 8));
}

namespace {

QByteArray withCRC(QByteArray frame)
{
    frame.append(2, '\0');
    const std::uint16_t crc = CalcCRC(frame);
    frame[frame.size() - 2] = static_cast<char>(crc & 0xFF);
    frame[frame.size() - 1] = static_cast<char>(crc >> 8);
    return frame;
}

char byteOf(unsigned value)
{
    return static_cast<char>(value & 0xFFu);
}

} // namespace

QByteArray ReadRegistersFrame(std::uint8_t address, std::uint16_t first, std::uint8_t count)
{
    QByteArray frame;
    frame.append(byteOf(address));
    frame.append(byteOf(0x04));
    frame.append(byteOf(first >> 8u));
    frame.append(byteOf(first));
    frame.append(byteOf(0x00));
    frame.append(byteOf(count));
    return withCRC(frame);
}

QByteArray WriteRegisterFrame(std::uint8_t address, std::uint16_t reg, std::uint8_t valueHigh, std::uint8_t valueLow)
{
    QByteArray frame;
    frame.append(byteOf(address));
    frame.append(byteOf(0x06));
    frame.append(byteOf(reg >> 8u));
    frame.append(byteOf(reg));
    frame.append(byteOf(valueHigh));
    frame.append(byteOf(valueLow));
    return withCRC(frame);
}

std::optional<std::int16_t> AnswerRegister(const QByteArray &answer, int k)
{
    const qsizetype high = 3 + 2 * static_cast<qsizetype>(k);
    if (k < 0 || high + 1 >= answer.size())
        return std::nullopt;
    const auto hi = static_cast<std::uint8_t>(answer.at(high));
    const auto lo = static_cast<std::uint8_t>(answer.at(high + 1));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((hi << 8) | lo));
}

bool AnswerRegisters(const QByteArray &answer, std::uint8_t count, std::vector<std::int16_t> &words)
{
    words.clear();
    for (int k = 0; k < count; ++k) {
        const std::optional<std::int16_t> word = AnswerRegister(answer, k);
        if (!word) {
            g_Trace.BugMessage(QStringLiteral("Risposta Modbus troppo corta: ") + QString::number(answer.size()) +
                               QStringLiteral(" byte"));
            return false;
        }
        words.push_back(*word);
    }
    return true;
}

std::int32_t ModbusExchange(CTapiComm &comm, const QByteArray &frame, std::int16_t answerLength)
{
    comm.SetCommMode(1);
    comm.SetFrameTx(frame);
    comm.SetByteToReceive(answerLength);
    comm.StartTxRx();
    WaitForEndOfTxRx(comm);
    return comm.Error();
}

std::int32_t ModbusReadRegisters(CTapiComm &comm, std::uint8_t address, std::uint16_t first, std::uint8_t count,
                                 std::vector<std::int16_t> &words)
{
    const std::int32_t error = ModbusExchange(comm, ReadRegistersFrame(address, first, count), ReadAnswerLength(count));
    if (error != CommErrorCode::None)
        return error;
    return AnswerRegisters(comm.FrameRx(), count, words) ? CommErrorCode::None : CommErrorCode::Reception;
}

std::int32_t ModbusReadRegister(CTapiComm &comm, std::uint8_t address, std::uint16_t reg, std::int16_t &value)
{
    std::vector<std::int16_t> words;
    const std::int32_t error = ModbusReadRegisters(comm, address, reg, 1, words);
    if (error == CommErrorCode::None)
        value = words.front();
    return error;
}

std::int32_t ModbusReadIdentification(CTapiComm &comm, std::uint8_t address, std::int16_t &typeCode,
                                      std::int16_t &moduleWord)
{
    const std::int32_t error = ModbusReadRegister(comm, address, ModbusRegister::TypeCode, typeCode);
    if (error != CommErrorCode::None)
        return error;
    return ModbusReadRegister(comm, address, ModuleRegisterOfType(typeCode), moduleWord);
}

namespace {

struct BaudTry {
    std::int32_t index;
    const char *trace;
};

// The speeds in the order they are tried.
constexpr BaudTry kBaudTries[] = {
    {4, "Tentativo connessione con RS232 a 38400 baud..."},
    {5, "Tentativo connessione con RS232 a 19200 baud..."},
    {3, "Tentativo connessione con RS232 a 9600 baud..."},
    {2, "Tentativo connessione con RS232 a 4800 baud..."},
};

} // namespace

std::optional<std::int32_t> SearchLineSpeed(const std::function<bool(std::int32_t)> &tryConnection)
{
    for (const BaudTry &attempt : kBaudTries) {
        g_Trace.BugMessage(QString::fromUtf8(attempt.trace));
        if (tryConnection(attempt.index))
            return attempt.index;
    }
    g_Trace.BugMessage(QStringLiteral("Errore nell'autorilevamento del baudrate"));
    return std::nullopt;
}

std::uint16_t ModuleRegisterOfType(std::int16_t typeCode)
{
    return (typeCode == 54 || typeCode == 55) ? ModbusRegister::ModulesFreq : ModbusRegister::Modules;
}

std::int32_t IdentifiedCoding(std::int16_t typeCode, std::int16_t moduleWord, std::int16_t interfaceType)
{
    const auto m = static_cast<std::uint16_t>(moduleWord);
    std::uint32_t coding = (m & 0xC01Fu) | (((static_cast<std::uint32_t>(m) >> 6) & 63u) << 16);
    switch (typeCode) {
    case 27: coding |= 0x0800; break; // HVA
    case 28: coding |= 0x0C00; break; // GKP
    case 54: coding |= 0x1000; break; // WP1
    case 55: coding |= 0x1400; break; // WP2
    case 59: coding |= 0x1800; break; // MVZ
    default: break;                   // MVA
    }
    if (interfaceType == 1)
        coding |= 0x0100;
    else if (interfaceType == 2)
        coding |= 0x0200;
    return static_cast<std::int32_t>(coding);
}

// ---------------------------------------------------------------------------
// The transfer

namespace {

constexpr std::int32_t kTextIdentifying = 200;
constexpr std::int32_t kTextWriting = 201;
constexpr std::int32_t kTextReading = 203;
constexpr std::int32_t kMsgOtherModel = 230;
constexpr std::int32_t kMsgReadInvalid = 3150;
constexpr std::int32_t kMsgReadRefused = 3167;   // 3150 with "|1": what was refused
constexpr std::int32_t kMsgCannotConvert = 3151; // |1: what could not be converted
constexpr std::int32_t kMsgNoSerialModule = 3152;
constexpr std::int32_t kTextBadAddress = 3153;
constexpr std::int32_t kTextBadBaudCode = 3154;

// Registers the transfer moves outside the register window, and the words
// they carry.
constexpr std::uint16_t kRegGKPExtra = 0xE06C;
constexpr std::int16_t kWordGKPExtra = 108;
constexpr std::uint16_t kRegMVZExtra = 0xE080;
constexpr std::int16_t kWordMVZExtra = 128;
constexpr std::uint8_t kMVZExtraCount = 6;

// The network address and line speed of the instrument, by layout.
constexpr std::uint16_t kRegAddressBase = 0xE056;
constexpr std::uint16_t kRegBaudBase = 0xE057;
constexpr std::int16_t kWordAddressBase = 86;
constexpr std::int16_t kWordBaudBase = 87;
constexpr std::uint16_t kRegAddressFreq = 0x210E;
constexpr std::uint16_t kRegBaudFreq = 0x2110;
constexpr std::int16_t kWordAddressFreq = 270;
constexpr std::int16_t kWordBaudFreq = 272;
// Baud-rate codes the instruments know (4800, 9600, 19200, 38400).
constexpr std::int16_t kMaxBaudCode = 3;

constexpr std::int16_t kMaxAddress = 255;
constexpr std::int32_t kFoundWithoutDetection = 3; // 9600 baud

std::int16_t slotAOf(std::int32_t coding)
{
    CModInstr mod;
    mod.SetCodificaModuli(coding);
    return mod.SlotA();
}

QString hexText(std::int32_t value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}

void trace(const QString &text)
{
    g_Trace.BugMessage(text);
}

// Why a conversion failed: the text for the user, and whether it was data
// the configuration's rules refuse (SetupReadError).
struct ConversionFailure {
    QString text;
    bool refusedData = false;
};

// Runs a conversion; the errors it lets through are traced, and their
// description is left in `failure` (the user's words for refused data; the
// check text goes to the trace only); a failure of the database is also left
// in `database`, to be told as what it is.
template <class Action>
bool runConversion(const QString &what, Action action, ConversionFailure *failure = nullptr,
                   std::optional<DatabaseError> *database = nullptr)
{
    ConversionFailure found;
    try {
        return action();
    } catch (const DatabaseError &e) {
        found.text = e.Description();
        TraceConversionFailure(what, e);
        if (database)
            *database = e;
    } catch (const SetupReadError &e) {
        found = {e.UserText(), true};
        TraceConversionFailure(what, e);
    } catch (const ProgramError &e) {
        found.text = e.Description();
        TraceConversionFailure(what, e);
    }
    if (failure)
        *failure = found;
    return false;
}

// A serial module (QD or QE in slot B) is what gives a configuration the
// network address and the line speed the transfer writes.
bool hasSerialModule(const CModInstr &mod)
{
    return ModuleCodes::HasSerialModule(mod.SlotB());
}

} // namespace

ModbusTransfer::ModbusTransfer(CTapiComm &comm, CCommConfig &commConfig, CNetworkAddMsgSetup &network, QObject *parent)
    : QObject(parent), m_Rs232(comm), m_CommConfig(commConfig), m_Network(network)
{
    // The verdict is written back through the reference: a direct call.
    connect(&m_Rs232, &CTapiComm::VerifyCRC, this, &ModbusTransfer::onVerifyCRC, Qt::DirectConnection);
}

ModbusTransfer::~ModbusTransfer() = default;

void ModbusTransfer::onVerifyCRC(bool &ok, const QByteArray &frame)
{
    ok = CheckCRC(frame);
}

void ModbusTransfer::Cancel()
{
    trace(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    m_Rs232.CancelTxRx(true);
}

void ModbusTransfer::showCommMessage(std::int32_t id)
{
    emit Warning(LoadResourceString(id), LoadResourceString(CommFailureText::Title));
}

void ModbusTransfer::showDatabaseFailure(const DatabaseError &error, std::int32_t outcomeId)
{
    // Not a communication error: the box takes the program's title.
    emit Warning(DatabaseErrorText(error, LoadResourceString(outcomeId)), QString());
}

void ModbusTransfer::setProgressRange(int minimum, int maximum)
{
    m_ProgressMax = maximum;
    emit ProgressRangeChanged(minimum, maximum);
}

void ModbusTransfer::setProgress(int value)
{
    emit ProgressValueChanged(value);
}

bool ModbusTransfer::CheckCommError(std::int32_t error)
{
    if (error == CommErrorCode::None)
        return false;
    m_Rs232.CloseRs232();
    if (const std::optional<CommMessage> box = CommErrorMessage(error))
        emit Warning(box->text, box->title);
    return true;
}

bool ModbusTransfer::StartTransfer()
{
    if (m_Action != kActionRead && !CanBeWritten()) {
        m_ReturnValue = false;
        return m_ReturnValue;
    }
    emit Label1Changed(LoadResourceString(ModbusText::Detecting));

    bool cancelled = false;
    const std::optional<std::int32_t> found =
        SearchLineSpeed([&](std::int32_t baudIndex) { return TryConnection(baudIndex, cancelled); });
    if (!found) {
        showCommMessage(ModbusText::MsgNoSpeed);
        m_ReturnValue = false;
        return m_ReturnValue;
    }
    if (cancelled) {
        trace(QStringLiteral("Operazione annullata !!!"));
        m_ReturnValue = false;
        return m_ReturnValue;
    }
    const std::int32_t baudIndex =
        m_CommConfig.InterfaceType() == CCommConfig::kInterfaceAux ? kFoundWithoutDetection : *found;
    m_FoundBaudIndex = baudIndex;
    m_ReturnValue = true;
    if (!m_Rs232.OpenRs232(m_CommConfig.ComPort() + 1, baudIndex, 0, 0)) {
        const CommMessage box = PortNotOpenMessage();
        emit Warning(box.text, box.title);
        m_ReturnValue = false;
        return m_ReturnValue;
    }
    if (m_Action == kActionRead)
        ReadConfiguration();
    else
        WriteConfiguration();
    return m_ReturnValue;
}

bool ModbusTransfer::TryConnection(std::int32_t baudIndex, bool &cancelled)
{
    cancelled = false;
    if (m_CommConfig.InterfaceType() == CCommConfig::kInterfaceAux)
        return true;
    return ScanAtSpeed(baudIndex, cancelled);
}

bool ModbusTransfer::ScanAtSpeed(std::int32_t baudIndex, bool &cancelled)
{
    cancelled = false;
    if (!m_Rs232.OpenRs232(m_CommConfig.ComPort() + 1, baudIndex, 0, 0))
        return false;
    const bool found = ScanNetworkAddress();
    cancelled = m_Rs232.Error() == CommErrorCode::Cancelled;
    m_Rs232.CloseRs232();
    return found;
}

bool ModbusTransfer::ScanNetworkAddress()
{
    // The addresses to probe, highest first.
    std::int16_t first = kMaxAddress;
    std::int16_t last = 1;
    if (m_Network.ModeConfig() != 0) {
        first = last = 1;
    } else if (m_Network.SelNetworkAdd() != 0) {
        first = last = m_Network.NetworkAdd();
        // Only 1..255 name an instrument (0 is the broadcast address).
        if (first < 1 || first > kMaxAddress)
            return false;
    }

    const std::int32_t savedTimeOut = m_Rs232.TimeOutRx();
    const std::int16_t savedMaxTimeOut = m_Rs232.MaxErrorTimeOut();
    m_Rs232.SetTimeOutRx(m_ScanTimeOutRx);
    m_Rs232.SetMaxErrorTimeOut(1);

    setProgressRange(first == last ? last - 1 : last, first);
    setProgress(last);
    std::optional<std::int16_t> stoppedAt;
    for (std::int16_t address = first; address >= last; --address) {
        setProgress(first - address + last);
        const std::int32_t error =
            ModbusExchange(m_Rs232, ReadRegistersFrame(static_cast<std::uint8_t>(address), ModbusRegister::TypeCode, 1),
                           ReadAnswerLength(1));
        if (error == CommErrorCode::None || error == CommErrorCode::Cancelled) {
            stoppedAt = address;
            break;
        }
    }

    m_Rs232.SetTimeOutRx(savedTimeOut);
    m_Rs232.SetMaxErrorTimeOut(savedMaxTimeOut);

    if (!stoppedAt)
        return false;
    // The address that answered, or the one being probed when the scan was
    // cancelled: the next scan of the whole range starts from there.
    m_Network.SetNetworkAdd(*stoppedAt);
    return true;
}

bool ModbusTransfer::ReadRegister(std::uint16_t reg, std::int16_t &value)
{
    return !CheckCommError(ModbusReadRegister(m_Rs232, m_CurrentAddress, reg, value));
}

// One function-4 request; the words of the answer, or false after the
// failure has been reported.
bool ModbusTransfer::ReadBlock(std::uint16_t first, std::uint8_t count, std::vector<std::int16_t> &words)
{
    return !CheckCommError(ModbusReadRegisters(m_Rs232, m_CurrentAddress, first, count, words));
}

bool ModbusTransfer::WriteRegister(std::uint8_t valueHigh, std::uint8_t valueLow, std::uint16_t reg)
{
    const std::int32_t error =
        ModbusExchange(m_Rs232, WriteRegisterFrame(m_CurrentAddress, reg, valueHigh, valueLow), kWriteAnswerLength);
    // The instrument may take its new line speed before it answers the
    // write of the speed register of the 0xE000 window: that answer is
    // not checked. A cancel still ends the transfer here: the
    // instruments after this one are not to be written.
    if (reg == kRegBaudBase && error != CommErrorCode::Cancelled)
        return true;
    return !CheckCommError(error);
}

bool ModbusTransfer::IdentifyInstrument()
{
    emit Label5Changed(LoadResourceString(kTextIdentifying));
    std::int16_t type = 0;
    std::int16_t modules = 0;
    if (CheckCommError(ModbusReadIdentification(m_Rs232, m_CurrentAddress, type, modules)))
        return false;
    m_CodificaModuli = IdentifiedCoding(type, modules, m_CommConfig.InterfaceType());
    return true;
}

void ModbusTransfer::showAddress()
{
    const QString text = GetResourceText(ModbusText::NetworkAddress, {QVariant(static_cast<int>(m_CurrentAddress))});
    emit Label1Changed(text);
    trace(text);
}

void ModbusTransfer::ReadConfiguration()
{
    m_CurrentAddress = static_cast<std::uint8_t>(m_Network.NetworkAdd());
    m_CodificaModuli = 0;
    emit Label1Changed(GetResourceText(ModbusText::NetworkAddress, {QVariant(static_cast<int>(m_CurrentAddress))}));

    bool ok = IdentifyInstrument();
    if (ok) {
        showAddress();
        m_MemMap = std::make_unique<CGestioneMemMap>();
        m_MemMap->SetCodificaModuli(m_CodificaModuli);
        ok = ReadMemoryMap();
    }
    if (ok) {
        g_Trace.BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
        m_MemMap->SetIDProgramma(m_IDProgramma);
        m_MemMap->SaveMemorySetup(QString::fromLatin1(CGestioneMemMap::kMemoryMapDump));
        // What the instrument holds is checked by the parameter objects as
        // they read it; a map they cannot read saves nothing, nor does a
        // database that does not take it, and a value they refuse is named.
        ConversionFailure failure;
        std::optional<DatabaseError> database;
        ok = runConversion(
            QStringLiteral("ConvertMemoryMapToUserSetup"), [this] { return m_MemMap->ConvertMemoryMapToUserSetup(); },
            &failure, &database);
        if (!ok && database)
            showDatabaseFailure(*database, kTextNothingSaved);
        else if (!ok && failure.refusedData)
            emit Warning(GetResourceText(kMsgReadRefused, {QVariant(failure.text)}),
                         LoadResourceString(CommFailureText::Title));
        else if (!ok)
            showCommMessage(kMsgReadInvalid);
    }
    if (!ok)
        m_ReturnValue = false;
    m_Rs232.CloseRs232();
}

bool ModbusTransfer::ReadMemoryMap()
{
    const std::int16_t slotA = slotAOf(m_CodificaModuli);
    const std::uint16_t start = m_MemMap->StartAddMemMap();
    const int count = m_MemMap->EndAddMemMap() - start + 1;
    setProgressRange(0, count + 1);
    setProgress(0);
    emit Label5Changed(LoadResourceString(kTextReading));

    std::vector<std::int16_t> words;
    for (int offset = 0; offset < count; offset += 8) {
        setProgress(offset);
        if (!ReadBlock(static_cast<std::uint16_t>(start + offset), 8, words))
            return false;
        for (int k = 0; k < 8 && offset + k < count; ++k)
            m_MemMap->SetMemMap(static_cast<std::int16_t>(offset + k), words[static_cast<std::size_t>(k)]);
    }
    if (slotA == SlotACode::GKP) {
        std::int16_t value = 0;
        if (!ReadRegister(kRegGKPExtra, value))
            return false;
        m_MemMap->SetMemMap(kWordGKPExtra, value);
    }
    if (slotA == SlotACode::MVZ) {
        if (!ReadBlock(kRegMVZExtra, kMVZExtraCount, words))
            return false;
        for (int k = 0; k < kMVZExtraCount; ++k)
            m_MemMap->SetMemMap(static_cast<std::int16_t>(kWordMVZExtra + k), words[static_cast<std::size_t>(k)]);
    }
    setProgress(m_ProgressMax);
    return true;
}

// Before any frame: a configuration without a serial module holds no
// address and no line speed (its words would go out as 0, which an RS232
// instrument cannot take and which switches an RS485 instrument to 4800
// baud), so it is refused with a message that says so; one that cannot be
// loaded or converted is refused by PrepareMemoryMap with its cause. No
// line speed is searched for a configuration that cannot go out.
bool ModbusTransfer::CanBeWritten()
{
    CModInstr stored;
    const bool loaded = runConversion(QStringLiteral("WriteConfiguration"), [&] {
        stored.LoadDataFromADORS(ExistingRowCriterion(m_IDProgramma));
        return true;
    });
    if (loaded && !hasSerialModule(stored)) {
        trace(
            QStringLiteral("Configurazione senza modulo seriale: nessun indirizzo di rete e baud rate da programmare"));
        // Refused before any frame: nothing was sent, so the box is not a
        // communication error's.
        emit Warning(LoadResourceString(kMsgNoSerialModule), QString());
        return false;
    }
    return PrepareMemoryMap(m_StoredCoding);
}

// Loads the configuration, checks its module coding and converts it into
// the memory map; false (reported) when the configuration cannot go to an
// instrument.
bool ModbusTransfer::PrepareMemoryMap(std::int32_t &storedCoding)
{
    ConversionFailure failure;
    std::optional<DatabaseError> database;
    const bool converted = runConversion(
        QStringLiteral("WriteConfiguration"),
        [&] {
            CModInstr stored;
            stored.LoadDataFromADORS(ExistingRowCriterion(m_IDProgramma));
            storedCoding = stored.CodificaModuli();
            m_MemMap = std::make_unique<CGestioneMemMap>();
            m_MemMap->SetIDProgramma(m_IDProgramma);
            m_MemMap->SetCodificaModuli(storedCoding);
            return m_MemMap->ConvertUserSetupToMemoryMap();
        },
        &failure, &database);
    if (!converted && database) {
        showDatabaseFailure(*database, kTextNothingTransferred);
        return false;
    }
    if (!converted) {
        showCannotConvert(failure.text);
        return false;
    }
    m_MemMap->SaveMemorySetup(QString::fromLatin1(CGestioneMemMap::kMemoryUserDump));

    // The instrument takes its address (RS232) and line speed from the map:
    // values it could never be reached at again are not sent.
    const bool freq = ModuleCodes::IsFrequencyModule(slotAOf(storedCoding));
    const std::int16_t address = m_MemMap->MemMap(freq ? kWordAddressFreq : kWordAddressBase);
    const std::int16_t baud = m_MemMap->MemMap(freq ? kWordBaudFreq : kWordBaudBase);
    const bool addressOk =
        m_CommConfig.InterfaceType() != CCommConfig::kInterfaceRS232 || (address >= 1 && address <= kMaxAddress);
    if (!addressOk || baud < 0 || baud > kMaxBaudCode) {
        trace(QStringLiteral("Indirizzo di rete o baud rate non validi nella configurazione: ") +
              QString::number(address) + QStringLiteral(", ") + QString::number(baud));
        showCannotConvert(GetResourceText(addressOk ? kTextBadBaudCode : kTextBadAddress,
                                          {QVariant(static_cast<int>(addressOk ? baud : address))}));
        return false;
    }
    return true;
}

void ModbusTransfer::showCannotConvert(const QString &what)
{
    // Refused before any frame, under the program's title.
    emit Warning(GetResourceText(kMsgCannotConvert, {QVariant(what)}), QString());
}

void ModbusTransfer::WriteConfiguration()
{
    g_Trace.BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    g_Trace.BugAssert(m_ModInstr == nullptr, QStringLiteral("Errore m_pModInstr non nullo"));

    // The map was made before the line speed was searched (CanBeWritten).
    const std::int32_t storedCoding = m_StoredCoding;
    bool ok = m_MemMap != nullptr;

    std::int16_t firstAddress = m_Network.NetworkAdd();
    std::int16_t lastAddress = firstAddress;
    if (m_Network.ModeConfig() != 0) {
        firstAddress = 1;
        lastAddress = std::clamp<std::int16_t>(m_Network.TotalInstrNetwork(), 1, kMaxAddress);
    }
    for (std::int16_t address = firstAddress; ok && address <= lastAddress; ++address) {
        m_CurrentAddress = static_cast<std::uint8_t>(address);
        showAddress();
        ok = IdentifyInstrument();
        if (!ok)
            break;
        // Model, slot-A module and extra inputs must agree; relays, the
        // analogue output and the serial module may differ.
        if (((static_cast<std::uint32_t>(m_CodificaModuli) ^ static_cast<std::uint32_t>(storedCoding)) & 0xFFFFFC00u) !=
            0) {
            trace(QStringLiteral("m_CodificaModuli=&h") + hexText(m_CodificaModuli) +
                  QStringLiteral(" ProgCodificaModuli=0x") + hexText(storedCoding));
            showCommMessage(kMsgOtherModel);
            ok = false;
            break;
        }
        ok = WriteMemoryMap();
        if (m_CommConfig.InterfaceType() == CCommConfig::kInterfaceRS232)
            break;
    }
    if (!ok)
        m_ReturnValue = false;
    m_Rs232.CloseRs232();
}

bool ModbusTransfer::WriteWord(std::int16_t index, std::uint16_t reg)
{
    const auto word = static_cast<std::uint16_t>(m_MemMap->MemMap(index));
    return WriteRegister(static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF), reg);
}

bool ModbusTransfer::WriteMemoryMap()
{
    const std::int16_t slotA = slotAOf(m_CodificaModuli);
    const bool freq = ModuleCodes::IsFrequencyModule(slotA);
    const std::uint16_t start = m_MemMap->StartAddMemMap();
    const int last = m_MemMap->EndAddMemMap() - start;
    setProgressRange(0, last + 1);
    setProgress(0);
    emit Label5Changed(LoadResourceString(kTextWriting));

    for (int i = 0; i <= last; ++i) {
        // The address and speed words go last, after everything else.
        const bool skip =
            freq ? (i >= kWordAddressFreq && i <= kWordAddressFreq + 3) : (i == kWordAddressBase || i == kWordBaudBase);
        if (!skip && !WriteWord(static_cast<std::int16_t>(i), static_cast<std::uint16_t>(start + i)))
            return false;
        setProgress(i);
    }
    if (slotA == SlotACode::GKP && !WriteWord(kWordGKPExtra, kRegGKPExtra))
        return false;
    if (slotA == SlotACode::MVZ) {
        for (int k = 0; k < kMVZExtraCount; ++k) {
            if (!WriteWord(static_cast<std::int16_t>(kWordMVZExtra + k), static_cast<std::uint16_t>(kRegMVZExtra + k)))
                return false;
        }
    }
    if (m_CommConfig.InterfaceType() == CCommConfig::kInterfaceRS232) {
        trace(QStringLiteral("Programmazione indirizzo di rete"));
        const std::int16_t word = freq ? kWordAddressFreq : kWordAddressBase;
        if (!WriteWord(word, freq ? kRegAddressFreq : kRegAddressBase))
            return false;
        // The instrument answers at its new address from now on.
        m_CurrentAddress = static_cast<std::uint8_t>(m_MemMap->MemMap(word));
    }
    trace(QStringLiteral("Programmazione baud rate"));
    return freq ? WriteWord(kWordBaudFreq, kRegBaudFreq) : WriteWord(kWordBaudBase, kRegBaudBase);
}
