// The frame transport's decisions, driven by hand: a fake control whose
// reports the test sends, and a timer whose ticks the test fires.
#include "CTapiComm.h"
#include "CTrayIcon.h"
#include "CommControl.h"
#include "CommFailure.h"
#include "StringTable.h"
#include "WindowTimer.h"

#include "TraceCapture.h"

#include <QStringList>
#include <QWidget>
#include <deque>
#include <optional>
#include <gtest/gtest.h>

namespace {

class HandTimer : public WindowTimer {
public:
    bool Enabled() const override { return m_On; }
    void SetEnabled(bool on) override { m_On = on; }
    std::int32_t Interval() const override { return m_Interval; }
    void SetInterval(std::int32_t ms) override { m_Interval = ms; }
    void Fire()
    {
        if (m_On)
            emit Timer();
    }

private:
    bool m_On = false;
    std::int32_t m_Interval = 0;
};

class FakeControl : public CommControl {
public:
    bool PortOpen() const override { return m_Open; }
    bool SetPortOpen(bool open) override
    {
        if (open && !m_Opens)
            return false;
        if (open && m_ConnectionKind == 1 && !m_Dials)
            return false;
        m_Open = open;
        return true;
    }
    std::int32_t BaudCode() const override { return m_Baud; }
    bool SetBaudCode(std::int32_t c) override
    {
        m_Baud = c;
        m_LineWrites.append(QStringLiteral("baud%1").arg(c));
        return true;
    }
    std::int32_t DataBits() const override { return m_Data; }
    bool SetDataBits(std::int32_t b) override
    {
        m_Data = b;
        m_LineWrites.append(QStringLiteral("data%1").arg(b));
        return true;
    }
    std::int32_t StopCode() const override { return m_Stop; }
    bool SetStopCode(std::int32_t c) override
    {
        m_Stop = c;
        m_LineWrites.append(QStringLiteral("stop%1").arg(c));
        return true;
    }
    std::int32_t ParityCode() const override { return m_Parity; }
    bool SetParityCode(std::int32_t c) override
    {
        m_Parity = c;
        m_LineWrites.append(QStringLiteral("parity%1").arg(c));
        return true;
    }
    std::int16_t ByteToReceive() const override { return m_Expect; }
    void SetByteToReceive(std::int16_t n) override { m_Expect = n; }
    void SetFrameTx(const QByteArray &f) override { m_Frame = f; }
    QByteArray FrameRx() const override { return m_Rx; }
    std::int32_t CommPort() const override { return m_Port; }
    void SetCommPort(std::int32_t i) override { m_Port = i; }
    std::int32_t ConnectionKind() const override { return m_ConnectionKind; }
    void SetConnectionKind(std::int32_t k) override { m_ConnectionKind = k; }
    void SetTelephoneArguments(const QString &, bool, const QString &, const QString &, const QString &,
                               const QString &) override
    {
    }
    std::int16_t InBufferSize() const override { return m_In; }
    void SetInBufferSize(std::int16_t s) override { m_In = s; }
    std::int16_t OutBufferSize() const override { return m_Out; }
    void SetOutBufferSize(std::int16_t s) override { m_Out = s; }
    bool Busy() const override { return false; }
    std::int16_t TimeOut() const override { return m_TimeOut; }
    void SetTimeOut(std::int32_t ms) override { m_TimeOut = static_cast<std::int16_t>(ms); }
    bool DTR() const override { return m_Dtr; }
    void SetDTR(bool on) override { m_Dtr = on; }
    bool RTS() const override { return m_Rts; }
    void SetRTS(bool on) override { m_Rts = on; }
    bool CTS() const override { return false; }
    bool DSR() const override { return false; }
    bool CD() const override { return false; }
    void SendReceive() override { m_Sent.append(m_Frame); }
    void HangUp() override {}
    void SplitWriteCommFrame(std::int16_t &, std::int16_t &) override {}

    void Report(std::int32_t code, const QByteArray &rx = {})
    {
        if (code == CommStatusCode::Received)
            m_Rx = rx;
        emit CommStatus(code, QStringLiteral("fake"));
    }

    bool m_Opens = true;
    bool m_Dials = false;
    bool m_Open = false;
    std::int32_t m_Baud = -1, m_Data = -1, m_Stop = -1, m_Parity = -1;
    std::int32_t m_Port = -1, m_ConnectionKind = 0;
    std::int16_t m_Expect = 0, m_In = 1024, m_Out = 512, m_TimeOut = 0;
    bool m_Dtr = false, m_Rts = false;
    QByteArray m_Frame, m_Rx;
    QList<QByteArray> m_Sent;
    QStringList m_LineWrites;
};

// What the fake control does with one frame: line errors first, then the
// report that ends the send; the owner's verdict on an answer; a cancel
// request made while the frame is out.
struct Reaction {
    enum End { Answer, TimeOut, Silent };
    End end = Answer;
    bool accept = true;
    int lineErrors = 0;
    bool cancel = false;
};
const Reaction A{Reaction::Answer, true};
const Reaction R{Reaction::Answer, false};
const Reaction T{Reaction::TimeOut};
const Reaction S{Reaction::Silent};
Reaction lines(Reaction r, int n)
{
    r.lineErrors = n;
    return r;
}
Reaction cancelling(Reaction r)
{
    r.cancel = true;
    return r;
}

class TapiCommFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        comm.Create(&timer, &control, -1);
        QObject::connect(&comm, &CTapiComm::VerifyCRC, [this](bool &ok, const QByteArray &frame) {
            events << QStringLiteral("V");
            verified << frame;
            if (!verdicts.empty()) {
                ok = verdicts.front();
                verdicts.pop_front();
            }
        });
        QObject::connect(&comm, &CTapiComm::EndTxRx, [this] { events << QStringLiteral("End"); });
        QObject::connect(&comm, &CTapiComm::UARTError, [this] { events << QStringLiteral("UART"); });
        QObject::connect(&comm, &CTapiComm::TimeOutError, [this] { events << QStringLiteral("TimeOut"); });
        QObject::connect(&comm, &CTapiComm::CRCError, [this] { events << QStringLiteral("CRC"); });
        QObject::connect(&comm, &CTapiComm::TxRxCancelled, [this] { events << QStringLiteral("Cancelled"); });
    }

    // Runs one exchange, answering each frame that leaves with the next
    // reaction (a time-out once they run out).
    void Run(const std::vector<Reaction> &reactions, int maxTicks = 400)
    {
        comm.SetFrameTx(QByteArray("\x01\x04\x00\x00", 4));
        comm.SetByteToReceive(5);
        comm.StartTxRx();
        qsizetype answered = control.m_Sent.size();
        std::size_t next = 0;
        for (int tick = 0; tick < maxTicks && comm.TxRxInProgress(); ++tick) {
            timer.Fire();
            if (control.m_Sent.size() == answered)
                continue;
            answered = control.m_Sent.size();
            const Reaction r = next < reactions.size() ? reactions[next++] : T;
            if (r.cancel)
                comm.CancelTxRx(true);
            for (int i = 0; i < r.lineErrors; ++i)
                control.Report(CommStatusCode::FramingError);
            if (r.end == Reaction::Answer) {
                verdicts.push_back(r.accept);
                control.Report(CommStatusCode::Received, QByteArray("\x01\x04\x02\x00\x2A", 5));
            } else if (r.end == Reaction::TimeOut) {
                control.Report(CommStatusCode::TimeOut);
            }
        }
    }

    HandTimer timer;
    FakeControl control;
    CTapiComm comm;
    QStringList events;
    QList<QByteArray> verified;
    std::deque<bool> verdicts;
};

struct OutcomeCase {
    const char *name;
    std::vector<Reaction> reactions;
    std::int16_t maxErrorTimeOut;
    std::int16_t maxErrorCRC;
    bool cancelBefore;
    std::int32_t error;
    qsizetype sends;
    QStringList events; // as raised with CommMode 0
};

void PrintTo(const OutcomeCase &c, std::ostream *os)
{
    *os << c.name;
}

class TapiCommOutcome : public TapiCommFixture,
                        public ::testing::WithParamInterface<std::tuple<OutcomeCase, std::int32_t>> {};

TEST_P(TapiCommOutcome, EndsWithTheRightCodeAfterTheRightNumberOfFrames)
{
    const auto &[c, mode] = GetParam();
    comm.SetCommMode(mode);
    comm.SetMaxErrorTimeOut(c.maxErrorTimeOut);
    comm.SetMaxErrorCRC(c.maxErrorCRC);
    if (c.cancelBefore)
        comm.CancelTxRx(true);

    Run(c.reactions);

    EXPECT_FALSE(comm.TxRxInProgress());
    EXPECT_FALSE(timer.Enabled()) << "the timer must be off once the exchange has ended";
    EXPECT_EQ(comm.Error(), c.error);
    EXPECT_EQ(control.m_Sent.size(), c.sends);
    QStringList expected = c.events;
    if (mode != 0)
        expected = expected.filter(QStringLiteral("V"));
    EXPECT_EQ(events, expected);
}

const std::vector<OutcomeCase> kOutcomes = {
    {"AcceptedAnswer", {A}, 3, 3, false, 0, 1, {"V", "End"}},
    {"AcceptedAfterOneRejectionAndOneTimeOut", {R, T, A}, 3, 3, false, 0, 3, {"V", "V", "End"}},
    {"ThreeRejections", {R, R, R}, 3, 3, false, 4, 3, {"V", "V", "V", "CRC"}},
    {"MaxErrorCRCOneEndsAtFirstRejection", {R}, 3, 1, false, 4, 1, {"V", "CRC"}},
    {"ThreeTimeOuts", {T, T, T}, 3, 3, false, 2, 3, {"TimeOut"}},
    {"MaxErrorTimeOutOneSendsOnce", {T}, 1, 3, false, 2, 1, {"TimeOut"}},
    {"TwoOfEachThenATimeOutSendsFiveTimes", {R, R, T, T, T}, 3, 3, false, 2, 5, {"V", "V", "TimeOut"}},
    {"TwoOfEachThenARejectionSendsFiveTimes", {T, T, R, R, R}, 3, 3, false, 4, 5, {"V", "V", "V", "CRC"}},
    {"LineErrorsAloneNeverEnd", {lines(A, 3)}, 3, 3, false, 0, 1, {"V", "End"}},
    {"LineErrorsEndBeforeTheTimeOutLimit", {lines(T, 3)}, 1, 3, false, 1, 1, {"UART"}},
    {"LineErrorsAddUpOverFrames", {lines(T, 1), lines(T, 1), lines(R, 1)}, 3, 3, false, 1, 3, {"V", "UART"}},
    {"CancelBeforeTheExchangeSendsNothing", {A}, 3, 3, true, 3, 0, {"Cancelled"}},
    {"CancelBeatsEveryLimit", {cancelling(lines(T, 3))}, 1, 3, false, 3, 1, {"Cancelled"}},
    {"SilentControlEndsByTimeOut", {S}, 1, 3, false, 2, 1, {"TimeOut"}},
    {"SilentControlIsResentUpToTheLimit", {S, S, S}, 3, 3, false, 2, 3, {"TimeOut"}},
};

INSTANTIATE_TEST_SUITE_P(Table, TapiCommOutcome,
                         ::testing::Combine(::testing::ValuesIn(kOutcomes), ::testing::Values(0, 1)),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_Mode" +
                                    std::to_string(std::get<1>(info.param));
                         });

// What an owner tells of an outcome: nothing after a success or a cancel,
// otherwise the failure's text under the communication-error title. A code
// the transport does not define is a failed exchange all the same.
TEST(CommFailure, EveryFailedOutcomeIsToldUnderTheCommunicationErrorTitle)
{
    const struct {
        std::int32_t error;
        std::optional<std::int32_t> text;
    } cases[] = {
        {CommErrorCode::None, std::nullopt}, {CommErrorCode::Cancelled, std::nullopt},
        {CommErrorCode::Reception, 206},     {CommErrorCode::NoAnswer, 207},
        {CommErrorCode::CRC, 215},           {99, 206},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        const std::optional<CommMessage> box = CommErrorMessage(c.error);
        ASSERT_EQ(box.has_value(), c.text.has_value());
        if (box) {
            EXPECT_EQ(box->text, LoadResourceString(*c.text));
            EXPECT_EQ(box->title, LoadResourceString(208));
        }
    }
}

TEST_F(TapiCommFixture, AnOwnerThatDoesNotJudgeAcceptsEveryAnswer)
{
    CTapiComm bare;
    HandTimer t;
    FakeControl c;
    bare.Create(&t, &c, -1);
    bare.SetByteToReceive(3);
    bare.StartTxRx();
    t.Fire();
    ASSERT_EQ(c.m_Sent.size(), 1);
    c.Report(CommStatusCode::Received, "abc");
    t.Fire();
    EXPECT_FALSE(bare.TxRxInProgress());
    EXPECT_EQ(bare.Error(), 0);
    EXPECT_EQ(bare.FrameRx(), QByteArray("abc"));
}

TEST_F(TapiCommFixture, FirstFrameLeavesAtTheFirstTickAndAnswerIsTakenAtTheNext)
{
    comm.SetFrameTx("req");
    comm.SetByteToReceive(3);
    comm.StartTxRx();
    EXPECT_TRUE(control.m_Sent.isEmpty());
    EXPECT_EQ(timer.Interval(), 200);
    timer.Fire();
    ASSERT_EQ(control.m_Sent, QList<QByteArray>{"req"});
    EXPECT_EQ(control.m_Expect, 3);
    control.Report(CommStatusCode::Received, "ans");
    EXPECT_TRUE(events.isEmpty()) << "the control's report only sets a flag";
    timer.Fire();
    EXPECT_EQ(events, QStringList({"V", "End"}));
    EXPECT_EQ(comm.FrameRx(), QByteArray("ans"));
}

TEST_F(TapiCommFixture, AReportLeftFromAnEndedExchangeIsNotTakenForTheNextAnswer)
{
    comm.SetMaxErrorTimeOut(1);
    Run({T});
    ASSERT_EQ(comm.Error(), 2);
    // The answer to the first request turns up after all.
    control.Report(CommStatusCode::Received, "late");
    EXPECT_FALSE(timer.Enabled());

    comm.StartTxRx();
    timer.Fire();
    EXPECT_EQ(control.m_Sent.size(), 2);
    EXPECT_TRUE(verified.isEmpty()) << "the late answer was judged as this exchange's";
    EXPECT_TRUE(comm.TxRxInProgress());
    control.Report(CommStatusCode::Received, "fresh");
    timer.Fire();
    EXPECT_EQ(verified, QList<QByteArray>{"fresh"});
    EXPECT_EQ(comm.Error(), 0);
}

// Each outcome event comes once the exchange is over, so its handler can
// start the next exchange.
TEST_F(TapiCommFixture, NextExchangeCanStartFromTheOutcomeEvent)
{
    int chained = 0;
    const auto startNext = [this, &chained] {
        EXPECT_FALSE(comm.TxRxInProgress());
        if (chained++ == 0) {
            comm.SetFrameTx("next");
            comm.StartTxRx();
        }
    };
    QObject::connect(&comm, &CTapiComm::EndTxRx, startNext);
    QObject::connect(&comm, &CTapiComm::TimeOutError, startNext);
    comm.SetMaxErrorTimeOut(1);
    for (const std::int32_t firstReport : {CommStatusCode::Received, CommStatusCode::TimeOut}) {
        SCOPED_TRACE(firstReport);
        chained = 0;
        control.m_Sent.clear();
        comm.SetFrameTx("first");
        comm.StartTxRx();
        timer.Fire();
        control.Report(firstReport, "ans");
        timer.Fire();
        ASSERT_EQ(chained, 1);
        EXPECT_TRUE(comm.TxRxInProgress());
        timer.Fire();
        EXPECT_EQ(control.m_Sent, QList<QByteArray>({"first", "next"}));
        control.Report(CommStatusCode::Received, "ans");
        timer.Fire();
        EXPECT_FALSE(comm.TxRxInProgress());
        EXPECT_EQ(comm.Error(), 0);
    }
}

TEST_F(TapiCommFixture, FrameAndLengthCannotChangeDuringAnExchange)
{
    comm.SetFrameTx("one");
    comm.SetByteToReceive(4);
    comm.StartTxRx();
    comm.SetFrameTx("two");
    comm.SetByteToReceive(9);
    comm.StartTxRx(); // ignored while running
    timer.Fire();
    EXPECT_EQ(control.m_Sent, QList<QByteArray>{"one"});
    EXPECT_EQ(control.m_Expect, 4);
}

TEST_F(TapiCommFixture, SettingsReadBackAndPushTheCodes)
{
    std::int32_t baud = -1, parity = -1, stop = -1;
    comm.Settings(baud, parity, stop);
    EXPECT_EQ(std::make_tuple(baud, parity, stop), std::make_tuple(3, 2, 0));
    EXPECT_EQ(control.m_LineWrites, QStringList({"baud3", "data8", "parity1", "stop0"}));

    ASSERT_TRUE(comm.OpenRs232(2, 5, 0, 0));
    EXPECT_EQ(control.m_Port, 1);
    control.m_LineWrites.clear();
    baud = parity = stop = -1;
    comm.Settings(baud, parity, stop);
    EXPECT_EQ(std::make_tuple(baud, parity, stop), std::make_tuple(5, 0, 0));
    EXPECT_EQ(control.m_LineWrites, QStringList({"baud5", "data8", "parity0", "stop0"}));

    baud = 4;
    parity = -1;
    stop = 1;
    comm.Settings(baud, parity, stop);
    EXPECT_EQ(std::make_tuple(control.m_Baud, control.m_Parity, control.m_Stop), std::make_tuple(6, 0, 2));
    baud = parity = stop = -1;
    comm.Settings(baud, parity, stop);
    EXPECT_EQ(std::make_tuple(baud, parity, stop), std::make_tuple(4, 0, 1));
}

TEST_F(TapiCommFixture, OpeningFailuresAreTracedAndReportFalse)
{
    TraceCapture trace;
    const QString failed = QStringLiteral("Porta COM4 già aperta o non presente sul sistema.");

    control.m_Opens = false;
    EXPECT_FALSE(comm.OpenRs232(4, 3, 0, 0));
    EXPECT_TRUE(trace.Lines().contains(failed));

    control.m_Opens = true;
    trace.Clear();
    EXPECT_FALSE(comm.OpenRs232(4, 7, 0, 0)) << "baud index outside its table";
    EXPECT_FALSE(control.m_Open);
    EXPECT_TRUE(trace.Lines().contains(failed));

    trace.Clear();
    EXPECT_FALSE(comm.OpenTelephonComm("0123", false, "", "", "", ""));
    EXPECT_EQ(trace.Lines(), QStringList{"Apertura comunicazione telefonica non riuscita."});
}

TEST_F(TapiCommFixture, LineStatesAreWrittenOnlyWhileOpen)
{
    comm.SetDTR(true);
    comm.SetRTS(true);
    EXPECT_FALSE(control.m_Dtr);
    EXPECT_FALSE(control.m_Rts);
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
    comm.SetDTR(true);
    comm.SetRTS(true);
    EXPECT_TRUE(comm.DTR());
    EXPECT_TRUE(comm.RTS());
    comm.CloseRs232();
    EXPECT_FALSE(control.m_Open);
}

TEST_F(TapiCommFixture, TraceLinesOfAnExchange)
{
    TraceCapture trace;
    comm.SetMaxErrorCRC(1);
    Run({lines(T, 1), R});
    EXPECT_EQ(trace.Lines(),
              QStringList({"Errore UART nr.1", "Errore di timeout nr.1", "Errore di CRC nr.1", "Errore CRC"}));

    // The control's status events reach the trace only when everything is traced.
    trace.Clear();
    g_Trace.SetBugTraceMode(2);
    Run({A});
    EXPECT_EQ(trace.Lines(), QStringList{"CommStatus event:15->fake"});
}

} // namespace

// The owner's window gets a notification-area icon while the port is open;
// the handle -1 suppresses it.
TEST(TapiCommTray, IconLivesWhileThePortIsOpen)
{
    QWidget owner;
    const auto handle = static_cast<std::int32_t>(owner.winId());
    for (const std::int32_t h : {handle, std::int32_t(-1)}) {
        WindowTimer timer;
        FakeControl control;
        CTapiComm comm;
        comm.Create(&timer, &control, h);
        ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
        if (h == -1) {
            EXPECT_EQ(comm.TrayIcon(), nullptr);
            continue;
        }
        ASSERT_NE(comm.TrayIcon(), nullptr);
        EXPECT_TRUE(comm.TrayIcon()->Tip().startsWith(QStringLiteral("Pelvaro")));
        comm.CloseRs232();
        EXPECT_EQ(comm.TrayIcon(), nullptr);
    }
}
