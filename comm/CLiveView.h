#pragma once
#include "CModInstr.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class CCommConfig;
class CNetworkAddMsgSetup;
class CTapiComm;
class ModbusTransfer;

// ---------------------------------------------------------------------------
// Decoding of the instantaneous values of one poll.

// The words one poll reads from an instrument.
struct LiveReading {
    std::int16_t slotA = 0;   // of the identified coding
    std::int16_t modello = 0; // ModelloStrumento of the identified coding
    // Frequency/counter modules (slot A 4, 5): value A from 0x1000 (low)
    // and 0x1001 (high), value B from 0x1002/0x1003. Other modules: value A
    // is register 0x3001, value B is not used.
    std::int32_t valueA = 0;
    std::int32_t valueB = 0;
    std::uint16_t status = 0;  // 0x100D, or 0x3005
    std::int16_t function = 0; // 0x2004 (frequency/counter modules only)
    std::int16_t dp1 = 0;      // decimal-point words
    std::int16_t dp2 = 0;
};

// What the instrument's display shows: the two lines (line 2 "NoView" on a
// one-line instrument), their states and the four alarms.
struct LiveDisplay {
    // States of a line.
    static constexpr std::int32_t kNormal = 0;
    static constexpr std::int32_t kMarked = 1; // status bit 4 (line 2: bit 12)
    static constexpr std::int32_t kOverRange = 2;
    static constexpr std::int32_t kNegativeOverRange = 3;

    std::array<QString, 2> text;                           // m_DisplayText
    std::array<std::int32_t, 2> status{0, 0};              // m_DisplayStatus
    std::array<bool, 4> alarm{false, false, false, false}; // m_AlarmState
};

// Texts the live view shows as they are.
namespace LiveText {
inline const QString NoView = QStringLiteral("NoView");
inline const QString Empty = QStringLiteral("----");
inline const QString OverRange = QStringLiteral("EEEE");
inline const QString NegativeOverRange = QStringLiteral("-EEEE");
inline const QString InstrumentError = QStringLiteral("Err");
inline const QString On = QStringLiteral("ON");
inline const QString Off = QStringLiteral("OFF");
} // namespace LiveText

// Colours of the single display, as Windows colour values (blue in the high
// byte): LiveColorToRgb turns one into 0xRRGGBB.
namespace LiveColor {
inline constexpr std::uint32_t Black = 0x000000;
inline constexpr std::uint32_t Blue = 0xFF0000;
inline constexpr std::uint32_t Red = 0x0000FF;
inline constexpr std::uint32_t Green = 0x00FF00;
inline constexpr std::uint32_t Grey = 0xC0C0C0;
} // namespace LiveColor
std::uint32_t LiveColorToRgb(std::uint32_t windowsColor);
// Text colour of a line in a state: black, blue (state 1), red (2, 3).
std::uint32_t LiveStatusColor(std::int32_t status);
// Lamp colour of an alarm: red when active, else green.
std::uint32_t LiveAlarmColor(bool active);

// The text of a measured value with a decimal-point word: the value with its
// decimal point inserted into its digits in the decimal-point record's
// number format, "." as separator. sixDigits selects the six-digit table
// (the word plus 0x10000). A word no table knows is traced and gives the
// failure text (string 600), never a number in a guessed format.
QString LiveValueText(std::int32_t value, std::int16_t digitalPoint, bool sixDigits);

// Decodes one poll into the display: the value texts, then the status bits
// (over-range "EEEE"/"-EEEE", state 1, "Err" on the frequency modules) and
// the alarms. The line-2 state of a one-line frequency module is left as it
// was (its display is hidden).
void DecodeInstrVariable(const LiveReading &reading, LiveDisplay &display);

// The module coding of the live view's identification: as the transfer's,
// except that type code 56 (not 59) stands for the MVZ module.
std::int32_t LiveViewCoding(std::int16_t typeCode, std::int16_t moduleWord, std::int16_t interfaceType);

// ---------------------------------------------------------------------------
// The live view: finds the instrument (speed and address detection as the
// transfer does it), then polls it (RS232: the one instrument; RS485: the
// addresses 1 to TotalInstrNetwork in turn) and decodes its values into a
// grid row per address and the single display of one address. Nothing is
// written to the instrument. The live-view window drives it; it needs no
// display.
//
// Any failed read of a poll shows "Error" for that address (also the single
// reads after the frequency modules' value block), with both line states
// back to normal. On RS485 a silent address is tolerated and polling goes
// on; an instrument found above TotalInstrNetwork makes polling start at 1.
//
// The transport must have been created (CTapiComm::Create) by the owner.
// Every exchange sleeps in the event loop, so Cancel() and the window's
// other controls are handled while Run() is under way.
class CLiveView : public QObject {
    Q_OBJECT
public:
    // A row of the grid (the fields of the status recordset).
    struct GridRow {
        QString NetworkAdd;
        QString VariableValueA;
        QString VariableValueB;
        std::array<QString, 4> Alarm; // "Alarm1" to "Alarm4"
    };

    static constexpr std::int16_t kMaxAddress = 255;

    CLiveView(CTapiComm &comm, CCommConfig &commConfig, CNetworkAddMsgSetup &network, QObject *parent = nullptr);
    ~CLiveView() override;

    // The probe time-out of the address scan (500 ms); tests shorten it.
    void SetScanTimeOutRx(std::int32_t ms);

    bool ReturnValue() const { return m_ReturnValue; }
    // The grid: rows for the addresses 1..GridRowCount().
    int GridRowCount() const { return static_cast<int>(m_StatusRS.size()); }
    const GridRow &Row(int address) const;
    const LiveDisplay &Display() const { return m_Display; }
    const CModInstr &ModInstr() const { return m_ModInstr; }
    std::int16_t CurrentAddress() const { return m_CurrentAddress; }
    // The address of the single display (the window's address spin).
    std::int32_t ZoomAddress() const { return m_ZoomAddress; }
    void SetZoomAddress(std::int32_t address) { m_ZoomAddress = address; }

    // One empty row per address 1..TotalInstrNetwork (at least one, at most
    // 255).
    void CreateStatusRecordset();
    // Every row: its address, "----" for both values, "OFF" alarms.
    void ClearNetworkGrid();

    // Detection, then polling until a poll fails, the line fails or Cancel
    // is pressed. Returns ReturnValue (always false once it has run: the
    // window closes afterwards). The port is closed when it returns.
    bool Run();
    // The Close button: ReturnValue false, and the exchange under way (or the
    // next one) ends as cancelled.
    void Cancel();

    // The pieces, usable on their own on an open port.
    bool TryConnection(std::int32_t baudIndex, bool &cancelled);
    // One poll of CurrentAddress: identification and the value registers.
    // False ends the polling (a tolerated silence on a network is true).
    bool ReadInstrVariable();
    bool IdentifyInstrument();
    void SetCurrentAddress(std::int16_t address) { m_CurrentAddress = address; }

signals:
    void CaptionChanged(const QString &text);
    void ProgressVisibleChanged(bool visible);
    void ProgressRangeChanged(int minimum, int maximum);
    void ProgressValueChanged(int value);
    // Polling starts: the address spin's maximum and value.
    void ZoomLimitsChanged(int maximum, int value);
    // A grid row has new texts.
    void GridRowChanged(int address);
    // The single display shows Display() for ZoomAddress().
    void SingleDisplayChanged();
    // A failure to tell the user: the text and the title of its box (the
    // window shows it with the exclamation icon and OK). The view goes on
    // once the window has shown it.
    void Warning(const QString &text, const QString &title);

private:
    bool ConnectInstrument(std::int32_t &baudIndex);
    void PollInstrument();
    void UpdateDisplay();
    bool failureDisplay();
    // The current address as a Modbus frame carries it.
    std::uint8_t modbusAddress() const;
    bool ReadRegisters(std::uint16_t first, std::uint8_t count, std::vector<std::int16_t> &words);
    bool ReadRegister(std::uint16_t reg, std::int16_t &value);
    // After an exchange that ended with `error`: false when it succeeded;
    // otherwise true, with the failure told and m_TimeOutTolerated set.
    bool CheckCommError(std::int32_t error);
    void onVerifyCRC(bool &ok, const QByteArray &frame);
    void showCommMessage(std::int32_t id);
    std::int16_t networkSize() const;

    CTapiComm &m_Rs232;
    CCommConfig &m_CommConfig;
    CNetworkAddMsgSetup &m_Network;
    // The transfer's speed and address detection, used as it is.
    std::unique_ptr<ModbusTransfer> m_Detection;

    bool m_ReturnValue = true;
    CModInstr m_ModInstr;
    std::int16_t m_CurrentAddress = 0;
    std::int32_t m_ZoomAddress = 1;
    LiveDisplay m_Display;
    std::vector<GridRow> m_StatusRS;
    // Set by CheckCommError: the failure was a silent instrument on a
    // network, and polling goes on.
    bool m_TimeOutTolerated = false;
};
