#pragma once
#include <QString>
#include <stdexcept>

class QSqlError;

// A failure of the configuration database or of a row selection: a file that
// cannot be opened, a table, column or row that is not there, a criterion
// that is not "IDProgramma=" + a decimal id, a statement SQLite refuses.
// Callers catch it, save nothing further and tell the user.
//
// Busy() tells a database that another program holds locked (SQLite still
// answered "busy" after the connection's wait) from every other failure: it
// is no fault of the file, and the same command works once the lock is gone.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &description, bool busy = false)
        : std::runtime_error(description.toStdString()), m_Description(description), m_Busy(busy) {}

    // A failure that SQLite reported: busy when its code says the database
    // (SQLITE_BUSY) or a table (SQLITE_LOCKED) is locked.
    static DatabaseError FromSql(const QString &context, const QSqlError &error);
    static bool IsBusy(const QSqlError &error);

    const QString &Description() const { return m_Description; }
    bool Busy() const { return m_Busy; }

private:
    QString m_Description;
    bool m_Busy = false;
};
