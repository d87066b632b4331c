#pragma once
#include <QString>
#include <cstdint>
#include <stdexcept>

class QSqlError;

// What kind of failure of the configuration database it is: what the user
// is told (one text for each kind) and what the program may do about it.
enum class DatabaseFailure {
    // Another program holds the database locked (SQLite still answered
    // "busy" after the connection's wait): no fault of the file, and the
    // same command works once the lock is gone.
    Busy,
    // No room for the rows (the disk, or SQLite's page limit, is full).
    DiskFull,
    // The file or its folder cannot be written.
    ReadOnly,
    // The configuration asked for is no longer stored (another program
    // deleted it).
    NotInArchive,
    // The file is damaged, or is not a configuration database of this
    // program (a table, column, procedure or view it lacks), or what stands
    // under its name is not a file.
    Damaged,
    // The same, found by a new opening after the program had opened a good
    // file (a copy put back before it was complete, a folder in its place):
    // the user can put a good copy back while the program runs.
    DamagedAtReopening,
    // The file, or a folder on its path, may not be read by the user the
    // program runs as.
    NoAccess,
    // The disk (a removable drive, a network share) did not give the file's
    // data: no fault of the file that is known.
    ReadFailed,
    // The disk did not take the data written to the file.
    WriteFailed,
    // The file is no longer where the program opened it (moved, renamed or
    // deleted while the program runs): the connection gives it for any file
    // missing at an opening.
    Moved,
    // The file was not there when the program first opened the database
    // (taken away before the start, or not made from its template): the
    // main window tells it apart from Moved.
    Missing,
    // The file does not exist and its folder cannot be written, so the
    // program cannot make its database there: a read-only failure of the
    // start, where no command can be tried again.
    CannotCreate,
    // The stored rows of one configuration do not make a configuration (a
    // value its field cannot hold, a row missing from one of its tables);
    // the rest of the archive is usable. ConfigurationName() and
    // FieldCaption() say which, once the model has placed it.
    Configuration,
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

    // A failure that SQLite reported, of the kind its result code names;
    // fileErrno as for KindOf.
    static DatabaseError FromSql(const QString &context, const QSqlError &error, int fileErrno = 0);
    // The kind of SQLite's result code (primary or extended): busy (5), full
    // (13), read-only (8, also a folder that cannot take the journal) but
    // for a file moved away while open (1032), the I/O errors (10: a write,
    // a sync or a truncation that failed, else a read), corrupt (11) and not
    // a database (26). Anything else is Other, "locked" (6) too: that is a
    // conflict inside the program's own connection, not another program.
    //
    // SQLite tells a read that the disk did not give (EIO, ENXIO, ERANGE)
    // as corrupt (11), as it tells a damaged page: fileErrno, the error
    // number SQLite keeps of the database file's last failed system call
    // (0 when none), tells the two apart. SQLite keeps that number for the
    // life of the connection, so once a read failed on it, a page damaged
    // after that is told as a failed read as well.
    static DatabaseFailure KindOf(const QSqlError &error, int fileErrno = 0);
    static bool IsBusy(const QSqlError &error) { return KindOf(error) == DatabaseFailure::Busy; }
    // SQLite's primary result code (the low byte), -1 when there is none.
    static int PrimaryCode(const QSqlError &error);

    // A value or a row of one configuration's table that is not usable
    // (Configuration): the table, and the column when one is to blame.
    static DatabaseError StoredRow(const QString &description, const QString &table, const QString &column = QString());
    // The same error, placed in the configuration of that id and name (as
    // the main window's list shows it), its field named by the caption the
    // user knows (empty when there is none).
    DatabaseError InConfiguration(std::int32_t id, const QString &name, const QString &fieldCaption) const;

    const QString &Description() const { return m_Description; }
    DatabaseFailure Kind() const { return m_Kind; }
    bool Busy() const { return m_Kind == DatabaseFailure::Busy; }
    // A failure the user can clear while the program runs: the other
    // program lets go, space is freed, writing is allowed, the file is put
    // back, the disk answers again. The database is then opened again by
    // the next command, and a save the user stopped (the configuration
    // wizard's End) is offered again; any other kind stays until the file
    // is replaced or the program started again.
    bool MayPass() const
    {
        switch (m_Kind) {
        case DatabaseFailure::Busy:
        case DatabaseFailure::DiskFull:
        case DatabaseFailure::ReadOnly:
        case DatabaseFailure::Moved:
        case DatabaseFailure::Missing:
        case DatabaseFailure::ReadFailed:
        case DatabaseFailure::WriteFailed:
        case DatabaseFailure::DamagedAtReopening:
        case DatabaseFailure::NoAccess: return true;
        default: return false;
        }
    }

    // Of a Configuration failure: the table and column (member name), and
    // once placed, the configuration's id (-1 before) and name and the
    // field's caption.
    const QString &Table() const { return m_Table; }
    const QString &Column() const { return m_Column; }
    std::int32_t IDProgramma() const { return m_IDProgramma; }
    const QString &ConfigurationName() const { return m_ConfigurationName; }
    const QString &FieldCaption() const { return m_FieldCaption; }

private:
    QString m_Description;
    DatabaseFailure m_Kind = DatabaseFailure::Other;
    QString m_Table;
    QString m_Column;
    std::int32_t m_IDProgramma = -1;
    QString m_ConfigurationName;
    QString m_FieldCaption;
};
