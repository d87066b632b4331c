#include "DatabaseError.h"

#include <QSqlError>
#include <cerrno>

namespace {

// SQLite's result codes that the kinds are told apart by.
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteReadOnlyDbMoved = 8 | (4 << 8);

// SQLite's native code as the driver hands it over (at times an extended
// one), -1 when there is none.
int nativeCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok && code >= 0 ? code : -1;
}

// The I/O errors of putting data on the disk: a write, a sync of the file
// or its folder, a truncation, the removal of the journal.
bool isWriteIoError(int code)
{
    switch (code >> 8) {
    case 3:  // SQLITE_IOERR_WRITE
    case 4:  // SQLITE_IOERR_FSYNC
    case 5:  // SQLITE_IOERR_DIR_FSYNC
    case 6:  // SQLITE_IOERR_TRUNCATE
    case 10: // SQLITE_IOERR_DELETE
    case 19: // SQLITE_IOERR_SHMSIZE
        return true;
    default: return false;
    }
}

// The error numbers of a read that SQLite reports as corrupt, not as an I/O
// error: the device did not give the data.
bool isDeviceReadErrno(int number)
{
    return number == EIO || number == ENXIO || number == ERANGE;
}

} // namespace

int DatabaseError::PrimaryCode(const QSqlError &error)
{
    const int code = nativeCode(error);
    return code < 0 ? -1 : code & 0xFF;
}

DatabaseFailure DatabaseError::KindOf(const QSqlError &error, int fileErrno)
{
    // The SQLite driver gives SQLite's result code as the native code, at
    // times an extended one: its low byte is the primary code.
    const int code = nativeCode(error);
    if (code < 0)
        return DatabaseFailure::Other;
    switch (code & 0xFF) {
    case 5: // SQLITE_BUSY
        return DatabaseFailure::Busy;
    case 13: // SQLITE_FULL
        return DatabaseFailure::DiskFull;
    case 8: // SQLITE_READONLY (the file, or a folder that cannot take the journal)
        return code == kSqliteReadOnlyDbMoved ? DatabaseFailure::Moved : DatabaseFailure::ReadOnly;
    case kSqliteIoErr: return isWriteIoError(code) ? DatabaseFailure::WriteFailed : DatabaseFailure::ReadFailed;
    case kSqliteCorrupt:
        // A read the disk did not give comes as plain corrupt, never as one
        // of the extended codes that name what SQLite found wrong.
        return code == kSqliteCorrupt && isDeviceReadErrno(fileErrno) ? DatabaseFailure::ReadFailed
                                                                      : DatabaseFailure::Damaged;
    case 26: // SQLITE_NOTADB
        return DatabaseFailure::Damaged;
    default: return DatabaseFailure::Other;
    }
}

DatabaseError DatabaseError::FromSql(const QString &context, const QSqlError &error, int fileErrno)
{
    QString description = context + QStringLiteral(": ") + error.text();
    // The program's connection is the only one in the process: a table it
    // locks against itself is a fault of the program, not of the file.
    if (PrimaryCode(error) == kSqliteLocked)
        description += QStringLiteral(" (errore del programma: tabella bloccata dalla sua stessa connessione)");
    const DatabaseFailure kind = KindOf(error, fileErrno);
    if (kind == DatabaseFailure::ReadFailed && PrimaryCode(error) == kSqliteCorrupt)
        description += QStringLiteral(" (lettura dal disco fallita: errno %1)").arg(fileErrno);
    return DatabaseError(description, kind);
}

DatabaseError DatabaseError::StoredRow(const QString &description, const QString &table, const QString &column)
{
    DatabaseError e(description, DatabaseFailure::Configuration);
    e.m_Table = table;
    e.m_Column = column;
    return e;
}

DatabaseError DatabaseError::InConfiguration(std::int32_t id, const QString &name, const QString &fieldCaption) const
{
    DatabaseError e = *this;
    e.m_IDProgramma = id;
    e.m_ConfigurationName = name;
    e.m_FieldCaption = fieldCaption;
    return e;
}
