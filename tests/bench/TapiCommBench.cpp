// Runs 50 exchanges through CTapiComm against an instrument on a
// pseudo-terminal and prints wall and CPU time per exchange. An owner that
// waits without spinning uses a small fraction of a millisecond of CPU per
// exchange, whatever the wall time.
#include "CTapiComm.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "WindowTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kExchanges = 50;
    const QByteArray request("\x01\x04\x00\x00\x00\x01\x31\xCA", 8);
    const QByteArray reply("\x01\x04\x02\x00\x2A\x39\x2F", 7);

    testpty::PtyPair pair;
    if (!pair.IsOpen()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    testpty::PtyPeer peer(pair, [&](const QByteArray &) { return testpty::Answer{{reply, 0}}; });
    qputenv(kSerialPortsVariable, pair.SlavePath().toLocal8Bit());

    WindowTimer timer;
    SerialControl control;
    CTapiComm comm;
    comm.Create(&timer, &control, -1);
    if (!comm.OpenRs232(1, 3, 0, 0)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(pair.SlavePath()));
        return 1;
    }

    int failures = 0;
    QElapsedTimer wall;
    const double process0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    wall.start();
    for (int i = 0; i < kExchanges; ++i) {
        comm.SetCommMode(1);
        comm.SetFrameTx(request);
        comm.SetByteToReceive(static_cast<std::int16_t>(reply.size()));
        comm.StartTxRx();
        WaitForEndOfTxRx(comm);
        if (comm.Error() != 0 || comm.FrameRx() != reply)
            ++failures;
    }
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) * 1e-6;
    const double processMs = (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process0) * 1e3;
    const double threadMs = (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0) * 1e3;
    comm.CloseRs232();
    peer.Stop();

    std::printf("exchanges:                     %d (%d failed)\n", kExchanges, failures);
    std::printf("wall time per exchange:        %.1f ms\n", wallMs / kExchanges);
    std::printf("CPU per exchange, program:     %.3f ms (%.2f%% of wall)\n", threadMs / kExchanges,
                100.0 * threadMs / wallMs);
    std::printf("CPU per exchange, with peer:   %.3f ms\n", processMs / kExchanges);
    return failures == 0 ? 0 : 2;
}
