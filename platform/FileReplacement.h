#pragma once
#include <QByteArray>
#include <QString>

// What kind of failure a file write met: the user is told one text for each
// kind (FileWriteErrorText, startup/FileWriteErrorText.h), the same on every
// road that writes a file.
enum class FileWriteFailure {
    // No room for the bytes: the disk (or the user's quota) is full, or the
    // file would pass the size the process may write.
    DiskFull,
    // The file or its folder cannot be written (permissions, a file system
    // mounted read-only).
    ReadOnly,
    // Anything else: a folder that does not exist, an input/output error.
    Other,
};

// A write that failed: its kind, the file it was for (as the caller named
// it) and, for the trace only, the step that failed and the system's reason.
struct FileWriteError {
    FileWriteFailure kind = FileWriteFailure::Other;
    QString fileName;
    QString description;
};

// The kind of a system error number (errno): ENOSPC, EDQUOT and EFBIG are a
// full disk; EACCES, EPERM, EROFS and ETXTBSY a file that cannot be written.
FileWriteFailure FileWriteFailureOf(int errorNumber);

// Replaces a file as a whole or not at all. The new content goes to a
// temporary file beside the target (same folder, the target's name plus a
// dot and six random characters, the name cut short where the whole would
// pass the 255 bytes of a folder entry), and only a complete one, synced to
// disk, is renamed over the target; until then the target keeps every byte
// it had. A failed or abandoned replacement removes its temporary file.
//
// Every write is checked as it is made (no buffer that fails later, unseen),
// and the sync before the rename catches what the file system reports only
// then. A target that is a symbolic link, or a chain of them, has the file
// at the chain's end replaced (made, when the last link points to no file
// yet; a loop of links is not written); an existing target that cannot be
// opened for writing is not replaced (read-only), and the new file keeps an
// existing target's permissions (a new one gets the usual ones, less the
// umask).
//
// Two ways to fill the temporary file: Write, or another writer that opens
// TemporaryPath() itself (the PDF printer). Such a writer tells no reason
// when it fails, so its caller checks the file and, when it is incomplete,
// calls Incomplete, which finds the reason by writing on at the end of the
// same file: a full disk or the size limit refuses that write as it refused
// the writer's.
class FileReplacement {
public:
    explicit FileReplacement(const QString &fileName);
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Creates the temporary file. False, with the reason, when it cannot be
    // created or the existing target cannot be written.
    bool Open(FileWriteError &error);
    // The temporary file's path (empty before Open).
    const QString &TemporaryPath() const { return m_TemporaryPath; }

    // Appends bytes to the temporary file; on failure the temporary file is
    // removed and the target stays as it was.
    bool Write(const char *data, qint64 size, FileWriteError &error);
    bool Write(const QByteArray &bytes, FileWriteError &error) { return Write(bytes.constData(), bytes.size(), error); }

    // Syncs the temporary file to disk and renames it over the target. False,
    // with the reason, when any step fails: the target is then untouched.
    bool Commit(FileWriteError &error);

    // The file another writer filled at TemporaryPath() is incomplete: the
    // reason in `error` (a write that still succeeds is an Other failure),
    // and the temporary file removed.
    void Incomplete(FileWriteError &error);

    // Removes the temporary file; the target stays as it was.
    void Cancel();

private:
    bool fail(FileWriteError &error, const QString &step, int errorNumber);

    QString m_FileName; // as the caller named it
    QString m_Target;   // the file replaced (where the links end), set by Open
    QString m_TemporaryPath;
    int m_Fd = -1;
};

// Writes bytes as the whole content of fileName through a FileReplacement:
// the file holds every byte, or keeps what it had. False with the reason.
bool WriteWholeFile(const QString &fileName, const QByteArray &bytes, FileWriteError &error);
