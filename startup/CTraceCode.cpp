#include "CTraceCode.h"

#include "MsgBox.h"
#include "ProgramExit.h"
#include "ProgramFolder.h"

#include <QFile>
#include <QtDebug>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

CTraceCode g_Trace;

namespace {
const QString kAssertTitle = QStringLiteral("g_Trace.BugAssert fallito: ");

CTraceCode::Clock &clockRef()
{
    static CTraceCode::Clock clock;
    return clock;
}
} // namespace

CTraceCode::Clock CTraceCode::SetClock(Clock clock)
{
    Clock old = std::move(clockRef());
    clockRef() = std::move(clock);
    return old;
}

QString CTraceCode::timeStamp()
{
    const QDateTime now = clockRef() ? clockRef()() : QDateTime::currentDateTime();
    // "dd-mm-yy hh:mm:ss", 24-hour clock.
    return now.toString(QStringLiteral("dd-MM-yy ")) + now.toString(QStringLiteral("HH:mm:ss"));
}

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

const QByteArray &CTraceCode::filePath()
{
    // The default name follows the program folder and the executable's name,
    // which tests change; the path is worked out again only then.
    const bool named = !m_FileName.isEmpty();
    const QString folder = named ? QString() : ProgramFolder();
    const QString executable = named ? QString() : ExecutableName();
    if (m_Path.isEmpty() || m_PathFileName != m_FileName || m_PathFolder != folder || m_PathExecutable != executable) {
        m_PathFileName = m_FileName;
        m_PathFolder = folder;
        m_PathExecutable = executable;
        m_Path = QFile::encodeName(BugFileName());
    }
    return m_Path;
}

bool CTraceCode::appendLine(const QString &text, LineWrite how)
{
    const QByteArray &path = filePath();
    QByteArray bytes = text.toLocal8Bit();
    bytes.append("\r\n");
    // Opened, written and closed for this line alone: the file is complete
    // up to here whatever happens next.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (how == LineWrite::Truncate ? O_TRUNC : O_APPEND);
    int error = 0;
    int fd = ::open(path.constData(), flags, 0666);
    if (fd >= 0 && how == LineWrite::WithinLimit) {
        // The size of the file as it is now, whoever else wrote to it: a
        // file at the limit begins again before this line.
        struct stat info;
        if (::fstat(fd, &info) == 0 && info.st_size >= kSizeLimit) {
            ::close(fd);
            ::unlink(path.constData());
            beginFile(QStringLiteral("Reinizializzato file per raggiunto limite dimensioni: ") + timeStamp());
            fd = ::open(path.constData(), flags, 0666);
        }
    }
    if (fd < 0) {
        error = errno;
    } else {
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : ENOSPC;
                break;
            }
            data += n;
            left -= n;
        }
        if (::close(fd) != 0 && error == 0)
            error = errno;
    }
    if (error == 0)
        return true;
    if (!m_WriteFailureReported) {
        // Said once: the run goes on without its trace.
        m_WriteFailureReported = true;
        std::fprintf(stderr, "pelvaro: the trace file %s cannot be written (%s); tracing to it is lost\n",
                     path.constData(), std::strerror(error));
    }
    return false;
}

bool CTraceCode::fileExists() const
{
    QFile f(BugFileName());
    const bool ok = f.open(QIODevice::ReadOnly);
    f.close();
    return ok;
}

QString CTraceCode::SystemBlock() const
{
    const CSystem &s = m_System;
    const QString crlf = QStringLiteral("\r\n");
    QString block;
    block += QStringLiteral("Memoria fisica libera: ") + QString::number(s.FreePhysicalMemory()) +
             QStringLiteral(" KB") + crlf;
    block += QStringLiteral("Memoria fisica disponibile: ") + QString::number(s.TotalPhysicalMemory()) +
             QStringLiteral(" KB") + crlf;
    block += QStringLiteral("Memoria virtuale libera: ") + QString::number(s.FreeVirtualMemory()) +
             QStringLiteral(" KB") + crlf;
    block += QStringLiteral("Memoria virtuale disponibile: ") + QString::number(s.TotalVirtualMemory()) +
             QStringLiteral(" KB") + crlf;
    block += QStringLiteral("Memoria caricata: ") + QString::number(s.MemoryLoad()) + QStringLiteral("%") + crlf;
    block += QStringLiteral("Processore: ") + s.Processor() + crlf;
    block += QStringLiteral("Nome sistema operativo: ") + s.OSName() + crlf;
    block += QStringLiteral("Windows Version: ") + QString::number(s.WinMajor()) + QLatin1Char('.') +
             QString::number(s.WinMinor()) + crlf;
    block += QStringLiteral("Windows Directory: ") + s.WindowsDir() + crlf;
    block += QStringLiteral("System Directory: ") + s.SystemDir() + crlf;
    block += QStringLiteral("Nome utente: ") + s.User() + crlf;
    block += QStringLiteral("Nome macchina: ") + s.Machine() + crlf;
    return block;
}

void CTraceCode::beginFile(const QString &header)
{
    m_HeaderPending = false;
    if (m_TraceMode == 0 || m_Mode == 1)
        return; // the debugger output has no header
    if (m_FileCreateMode == 0 || (m_FileCreateMode == 1 && !fileExists())) {
        appendLine(header, LineWrite::Truncate);
        if (m_Mode == 0) {
            if (m_IdentifySystem)
                appendLine(SystemBlock()); // its last CR LF and the line's own leave an empty line
            if (!m_ProgramVersion.isEmpty())
                appendLine(m_ProgramVersion);
        }
    } else {
        appendLine(header);
    }
}

void CTraceCode::BugMessage(const QString &text)
{
    if (m_TraceMode == 0 || !m_Active)
        return;
    if (m_TraceMode == 1 && !m_Enabled)
        return;
    if (m_Mode == 0) {
        appendLine(text, LineWrite::WithinLimit);
    } else if (m_Mode == 1) {
        qDebug("%s", text.toLocal8Bit().constData());
    }
}

void CTraceCode::BugAssert(bool condition, const QString &text)
{
    if (condition)
        return;
    BugMessage(kAssertTitle + text);
    // Without a text the failed check is only recorded: the callers go on
    // and handle the failure themselves.
    if (text.isEmpty())
        return;
    MsgBox(text, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, kAssertTitle);
    EndProgram(1);
}

void CTraceCode::BugStartTrace()
{
    m_Active = true;
    if (m_HeaderPending)
        beginFile(QStringLiteral("Effettuata nuova esecuzione: ") + timeStamp());
}

void CTraceCode::BugStopTrace()
{
    m_Active = false;
}
void CTraceCode::BugTraceDisable()
{
    m_Enabled = false;
}
void CTraceCode::BugTraceEnable()
{
    m_Enabled = true;
}

std::int32_t CTraceCode::FreePhysicalMemory() const
{
    return m_System.FreePhysicalMemory();
}
std::int32_t CTraceCode::FreeVirtualMemory() const
{
    return m_System.FreeVirtualMemory();
}
