#include "PtyPair.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace testpty {

namespace {

void makeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
}

} // namespace

PtyPair::PtyPair()
{
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    makeRaw(slave);
    makeRaw(master);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    m_Master = master;
    m_Slave = slave;
    m_SlavePath = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    CloseMaster();
    if (m_Slave >= 0)
        ::close(m_Slave);
}

// On Linux the master reports the terminal settings of the slave side.
speed_t PtyPair::LineSpeed() const
{
    termios t{};
    if (m_Master < 0 || ::tcgetattr(m_Master, &t) != 0)
        return 0;
    return ::cfgetospeed(&t);
}

bool PtyPair::Write(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (m_Master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_Master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return done == bytes.size();
}

void PtyPair::CloseMaster()
{
    if (m_Master >= 0)
        ::close(m_Master);
    m_Master = -1;
}

PtyPeer::PtyPeer(PtyPair &pair, Responder responder, speed_t requiredSpeed)
    : m_Pair(pair), m_Responder(std::move(responder)), m_RequiredSpeed(requiredSpeed), m_Thread([this] { run(); })
{
}

PtyPeer::~PtyPeer()
{
    Stop();
}

void PtyPeer::Stop()
{
    m_Stop = true;
    if (m_Thread.joinable())
        m_Thread.join();
}

QList<PtyPeer::Request> PtyPeer::Requests() const
{
    std::lock_guard lock(m_Mutex);
    return m_Requests;
}

void PtyPeer::run()
{
    using Clock = std::chrono::steady_clock;
    constexpr int kQuietMs = 20;
    QByteArray request;
    Clock::time_point first{};
    Clock::time_point last{};
    while (!m_Stop) {
        pollfd p{m_Pair.MasterFd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, request.isEmpty() ? 50 : kQuietMs);
        if (ready > 0 && (p.revents & POLLIN)) {
            char buf[512];
            const ssize_t n = ::read(m_Pair.MasterFd(), buf, sizeof buf);
            if (n > 0) {
                if (request.isEmpty())
                    first = Clock::now();
                last = Clock::now();
                request.append(buf, n);
                continue;
            }
        }
        if (ready > 0 && !(p.revents & POLLIN)) {
            // Hang-up without data: the program has no end open right now.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (request.isEmpty())
            continue;
        {
            std::lock_guard lock(m_Mutex);
            m_Requests.append({request, std::chrono::duration_cast<std::chrono::milliseconds>(last - first)});
        }
        const QByteArray received = request;
        request.clear();
        if (m_RequiredSpeed != 0 && m_Pair.LineSpeed() != m_RequiredSpeed)
            continue; // wrong speed: the instrument hears only noise
        for (const Piece &piece : m_Responder(received)) {
            if (piece.delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(piece.delayMs));
            if (m_Stop)
                return;
            m_Pair.Write(piece.bytes);
        }
    }
}

} // namespace testpty
