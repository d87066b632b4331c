#include "FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// Six random letters and digits, as a temporary file's name ends.
QString randomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return suffix;
}

// Writes all of the bytes at the descriptor's position; false with errno
// set when the system takes fewer.
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// What a folder's entry points to is on disk only once the folder is synced;
// a folder that cannot be synced does not undo the rename, so it is not a
// failure.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

FileWriteFailure FileWriteFailureOf(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FileWriteFailure::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return FileWriteFailure::ReadOnly;
    default: return FileWriteFailure::Other;
    }
}

FileReplacement::FileReplacement(const QString &fileName) : m_FileName(fileName), m_Target(fileName)
{
    const QFileInfo info(fileName);
    if (info.isSymLink())
        m_Target = info.symLinkTarget();
}

FileReplacement::~FileReplacement()
{
    Cancel();
}

bool FileReplacement::fail(FileWriteError &error, const QString &step, int errorNumber)
{
    Cancel();
    error.kind = FileWriteFailureOf(errorNumber);
    error.fileName = m_FileName;
    error.description = step + QStringLiteral(": ") + systemText(errorNumber);
    return false;
}

bool FileReplacement::Open(FileWriteError &error)
{
    Cancel();
    const QByteArray target = QFile::encodeName(m_Target);
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode))
            return fail(error, QStringLiteral("non è un file"), EISDIR);
        // Opened for writing only to learn whether it may be written: a file
        // its owner made read-only is not replaced behind its back.
        const int probe = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0)
            return fail(error, QStringLiteral("file esistente non scrivibile"), errno);
        ::close(probe);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path = m_Target + QLatin1Char('.') + randomSuffix();
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(error, QStringLiteral("creazione del file temporaneo"), errno);
        }
        m_Fd = fd;
        m_TemporaryPath = path;
        if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
            return fail(error, QStringLiteral("permessi del file temporaneo"), errno);
        return true;
    }
    return fail(error, QStringLiteral("creazione del file temporaneo"), EEXIST);
}

bool FileReplacement::Write(const char *data, qint64 size, FileWriteError &error)
{
    if (m_Fd < 0)
        return fail(error, QStringLiteral("scrittura"), EBADF);
    if (!writeAll(m_Fd, data, size))
        return fail(error, QStringLiteral("scrittura"), errno);
    return true;
}

bool FileReplacement::Commit(FileWriteError &error)
{
    if (m_Fd < 0)
        return fail(error, QStringLiteral("sostituzione"), EBADF);
    if (::fsync(m_Fd) != 0)
        return fail(error, QStringLiteral("sincronizzazione"), errno);
    const int fd = m_Fd;
    m_Fd = -1;
    if (::close(fd) != 0)
        return fail(error, QStringLiteral("chiusura"), errno);
    if (::rename(QFile::encodeName(m_TemporaryPath).constData(), QFile::encodeName(m_Target).constData()) != 0)
        return fail(error, QStringLiteral("sostituzione"), errno);
    m_TemporaryPath.clear();
    syncFolder(QFileInfo(m_Target).absolutePath());
    return true;
}

void FileReplacement::Incomplete(FileWriteError &error)
{
    // More than any block a file system keeps in reserve after a file's end,
    // so a full disk cannot take it all.
    static const QByteArray probe(256 * 1024, '\0');
    if (m_Fd < 0 || ::lseek(m_Fd, 0, SEEK_END) < 0) {
        fail(error, QStringLiteral("file incompleto"), m_Fd < 0 ? EBADF : errno);
        return;
    }
    if (!writeAll(m_Fd, probe.constData(), probe.size())) {
        fail(error, QStringLiteral("file incompleto"), errno);
        return;
    }
    fail(error, QStringLiteral("file incompleto"), EIO);
}

void FileReplacement::Cancel()
{
    if (m_Fd >= 0) {
        ::close(m_Fd);
        m_Fd = -1;
    }
    if (!m_TemporaryPath.isEmpty()) {
        ::unlink(QFile::encodeName(m_TemporaryPath).constData());
        m_TemporaryPath.clear();
    }
}

bool WriteWholeFile(const QString &fileName, const QByteArray &bytes, FileWriteError &error)
{
    FileReplacement file(fileName);
    return file.Open(error) && file.Write(bytes, error) && file.Commit(error);
}
