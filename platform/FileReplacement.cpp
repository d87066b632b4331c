#include "FileReplacement.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// The links the system follows in one path before it gives up (ELOOP).
constexpr int kMaxLinks = 40;
// What a temporary file's name adds: a dot and six random characters.
constexpr int kSuffixLength = 7;

// Six random letters and digits, as a temporary file's name ends.
QString randomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return suffix;
}

// A temporary path beside target: its name plus a dot and six random
// characters, the name cut at the end of a letter where the whole would pass
// the bytes a folder entry may have.
QString temporaryPathBeside(const QString &target)
{
    const qsizetype slash = target.lastIndexOf(QLatin1Char('/'));
    QString name = target.mid(slash + 1);
    while (!name.isEmpty() && QFile::encodeName(name).size() > NAME_MAX - kSuffixLength) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return target.left(slash + 1) + name + QLatin1Char('.') + randomSuffix();
}

// The file a chain of symbolic links ends at, each relative link read from
// its own folder; a last link to no file yet names the file to make. False,
// with errno set, for a chain longer than the system follows (a loop) or a
// link that cannot be read.
bool resolveLinks(const QString &fileName, QString &resolved)
{
    QByteArray path = QFile::encodeName(fileName);
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            // Not a link, or nothing there yet: the steps that follow tell
            // their own reason when it cannot be written.
            resolved = QFile::decodeName(path);
            return true;
        }
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), static_cast<size_t>(target.size()));
        if (n < 0)
            return false;
        if (n >= target.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        target.truncate(n);
        if (target.startsWith('/')) {
            path = target;
        } else {
            const qsizetype slash = path.lastIndexOf('/');
            path = path.left(slash + 1) + target;
        }
    }
    errno = ELOOP;
    return false;
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

FileReplacement::FileReplacement(const QString &fileName) : m_FileName(fileName), m_Target(fileName) {}

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
    if (!resolveLinks(m_FileName, m_Target))
        return fail(error, QStringLiteral("collegamento simbolico"), errno);
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
        const QString path = temporaryPathBeside(m_Target);
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
    // The folder as the path names it: taken lexically, a ".." after a
    // linked folder would name another one.
    const qsizetype slash = m_Target.lastIndexOf(QLatin1Char('/'));
    syncFolder(slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : m_Target.left(slash));
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
