#pragma once
#include "CSystem.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

// The diagnostic trace of the program. One instance, g_Trace, lives for the
// whole run; until the start routine sets its modes it writes nothing.
//
// In file mode every line is one open-append-close cycle on the trace file
// (CRLF line ends, UTF-8), so the file is complete up to the last line even
// when the program ends abruptly. A file that cannot be written never stops
// the program: the line is lost and one warning goes to stderr.
//
// A line costs one open, one write and one close: the file's path is worked
// out once for the file name, program folder and executable name it comes
// from, and the file's size is the end the last write reached (the file is
// measured on disk only before its first line and after a failed write).
//
// The file is begun at every start with "Effettuata nuova esecuzione: " and
// the time (dd-mm-yy hh:mm:ss), the twelve system lines, an empty line and
// the version line. At kSizeLimit bytes it is deleted and begun again with
// "Reinizializzato file per raggiunto limite dimensioni: " and the same
// block.
class CTraceCode {
public:
    // The trace file restarts when it has reached this size.
    static constexpr qint64 kSizeLimit = 5000001;

    // Source of the date and time written in the headers; tests install a
    // fixed clock. An empty function restores the system clock.
    using Clock = std::function<QDateTime()>;
    static Clock SetClock(Clock clock);

    CTraceCode();

    // Reads the trace switches "/DEBUG" and "/DEBUG_ALL" anywhere in the
    // command line (any case); true when one was found.
    bool ProcessCommandLine(const QString &commandLine);

    // 0: the file is emptied when the trace starts; 1: created only when
    // missing, else appended to; other: never emptied.
    std::int32_t BugFileCreateMode() const { return m_FileCreateMode; }
    void SetBugFileCreateMode(std::int32_t v) { m_FileCreateMode = v; }
    // The program folder, the executable's name and ".DBG" unless set.
    QString BugFileName() const;
    void SetBugFileName(const QString &v) { m_FileName = v; }
    // 0: the trace file; 1: the debugger output (qDebug); other: nowhere.
    std::int32_t BugMode() const { return m_Mode; }
    void SetBugMode(std::int32_t v) { m_Mode = v; }
    QString BugProgramVersion() const { return m_ProgramVersion; }
    void SetBugProgramVersion(const QString &v) { m_ProgramVersion = v; }
    bool BugIdentifySystem() const { return m_IdentifySystem; }
    void SetBugIdentifySystem(bool v) { m_IdentifySystem = v; }
    // 0: no trace; 1: trace except while disabled; 2: trace everything.
    std::int32_t BugTraceMode() const { return m_TraceMode; }
    void SetBugTraceMode(std::int32_t v) { m_TraceMode = v; }

    void BugMessage(const QString &text);
    // A failed check writes "g_Trace.BugAssert fallito: " + text. With a
    // text it then shows the text in a critical box and ends the program;
    // with an empty text it only writes the line and returns.
    void BugAssert(bool condition, const QString &text = QString());
    void BugStartTrace();
    void BugStopTrace();
    void BugTraceDisable();
    void BugTraceEnable();

    std::int32_t FreePhysicalMemory() const;
    std::int32_t FreeVirtualMemory() const;

    // The twelve lines of system facts written after the header, each ended
    // by CR LF.
    QString SystemBlock() const;

private:
    // How a line goes to the file: it empties the file first, is appended,
    // or is appended to a file that begins again first when it has reached
    // the size limit.
    enum class LineWrite { Truncate, Append, WithinLimit };
    void beginFile(const QString &header);
    bool appendLine(const QString &text, LineWrite how = LineWrite::Append);
    bool fileExists() const;
    // The encoded path of BugFileName, worked out again only when what it
    // comes from has changed.
    const QByteArray &filePath();
    static QString timeStamp();

    std::int32_t m_FileCreateMode = 0;
    QString m_FileName;
    std::int32_t m_Mode = 1;
    QString m_ProgramVersion;
    bool m_IdentifySystem = true;
    std::int32_t m_TraceMode = 0;
    bool m_Active = true;
    bool m_Enabled = true;
    bool m_HeaderPending = true;
    bool m_WriteFailureReported = false;
    // What the cached path was worked out from, and the path.
    QString m_PathFileName;
    QString m_PathFolder;
    QString m_PathExecutable;
    QByteArray m_Path;
    CSystem m_System;
};

extern CTraceCode g_Trace;
