#pragma once
#include "CTraceCode.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Sends g_Trace to a file of its own while the object lives and restores
// the previous trace settings after, so a test can read the lines written.
class TraceCapture {
public:
    TraceCapture()
        : m_Mode(g_Trace.BugMode()), m_TraceMode(g_Trace.BugTraceMode())
    {
        g_Trace.SetBugFileName(m_Dir.filePath(QStringLiteral("trace.DBG")));
        g_Trace.SetBugMode(0);
        g_Trace.SetBugTraceMode(1);
    }
    ~TraceCapture()
    {
        g_Trace.SetBugMode(m_Mode);
        g_Trace.SetBugTraceMode(m_TraceMode);
        g_Trace.SetBugFileName(QString());
    }
    TraceCapture(const TraceCapture &) = delete;
    TraceCapture &operator=(const TraceCapture &) = delete;

    QStringList Lines() const
    {
        QFile f(m_Dir.filePath(QStringLiteral("trace.DBG")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_Dir;
    std::int32_t m_Mode;
    std::int32_t m_TraceMode;
};
