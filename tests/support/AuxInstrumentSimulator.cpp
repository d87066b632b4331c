#include "AuxInstrumentSimulator.h"

#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace testsim {

namespace {

const QByteArray kLineEnd("\r\n");

// "menu>parameter=" of a command line; empty when it has no "=".
QString lineKey(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.left(eq + 1);
}

void replaceOrAppend(QStringList &setup, const QString &line)
{
    const QString key = lineKey(line);
    for (QString &existing : setup) {
        if (lineKey(existing).compare(key, Qt::CaseInsensitive) == 0) {
            existing = line;
            return;
        }
    }
    setup << line;
}

} // namespace

AuxInstrumentSimulator::AuxInstrumentSimulator(testpty::PtyPair &pair, speed_t speed)
    : m_Pair(pair), m_Speed(speed), m_Thread([this] { run(); })
{
}

AuxInstrumentSimulator::~AuxInstrumentSimulator()
{
    Stop();
}

void AuxInstrumentSimulator::Stop()
{
    m_Stop = true;
    if (m_Thread.joinable())
        m_Thread.join();
}

void AuxInstrumentSimulator::SetSetup(const QStringList &lines)
{
    std::lock_guard lock(m_Mutex);
    m_Setup = lines;
}

QStringList AuxInstrumentSimulator::Setup() const
{
    std::lock_guard lock(m_Mutex);
    return m_Setup;
}

void AuxInstrumentSimulator::SetSilent(bool silent)
{
    m_Silent = silent;
}

void AuxInstrumentSimulator::SetAnswerDelay(int ms)
{
    m_AnswerDelayMs = ms;
}

void AuxInstrumentSimulator::SetDumpPause(int ms, int count)
{
    m_DumpPauseMs = ms;
    m_DumpPauseCount = count;
}

void AuxInstrumentSimulator::SetLineReply(const QByteArray &reply)
{
    std::lock_guard lock(m_Mutex);
    m_LineReply = reply;
}

void AuxInstrumentSimulator::RefuseLine(const QString &line)
{
    std::lock_guard lock(m_Mutex);
    m_Refused = line;
}

QStringList AuxInstrumentSimulator::Received() const
{
    std::lock_guard lock(m_Mutex);
    return m_Received;
}

QList<QByteArray> AuxInstrumentSimulator::answer(const QString &command)
{
    std::lock_guard lock(m_Mutex);
    const QByteArray echo = command.toLatin1() + kLineEnd;
    if (command == QLatin1String("READ")) {
        QList<QByteArray> pieces{echo};
        for (const QString &line : m_Setup)
            pieces << line.toLatin1() + kLineEnd;
        return pieces;
    }
    if (command == QLatin1String("WRITE")) {
        m_Writing = true;
        m_Pending = m_Setup;
        return {echo + QByteArray("\xAF?", 2) + kLineEnd};
    }
    if (command == QLatin1String("END")) {
        if (m_Writing)
            m_Setup = m_Pending;
        m_Writing = false;
        return {echo + "EX" + kLineEnd};
    }
    if (!m_Writing || lineKey(command).isEmpty() || command == m_Refused)
        return {echo + "ER" + kLineEnd};
    replaceOrAppend(m_Pending, command);
    return {echo + (m_LineReply.isEmpty() ? QByteArray("OK") + kLineEnd : m_LineReply)};
}

bool AuxInstrumentSimulator::sleepFor(int ms)
{
    for (int waited = 0; waited < ms && !m_Stop; waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !m_Stop;
}

void AuxInstrumentSimulator::run()
{
    QByteArray pending;
    while (!m_Stop) {
        pollfd p{m_Pair.MasterFd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        if (ready <= 0)
            continue;
        if (!(p.revents & POLLIN)) {
            // The program has no end open right now.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        char buf[512];
        const ssize_t n = ::read(m_Pair.MasterFd(), buf, sizeof buf);
        if (n <= 0)
            continue;
        pending.append(buf, n);
        qsizetype cr;
        while ((cr = pending.indexOf('\r')) >= 0) {
            QByteArray bytes = pending.left(cr);
            pending.remove(0, cr + 1);
            bytes.replace('\n', QByteArray());
            const QString command = QString::fromLatin1(bytes);
            {
                std::lock_guard lock(m_Mutex);
                m_Received << command;
            }
            // Wrong speed: the instrument hears only noise.
            if (m_Silent || m_Pair.LineSpeed() != m_Speed)
                continue;
            if (!sleepFor(m_AnswerDelayMs))
                return;
            const QList<QByteArray> pieces = answer(command);
            const int pause = m_DumpPauseMs;
            const int pauses = m_DumpPauseCount;
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (i > 0 && pause > 0 && (pauses < 0 || i <= pauses)) {
                    // Bytes written so far reach the program before the pause.
                    if (!sleepFor(pause))
                        return;
                }
                m_Pair.Write(pieces[i]);
            }
        }
    }
}

} // namespace testsim
