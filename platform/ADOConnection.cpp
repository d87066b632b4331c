#include "ADOConnection.h"

#include "DatabaseError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <fcntl.h>
#include <cerrno>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

ADOConnection g_Connection;

namespace {

std::atomic<int> g_BusyTimeout{ADOConnection::kDefaultBusyTimeout};

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("pelvaro-db-%1").arg(++counter);
}

// True when this process may make a file in the folder: checked with the
// ids its file access runs under (as opening the file would), not the real
// ones.
bool mayCreateIn(const QString &folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The error number SQLite keeps of the last system call on the database
// file that failed (a read the disk did not give is EIO), 0 when none or
// when the connection is not open. QtSql hands over SQLite's result code
// only, which tells such a read as a damaged page.
int fileErrno(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() != nullptr ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return 0;
    sqlite3 *sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    int number = 0;
    if (sqlite == nullptr || sqlite3_file_control(sqlite, "main", SQLITE_FCNTL_LAST_ERRNO, &number) != SQLITE_OK)
        return 0;
    return number;
}

} // namespace

void ADOConnection::SetBusyTimeout(int milliseconds)
{
    g_BusyTimeout = milliseconds < 0 ? 0 : milliseconds;
}

int ADOConnection::BusyTimeout()
{
    return g_BusyTimeout;
}

ADOConnection::ADOConnection() : m_Name(nextConnectionName()) {}

ADOConnection::~ADOConnection()
{
    // The global connection is destroyed after the application object and
    // perhaps after QtSql's own registry: then the process is ending anyway
    // and QtSql must not be touched.
    if (QCoreApplication::instance() != nullptr)
        Close();
}

QString ADOConnection::DataSourceOf(const QString &connectionString)
{
    const QStringList entries = connectionString.split(QLatin1Char(';'));
    for (const QString &entry : entries) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (entry.left(eq).trimmed().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) != 0)
            continue;
        QString file = entry.mid(eq + 1).trimmed();
        file.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return file;
    }
    return QString();
}

bool ADOConnection::IsPlainIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

QString ADOConnection::Quoted(const QString &identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void ADOConnection::Open(const QString &connectionString)
{
    const QString file = DataSourceOf(connectionString);
    if (file.isEmpty())
        throw DatabaseError(QStringLiteral("The connection text names no data source: %1").arg(connectionString));
    OpenFile(file);
}

void ADOConnection::OpenFile(const QString &filePath)
{
    Close();
    const QFileInfo info(filePath);
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) {
        if (errno == EACCES)
            throw DatabaseError(QStringLiteral("The database file %1 cannot be reached: a folder of its path may "
                                               "not be searched")
                                    .arg(filePath),
                                DatabaseFailure::NoAccess);
        // Nothing there: moved away, or never made because its folder takes
        // no new file.
        const bool folderWritable = mayCreateIn(info.absolutePath());
        throw DatabaseError(QStringLiteral("The database file %1 does not exist%2")
                                .arg(filePath, folderWritable ? QString() : QStringLiteral(" (folder read-only)")),
                            folderWritable ? DatabaseFailure::Moved : DatabaseFailure::CannotCreate);
    }
    if (!S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("%1 is not a file").arg(filePath), DatabaseFailure::Damaged);
    // SQLite tells a file it may not open only as one it "cannot open".
    if (::faccessat(AT_FDCWD, path.constData(), R_OK, AT_EACCESS) != 0 && errno == EACCES)
        throw DatabaseError(QStringLiteral("The database file %1 may not be read").arg(filePath),
                            DatabaseFailure::NoAccess);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_Name);
        db.setDatabaseName(info.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeout()));
        if (!db.open()) {
            // Opening reads the file's header: a disk that does not give it
            // fails here already.
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_Name);
            throw DatabaseError(QStringLiteral("The database %1 cannot be opened: %2").arg(filePath, error.text()),
                                DatabaseError::KindOf(error));
        }
        // SQLite opens anything lazily: read the schema now so a file that is
        // not a database fails here, not at the first row.
        // A file another program keeps locked fails here too, as busy: it
        // may well be a good database. A disk that does not give the data
        // fails as what it is: the file itself may well be good.
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const QSqlError error = probe.lastError();
            const DatabaseFailure kind = DatabaseError::KindOf(error, fileErrno(db));
            probe = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_Name);
            if (kind == DatabaseFailure::Busy)
                throw DatabaseError(
                    QStringLiteral("The database %1 is in use by another program: %2").arg(filePath, error.text()),
                    kind);
            throw DatabaseError(QStringLiteral("The schema of %1 cannot be read: %2").arg(filePath, error.text()),
                                kind);
        }
    }
    m_DataSource = info.absoluteFilePath();
    m_Device = st.st_dev;
    m_Inode = st.st_ino;
    m_TransLevel = 0;
    m_WriteRefused = false;
    m_DiskFailed = false;
}

bool ADOConnection::FileMoved() const
{
    if (m_DataSource.isEmpty())
        return false;
    // Any path that does not lead to the same file (gone, another file,
    // a folder that may no longer be searched) needs a new opening, which
    // then tells what it finds.
    struct stat st {};
    if (::stat(QFile::encodeName(m_DataSource).constData(), &st) != 0)
        return true;
    return static_cast<std::uint64_t>(st.st_dev) != m_Device || static_cast<std::uint64_t>(st.st_ino) != m_Inode;
}

void ADOConnection::Close()
{
    if (!QSqlDatabase::contains(m_Name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_Name, false);
        if (m_TransLevel > 0 && db.isOpen()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("ROLLBACK"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_Name);
    m_DataSource.clear();
    m_TransLevel = 0;
    m_WriteRefused = false;
    m_DiskFailed = false;
    m_Device = 0;
    m_Inode = 0;
}

DatabaseError ADOConnection::Failure(const QString &context, const QSqlError &error) const
{
    const int number = QSqlDatabase::contains(m_Name) ? fileErrno(QSqlDatabase::database(m_Name, false)) : 0;
    DatabaseError e = DatabaseError::FromSql(context, error, number);
    if (e.Kind() == DatabaseFailure::ReadOnly || e.Kind() == DatabaseFailure::Moved)
        m_WriteRefused = true;
    if (e.Kind() == DatabaseFailure::ReadFailed || e.Kind() == DatabaseFailure::WriteFailed)
        m_DiskFailed = true;
    return e;
}

bool ADOConnection::IsOpen() const
{
    return QSqlDatabase::contains(m_Name) && QSqlDatabase::database(m_Name, false).isOpen();
}

void ADOConnection::requireOpen() const
{
    if (!IsOpen())
        throw DatabaseError(QStringLiteral("The configuration database is not open"));
}

void ADOConnection::exec(const QString &statement)
{
    requireOpen();
    QSqlQuery q(QSqlDatabase::database(m_Name, false));
    if (!q.exec(statement))
        throw Failure(statement, q.lastError());
}

void ADOConnection::BeginTrans(TransactionKind kind)
{
    if (m_TransLevel == 0)
        exec(kind == TransactionKind::Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN DEFERRED"));
    else
        exec(QStringLiteral("SAVEPOINT pelvaro_%1").arg(m_TransLevel));
    ++m_TransLevel;
}

void ADOConnection::CommitTrans()
{
    if (m_TransLevel <= 0)
        throw DatabaseError(QStringLiteral("Commit without a transaction"));
    if (m_TransLevel == 1)
        exec(QStringLiteral("COMMIT"));
    else
        exec(QStringLiteral("RELEASE pelvaro_%1").arg(m_TransLevel - 1));
    --m_TransLevel;
}

void ADOConnection::RollbackTrans()
{
    if (m_TransLevel <= 0)
        throw DatabaseError(QStringLiteral("Rollback without a transaction"));
    // The level is given up even when the statement fails: SQLite may
    // already have rolled the transaction back by itself.
    const int level = m_TransLevel--;
    if (level == 1) {
        exec(QStringLiteral("ROLLBACK"));
    } else {
        exec(QStringLiteral("ROLLBACK TO pelvaro_%1").arg(level - 1));
        exec(QStringLiteral("RELEASE pelvaro_%1").arg(level - 1));
    }
}

QString ADOConnection::ObjectType(const QString &name) const
{
    if (!IsOpen() || !IsPlainIdentifier(name))
        return QString();
    QSqlQuery q(QSqlDatabase::database(m_Name, false));
    q.prepare(QStringLiteral("SELECT type FROM sqlite_master WHERE type IN ('table','view') AND name = ?"));
    q.addBindValue(name);
    if (!q.exec())
        throw Failure(name, q.lastError());
    return q.next() ? q.value(0).toString() : QString();
}

bool ADOConnection::HasTable(const QString &name) const
{
    return !ObjectType(name).isEmpty();
}

bool ADOConnection::IsTable(const QString &name) const
{
    return ObjectType(name) == QLatin1String("table");
}

void ADOConnection::ExecuteProcedure(const QString &name, const QVariantList &parameters)
{
    requireOpen();
    QSqlDatabase db = QSqlDatabase::database(m_Name, false);
    // A schema that cannot be read (a database another program holds) is
    // told as what it is, not as a procedure the database lacks.
    if (ObjectType(name) != QLatin1String("view"))
        throw DatabaseError(QStringLiteral("The database has no procedure %1").arg(name), DatabaseFailure::Damaged);

    QStringList columns;
    {
        QSqlQuery info(db);
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(name))))
            throw Failure(name, info.lastError());
        while (info.next())
            columns << info.value(1).toString();
    }
    if (columns.size() != parameters.size())
        throw DatabaseError(QStringLiteral("The procedure %1 takes %2 parameters, not %3")
                                .arg(name)
                                .arg(columns.size())
                                .arg(parameters.size()),
                            DatabaseFailure::Damaged);
    QStringList quotedColumns;
    QStringList marks;
    for (const QString &c : columns) {
        if (!IsPlainIdentifier(c))
            throw DatabaseError(QStringLiteral("The procedure %1 has an unusable parameter name").arg(name),
                                DatabaseFailure::Damaged);
        quotedColumns << Quoted(c);
        marks << QStringLiteral("?");
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(Quoted(name), quotedColumns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (const QVariant &p : parameters)
        q.addBindValue(p);
    if (!q.exec())
        throw Failure(name, q.lastError());
}
