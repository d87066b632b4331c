// The serial control and the frame transport on real pseudo-terminals, with
// a small instrument on the other end.
#include "SerialTestSupport.h"
#include "CTapiComm.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "WindowTimer.h"

#include "TraceCapture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

using testpty::Answer;
using testpty::PtyPair;
using testpty::PtyPeer;

namespace {

using serialtest::ScopedSerialPorts;

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

const QByteArray kRequest("\x01\x04\x00\x00\x00\x01\x31\xCA", 8);
const QByteArray kReply("\x01\x04\x02\x00\x2A\x39\x2F", 7);

class PtyExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pair.IsOpen());
        comm.Create(&timer, &control, -1);
        QObject::connect(&control, &CommControl::CommStatus,
                         [this](std::int32_t code, const QString &) { statuses.push_back(code); });
    }

    void StartPeer(PtyPeer::Responder responder, speed_t speed = 0)
    {
        peer = std::make_unique<PtyPeer>(pair, std::move(responder), speed);
    }

    // The owner's calling protocol of one exchange.
    std::int32_t Exchange(const QByteArray &frame, std::int16_t length)
    {
        statuses.clear();
        comm.SetCommMode(1);
        comm.SetFrameTx(frame);
        comm.SetByteToReceive(length);
        comm.StartTxRx();
        WaitForEndOfTxRx(comm);
        return comm.Error();
    }

    PtyPair pair;
    ScopedSerialPorts ports{pair.SlavePath()};
    WindowTimer timer;
    SerialControl control;
    CTapiComm comm;
    std::unique_ptr<PtyPeer> peer;
    std::vector<std::int32_t> statuses;
};

struct AnswerCase {
    const char *name;
    Answer answer;
    std::int16_t length;
    std::int32_t error;
    QByteArray frameRx; // checked when error is 0
    std::vector<std::int32_t> statuses;
};

void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << c.name;
}

class PtyAnswer : public PtyExchange, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(PtyAnswer, EndsAsTheInstrumentAnswered)
{
    const AnswerCase &c = GetParam();
    StartPeer([&c](const QByteArray &) { return c.answer; });
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
    comm.SetTimeOutRx(1000);
    comm.SetMaxErrorTimeOut(1);

    EXPECT_EQ(Exchange(kRequest, c.length), c.error);
    EXPECT_EQ(statuses, c.statuses);
    if (c.error == 0) {
        EXPECT_EQ(comm.FrameRx(), c.frameRx);
    }
    ASSERT_FALSE(peer->Requests().isEmpty());
    EXPECT_EQ(peer->Requests().front().bytes, kRequest);
}

// Answers that come in pieces, each after its pause in milliseconds.
const Answer kReplyInPieces{{kReply.left(2), 5}, {kReply.mid(2, 3), 30}, {kReply.mid(5), 30}};
const Answer kLinePieces{{"inP>rAnG=1\r\n", 0}, {"diS>dEc=2\r\n", 60}, {"END\r\n", 60}};
const QByteArray kLines("inP>rAnG=1\r\ndiS>dEc=2\r\nEND\r\n");

const AnswerCase kAnswers[] = {
    {"ExactAnswer", {{kReply, 0}}, 7, 0, kReply, {CommStatusCode::Received}},
    {"AnswerInPieces", kReplyInPieces, 7, 0, kReply, {CommStatusCode::Received}},
    {"ExtraBytesAreCut", {{kReply + QByteArray("\xAA\xBB", 2), 0}}, 7, 0, kReply, {CommStatusCode::Received}},
    {"ShortAnswerTimesOut", {{kReply.left(5), 0}}, 7, 2, {}, {CommStatusCode::TimeOut}},
    {"NoAnswerTimesOut", {}, 7, 2, {}, {CommStatusCode::TimeOut}},
    {"UntilTheSenderStops", kLinePieces, 0, 0, kLines, {CommStatusCode::Received}},
    {"NothingUntilTheSenderStopsTimesOut", {}, 0, 2, {}, {CommStatusCode::TimeOut}},
};

INSTANTIATE_TEST_SUITE_P(Pty, PtyAnswer, ::testing::ValuesIn(kAnswers),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PtyExchange, LateAndExtraBytesNeverReachTheNextExchange)
{
    int n = 0;
    StartPeer([&n](const QByteArray &request) -> Answer {
        if (++n == 1) // answer, noise right behind it, and a late repeat
            return {{kReply + "\x55\x66", 0}, {"LATE1", 150}, {"LATE2", 300}};
        return {{request.left(3) + "\x10\x20\x30\x40", 0}};
    });
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));

    ASSERT_EQ(Exchange(kRequest, 7), 0);
    EXPECT_EQ(comm.FrameRx(), kReply);
    // LATE1 arrives while the program is idle, LATE2 while it does not even
    // read: the first is dropped as it comes, the second when the next frame
    // leaves.
    runEventsFor(250);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    ASSERT_EQ(Exchange("\x07\x08\x09", 7), 0);
    EXPECT_EQ(comm.FrameRx(), QByteArray("\x07\x08\x09\x10\x20\x30\x40"));
}

TEST_F(PtyExchange, InputWaitingWhenTheFrameLeavesIsDropped)
{
    StartPeer([](const QByteArray &) { return Answer{{kReply, 20}}; });
    ASSERT_TRUE(control.SetPortOpen(true));
    // Bytes the program has not read yet when it sends: still in the driver.
    ASSERT_TRUE(pair.Write("STALE"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    control.SetByteToReceive(7);
    control.SetFrameTx(kRequest);
    control.SendReceive();
    QElapsedTimer elapsed;
    elapsed.start();
    while (statuses.empty() && elapsed.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(statuses, std::vector<std::int32_t>{CommStatusCode::Received});
    EXPECT_EQ(control.FrameRx(), kReply);
}

TEST_F(PtyExchange, InstrumentAnswersOnlyAtTheSpeedThatWasSet)
{
    StartPeer([](const QByteArray &) { return Answer{{kReply, 0}}; }, B9600);
    ASSERT_TRUE(comm.OpenRs232(1, 2, 0, 0)); // 4800
    EXPECT_EQ(pair.LineSpeed(), speed_t(B4800));
    comm.SetTimeOutRx(1000);
    comm.SetMaxErrorTimeOut(1);
    EXPECT_EQ(Exchange(kRequest, 7), 2);

    std::int32_t baud = 3, parity = -1, stop = -1;
    comm.Settings(baud, parity, stop);
    EXPECT_EQ(pair.LineSpeed(), speed_t(B9600));
    EXPECT_EQ(Exchange(kRequest, 7), 0);
    EXPECT_EQ(comm.FrameRx(), kReply);
}

TEST_F(PtyExchange, PacedFrameArrivesWholeAndSpread)
{
    StartPeer([](const QByteArray &) { return Answer{{kReply, 0}}; });
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
    std::int16_t chunk = 1, pause = 10;
    comm.SplitWriteCommFrame(chunk, pause);
    EXPECT_EQ(chunk, 1);
    EXPECT_EQ(pause, 10);

    ASSERT_EQ(Exchange(kRequest, 7), 0);
    ASSERT_EQ(peer->Requests().size(), 1);
    EXPECT_EQ(peer->Requests().front().bytes, kRequest);
    EXPECT_GE(peer->Requests().front().spread.count(), 60) << "7 pauses of 10 ms between 8 bytes";
}

TEST_F(PtyExchange, PulledAdapterEndsTheExchangeWithAnErrorAndNoHang)
{
    TraceCapture trace;
    StartPeer([](const QByteArray &) { return Answer{}; }); // never answers
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
    QTimer::singleShot(300, [this] {
        peer->Stop();
        pair.CloseMaster();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    const std::int32_t error = Exchange(kRequest, 7);
    EXPECT_EQ(error, CommErrorCode::Reception);
    EXPECT_LT(elapsed.elapsed(), 3000) << "ended by the lost port, not by three 3 s time-outs";
    EXPECT_FALSE(control.PortOpen());
    const QStringList lines = trace.Lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString &l) {
        return l.startsWith(QStringLiteral("Porta seriale ")) && l.contains(QStringLiteral("persa"));
    })) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Errore UART")));
}

TEST(PtyOpen, FailsCleanlyWithTheReasonInTheTrace)
{
    PtyPair pair;
    ASSERT_TRUE(pair.IsOpen());
    SerialControl holder;
    ScopedSerialPorts ports(pair.SlavePath() + QStringLiteral(";/dev/pelvaro-no-such-tty"));
    ASSERT_TRUE(holder.SetPortOpen(true)) << "port 1 is the pseudo-terminal";

    struct Case {
        std::int32_t port;
        QString reason;
    };
    const Case cases[] = {
        {1, QStringLiteral("Porta seriale %1 già in uso da un altro programma.").arg(pair.SlavePath())},
        {2, QStringLiteral("Porta seriale /dev/pelvaro-no-such-tty non presente sul sistema.")},
        {3, QStringLiteral("Porta COM3: nessun dispositivo seriale con questo numero (dispositivi: %1, "
                           "/dev/pelvaro-no-such-tty).")
                .arg(pair.SlavePath())},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port);
        TraceCapture trace;
        WindowTimer timer;
        SerialControl control;
        CTapiComm comm;
        comm.Create(&timer, &control, -1);
        EXPECT_FALSE(comm.OpenRs232(c.port, 3, 0, 0));
        EXPECT_FALSE(control.PortOpen());
        EXPECT_EQ(
            trace.Lines(),
            QStringList({c.reason, QStringLiteral("Porta COM%1 già aperta o non presente sul sistema.").arg(c.port)}));
    }
}

TEST(PtyOpen, AnotherPortNumberWhileOpenIsRefused)
{
    PtyPair first, second;
    ASSERT_TRUE(first.IsOpen());
    ASSERT_TRUE(second.IsOpen());
    ScopedSerialPorts ports(first.SlavePath() + QStringLiteral(";") + second.SlavePath());
    WindowTimer timer;
    SerialControl control;
    CTapiComm comm;
    comm.Create(&timer, &control, -1);
    ASSERT_TRUE(comm.OpenRs232(1, 3, 0, 0));
    EXPECT_TRUE(comm.OpenRs232(1, 3, 0, 0)) << "the same port again";

    TraceCapture trace;
    EXPECT_FALSE(comm.OpenRs232(2, 3, 0, 0)) << "success would leave the owner on port 1";
    EXPECT_TRUE(control.PortOpen()) << "port 1 stays open";
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Porta COM2 già aperta o non presente sul sistema.")));
    comm.CloseRs232();
    EXPECT_TRUE(comm.OpenRs232(2, 3, 0, 0));
}

TEST(PtyOpen, RefusesCodesWithoutAPosixMeaning)
{
    SerialControl control;
    for (std::int32_t code : {4, 7, 10, -1})
        EXPECT_FALSE(control.SetBaudCode(code)) << code;
    EXPECT_FALSE(control.SetStopCode(1)) << "one and a half stop bits";
    EXPECT_FALSE(control.SetParityCode(3));
    EXPECT_EQ(control.BaudCode(), 3) << "a refused code keeps the previous one";
}

TEST(LineErrors, EachKindThatGrewIsReportedOnce)
{
    LineCounters before;
    LineCounters after = before;
    EXPECT_TRUE(LineErrorCodes(before, after).empty());
    after.frame = 2;
    after.parity = 1;
    after.bufferOverrun = 5;
    EXPECT_EQ(LineErrorCodes(before, after),
              (std::vector<std::int32_t>{CommStatusCode::FramingError, CommStatusCode::ParityError,
                                         CommStatusCode::RxBufferOverflow}));
    after = before;
    after.overrun = 1;
    after.brk = 1;
    EXPECT_EQ(LineErrorCodes(before, after),
              (std::vector<std::int32_t>{CommStatusCode::Overrun, CommStatusCode::Break}));
}

} // namespace
