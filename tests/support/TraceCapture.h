#pragma once
#include "CTraceCode.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Points g_Trace at a temporary file in file mode while the object lives and
// gives the lines written so far; the trace's old settings come back after.
class TraceCapture {
public:
    TraceCapture()
        : m_OldMode(g_Trace.BugMode()), m_OldTraceMode(g_Trace.BugTraceMode()),
          m_File(m_Dir.filePath(QStringLiteral("trace.DBG")))
    {
        g_Trace.SetBugFileName(m_File);
        g_Trace.SetBugMode(0);
        g_Trace.SetBugTraceMode(1);
    }
    ~TraceCapture()
    {
        g_Trace.SetBugMode(m_OldMode);
        g_Trace.SetBugTraceMode(m_OldTraceMode);
        g_Trace.SetBugFileName(QString());
    }
    TraceCapture(const TraceCapture &) = delete;
    TraceCapture &operator=(const TraceCapture &) = delete;

    QStringList Lines() const
    {
        QFile f(m_File);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    void Clear() { QFile::remove(m_File); }

private:
    std::int32_t m_OldMode;
    std::int32_t m_OldTraceMode;
    QTemporaryDir m_Dir;
    QString m_File;
};
