#pragma once
#include "CommFailure.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CCommConfig;
class CGestioneMemMap;
class CModInstr;
class CNetworkAddMsgSetup;
class CTapiComm;
class DatabaseError;

// ---------------------------------------------------------------------------
// Modbus RTU frames of the program (the transfer and the live view).

// CRC-16/MODBUS (start 0xFFFF, reflected polynomial 0xA001, no final XOR)
// over every byte of the frame except its last two.
std::uint16_t CalcCRC(const QByteArray &frame);
// True when the frame's last two bytes (low byte first) hold CalcCRC of the
// rest. A frame of fewer than three bytes is never correct.
bool CheckCRC(const QByteArray &frame);

// Registers outside the memory map.
namespace ModbusRegister {
inline constexpr std::uint16_t TypeCode = 0x000B;    // the instrument type, also the address probe
inline constexpr std::uint16_t Modules = 0x3004;     // the module word
inline constexpr std::uint16_t ModulesFreq = 0x100C; // the module word of the frequency instruments
} // namespace ModbusRegister

// Function 4, read `count` input registers from `first`: address, 0x04,
// register high, low, 0x00, count, CRC low, high. The answer is
// 5 + 2 * count bytes long (ReadAnswerLength).
QByteArray ReadRegistersFrame(std::uint8_t address, std::uint16_t first, std::uint8_t count);
constexpr std::int16_t ReadAnswerLength(std::uint8_t count)
{
    return static_cast<std::int16_t>(5 + 2 * count);
}
// Function 6, write one register: address, 0x06, register high, low, value
// high, low, CRC low, high. The answer (the echo) is 8 bytes long.
QByteArray WriteRegisterFrame(std::uint8_t address, std::uint16_t reg, std::uint8_t valueHigh, std::uint8_t valueLow);
inline constexpr std::int16_t kWriteAnswerLength = 8;
// Register k (from 0) of a function-4 answer: the signed big-endian word at
// bytes 3 + 2k and 4 + 2k; nothing when the answer is too short for it.
std::optional<std::int16_t> AnswerRegister(const QByteArray &answer, int k);
// The `count` registers of a function-4 answer, into `words`. False (traced)
// when the answer is too short for them: the transport hands over only
// complete answers, so a short one is a reception error, never read past
// its end.
bool AnswerRegisters(const QByteArray &answer, std::uint8_t count, std::vector<std::int16_t> &words);

// One request and its answer of `answerLength` bytes, in the transport's
// calling protocol; sleeps in the event loop until the exchange ends and
// returns the transport's Error.
std::int32_t ModbusExchange(CTapiComm &comm, const QByteArray &frame, std::int16_t answerLength);
// One function-4 read of `count` registers from `first` at `address`, its
// words into `words`: the outcome of the exchange (CTapiComm::Error), with an
// answer too short for its words told as the reception error it is.
std::int32_t ModbusReadRegisters(CTapiComm &comm, std::uint8_t address, std::uint16_t first, std::uint8_t count,
                                 std::vector<std::int16_t> &words);
// The same for the one register `reg`, into `value`.
std::int32_t ModbusReadRegister(CTapiComm &comm, std::uint8_t address, std::uint16_t reg, std::int16_t &value);
// The instrument's type code (ModbusRegister::TypeCode), then the module word
// of that type (ModuleRegisterOfType): the outcome of the read that failed,
// or None.
std::int32_t ModbusReadIdentification(CTapiComm &comm, std::uint8_t address, std::int16_t &typeCode,
                                      std::int16_t &moduleWord);

// Tries the line speeds the instruments know, fastest first (38400, 19200,
// 9600, 4800 baud; each attempt traced): tryConnection(baudIndex) is true
// when an instrument was found at that speed. The baud index of the first
// that finds one, or nothing (traced) when none does.
std::optional<std::int32_t> SearchLineSpeed(const std::function<bool(std::int32_t)> &tryConnection);

// String-table texts of the Modbus exchanges, shown alike by the transfer and
// the live view.
namespace ModbusText {
inline constexpr std::int32_t NetworkAddress = 222; // |1: the address
inline constexpr std::int32_t MsgNoSpeed = 228;
inline constexpr std::int32_t Detecting = 229;
} // namespace ModbusText

// The module coding (CModInstr::CodificaModuli) of an instrument from its
// type code (register 0x000B), its module word (0x3004, or 0x100C for type
// codes 54 and 55) and the interface it is reached through (1 RS232 adds the
// slot-B bit 0x0100, 2 RS485 adds 0x0200): relays, BN and model bits of the
// module word, its bits 6-11 as the extra inputs (bits 16-21), and the
// slot-A bits of the type code (27 HVA, 28 GKP, 54 WP1, 55 WP2, 59 MVZ, any
// other MVA).
std::int32_t IdentifiedCoding(std::int16_t typeCode, std::int16_t moduleWord, std::int16_t interfaceType);
// The register of the module word for a type code.
std::uint16_t ModuleRegisterOfType(std::int16_t typeCode);

// ---------------------------------------------------------------------------
// The Modbus transfer: finds the line speed and the instrument's address,
// identifies the instrument, and writes a stored configuration into it (one
// instrument or every instrument of a network) or reads its configuration
// back into the database. The transfer window drives it; it needs no
// display.
//
// The transport must have been created (CTapiComm::Create) by the owner; the
// transfer opens and closes the port itself. Every exchange sleeps in the
// event loop, so Cancel() (and whatever else the window must do) is handled
// while it waits.
//
// Failures are reported through Warning (the window shows it as a box with
// the exclamation icon and OK; the title is 208) and end the transfer with
// ReturnValue false; a cancel ends it silently.
//
// Refused before any frame leaves: a configuration without a serial module
// (slot B neither QD nor QE) holds no address and speed (3152; on RS485 its
// speed word 0 would switch the instrument to 4800 baud); a configuration
// that cannot be loaded or converted (3151 with the error's description: for
// a value its field's rules refuse, the field as its page names it and the
// value, the address and the baud-rate code in texts 3153 / 3154); an address
// word (RS232) outside 1..255 or a baud-rate word outside 0..3 (3151 with
// 3153 / 3154), since the instrument could not be reached again. The line
// speed is searched only after these checks. A map read from an instrument
// that the parameter objects refuse saves nothing: 3167 naming the refused
// value, 3150 for any other failure. A failure of the database (on the load
// of a write, or the save of a read) is told by its kind (DatabaseErrorText)
// and "Nothing has been transferred." or "Nothing has been saved.", with an
// empty title: it is not a communication error. TotalInstrNetwork is taken within
// 1..255; a NetworkAdd outside 1..255 is never probed.
class ModbusTransfer : public QObject {
    Q_OBJECT
public:
    static constexpr std::int32_t kActionRead = 0;
    static constexpr std::int32_t kActionWrite = 1;
    // Time-out of each address probe of the scan (one frame per address).
    static constexpr std::int32_t kScanTimeOutRx = 500;
    // Configuration id of the setup read from an instrument.
    static constexpr std::int32_t kInstrumentSetupId = 2;

    ModbusTransfer(CTapiComm &comm, CCommConfig &commConfig, CNetworkAddMsgSetup &network, QObject *parent = nullptr);
    ~ModbusTransfer() override;

    std::int32_t Action() const { return m_Action; }
    void SetAction(std::int32_t action) { m_Action = action; }
    std::int32_t IDProgramma() const { return m_IDProgramma; }
    void SetIDProgramma(std::int32_t id) { m_IDProgramma = id; }
    // The model object handed to the window's Create: a write needs none.
    void SetModInstr(CModInstr *modInstr) { m_ModInstr = modInstr; }
    bool ReturnValue() const { return m_ReturnValue; }

    // The probe time-out of the address scan (kScanTimeOutRx); tests shorten it.
    void SetScanTimeOutRx(std::int32_t ms) { m_ScanTimeOutRx = ms; }

    // The whole transfer: speed detection, then the read (Action 0) or the
    // write (Action 1). Returns ReturnValue.
    bool StartTransfer();
    // The Cancel button: ReturnValue false, and the exchange under way (or
    // the next one) ends as cancelled.
    void Cancel();

    // The pieces, usable on their own on an open port.
    // One line speed: opens the port at that baud index, scans the
    // addresses and closes it again. `cancelled` tells a cancel from a find.
    bool ScanAtSpeed(std::int32_t baudIndex, bool &cancelled);
    // As ScanAtSpeed; the auxiliary interface needs no detection and is
    // taken as found at once.
    bool TryConnection(std::int32_t baudIndex, bool &cancelled);
    // Probes the addresses of the network settings (one frame and one
    // time-out each); the first that answers becomes NetworkAdd. True also
    // when the scan was cancelled (the transport's Error is then 3), and
    // NetworkAdd then becomes the address being probed.
    bool ScanNetworkAddress();
    bool IdentifyInstrument();
    bool ReadRegister(std::uint16_t reg, std::int16_t &value);
    bool WriteRegister(std::uint8_t valueHigh, std::uint8_t valueLow, std::uint16_t reg);

    std::uint8_t CurrentAddress() const { return m_CurrentAddress; }
    void SetCurrentAddress(std::uint8_t address) { m_CurrentAddress = address; }
    std::int32_t IdentifiedCodificaModuli() const { return m_CodificaModuli; }
    // The baud index of the last successful detection (-1 before).
    std::int32_t FoundBaudIndex() const { return m_FoundBaudIndex; }

signals:
    // Texts of the window's labels: Label1 (detection and address) and
    // Label5 (current phase); the progress bar.
    void Label1Changed(const QString &text);
    void Label5Changed(const QString &text);
    void ProgressRangeChanged(int minimum, int maximum);
    void ProgressValueChanged(int value);
    // A failure to tell the user: the text and the title of its box. The
    // transfer goes on once the window has shown it.
    void Warning(const QString &text, const QString &title);

private:
    void ReadConfiguration();
    void WriteConfiguration();
    bool ReadMemoryMap();
    bool WriteMemoryMap();
    bool CanBeWritten();
    bool PrepareMemoryMap(std::int32_t &storedCoding);
    void showCannotConvert(const QString &what);
    // A failure of the database, by its kind, then what was left undone.
    void showDatabaseFailure(const DatabaseError &error, std::int32_t outcomeId);
    bool ReadBlock(std::uint16_t first, std::uint8_t count, std::vector<std::int16_t> &words);
    bool WriteWord(std::int16_t index, std::uint16_t reg);
    // After an exchange that ended with `error`: false when it succeeded;
    // otherwise true, with the port closed and the failure told (a cancel
    // silently).
    bool CheckCommError(std::int32_t error);
    void onVerifyCRC(bool &ok, const QByteArray &frame);
    void showCommMessage(std::int32_t id);
    void showAddress();
    void setProgressRange(int minimum, int maximum);
    void setProgress(int value);

    CTapiComm &m_Rs232;
    CCommConfig &m_CommConfig;
    CNetworkAddMsgSetup &m_Network;
    CModInstr *m_ModInstr = nullptr;
    std::unique_ptr<CGestioneMemMap> m_MemMap;

    std::int32_t m_Action = kActionWrite;
    std::int32_t m_IDProgramma = -1;
    bool m_ReturnValue = true;
    std::uint8_t m_CurrentAddress = 0;
    std::int32_t m_CodificaModuli = 0;
    // The module coding of the configuration to write, with m_MemMap made
    // from it before any frame.
    std::int32_t m_StoredCoding = 0;
    std::int32_t m_FoundBaudIndex = -1;
    std::int32_t m_ScanTimeOutRx = kScanTimeOutRx;
    int m_ProgressMax = 0;
};
