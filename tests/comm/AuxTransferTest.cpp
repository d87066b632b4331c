// The auxiliary-interface transfer against a simulated instrument on a
// pseudo-terminal: configurations written and read back, the instrument's
// refusals and silence, Cancel, and the module-family check of a dump.
#include "AuxInstrumentSimulator.h"
#include "AuxLineFunctions.h"
#include "CAlarm.h"
#include "CAuxTransferEngine.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CGestioneMemMap.h"
#include "CInOutScale.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "FAuxProgSetup.h"
#include "MsgBox.h"
#include "SettingsStore.h"
#include "ResourceText.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "SerialTestSupport.h"
#include "StringTable.h"
#include "TraceCapture.h"
#include "WindowTimer.h"

#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"

#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using colltest::Modules;
using testsim::AuxInstrumentSimulator;

namespace {

// Ticks every 2 ms whatever interval the transport asks for, so that an
// exchange takes milliseconds instead of two 200 ms ticks.
class FastTimer : public WindowTimer {
public:
    void SetInterval(std::int32_t) override { WindowTimer::SetInterval(2); }
};

// The serial control, noting what the engine asks of it: the line states,
// the frame splitting (not passed on, so that no test is paced at 10 ms a
// byte) and each frame sent with the receive time-out it goes out with.
class RecordingControl : public SerialControl {
public:
    void SetDTR(bool on) override
    {
        events << QStringLiteral("DTR %1").arg(on);
        SerialControl::SetDTR(on);
    }
    void SetRTS(bool on) override
    {
        events << QStringLiteral("RTS %1").arg(on);
        SerialControl::SetRTS(on);
    }
    void SplitWriteCommFrame(std::int16_t &chunkBytes, std::int16_t &pauseMs) override
    {
        events << QStringLiteral("split %1 %2").arg(chunkBytes).arg(pauseMs);
    }
    void SetFrameTx(const QByteArray &frame) override
    {
        m_Frame = frame;
        SerialControl::SetFrameTx(frame);
    }
    void SendReceive() override
    {
        events << QStringLiteral("send %1 %2").arg(QString::fromLatin1(m_Frame.chopped(1))).arg(TimeOut());
        SerialControl::SendReceive();
    }

    QStringList events;

private:
    QByteArray m_Frame;
};

constexpr std::int32_t kReadTimeOutMs = 500;
constexpr std::int32_t kCommandTimeOutMs = 150;
constexpr std::int32_t kStoredId = 5;
constexpr std::int32_t kInstrumentId = 2;

struct Configuration {
    const char *what;
    Modules modules;
    std::function<void(CCollDatiSetup &)> set;
};

void SetDisplayScale(CInOutScale &scale, std::int32_t dp, std::int32_t lo, std::int32_t hi)
{
    scale.SetMeasureDigitalPoint(dp);
    scale.SetMinMeasureScale(lo);
    scale.SetMaxMeasureScale(hi);
}

const std::vector<Configuration> &Configurations()
{
    static const std::vector<Configuration> configurations = {
        {"model 1, MVA, QD, Y2: every group",
         {1, 0, 1, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeMVAHVA().SetRange(3);
             c.RangeMVAHVA().SetDigitalInFunction(1);
             SetDisplayScale(c.InOutScale(), 1, -1000, 1999);
             c.Display().SetPassword(1234);
             c.Display().SetDisplayColor(1);
             for (int n = 1; n <= 2; ++n) {
                 CAlarm &a = c.Alarm(n);
                 a.SetMinAlarmScale(-150 + n);
                 a.SetMaxAlarmScale(1800 + n);
                 a.SetAlarmSetPoint(900 + 10 * n);
                 a.SetIsteresi(5 + n);
                 a.SetRitAttivazione(static_cast<std::int16_t>(10 + n));
                 a.SetRitDisattivazione(static_cast<std::int16_t>(20 + n));
                 a.SetAlarmType(static_cast<std::int16_t>(n));
                 a.SetRelayStatus(static_cast<std::int16_t>(n % 2));
                 a.SetAlarmColor(static_cast<std::int16_t>(n));
             }
             c.FiltroDigitale().SetCampo(125);
             c.FiltroDigitale().SetCoeff(8);
             c.SerialComm().SetNetworkAdd(17);
             c.SerialComm().SetBaudRate(2);
         }},
        // The dump then lacks the alarm, output and serial lines.
        {"model 0, GKP RTD, nothing in B, C, D",
         {0, 3, 0, 0, 0},
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(1);
             c.RangeGKP().SetRange(1);
             SetDisplayScale(c.InOutScale(), 1, -1990, 1990);
             c.FiltroDigitale().SetCampo(40);
             c.FiltroDigitale().SetCoeff(3);
         }},
    };
    return configurations;
}

struct Box {
    QString text;
    int style;
    QString title;
};

class AuxTransfer : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        ASSERT_TRUE(pair.IsOpen());
        control.SetIdleGap(30);
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            boxes.push_back({r.text, r.style, r.title});
            return MsgBoxResult::OK;
        });
        comm.SetComPort(0);
        g_Scala.Reset();
        g_ScalaB.Reset();
    }

    void TearDown() override
    {
        simulator.Stop();
        SetMsgBoxHook(m_OldHook);
        g_Scala.Reset();
        g_ScalaB.Reset();
        ModelDatabase::TearDown();
    }

    // The configuration saved under id, as the wizard leaves it: channel A's
    // electrical scale is the range chosen.
    void Store(const Configuration &cfg, std::int32_t id)
    {
        CCollDatiSetup c;
        cfg.set(c);
        c.SetCodificaModuli(colltest::Coding(cfg.modules));
        CInOutScale &scale = c.InOutScale();
        scale.SetElectricDigitalPoint(g_Scala->DPScalaElettricaMin());
        scale.SetMinElectricScale(g_Scala->InizioScalaElettrica());
        scale.SetMaxElectricScale(g_Scala->FineScalaElettrica());
        c.SetCodificaModuli(c.CodificaModuli());
        c.SetIDProgramma(id);
        c.SaveDataInADORS(id != kInstrumentId);
    }

    void Load(CCollDatiSetup &c, std::int32_t id)
    {
        c.SetIDProgramma(id);
        c.LoadDataFromADORS();
    }

    // The lines a write of configuration id sends, in order.
    QStringList LinesOf(std::int32_t id)
    {
        CGestioneMemMap map;
        map.SetIDProgramma(id);
        map.ConvertUserSetupToMemoryMapAux();
        QStringList lines;
        for (std::int16_t i = 0; i < static_cast<std::int16_t>(kMemMapAuxLines); ++i) {
            if (map.MemMapAux(i) != kAuxNoSend)
                lines << map.MemMapAux(i);
        }
        return lines;
    }

    void Prepare(CAuxTransferEngine &engine, std::int32_t action, std::int32_t id, CModInstr *declared)
    {
        serialtest::ShowWarnings(engine);
        engine.SetLine(&control, &timer, -1);
        engine.SetTimeOuts(kReadTimeOutMs, kCommandTimeOutMs);
        engine.SetSettleTime(0);
        engine.SetAction(action);
        engine.SetIDProgramma(id);
        engine.Create(&comm, declared, &network);
    }

    // One transfer; `before` sees the engine just before it starts.
    using EngineHook = std::function<void(CAuxTransferEngine &)>;
    bool Write(std::int32_t id, std::int32_t action = CAuxTransferEngine::kActionWrite, const EngineHook &before = {})
    {
        CAuxTransferEngine engine;
        Prepare(engine, action, id, nullptr);
        if (before)
            before(engine);
        return engine.StartTransfer();
    }

    bool Read(const Modules &declaredModules, const EngineHook &before = {})
    {
        CModInstr declared;
        declared.SetCodificaModuli(colltest::Coding(declaredModules));
        CAuxTransferEngine engine;
        Prepare(engine, CAuxTransferEngine::kActionRead, kInstrumentId, &declared);
        if (before)
            before(engine);
        return engine.StartTransfer();
    }

    // What differs between configuration id and the setup read back under
    // the instrument's id, on the groups that apply to id.
    std::string DifferencesFromRead(std::int32_t id)
    {
        CCollDatiSetup written;
        Load(written, id);
        CCollDatiSetup read;
        Load(read, kInstrumentId);
        std::set<QString> skip{QStringLiteral("CModInstr.m_NomeProgramma")};
        // The base layout carries no channel for the alarms and the output.
        for (int n = 1; n <= 4; ++n)
            skip.insert(QStringLiteral("CAlarm%1.m_Channel").arg(n));
        skip.insert(QStringLiteral("CAnalogOut.m_Channel"));
        return colltest::Text(colltest::Differences(
            written, read, [&](std::int16_t i) { return written.ValidData(i); }, skip));
    }

    QString ProgramFile(const char *name) const { return m_Folder.File(QString::fromLatin1(name)); }

    testpty::PtyPair pair;
    serialtest::ScopedSerialPorts ports{pair.SlavePath()};
    AuxInstrumentSimulator simulator{pair};
    RecordingControl control;
    FastTimer timer;
    CCommConfig comm;
    CNetworkAddMsgSetup network;
    std::vector<Box> boxes;

private:
    MsgBoxHook m_OldHook;
};

// A string-table text.
QString StringText(std::int32_t id)
{
    return LoadResourceString(id);
}

std::string BoxTexts(const std::vector<Box> &boxes)
{
    std::string text;
    for (const Box &b : boxes)
        text += b.text.toStdString() + "\n";
    return text;
}

} // namespace

TEST_F(AuxTransfer, WritesAConfigurationAndReadsItBackEqual)
{
    for (const Configuration &cfg : Configurations()) {
        SCOPED_TRACE(cfg.what);
        boxes.clear();
        simulator.SetSetup({});
        g_Scala.Reset();
        g_ScalaB.Reset();
        const std::int32_t id = kStoredId + static_cast<std::int32_t>(&cfg - Configurations().data());
        Store(cfg, id);
        const QStringList lines = LinesOf(id);
        ASSERT_FALSE(lines.isEmpty());
        const qsizetype before = simulator.Received().size();

        ASSERT_TRUE(Write(id)) << BoxTexts(boxes);
        // Only the lines that carry something go out, between WRITE and END.
        const QStringList sent = simulator.Received().mid(before);
        EXPECT_EQ(colltest::Text(sent),
                  colltest::Text(QStringList{QStringLiteral("WRITE")} + lines + QStringList{QStringLiteral("END")}));
        EXPECT_FALSE(sent.contains(kAuxNoSend));
        EXPECT_TRUE(QFile::exists(ProgramFile(CGestioneMemMap::kMemoryUserAuxDump)));

        g_Scala.Reset();
        g_ScalaB.Reset();
        ASSERT_TRUE(Read(cfg.modules)) << BoxTexts(boxes);
        EXPECT_EQ(simulator.Received().last(), QStringLiteral("READ"));
        EXPECT_TRUE(QFile::exists(ProgramFile(CGestioneMemMap::kMemoryMapAuxDump)));
        EXPECT_TRUE(boxes.empty()) << BoxTexts(boxes);

        EXPECT_EQ(DifferencesFromRead(id), "");
        CCollDatiSetup read;
        Load(read, kInstrumentId);
        EXPECT_EQ(read.ModInstr().NomeProgramma(), StringText(617));
    }
}

// An instrument that pauses after its echo and between two lines of its
// dump, well inside the receive time-out: the read waits for the whole dump
// with the serial control's own end of a reception (no shortened quiet gap)
// and the real time-out.
TEST_F(AuxTransfer, ReadTakesTheWholeDumpOfAnInstrumentThatPauses)
{
    const Configuration &cfg = Configurations().front();
    Store(cfg, kStoredId);
    ASSERT_TRUE(Write(kStoredId)) << BoxTexts(boxes);
    control.SetIdleGap(0);
    simulator.SetDumpPause(500, 2);

    ASSERT_TRUE(Read(cfg.modules, [](CAuxTransferEngine &engine) {
        engine.SetTimeOuts(CAuxTransferEngine::kReadTimeOut, kCommandTimeOutMs);
    })) << BoxTexts(boxes);
    EXPECT_TRUE(boxes.empty()) << BoxTexts(boxes);
    EXPECT_EQ(DifferencesFromRead(kStoredId), "");
}

// Every failure: ReturnValue false, at most one box (under title 208 with
// the exclamation icon), no "END" after it, and nothing stored under the
// instrument's id.
TEST_F(AuxTransfer, FailuresStopWithTheirMessageAndStoreNothing)
{
    const Configuration &cfg = Configurations().front();
    Store(cfg, kStoredId);
    const QStringList lines = LinesOf(kStoredId);
    ASSERT_GT(lines.size(), 3);
    const QString refused = lines[2];
    const QStringList dump = QStringList{QStringLiteral("READ")} + lines;
    QStringList tooLong;
    for (int i = 0; i < 145; ++i)
        tooLong << QStringLiteral("diSP>n%1=0").arg(i);

    struct Case {
        const char *what;
        std::int32_t action;
        std::function<void()> arrange;
        QString box;      // empty: no box
        QString lastSent; // empty: nothing reached the instrument
        bool dumpWritten = false;
        EngineHook before = {};
    };
    const std::vector<Case> cases = {
        {"a line refused by the instrument", CAuxTransferEngine::kActionWrite, [&] { simulator.RefuseLine(refused); },
         StringText(210).replace(QStringLiteral("|1"), refused), refused},
        // The reply has its full length but ends in "O": no "OK" in it.
        {"a line answered 'O' instead of 'OK'", CAuxTransferEngine::kActionWrite,
         [this] { simulator.SetLineReply(QByteArray("\r\n O")); },
         StringText(210).replace(QStringLiteral("|1"), lines[0]), lines[0]},
        {"no answer", CAuxTransferEngine::kActionWrite, [this] { simulator.SetSilent(true); }, StringText(207),
         QStringLiteral("WRITE")},
        {"port that is not there", CAuxTransferEngine::kActionWrite, [this] { comm.SetComPort(5); }, StringText(209),
         QString()},
        {"a transfer that is neither read nor write", 7, [] {}, QString(), QString()},
        // Declared a low-signal module; the dump (whose "inP>tYPE=" comes
        // second to the cold junction line, in any letter case) is a GKP's.
        {"a dump of another module family", CAuxTransferEngine::kActionRead,
         [&] {
             simulator.SetSetup(
                 {QStringLiteral("inP>rAnG=r2"), QStringLiteral("cjc>CJC=Auto"), QStringLiteral("inP>tYPE=dc")});
         },
         StringText(211), QStringLiteral("READ")},
        {"a dump longer than the map", CAuxTransferEngine::kActionRead, [&] { simulator.SetSetup(tooLong); },
         StringText(206), QStringLiteral("READ")},
        {"a reply with none of a dump's lines", CAuxTransferEngine::kActionRead,
         [&] {
             simulator.SetSetup({QStringLiteral("ERR"), QStringLiteral("noise=12")});
         },
         StringText(206), QStringLiteral("READ")},
        // The first line the input's reader misses is named.
        {"a dump of the right family that lacks lines", CAuxTransferEngine::kActionRead,
         [&] { simulator.SetSetup(dump.mid(0, 4)); },
         GetResourceText(3167, {GetResourceText(3157, {QStringLiteral("inP>int.t=")})}), QStringLiteral("READ"), true},
        // The dump comes after the Cancel; the exchange itself succeeds.
        {"Cancel while the dump comes in", CAuxTransferEngine::kActionRead,
         [&] {
             simulator.SetSetup(dump);
             simulator.SetAnswerDelay(300);
         },
         QString(), QStringLiteral("READ"), false,
         [](CAuxTransferEngine &engine) { QTimer::singleShot(50, &engine, [&engine] { engine.Cancel(); }); }},
    };

    CCollDatiSetup stored;
    Load(stored, kInstrumentId);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        simulator.SetSilent(false);
        simulator.SetAnswerDelay(0);
        simulator.RefuseLine(QString());
        simulator.SetLineReply({});
        simulator.SetSetup({});
        comm.SetComPort(0);
        QFile::remove(ProgramFile(CGestioneMemMap::kMemoryMapAuxDump));
        c.arrange();
        const qsizetype before = simulator.Received().size();

        const bool ok = c.action == CAuxTransferEngine::kActionRead ? Read(cfg.modules, c.before)
                                                                    : Write(kStoredId, c.action, c.before);

        EXPECT_FALSE(ok);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(boxes.empty()) << BoxTexts(boxes);
        } else {
            ASSERT_EQ(boxes.size(), 1u) << BoxTexts(boxes);
            EXPECT_EQ(boxes[0].text, c.box);
            EXPECT_EQ(boxes[0].title, StringText(208));
            EXPECT_EQ(boxes[0].style, MsgBoxStyle::Exclamation);
        }
        const QStringList sent = simulator.Received().mid(before);
        EXPECT_EQ(sent.isEmpty() ? QString() : sent.last(), c.lastSent);
        EXPECT_FALSE(sent.contains(QStringLiteral("END")));
        EXPECT_EQ(QFile::exists(ProgramFile(CGestioneMemMap::kMemoryMapAuxDump)), c.dumpWritten);
        CCollDatiSetup after;
        Load(after, kInstrumentId);
        EXPECT_EQ(colltest::Text(colltest::AllDifferences(stored, after)), "");
    }
}

// The frequency modules need their frames split; the engine sets that up
// before the first command of a read or a write, and only for them.
TEST_F(AuxTransfer, FrameSplittingIsSetForTheFrequencyModulesOnlyBeforeTheFirstCommand)
{
    struct Case {
        const char *what;
        Modules modules;
        bool split;
    };
    const Case cases[] = {
        {"MVA", {1, 0, 2, 0, 0}, false}, {"GKP", {1, 3, 0, 0, 0}, false}, {"WP1", {1, 4, 2, 0, 0}, true},
        {"WP2", {1, 5, 2, 0, 0}, true},  {"MVZ", {2, 6, 2, 0, 0}, false},
    };
    std::int32_t id = kStoredId;
    for (const Case &c : cases) {
        g_Scala.Reset();
        g_ScalaB.Reset();
        Store({c.what, c.modules, [](CCollDatiSetup &) {}}, ++id);
        for (const std::int32_t action : {CAuxTransferEngine::kActionWrite, CAuxTransferEngine::kActionRead}) {
            const bool write = action == CAuxTransferEngine::kActionWrite;
            SCOPED_TRACE(std::string(c.what) + (write ? " write" : " read"));
            control.events.clear();
            if (write)
                Write(id);
            else
                Read(c.modules);
            const QStringList &events = control.events;
            const auto firstSend = std::find_if(events.begin(), events.end(),
                                                [](const QString &e) { return e.startsWith(QStringLiteral("send ")); });
            ASSERT_NE(firstSend, events.end());
            EXPECT_TRUE(firstSend->startsWith(write ? QStringLiteral("send WRITE ") : QStringLiteral("send READ ")));
            const QStringList splitsBefore = QStringList(events.begin(), firstSend).filter(QStringLiteral("split"));
            EXPECT_EQ(splitsBefore, c.split ? QStringList{QStringLiteral("split 1 10")} : QStringList());
            EXPECT_EQ(events.filter(QStringLiteral("split")).size(), splitsBefore.size());
        }
    }
}

// A stored configuration with a slot-A code no layout knows (none of its
// lines would carry anything) is refused before the write is opened, naming
// the slot as the model page does.
TEST_F(AuxTransfer, AStoredSlotACodeOutsideItsListIsRefusedBeforeTheWrite)
{
    Store({"slot-A code 7", {1, 7, 0, 0, 0}, [](CCollDatiSetup &) {}}, kStoredId);
    const qsizetype before = simulator.Received().size();
    EXPECT_FALSE(Write(kStoredId));
    const QString slot = GetResourceText(3160, {LoadResourceString(387)}); // "Slot A"
    ASSERT_EQ(boxes.size(), 1u) << BoxTexts(boxes);
    EXPECT_EQ(boxes[0].text, GetResourceText(3151, {GetResourceText(3155, {slot, 7})}));
    EXPECT_EQ(boxes[0].title, QString::fromLatin1(kApplicationTitle)); // nothing was sent
    EXPECT_TRUE(simulator.Received().mid(before).isEmpty());
}

// Without the shortcuts the other tests take: the port is set up with the
// instrument's input buffer, DTR then RTS, a one-second pause, and the
// dump is read with the long time-out, after which the command time-out is
// back; a write sends every command with the command time-out.
TEST_F(AuxTransfer, TheEnginesSetTheProductionLineSettings)
{
    const Configuration &cfg = Configurations().front();
    Store(cfg, kStoredId);
    const qsizetype lineCount = LinesOf(kStoredId).size();
    {
        CAuxTransferEngine engine;
        serialtest::ShowWarnings(engine);
        engine.SetLine(&control, &timer, -1);
        engine.SetSettleTime(0);
        engine.SetAction(CAuxTransferEngine::kActionWrite);
        engine.SetIDProgramma(kStoredId);
        engine.Create(&comm, nullptr, &network);
        control.events.clear();
        ASSERT_TRUE(engine.StartTransfer()) << BoxTexts(boxes);
        const QStringList sends = control.events.filter(QStringLiteral("send "));
        EXPECT_EQ(sends.size(), lineCount + 2);
        EXPECT_EQ(sends.filter(QStringLiteral(" 3000")).size(), sends.size()) << colltest::Text(sends);
    }

    CModInstr declared;
    declared.SetCodificaModuli(colltest::Coding(cfg.modules));
    CAuxTransferEngine engine;
    serialtest::ShowWarnings(engine);
    engine.SetLine(&control, &timer, -1);
    engine.SetAction(CAuxTransferEngine::kActionRead);
    engine.SetIDProgramma(kInstrumentId);
    engine.Create(&comm, &declared, &network);
    control.events.clear();
    TraceCapture trace;
    ASSERT_TRUE(engine.StartTransfer()) << BoxTexts(boxes);
    EXPECT_EQ(control.events,
              (QStringList{QStringLiteral("DTR 1"), QStringLiteral("RTS 1"), QStringLiteral("send READ 7000")}));
    EXPECT_EQ(control.TimeOut(), 3000);
    EXPECT_EQ(control.InBufferSize(), 3072);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Inizio pausa %1 sec.").arg(QLocale().toString(1.0))));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Fine pausa %1 sec.").arg(QLocale().toString(1.0))));
}

// Cancel, by the button or by the window's close box, ends the write at the
// next exchange: no message, no "END", ReturnValue false, and the window
// closes itself only when the transfer has ended.
TEST_F(AuxTransfer, CancelInTheWindowStopsTheWriteSilently)
{
    Store(Configurations().front(), kStoredId);
    const qsizetype total = LinesOf(kStoredId).size() + 2;
    simulator.SetAnswerDelay(20);

    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel button");
        boxes.clear();
        const qsizetype before = simulator.Received().size();
        FAuxProgSetup window;
        window.Engine().SetLine(&control, &timer, -1);
        window.Engine().SetTimeOuts(kReadTimeOutMs, kCommandTimeOutMs);
        window.Engine().SetSettleTime(0);
        window.SetAction(CAuxTransferEngine::kActionWrite);
        window.SetIDProgramma(kStoredId);
        ASSERT_TRUE(window.Create(&comm, nullptr, &network));
        EXPECT_EQ(window.windowTitle(), StringText(204));
        EXPECT_EQ(window.cmdCancel->text(), StringText(2001));

        // Cancelled once a few lines have gone out.
        bool stillOpen = false;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, &window, [&] {
            if (simulator.Received().size() - before < 4)
                return;
            watch.stop();
            if (closeBox)
                window.close();
            else
                QTest::mouseClick(window.cmdCancel, Qt::LeftButton);
            stillOpen = window.isVisible();
        });
        watch.start();
        window.exec();

        EXPECT_TRUE(stillOpen);
        EXPECT_FALSE(window.ReturnValue());
        EXPECT_TRUE(boxes.empty()) << BoxTexts(boxes);
        const QStringList sent = simulator.Received().mid(before);
        EXPECT_GT(sent.size(), 1);
        EXPECT_LT(sent.size(), total);
        EXPECT_FALSE(sent.contains(QStringLiteral("END")));
    }
}

// The engine's failures reach the user through the window: a port that does
// not open gives message 209 in a box titled 208, and the window closes
// itself.
TEST_F(AuxTransfer, WindowShowsTheEnginesFailure)
{
    Store(Configurations().front(), kStoredId);
    comm.SetComPort(5); // no such device
    FAuxProgSetup window;
    window.Engine().SetLine(&control, &timer, -1);
    window.Engine().SetSettleTime(0);
    window.SetAction(CAuxTransferEngine::kActionWrite);
    window.SetIDProgramma(kStoredId);
    ASSERT_TRUE(window.Create(&comm, nullptr, &network));
    window.exec();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.ReturnValue());
    ASSERT_EQ(boxes.size(), 1u) << BoxTexts(boxes);
    EXPECT_EQ(boxes[0].text, StringText(209));
    EXPECT_EQ(boxes[0].title, StringText(208));
    EXPECT_EQ(boxes[0].style, MsgBoxStyle::Exclamation);
    EXPECT_TRUE(simulator.Received().isEmpty());
}

TEST(AuxDump, SplitsLinesAtCarriageReturnsKeepingOnlyLineCharacters)
{
    struct Case {
        const char *what;
        QByteArray frame;
        QStringList lines;
    };
    const std::vector<Case> cases = {
        {"lines ended by CR LF", QByteArray("READ\r\ninP>rAnG=r2\r\n"), {"READ", "inP>rAnG=r2"}},
        {"a bare CR as the last byte loses its line", QByteArray("A=1\r\nB=2\r"), {"A=1"}},
        {"text after the last CR", QByteArray("A=1\r\nB=2"), {"A=1"}},
        {"blanks, '!', control bytes and bytes above 'z' vanish",
         QByteArray("in P>r!An\x01G=\xC8r2{\r\n", 18),
         {"inP>rAnG=r2"}},
        {"a line of such bytes only is empty", QByteArray(" !\t\r\nA=1\r\n"), {"", "A=1"}},
        {"nothing", QByteArray(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CAuxTransferEngine::SplitDumpLines(c.frame), c.lines);
    }
}

TEST(AuxDump, FamilyCheckTakesTheFirstFamilyFound)
{
    struct Case {
        const char *what;
        QStringList lines;
        std::int16_t slotA;
        bool fits;
    };
    const std::vector<Case> cases = {
        {"cold junction and input type: a GKP", {"inP>tYPE=dc", "CJC>CJC=Auto"}, 3, true},
        {"cold junction and input type: not a MVA", {"inP>tYPE=dc", "CJC>CJC=Auto"}, 0, false},
        {"letter case ignored", {"cjc>cjc=Auto"}, 0, false},
        {"input type: HVA", {"INP>TYPE=AC"}, 2, true},
        {"master input", {"inSA>CH0=r1"}, 6, true},
        {"frequency function on a MVZ", {"Func>Func=F.1"}, 6, false},
        {"frequency function on a WP2", {"Func>Func=F.1"}, 5, true},
        {"no family line fits any module", {"diSP>CoL=rEd"}, 4, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CAuxTransferEngine::DumpFitsSlotA(c.lines, c.slotA), c.fits);
    }
}
