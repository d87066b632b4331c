#pragma once
#include <QString>
#include <cstdint>

// The diagnostic trace of the program. One instance, g_Trace, lives for the
// whole run; until the start routine sets its modes it writes nothing.
class CTraceCode {
public:
    CTraceCode();

    bool ProcessCommandLine(const QString &commandLine);

    std::int32_t BugFileCreateMode() const { return m_FileCreateMode; }
    void SetBugFileCreateMode(std::int32_t v) { m_FileCreateMode = v; }
    QString BugFileName() const;
    void SetBugFileName(const QString &v) { m_FileName = v; }
    std::int32_t BugMode() const { return m_Mode; }
    void SetBugMode(std::int32_t v) { m_Mode = v; }
    QString BugProgramVersion() const { return m_ProgramVersion; }
    void SetBugProgramVersion(const QString &v) { m_ProgramVersion = v; }
    bool BugIdentifySystem() const { return m_IdentifySystem; }
    void SetBugIdentifySystem(bool v) { m_IdentifySystem = v; }
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

private:
    void writeLine(const QString &text);

    std::int32_t m_FileCreateMode = 0;
    QString m_FileName;
    std::int32_t m_Mode = 1;
    QString m_ProgramVersion;
    bool m_IdentifySystem = true;
    std::int32_t m_TraceMode = 0;
    bool m_Active = true;
    bool m_Enabled = true;
    bool m_HeaderPending = true;
};

extern CTraceCode g_Trace;
