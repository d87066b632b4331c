#include "DatabaseError.h"

#include <QSqlError>

DatabaseFailure DatabaseError::KindOf(const QSqlError &error)
{
    // The SQLite driver gives SQLite's result code as the native code, at
    // times an extended one: its low byte is the primary code.
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        return DatabaseFailure::Other;
    switch (code & 0xFF) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return DatabaseFailure::Busy;
    case 13: // SQLITE_FULL
        return DatabaseFailure::DiskFull;
    case 8: // SQLITE_READONLY (the file, or a folder that cannot take the journal)
        return DatabaseFailure::ReadOnly;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return DatabaseFailure::Damaged;
    default: return DatabaseFailure::Other;
    }
}

DatabaseError DatabaseError::FromSql(const QString &context, const QSqlError &error)
{
    return DatabaseError(context + QStringLiteral(": ") + error.text(), KindOf(error));
}
