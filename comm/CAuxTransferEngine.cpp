#include "CAuxTransferEngine.h"

#include "AuxLineFunctions.h"
#include "CCommConfig.h"
#include "CModInstr.h"
#include "CTapiComm.h"
#include "CTraceCode.h"
#include "CommFailure.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "MErrors.h"
#include "MemMapTypes.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "Pause.h"
#include "ResourceText.h"
#include "SerialControl.h"
#include "StringTable.h"
#include "WindowTimer.h"

#include <array>
#include <utility>

namespace {

// String-table texts.
constexpr std::int32_t kTextTransferring = 201;
constexpr std::int32_t kTextReading = 203;
constexpr std::int32_t kMsgCommandRefused = 210;
constexpr std::int32_t kMsgOtherFamily = 211;
constexpr std::int32_t kMsgCannotConvert = 3151; // "|1": what the configuration's rules refuse
constexpr std::int32_t kMsgReadRefused = 3167;   // likewise, for lines read from the instrument
// The string ids of the auxiliary-line templates ("command>parameter=|1"),
// first and last of each block.
constexpr std::array<std::pair<std::int32_t, std::int32_t>, 4> kLineTemplates{
    {{1500, 1588}, {1600, 1603}, {1620, 1626}, {1700, 1795}}};

// Line settings of the auxiliary interface (indexes of the transport).
constexpr std::int32_t kBaudIndex9600 = 3;
constexpr std::int32_t kParityNone = 0;
constexpr std::int32_t kStopOne = 0;

// Frame splitting of the frequency modules: one byte at a time, 10 ms apart.
constexpr std::int16_t kSplitChunkBytes = 1;
constexpr std::int16_t kSplitPauseMs = 10;

constexpr char kCR = 13;
// A reply holds the command's echo and the answer, each ended by CR LF.
constexpr qsizetype kReplyOverhead = 6;

const QString kCmdRead = QStringLiteral("READ");
const QString kCmdWrite = QStringLiteral("WRITE");
const QString kCmdEnd = QStringLiteral("END");
// The prompt after "WRITE": the byte 175, then "?".
const QByteArray kReplyWrite("\xAF?", 2);
const QByteArray kReplyLine("OK");
const QByteArray kReplyEnd("EX");

const QString kMemoryMapAuxDump = QString::fromLatin1(CGestioneMemMap::kMemoryMapAuxDump);
const QString kMemoryUserAuxDump = QString::fromLatin1(CGestioneMemMap::kMemoryUserAuxDump);

QString hexBytes(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes)
        text += QStringLiteral("&h") + QString::number(static_cast<unsigned char>(c), 16).toUpper() + QLatin1Char(' ');
    return text;
}

} // namespace

CAuxTransferEngine::CAuxTransferEngine(QObject *parent) : QObject(parent) {}

CAuxTransferEngine::~CAuxTransferEngine()
{
    if (m_Rs232)
        m_Rs232->CloseRs232();
}

bool CAuxTransferEngine::Create(CCommConfig *commConfig, CModInstr *modInstr, CNetworkAddMsgSetup *networkAddMsgSetup)
{
    m_CommConfig = commConfig;
    m_pModInstr = modInstr;
    m_NetworkAddMsgSetup = networkAddMsgSetup;
    m_Rs232 = std::make_unique<CTapiComm>();
    return true;
}

void CAuxTransferEngine::SetLine(CommControl *control, WindowTimer *timer, std::int32_t handleWnd)
{
    m_Control = control;
    m_Timer = timer;
    m_HandleWnd = handleWnd;
}

void CAuxTransferEngine::SetTimeOuts(std::int32_t readMs, std::int32_t commandMs)
{
    m_ReadTimeOut = readMs;
    m_CommandTimeOut = commandMs;
}

void CAuxTransferEngine::Cancel()
{
    if (m_Finished)
        return;
    g_Trace.BugMessage(QStringLiteral("Cancellata procedura TxRx"));
    m_ReturnValue = false;
    m_Cancelled = true;
    if (m_Rs232)
        m_Rs232->CancelTxRx(true);
}

bool CAuxTransferEngine::StartTransfer()
{
    if (m_Started)
        return m_ReturnValue;
    m_Started = true;

    if (!m_Rs232)
        m_Rs232 = std::make_unique<CTapiComm>();
    if (!m_Control) {
        m_OwnControl = std::make_unique<SerialControl>();
        m_Control = m_OwnControl.get();
    }
    if (!m_Timer) {
        m_OwnTimer = std::make_unique<WindowTimer>();
        m_Timer = m_OwnTimer.get();
    }
    m_Rs232->Create(m_Timer, m_Control, m_HandleWnd);
    m_Rs232->SetInBufferSize(kInBufferSize);
    m_Rs232->SetTimeOutRx(m_CommandTimeOut);
    // A Cancel pressed before the start still counts.
    m_ReturnValue = !m_Cancelled;

    // Without the communication settings there is no port to open.
    g_Trace.BugAssert(m_CommConfig != nullptr);
    const std::int32_t port = (m_CommConfig ? m_CommConfig->ComPort() : -1) + 1;
    if (!m_CommConfig || !m_Rs232->OpenRs232(port, kBaudIndex9600, kParityNone, kStopOne)) {
        const CommMessage box = PortNotOpenMessage();
        emit Warning(box.text, box.title);
        finish(false);
        return m_ReturnValue;
    }
    m_Rs232->SetDTR(true);
    m_Rs232->SetRTS(true);
    if (m_SettleTime > 0)
        Pause(m_SettleTime);

    if (m_Action == kActionRead) {
        ReadConfigurationAux();
    } else if (m_Action == kActionWrite) {
        WriteConfigurationAux();
    } else {
        // No transfer of that kind: nothing was done, which is no success.
        g_Trace.BugAssert(false);
        finish(false);
    }
    return m_ReturnValue;
}

void CAuxTransferEngine::finish(bool ok)
{
    if (!ok)
        m_ReturnValue = false;
    if (m_Rs232)
        m_Rs232->CloseRs232();
    m_Finished = true;
}

bool CAuxTransferEngine::GetModuleCoding(std::int32_t &coding)
{
    if (m_Action != kActionWrite) {
        // The modules the user declared.
        g_Trace.BugAssert(m_pModInstr != nullptr);
        if (!m_pModInstr)
            return false;
        coding = m_pModInstr->CodificaModuli();
        return true;
    }
    g_Trace.BugAssert(m_pModInstr == nullptr, QStringLiteral("Errore m_pModInstr non nullo"));
    auto own = std::make_unique<CModInstr>();
    own->LoadDataFromADORS(ExistingRowCriterion(m_IDProgramma));
    m_OwnModInstr = std::move(own);
    m_pModInstr = m_OwnModInstr.get();
    coding = m_pModInstr->CodificaModuli();
    return true;
}

void CAuxTransferEngine::SetFrameSplitting()
{
    if (!ModuleCodes::IsFrequencyModule(m_pModInstr->SlotA()))
        return;
    std::int16_t chunk = kSplitChunkBytes;
    std::int16_t pause = kSplitPauseMs;
    m_Rs232->SplitWriteCommFrame(chunk, pause);
}

void CAuxTransferEngine::ReadConfigurationAux()
{
    std::int32_t coding = 0;
    if (!GetModuleCoding(coding)) {
        finish(false);
        return;
    }
    SetFrameSplitting();
    if (!ReadDumpAux()) {
        finish(false);
        return;
    }
    g_Trace.BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    // A Cancel that came while the dump was arriving: the user no longer
    // wants the setup, so none of it is stored.
    if (m_Cancelled) {
        finish(false);
        return;
    }
    try {
        m_MemMap.SetIDProgramma(m_IDProgramma);
        m_MemMap.SetCodificaModuli(coding);
        m_MemMap.SaveMemorySetupAux(kMemoryMapAuxDump);
        m_MemMap.ConvertMemoryMapAuxToUserSetup();
    } catch (const std::exception &e) {
        // A dump that does not convert, or a database that does not take
        // it: the configuration stays as it was.
        showDataError(e, true);
        finish(false);
        return;
    }
    finish(true);
}

void CAuxTransferEngine::WriteConfigurationAux()
{
    g_Trace.BugAssert(m_IDProgramma != -1, QStringLiteral("m_IDProgramma non inizializzato"));
    try {
        std::int32_t coding = 0;
        GetModuleCoding(coding);
        SetFrameSplitting();
        m_MemMap.SetIDProgramma(m_IDProgramma);
        m_MemMap.SetCodificaModuli(coding);
        m_MemMap.ConvertUserSetupToMemoryMapAux();
        m_MemMap.SaveMemorySetupAux(kMemoryUserAuxDump);
    } catch (const std::exception &e) {
        // The stored configuration cannot be loaded or turned into lines:
        // nothing goes to the instrument.
        showDataError(e, false);
        finish(false);
        return;
    }
    const bool ok = SendCommand(kCmdWrite, kReplyWrite) && SendAllCommandsAux() && SendCommand(kCmdEnd, kReplyEnd);
    finish(ok);
}

bool CAuxTransferEngine::ReadDumpAux()
{
    m_Rs232->SetTimeOutRx(m_ReadTimeOut);
    emit StatusText(GetResourceText(kTextReading));

    QByteArray frame = kCmdRead.toLatin1();
    frame.append(kCR);
    exchange(frame, 0);
    if (CheckCommError())
        return false;

    emit ProgressRange(0, kDumpProgressMax);
    emit ProgressValue(0);
    const QByteArray rx = m_Rs232->FrameRx();
    g_Trace.BugMessage(QStringLiteral("Frame ricevuto dallo strumento"));
    g_Trace.BugMessage(QString::fromLatin1(rx));
    g_Trace.BugMessage(QStringLiteral("Conversione..."));

    const QStringList lines = SplitDumpLines(rx);
    // The map holds 144 lines: a longer dump is not a setup of ours, and
    // cutting it would lose lines.
    if (static_cast<std::size_t>(lines.size()) > kMemMapAuxLines) {
        g_Trace.BugMessage(QStringLiteral("Dump di ") + QString::number(lines.size()) +
                           QStringLiteral(" righe: al massimo ") + QString::number(kMemMapAuxLines) +
                           QStringLiteral(" righe attese"));
        showMessage(GetResourceText(CommFailureText::Reception));
        return false;
    }
    for (qsizetype n = 0; n < lines.size(); ++n)
        g_Trace.BugMessage(lines[n]);
    // A reply without a single setup line is no dump at all (noise, another
    // device's answer): a reception error, not a setup missing its lines.
    if (!DumpHoldsSetupLines(lines)) {
        g_Trace.BugMessage(QStringLiteral("Nessuna riga di configurazione nel dump ricevuto"));
        showMessage(GetResourceText(CommFailureText::Reception));
        return false;
    }
    for (qsizetype n = 0; n < lines.size(); ++n)
        m_MemMap.SetMemMapAux(static_cast<std::int16_t>(n), lines[n]);

    CModInstr declared;
    declared.SetCodificaModuli(m_pModInstr->CodificaModuli());
    if (!DumpFitsSlotA(lines, declared.SlotA())) {
        showMessage(GetResourceText(kMsgOtherFamily));
        return false;
    }
    emit ProgressValue(kDumpProgressMax);
    m_Rs232->SetTimeOutRx(m_CommandTimeOut);
    return true;
}

bool CAuxTransferEngine::SendAllCommandsAux()
{
    emit StatusText(GetResourceText(kTextTransferring));
    emit ProgressRange(0, static_cast<int>(kMemMapAuxLines) - 1);
    emit ProgressValue(0);
    for (std::int16_t i = 0; i < static_cast<std::int16_t>(kMemMapAuxLines); ++i) {
        const QString line = m_MemMap.MemMapAux(i);
        if (line != kAuxNoSend && !SendCommand(line, kReplyLine))
            return false;
        emit ProgressValue(i);
    }
    return true;
}

bool CAuxTransferEngine::SendCommand(const QString &cmd, const QByteArray &expected)
{
    QByteArray frame = cmd.toLatin1();
    frame.append(kCR);
    const qsizetype length = std::min<qsizetype>(cmd.size() + kReplyOverhead, INT16_MAX);
    exchange(frame, static_cast<std::int16_t>(length));
    if (CheckCommError())
        return false;

    const QByteArray rx = m_Rs232->FrameRx();
    if (FindInFrame(rx, expected) >= 0)
        return true;
    g_Trace.BugMessage(QStringLiteral("Comando ") + cmd + QStringLiteral(" non accettato dallo strumento !!!."));
    g_Trace.BugMessage(QStringLiteral("Risposta dello strumento:") + hexBytes(rx));
    showMessage(GetResourceText(kMsgCommandRefused, {cmd}));
    return false;
}

void CAuxTransferEngine::exchange(const QByteArray &frame, std::int16_t byteToReceive)
{
    m_Rs232->SetCommMode(1);
    m_Rs232->SetFrameTx(frame);
    m_Rs232->SetByteToReceive(byteToReceive);
    m_Rs232->StartTxRx();
    WaitForEndOfTxRx(*m_Rs232);
}

bool CAuxTransferEngine::CheckCommError()
{
    const std::int32_t error = m_Rs232->Error();
    if (error == CommErrorCode::None)
        return false;
    m_Rs232->CloseRs232();
    if (const std::optional<CommMessage> box = CommErrorMessage(error))
        emit Warning(box->text, box->title);
    return true;
}

void CAuxTransferEngine::showMessage(const QString &text)
{
    emit Warning(text, GetResourceText(CommFailureText::Title));
}

void CAuxTransferEngine::showDataError(const std::exception &error, bool fromInstrument)
{
    QString description;
    if (const auto *e = dynamic_cast<const SetupReadError *>(&error)) {
        // Lines that do not make a setup, or a stored configuration the
        // rules refuse: the check text to the trace, the cause in the
        // user's words to the box.
        if (fromInstrument) {
            g_Trace.BugMessage(QStringLiteral("Dump dello strumento non convertibile: ") + e->Text());
            showMessage(GetResourceText(kMsgReadRefused, {e->UserText()}));
            return;
        }
        // Refused before any frame, under the program's title.
        g_Trace.BugMessage(QStringLiteral("Errore nella conversione della configurazione: ") + e->Text());
        emit Warning(GetResourceText(kMsgCannotConvert, {e->UserText()}), QString());
        return;
    } else if (const auto *e = dynamic_cast<const DatabaseError *>(&error)) {
        // Told by its kind, not as a communication error.
        g_Trace.BugMessage(QStringLiteral("Errore del database: ") + e->Description());
        emit Warning(
            DatabaseErrorText(*e, GetResourceText(fromInstrument ? kTextNothingSaved : kTextNothingTransferred)),
            QString());
        return;
    } else if (const auto *e = dynamic_cast<const ProgramError *>(&error)) {
        description = e->Description();
    } else {
        description = QString::fromLocal8Bit(error.what());
    }
    g_Trace.BugMessage(QStringLiteral("Errore nella conversione della configurazione: ") + description);
    showMessage(description);
}

std::int32_t CAuxTransferEngine::FindInFrame(const QByteArray &frame, const QByteArray &text)
{
    return static_cast<std::int32_t>(frame.indexOf(text));
}

QStringList CAuxTransferEngine::SplitDumpLines(const QByteArray &frame)
{
    QStringList lines;
    const qsizetype last = frame.size() - 1;
    qsizetype p = 0;
    for (;;) {
        QString line;
        while (p < last && frame[p] != kCR) {
            const auto b = static_cast<unsigned char>(frame[p]);
            if (b >= 45 && b <= 122)
                line += QLatin1Char(static_cast<char>(b));
            ++p;
        }
        if (p >= last)
            break;
        lines << line;
        ++p;
    }
    return lines;
}

bool CAuxTransferEngine::DumpHoldsSetupLines(const QStringList &lines)
{
    static const QStringList prefixes = [] {
        QStringList list;
        for (const auto &[first, last] : kLineTemplates) {
            for (std::int32_t id = first; id <= last; ++id)
                list << LoadResourceString(id).chopped(2); // without its "|1"
        }
        return list;
    }();
    for (const QString &line : lines) {
        for (const QString &prefix : prefixes) {
            if (line.startsWith(prefix, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

bool CAuxTransferEngine::DumpFitsSlotA(const QStringList &lines, std::int16_t slotA)
{
    struct Family {
        std::int32_t templateId;
        bool (*accepts)(std::int16_t);
    };
    static const std::array<Family, 4> families{{
        {1602, [](std::int16_t a) { return a == SlotACode::GKP; }},
        {1502, [](std::int16_t a) { return ModuleCodes::IsLowHighSignalModule(a); }},
        {1620, [](std::int16_t a) { return a == SlotACode::MVZ; }},
        {1700, [](std::int16_t a) { return ModuleCodes::IsFrequencyModule(a); }},
    }};
    for (const Family &family : families) {
        // The template without its "|1".
        const QString text = LoadResourceString(family.templateId).chopped(2);
        for (const QString &line : lines) {
            if (line.contains(text, Qt::CaseInsensitive))
                return family.accepts(slotA);
        }
    }
    return true;
}
