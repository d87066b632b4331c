#pragma once
#include "CGestioneMemMap.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class CCommConfig;
class CModInstr;
class CNetworkAddMsgSetup;
class CTapiComm;
class CommControl;
class WindowTimer;

// The transfer over the instrument's auxiliary RS232 interface: a
// line-oriented text protocol with one instrument at 9600 baud, no address,
// no checksum, no identification.
//
//   "READ" CR   the instrument answers with its setup, one command line per
//               CR LF; the lines go into MemMapAux from index 0 and are read
//               back into the configuration, stored under IDProgramma.
//   "WRITE" CR  answered with the bytes 175 "?"; then every line of the
//               configuration that is not "NoSend" (each answered with "OK"),
//               then "END" CR (answered with "EX").
// Every command is one frame: its Latin-1 bytes and CR. The instrument echoes
// the command before its reply, so a reply is expected to be the command's
// length plus 6 bytes long.
//
// The modules are never read from the instrument: a read takes them from the
// CModInstr the user declared and refuses a dump that reveals another
// measuring-module family (message 211); a write takes them from the stored
// configuration. Every failure is reported through Warning (a box titled 208
// in the window) and makes ReturnValue false; a failed read stores nothing,
// a failed write sends no "END".
//
// A dump of more than 144 lines is refused (message 206) instead of
// overrunning the map; a dump that does not convert shows 3167 with the
// cause (the line missing or unreadable, the field and value refused) and
// stores nothing; a stored configuration that does not convert shows 3151
// with its cause; a failure of the database is told by its kind
// (DatabaseErrorText) and "Nothing has been saved." or "Nothing has been
// transferred.", with an empty title (it is not a communication error); a Cancel
// that arrives while the dump is coming in stores nothing; an Action other
// than 0 and 1 fails instead of reporting success.
//
// The engine drives the frame transport over the serial control and window
// timer its window hands it (SetLine), and reports its progress through
// signals, so it runs and is tested without the window.
class CAuxTransferEngine : public QObject {
    Q_OBJECT
public:
    static constexpr std::int32_t kActionRead = 0;
    static constexpr std::int32_t kActionWrite = 1;
    // Receive time-outs of the transport: the dump, and every other command.
    static constexpr std::int32_t kReadTimeOut = 7000;
    static constexpr std::int32_t kCommandTimeOut = 3000;
    static constexpr std::int16_t kInBufferSize = 3072;
    // Settling time after DTR and RTS are raised, in seconds.
    static constexpr float kSettleTime = 1.0f;
    // Progress bar range of the dump reception.
    static constexpr int kDumpProgressMax = 88;

    explicit CAuxTransferEngine(QObject *parent = nullptr);
    ~CAuxTransferEngine() override;

    // 0 read the instrument's setup, 1 write a configuration (default 1).
    std::int32_t Action() const { return m_Action; }
    void SetAction(std::int32_t action) { m_Action = action; }
    // The configuration to write, or under which the setup read is stored
    // (an update of its rows); -1 (the default) is not set.
    std::int32_t IDProgramma() const { return m_IDProgramma; }
    void SetIDProgramma(std::int32_t id) { m_IDProgramma = id; }
    // True unless the port did not open, a step failed or the user cancelled.
    bool ReturnValue() const { return m_ReturnValue; }

    // Keeps the three objects (none is owned) and creates the transport;
    // always true. For a read, modInstr holds the model and modules the user
    // declared; for a write it must be null (the configuration's own is
    // loaded). Only ComPort of the communication settings is used; the
    // network settings are not used at all.
    bool Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *networkAddMsgSetup);

    // The serial control and window timer the transport runs on, and the
    // window handle for its notification icon (-1: none). Without a call the
    // engine makes a serial control and a timer of its own.
    void SetLine(CommControl *control, WindowTimer *timer, std::int32_t handleWnd);
    void SetHandleWnd(std::int32_t handleWnd) { m_HandleWnd = handleWnd; }
    // Receive time-outs (ms) of the dump and of the other commands; tests
    // shorten them.
    void SetTimeOuts(std::int32_t readMs, std::int32_t commandMs);
    // Settling time after the port has opened (seconds); 0 does not wait.
    void SetSettleTime(float seconds) { m_SettleTime = seconds; }

    // The whole transfer: open the port, read or write, close the port.
    // Runs once (later calls only return ReturnValue), waiting on the event
    // loop for every exchange, so Cancel stays responsive meanwhile.
    bool StartTransfer();
    bool Started() const { return m_Started; }
    bool Finished() const { return m_Finished; }
    // Asks the transport to cancel: the running exchange (or, between two
    // exchanges, the next one) ends as cancelled, without a message, and the
    // transfer fails. Nothing happens once the transfer has finished.
    void Cancel();

    // The memory map of this transfer (its MemMapAux holds the lines sent or
    // received).
    CGestioneMemMap &MemoryMap() { return m_MemMap; }
    // The transport (null before Create).
    CTapiComm *Transport() const { return m_Rs232.get(); }

    // The protocol pieces.
    // Position of `text` wholly inside `frame`, compared byte for byte; -1
    // when it is absent.
    static std::int32_t FindInFrame(const QByteArray &frame, const QByteArray &text);
    // The lines of a dump: each ends at a CR; only the bytes 45..122 ("-" to
    // "z") are kept. The scan stops before the last byte received, so text
    // after the last CR, and a line whose CR is the very last byte, are not
    // lines.
    static QStringList SplitDumpLines(const QByteArray &frame);
    // The module-family check of a dump: the first of "CJC>CJC=",
    // "inP>tYPE=", "inSA>CH0=", "Func>Func=F." found in any line (letter
    // case ignored) names a family, which must be the one of slot-A code
    // slotA; a dump without any of them fits every module.
    static bool DumpFitsSlotA(const QStringList &lines, std::int16_t slotA);
    // Whether any line begins with the command prefix of one of the
    // auxiliary-line templates (letter case ignored): a dump holds at least
    // one; a reply without any is not a dump.
    static bool DumpHoldsSetupLines(const QStringList &lines);

signals:
    void StatusText(const QString &text);
    void ProgressRange(int minimum, int maximum);
    void ProgressValue(int value);
    // A failure to tell the user: the text and the title of its box (the
    // window shows it with the exclamation icon and OK). The transfer goes on
    // once the window has shown it.
    void Warning(const QString &text, const QString &title);

private:
    void ReadConfigurationAux();
    void WriteConfigurationAux();
    bool GetModuleCoding(std::int32_t &coding);
    void SetFrameSplitting();
    bool ReadDumpAux();
    bool SendAllCommandsAux();
    bool SendCommand(const QString &cmd, const QByteArray &expected);
    bool CheckCommError();
    void exchange(const QByteArray &frame, std::int16_t byteToReceive);
    void showMessage(const QString &text);
    void showDataError(const std::exception &error, bool fromInstrument);
    void finish(bool ok);

    std::int32_t m_Action = kActionWrite;
    std::int32_t m_IDProgramma = -1;
    bool m_ReturnValue = true;

    CCommConfig *m_CommConfig = nullptr;
    CModInstr *m_pModInstr = nullptr;
    CNetworkAddMsgSetup *m_NetworkAddMsgSetup = nullptr;
    std::unique_ptr<CModInstr> m_OwnModInstr; // a write's configuration model
    CGestioneMemMap m_MemMap;
    std::unique_ptr<CTapiComm> m_Rs232;

    QPointer<CommControl> m_Control;
    QPointer<WindowTimer> m_Timer;
    std::unique_ptr<CommControl> m_OwnControl;
    std::unique_ptr<WindowTimer> m_OwnTimer;
    std::int32_t m_HandleWnd = -1;

    std::int32_t m_ReadTimeOut = kReadTimeOut;
    std::int32_t m_CommandTimeOut = kCommandTimeOut;
    float m_SettleTime = kSettleTime;
    bool m_Started = false;
    bool m_Finished = false;
    bool m_Cancelled = false;
};
