#pragma once
#include "DatabaseError.h"

#include <QString>
#include <QVariantList>
#include <cstdint>

// The connection to the configuration database, an SQLite file opened through
// QtSql. It is opened from the classic connection text; only its
// "Data Source=" entry counts (the file, whose folder separator may be
// written "\" or "/"). A missing file is an error: opening never creates a
// database.
//
// Each object owns a QtSql connection under a name of its own, so several
// connections (the program's and those of tests) can live side by side.
class ADOConnection {
public:
    ADOConnection();
    ~ADOConnection();
    ADOConnection(const ADOConnection &) = delete;
    ADOConnection &operator=(const ADOConnection &) = delete;

    // How long a statement waits for a lock another program holds before it
    // fails as busy (milliseconds). Taken at the next open; tests shorten it.
    static constexpr int kDefaultBusyTimeout = 2000;
    static void SetBusyTimeout(int milliseconds);
    static int BusyTimeout();

    // Opens the database named by the "Data Source=" entry of the text
    // (entries separated by ";", keys without regard to case). Throws
    // DatabaseError when the text names no file, the file does not exist
    // (Moved, or CannotCreate when its folder cannot be written), may not be
    // read (NoAccess), is not a file or not a database (Damaged), or its schema cannot be read (of
    // the kind SQLite's code names: a failing disk is ReadFailed); a
    // database that another program keeps locked past the busy wait throws
    // a DatabaseError that is Busy(), and the same call succeeds once the
    // lock is gone. An open connection is closed first.
    void Open(const QString &connectionString);
    // Opens the database file itself.
    void OpenFile(const QString &filePath);
    // Rolls back an unfinished transaction and closes; closing a closed
    // connection does nothing.
    void Close();
    bool IsOpen() const;
    // The database file of the open connection (empty when closed).
    QString DataSource() const { return m_DataSource; }
    // A statement failed read-only, or on a file moved away, since the
    // opening. SQLite opens a file it may not write read-only and stays so:
    // only a new opening writes once the file allows it, or finds it back.
    bool WriteRefused() const { return m_WriteRefused; }
    // The path the connection was opened at no longer holds the file it
    // opened: nothing is there, or another file (a copy put in its place).
    // SQLite would go on reading the file it holds open and refuse every
    // write; one look at the path, with no read of the file.
    bool FileMoved() const;
    // A write was refused so, or a read or a write failed on a disk that did
    // not take or give the data, since the opening (SQLite keeps the error
    // number of that call for the life of the connection and would tell a
    // page damaged later as a failing disk too), or the file is no longer at
    // its path. Either way only a new opening serves the next command as it
    // should.
    bool NeedsNewOpening() const { return m_WriteRefused || m_DiskFailed || FileMoved(); }
    // The DatabaseError of a statement on this connection that SQLite
    // refused (DatabaseError::FromSql, with the error number SQLite keeps
    // of the file, so a read the disk did not give is ReadFailed), noting a
    // refused write.
    DatabaseError Failure(const QString &context, const QSqlError &error) const;

    // Transactions nest: the outermost BeginTrans starts a transaction, inner
    // ones a savepoint, so an object's row save inside a configuration save
    // is part of it. Commit and rollback act on the innermost level. A
    // rollback or commit without a BeginTrans throws DatabaseError.
    //
    // A write transaction takes the database's write lock at once, so a save
    // either gets it (after the busy wait) or changes nothing. A read
    // transaction takes no lock until its first read, and then only the
    // shared one: it reads one consistent state while another connection
    // holds an open write transaction.
    enum class TransactionKind { Write, Read };
    void BeginTrans(TransactionKind kind = TransactionKind::Write);
    void CommitTrans();
    void RollbackTrans();
    int TransactionLevel() const { return m_TransLevel; }

    // Runs a stored procedure of the database. SQLite has none: the template
    // keeps each procedure as a view whose INSTEAD OF INSERT trigger does
    // the work, and its columns are the procedure's parameters in order
    // ("Canc_Programma" has the one column "IDProgramma"). The values are
    // bound, never pasted into the statement.
    void ExecuteProcedure(const QString &name, const QVariantList &parameters);

    // "table" or "view" for a table or view of exactly that name, else
    // empty. The schema that cannot be read (a busy database) throws.
    QString ObjectType(const QString &name) const;
    // True when the database holds a table or a view of exactly that name.
    bool HasTable(const QString &name) const;
    // True when the name is a table (not a view).
    bool IsTable(const QString &name) const;

    // The QtSql connection name (for the recordsets over this connection).
    QString QtConnectionName() const { return m_Name; }

    // Extracts the file of the "Data Source=" entry (empty when none).
    static QString DataSourceOf(const QString &connectionString);
    // True for a plain SQL identifier (letters, digits, "_", not starting
    // with a digit): the only names this layer ever puts into a statement.
    static bool IsPlainIdentifier(const QString &name);
    // The identifier in double quotes.
    static QString Quoted(const QString &identifier);

private:
    void exec(const QString &statement);
    void requireOpen() const;

    QString m_Name;
    QString m_DataSource;
    int m_TransLevel = 0;
    mutable bool m_WriteRefused = false;
    mutable bool m_DiskFailed = false;
    // The file opened (device and inode), to know it again at its path.
    std::uint64_t m_Device = 0;
    std::uint64_t m_Inode = 0;
};

// Rolls back unless committed: one object's row, or a whole configuration,
// is saved all or nothing even when an error leaves the save half-way.
class ADOTransaction {
public:
    explicit ADOTransaction(ADOConnection &connection,
                            ADOConnection::TransactionKind kind = ADOConnection::TransactionKind::Write)
        : m_Connection(connection)
    {
        m_Connection.BeginTrans(kind);
    }
    ~ADOTransaction()
    {
        if (!m_Done) {
            try {
                m_Connection.RollbackTrans();
            } catch (...) {
            }
        }
    }
    ADOTransaction(const ADOTransaction &) = delete;
    ADOTransaction &operator=(const ADOTransaction &) = delete;

    void Commit()
    {
        m_Connection.CommitTrans();
        m_Done = true;
    }
    void Rollback()
    {
        m_Done = true;
        m_Connection.RollbackTrans();
    }

private:
    ADOConnection &m_Connection;
    bool m_Done = false;
};

// The program's connection to the configuration database "IvrOxaProgram.cfg".
// It exists, closed, from the start of the run: the start routine's step
// "Crea oggetto connection." stands for this object's creation; the main
// window's load opens it (Open with the connection text) and nothing closes
// it before the program ends. Every row save and load of a parameter object
// and every database access of the main window goes through it.
extern ADOConnection g_Connection;
