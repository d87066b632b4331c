#include "DatabaseError.h"

#include <QSqlError>

bool DatabaseError::IsBusy(const QSqlError &error)
{
    // The SQLite driver gives the primary result code as the native code:
    // 5 SQLITE_BUSY, 6 SQLITE_LOCKED.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6");
}

DatabaseError DatabaseError::FromSql(const QString &context, const QSqlError &error)
{
    return DatabaseError(context + QStringLiteral(": ") + error.text(), IsBusy(error));
}
