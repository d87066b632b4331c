#include "CTraceCode.h"

#include "MsgBox.h"
#include "ProgramExit.h"
#include "ProgramFolder.h"

#include <QFile>

CTraceCode g_Trace;

CTraceCode::CTraceCode() = default;

QString CTraceCode::BugFileName() const
{
    if (!m_FileName.isEmpty())
        return m_FileName;
    return ProgramFile(ExecutableName() + QStringLiteral(".DBG"));
}

bool CTraceCode::ProcessCommandLine(const QString &commandLine)
{
    const QString text = commandLine.trimmed().toUpper();
    if (text.isEmpty() || !text.contains(QStringLiteral("/DEBUG")))
        return false;
    m_FileCreateMode = 0;
    m_Mode = 0;
    m_TraceMode = text.contains(QStringLiteral("/DEBUG_ALL")) ? 2 : 1;
    return true;
}

void CTraceCode::writeLine(const QString &text)
{
    QFile f(BugFileName());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray bytes = text.toLocal8Bit();
    bytes.append("\r\n");
    f.write(bytes);
}

void CTraceCode::BugMessage(const QString &text)
{
    if (m_TraceMode == 0 || !m_Active)
        return;
    if (m_TraceMode == 1 && !m_Enabled)
        return;
    if (m_Mode == 0)
        writeLine(text);
}

void CTraceCode::BugAssert(bool condition, const QString &text)
{
    if (condition)
        return;
    const QString title = QStringLiteral("g_Trace.BugAssert fallito: ");
    BugMessage(title + text);
    if (text.isEmpty())
        return;
    MsgBox(text, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, title);
    EndProgram(1);
}

void CTraceCode::BugStartTrace()
{
    m_Active = true;
    m_HeaderPending = false;
}

void CTraceCode::BugStopTrace() { m_Active = false; }
void CTraceCode::BugTraceDisable() { m_Enabled = false; }
void CTraceCode::BugTraceEnable() { m_Enabled = true; }

std::int32_t CTraceCode::FreePhysicalMemory() const { return 0; }
std::int32_t CTraceCode::FreeVirtualMemory() const { return 0; }
