#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <termios.h>
#include <thread>
#include <vector>

// Pseudo-terminals standing in for a serial line in tests.
namespace testpty {

// A pseudo-terminal pair in raw mode. The program opens SlavePath() as its
// serial port; the test plays the instrument on the master side. The test
// keeps a slave descriptor of its own open, so the pair survives the program
// closing and reopening its port.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool IsOpen() const { return m_Master >= 0; }
    QString SlavePath() const { return m_SlavePath; }
    int MasterFd() const { return m_Master; }
    // The line speed the program set on its end (0 when unknown).
    speed_t LineSpeed() const;
    // Writes bytes towards the program at once.
    bool Write(const QByteArray &bytes) const;
    // The adapter is pulled: the program's port fails with an I/O error.
    void CloseMaster();

private:
    int m_Master = -1;
    int m_Slave = -1;
    QString m_SlavePath;
};

// One piece of an answer: written delayMs after the previous piece (the
// first one after the request has come in).
struct Piece {
    QByteArray bytes;
    int delayMs = 0;
};
using Answer = std::vector<Piece>;

// An instrument on the master side of a pair, in a thread of its own. A
// request is the bytes that arrive up to a quiet gap of 20 ms; the responder
// gives the answer. With a required speed the peer answers only while the
// program's end of the line is set to that speed, as an instrument does.
class PtyPeer {
public:
    using Responder = std::function<Answer(const QByteArray &request)>;

    struct Request {
        QByteArray bytes;
        std::chrono::milliseconds spread{0}; // first to last byte
    };

    PtyPeer(PtyPair &pair, Responder responder, speed_t requiredSpeed = 0);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    void Stop();
    QList<Request> Requests() const;

private:
    void run();

    PtyPair &m_Pair;
    Responder m_Responder;
    speed_t m_RequiredSpeed;
    std::atomic<bool> m_Stop{false};
    mutable std::mutex m_Mutex;
    QList<Request> m_Requests;
    std::thread m_Thread;
};

} // namespace testpty
