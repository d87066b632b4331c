#pragma once
#include "PtyPair.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <termios.h>
#include <thread>

// The auxiliary interface of a simulated instrument, on the master side of a
// pseudo-terminal, in a thread of its own. It takes commands ended by CR and
// echoes each one (CR LF) before its answer (CR LF):
//
//   "READ"   its setup, one line per CR LF (the dump);
//   "WRITE"  the bytes 175 "?"; the command lines that follow
//            ("menu>parameter=value") are answered "OK" and change the line
//            of the same "menu>parameter=" in the setup;
//   "END"    "EX"; only now do the lines written become its setup.
// A line outside a WRITE, a line without "=", and a line it is told to
// refuse are answered "ER" and change nothing.
//
// A dump may pause between its echo and its lines and between two lines
// (SetDumpPause), as a slow instrument does.
// It answers only while the program's end of the line is at its speed
// (9600 baud by default), and can stay silent or answer slowly. The setup
// can hold the lines of any module family (SetSetup), so a test can make it
// report another family than the one declared.
namespace testsim {

class AuxInstrumentSimulator {
public:
    explicit AuxInstrumentSimulator(testpty::PtyPair &pair, speed_t speed = B9600);
    ~AuxInstrumentSimulator();
    AuxInstrumentSimulator(const AuxInstrumentSimulator &) = delete;
    AuxInstrumentSimulator &operator=(const AuxInstrumentSimulator &) = delete;

    // The instrument's setup: the lines a READ dumps, in this order.
    void SetSetup(const QStringList &lines);
    QStringList Setup() const;

    // Hears the commands but never answers.
    void SetSilent(bool silent);
    // Waits this long before each answer.
    void SetAnswerDelay(int ms);
    // Pauses this long in a dump: after the echo of "READ" and after each
    // line, `count` times in all (-1: before every line).
    void SetDumpPause(int ms, int count = -1);
    // Answers "ER" to the command line `line` (exact text).
    void RefuseLine(const QString &line);
    // What follows the echo of an accepted command line instead of "OK"
    // CR LF; empty restores that.
    void SetLineReply(const QByteArray &reply);

    // Every command received, in order, without its CR.
    QStringList Received() const;

    void Stop();

private:
    void run();
    // The reply to a command, in the pieces between which a dump pauses.
    QList<QByteArray> answer(const QString &command);
    bool sleepFor(int ms); // false when stopped meanwhile

    testpty::PtyPair &m_Pair;
    speed_t m_Speed;
    mutable std::mutex m_Mutex;
    QStringList m_Setup;
    QStringList m_Pending; // the setup being written
    bool m_Writing = false;
    QString m_Refused;
    QByteArray m_LineReply;
    QStringList m_Received;
    std::atomic<bool> m_Silent{false};
    std::atomic<int> m_AnswerDelayMs{0};
    std::atomic<int> m_DumpPauseMs{0};
    std::atomic<int> m_DumpPauseCount{-1};
    std::atomic<bool> m_Stop{false};
    std::thread m_Thread;
};

} // namespace testsim
