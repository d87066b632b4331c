#pragma once
#include <QString>
#include <stdexcept>

class QSqlError;

// What kind of failure of the configuration database it is: what the user
// is told (one text for each kind) and what the program may do about it.
enum class DatabaseFailure {
    // Another program holds the database locked (SQLite still answered
    // "busy" or "locked" after the connection's wait): no fault of the file,
    // and the same command works once the lock is gone.
    Busy,
    // No room for the rows (the disk, or SQLite's page limit, is full).
    DiskFull,
    // The file or its folder cannot be written.
    ReadOnly,
    // The configuration asked for is no longer stored (another program
    // deleted it).
    NotInArchive,
    // The file is damaged, or is not a configuration database of this
    // program (a table, column, procedure or value it lacks).
    Damaged,
    // Anything else: a criterion or a state the program should never have
    // produced, an error SQLite gives no more precise code for.
    Other,
};

// A failure of the configuration database or of a row selection: a file that
// cannot be opened, a table, column or row that is not there, a criterion
// that is not "IDProgramma=" + a decimal id, a statement SQLite refuses.
// Callers catch it, save nothing further and tell the user the text of its
// Kind() (DatabaseErrorText); the description goes to the trace.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString &description, DatabaseFailure kind = DatabaseFailure::Other)
        : std::runtime_error(description.toStdString()), m_Description(description), m_Kind(kind)
    {
    }

    // A failure that SQLite reported, of the kind its result code names.
    static DatabaseError FromSql(const QString &context, const QSqlError &error);
    // The kind of SQLite's result code (primary or extended): busy (5) and
    // locked (6), full (13), read-only (8, also a folder that cannot take
    // the journal), corrupt (11) and not a database (26); anything else is
    // Other.
    static DatabaseFailure KindOf(const QSqlError &error);
    static bool IsBusy(const QSqlError &error) { return KindOf(error) == DatabaseFailure::Busy; }

    const QString &Description() const { return m_Description; }
    DatabaseFailure Kind() const { return m_Kind; }
    bool Busy() const { return m_Kind == DatabaseFailure::Busy; }

private:
    QString m_Description;
    DatabaseFailure m_Kind = DatabaseFailure::Other;
};
