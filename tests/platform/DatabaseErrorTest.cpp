// The kind of a database failure from SQLite's result code, as the SQLite
// driver hands it over: a primary code, or an extended one (a folder that
// cannot take the journal is 1544, a busy snapshot 517). And the kind the
// opening of a file tells, a disk that does not give the data against a
// file really damaged, and the new opening that a write refused read-only
// asks for.
#include "ADOConnection.h"
#include "ADORecordset.h"
#include "DatabaseError.h"
#include "DiskReadFailure.h"
#include "UnprivilegedFileAccess.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <optional>
#include <gtest/gtest.h>

namespace {

TEST(DatabaseError, KindFollowsSQLitesPrimaryResultCode)
{
    struct Case {
        const char *code;
        DatabaseFailure kind;
    };
    const Case cases[] = {
        {"5", DatabaseFailure::Busy},
        {"517", DatabaseFailure::Busy},
        {"13", DatabaseFailure::DiskFull},
        {"8", DatabaseFailure::ReadOnly},
        {"1544", DatabaseFailure::ReadOnly},
        // SQLITE_READONLY_DBMOVED: the file went away while open.
        {"1032", DatabaseFailure::Moved},
        {"11", DatabaseFailure::Damaged},
        {"26", DatabaseFailure::Damaged},
        // The I/O errors: reads (and whatever is not a write) and writes.
        // (A read the disk does not give comes as corrupt: see
        // AReadTheDiskDoesNotGiveIsNoDamagedFile.)
        {"10", DatabaseFailure::ReadFailed},
        {"266", DatabaseFailure::ReadFailed},
        {"522", DatabaseFailure::ReadFailed},
        {"3850", DatabaseFailure::ReadFailed},
        {"778", DatabaseFailure::WriteFailed},
        {"1034", DatabaseFailure::WriteFailed},
        {"1290", DatabaseFailure::WriteFailed},
        {"1546", DatabaseFailure::WriteFailed},
        // "Locked" is the program's own connection, not another program.
        {"6", DatabaseFailure::Other},
        {"262", DatabaseFailure::Other},
        {"1", DatabaseFailure::Other},
        {"14", DatabaseFailure::Other},
        {"", DatabaseFailure::Other},
        {"x", DatabaseFailure::Other},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        const QSqlError error(QStringLiteral("driver text"), QStringLiteral("database text"), QSqlError::StatementError,
                              QString::fromLatin1(c.code));
        const DatabaseError e = DatabaseError::FromSql(QStringLiteral("CModInstr"), error);
        EXPECT_EQ(e.Kind(), c.kind);
        EXPECT_EQ(e.Busy(), c.kind == DatabaseFailure::Busy);
        // The description keeps what SQLite said, for the trace.
        EXPECT_TRUE(e.Description().startsWith(QLatin1String("CModInstr: "))) << e.Description().toStdString();
        EXPECT_TRUE(e.Description().contains(QLatin1String("database text"))) << e.Description().toStdString();
        // A lock of the program's own connection is traced as its fault.
        EXPECT_EQ(e.Description().contains(QLatin1String("errore del programma")),
                  (QString::fromLatin1(c.code).toInt() & 0xFF) == 6)
            << e.Description().toStdString();
    }
}

class DatabaseOpening : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        // An ordinary user may reach the folder (tests may run as root).
        ASSERT_TRUE(QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                            QFileDevice::WriteOther | QFileDevice::ExeOther));
    }
    void TearDown() override
    {
        m_Connection.Close();
        QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString File() const { return m_Dir.filePath(QStringLiteral("IvrOxaProgram.cfg")); }

    // A small database: a table, and a view over it as the list's view is.
    void MakeDatabase() const
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
            db.setDatabaseName(File());
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE CModInstr (IDProgramma INTEGER, m_NomeProgramma TEXT)")));
            ASSERT_TRUE(q.exec(QStringLiteral("CREATE VIEW Programmi AS SELECT m_NomeProgramma, IDProgramma FROM "
                                              "CModInstr")));
            ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO CModInstr VALUES (3, 'Forno 1')")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    }

    // The first page of the table is overwritten on the file with bytes no
    // page holds, as a disk that kept wrong data leaves it.
    void SpoilPageOf(const QString &table) const
    {
        int page = 0;
        int pageSize = 0;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spoiler"));
            db.setDatabaseName(File());
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA page_size")) && q.next());
            pageSize = q.value(0).toInt();
            ASSERT_TRUE(q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(table)) &&
                        q.next());
            page = q.value(0).toInt();
            q = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("spoiler"));
        ASSERT_GT(page, 1);
        QFile f(File());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(qint64(page - 1) * pageSize));
        ASSERT_EQ(f.write(QByteArray(pageSize, '\xEE')), pageSize);
    }

    void Exec(const QString &sql) const
    {
        QSqlQuery q(QSqlDatabase::database(m_Connection.QtConnectionName(), false));
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }

    // The kind the opening (and, when it opens, the list's view) tells.
    DatabaseFailure OpeningFailure()
    {
        try {
            m_Connection.OpenFile(File());
            ADORecordset list;
            list.Open(QStringLiteral("Programmi"), m_Connection);
        } catch (const DatabaseError &e) {
            return e.Kind();
        }
        return DatabaseFailure::Other;
    }

    QTemporaryDir m_Dir;
    ADOConnection m_Connection;
};

// What stands under the database's name, or what is not there: the kind of
// each is its own, and only a file that is no database is damaged.
TEST_F(DatabaseOpening, TellsWhatStandsUnderTheNameOfTheDatabase)
{
    struct Case {
        const char *what;
        std::function<void(const QString &file)> arrange;
        bool unprivileged;
        DatabaseFailure kind;
    };
    const QFile::Permissions readOnlyFolder =
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    // A good database with one statement run on it.
    const auto changedBy = [this](const char *statement) {
        return [this, statement](const QString &) {
            MakeDatabase();
            m_Connection.OpenFile(File());
            Exec(QString::fromLatin1(statement));
            m_Connection.Close();
        };
    };
    const Case cases[] = {
        {"no file", [](const QString &) {}, false, DatabaseFailure::Moved},
        {"no file, its folder read-only",
         [&](const QString &) { ASSERT_TRUE(QFile::setPermissions(m_Dir.path(), readOnlyFolder)); }, true,
         DatabaseFailure::CannotCreate},
        {"a folder", [](const QString &file) { ASSERT_TRUE(QDir().mkdir(file)); }, false, DatabaseFailure::Damaged},
        {"not a database",
         [](const QString &file) {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, 'x'));
         },
         false, DatabaseFailure::Damaged},
        {"the list's table dropped", changedBy("DROP TABLE CModInstr"), false, DatabaseFailure::Damaged},
        {"the list's view dropped", changedBy("DROP VIEW Programmi"), false, DatabaseFailure::Damaged},
        {"a file the user may not read",
         [this](const QString &file) {
             MakeDatabase();
             ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::Permissions()));
         },
         true, DatabaseFailure::NoAccess},
        {"a folder the user may not search",
         [this](const QString &) {
             MakeDatabase();
             // Searched by no one (root too, as the ordinary user it acts as).
             ASSERT_TRUE(QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                 QFileDevice::ReadOther));
         },
         true, DatabaseFailure::NoAccess},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange(File());
        {
            std::optional<UnprivilegedFileAccess> asUser;
            if (c.unprivileged)
                asUser.emplace();
            EXPECT_EQ(OpeningFailure(), c.kind);
        }
        m_Connection.Close();
        QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther |
                                                QFileDevice::ExeOther);
        QDir().rmdir(File());
        QFile::remove(File());
    }
}

// A disk that does not give the data (EIO), whether at the opening or at a
// read after it, is told as such; SQLite reports it as a damaged page, and
// a page really damaged is still told as damaged, found at the opening or
// after it.
TEST_F(DatabaseOpening, AReadTheDiskDoesNotGiveIsNoDamagedFile)
{
    enum class When { AtTheOpening, AfterTheOpening };
    struct Case {
        const char *what;
        When when;
        bool diskFails; // else the list table's page is spoilt on the file
        std::function<void(ADOConnection &)> read;
        DatabaseFailure kind;
    };
    const auto list = [](ADOConnection &connection) {
        ADORecordset rs;
        rs.Open(QStringLiteral("Programmi"), connection);
    };
    const auto load = [](ADOConnection &connection) {
        ADORecordset rs;
        rs.Open(QStringLiteral("CModInstr"), connection, QStringLiteral("IDProgramma=3"));
    };
    const auto write = [](ADOConnection &connection) {
        ADOTransaction save(connection);
        ADORecordset rs;
        rs.OpenForAdding(QStringLiteral("CModInstr"), connection);
    };
    const Case cases[] = {
        {"the disk fails, at the opening", When::AtTheOpening, true, list, DatabaseFailure::ReadFailed},
        {"the disk fails, at the list", When::AfterTheOpening, true, list, DatabaseFailure::ReadFailed},
        {"the disk fails, at a load", When::AfterTheOpening, true, load, DatabaseFailure::ReadFailed},
        {"the disk fails, at a save", When::AfterTheOpening, true, write, DatabaseFailure::ReadFailed},
        {"a page damaged, found at the opening", When::AtTheOpening, false, list, DatabaseFailure::Damaged},
        {"a page damaged, found at the list", When::AfterTheOpening, false, list, DatabaseFailure::Damaged},
        {"a page damaged, found at a load", When::AfterTheOpening, false, load, DatabaseFailure::Damaged},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MakeDatabase();
        std::optional<DiskReadFailure> disk;
        const auto fault = [&] {
            if (c.diskFails)
                disk.emplace(File());
            else
                SpoilPageOf(QStringLiteral("CModInstr"));
        };
        if (c.when == When::AtTheOpening)
            fault();
        std::optional<DatabaseFailure> told;
        try {
            m_Connection.OpenFile(File());
            if (c.when == When::AfterTheOpening)
                fault();
            c.read(m_Connection);
        } catch (const DatabaseError &e) {
            told = e.Kind();
            SCOPED_TRACE(e.Description().toStdString());
            EXPECT_EQ(e.Kind(), c.kind);
        }
        EXPECT_TRUE(told.has_value()) << "no failure told";
        if (disk) {
            EXPECT_GT(disk->FailedReads(), 0);
            // Once the disk answers again, the same connection reads.
            disk->Heal();
            if (m_Connection.IsOpen()) {
                EXPECT_NO_THROW(c.read(m_Connection));
            }
        }
        disk.reset();
        m_Connection.Close();
        ASSERT_TRUE(QFile::remove(File()));
    }
}

// SQLite keeps the error number of a failed read or write for the life of
// the connection: after one, the connection asks for a new opening, on which
// a page damaged later is told as damaged again, not as a failing disk.
TEST_F(DatabaseOpening, AfterAFailedReadOrWriteANewOpeningTellsADamagedPageAsDamaged)
{
    MakeDatabase();
    const auto load = [this] {
        ADORecordset rs;
        rs.Open(QStringLiteral("CModInstr"), m_Connection, QStringLiteral("IDProgramma=3"));
    };
    const auto save = [this] {
        m_Connection.ExecuteProcedure(QStringLiteral("Rinomina"), {QStringLiteral("Forno 2")});
    };
    struct Case {
        const char *what;
        bool write;
        DatabaseFailure told;
    };
    const Case cases[] = {
        {"a read the disk did not give", false, DatabaseFailure::ReadFailed},
        {"a write the disk did not take", true, DatabaseFailure::WriteFailed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_Connection.OpenFile(File());
        if (c.write) {
            Exec(QStringLiteral("CREATE VIEW IF NOT EXISTS Rinomina AS SELECT m_NomeProgramma FROM CModInstr"));
            Exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS RinominaDo INSTEAD OF INSERT ON Rinomina BEGIN "
                                "UPDATE CModInstr SET m_NomeProgramma = NEW.m_NomeProgramma; END"));
        }
        {
            std::optional<DiskReadFailure> reads;
            std::optional<DiskWriteFailure> writes;
            if (c.write)
                writes.emplace(File());
            else
                reads.emplace(File());
            try {
                c.write ? save() : load();
                ADD_FAILURE() << "the disk did not fail";
            } catch (const DatabaseError &e) {
                EXPECT_EQ(e.Kind(), c.told) << e.Description().toStdString();
            }
        }
        EXPECT_TRUE(m_Connection.NeedsNewOpening());
        EXPECT_FALSE(m_Connection.WriteRefused());

        m_Connection.OpenFile(File());
        EXPECT_FALSE(m_Connection.NeedsNewOpening());
        SpoilPageOf(QStringLiteral("CModInstr"));
        try {
            load();
            ADD_FAILURE() << "the damaged page was read";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Kind(), DatabaseFailure::Damaged) << e.Description().toStdString();
        }
        m_Connection.Close();
        ASSERT_TRUE(QFile::remove(File()));
        MakeDatabase();
    }
}

// The file at the path the connection was opened at is looked at again: a
// file moved away, or another file put in its place, asks for a new opening
// (SQLite would go on with the file it holds open).
TEST_F(DatabaseOpening, AFileNoLongerAtItsPathAsksForANewOpening)
{
    MakeDatabase();
    m_Connection.OpenFile(File());
    EXPECT_FALSE(m_Connection.NeedsNewOpening());
    const QString away = File() + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(File(), away));
    EXPECT_TRUE(m_Connection.FileMoved());
    EXPECT_TRUE(m_Connection.NeedsNewOpening());
    ASSERT_TRUE(QFile::rename(away, File()));
    EXPECT_FALSE(m_Connection.NeedsNewOpening());

    // A copy put in its place is another file.
    const QString copy = File() + QStringLiteral(".copy");
    ASSERT_TRUE(QFile::copy(File(), copy));
    ASSERT_EQ(std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(File()).constData()), 0);
    EXPECT_TRUE(m_Connection.NeedsNewOpening());
    m_Connection.OpenFile(File());
    EXPECT_FALSE(m_Connection.NeedsNewOpening());
}

// The rows of a table are read page by page while the cursor walks them: a
// read failing half-way through is a failure, never a table shorter than
// the one stored.
TEST_F(DatabaseOpening, AReadFailingHalfWayThroughTheRowsIsNoEndOfTheRows)
{
    MakeDatabase();
    m_Connection.OpenFile(File());
    Exec(QStringLiteral("WITH RECURSIVE k(n) AS (SELECT 10 UNION ALL SELECT n + 1 FROM k WHERE n < 2009) INSERT INTO "
                        "CModInstr SELECT n, printf('%.200c', 'x') FROM k"));
    const int stored = 2001;
    int failedHalfWay = 0;
    for (int reads = 0; reads < 40; ++reads) {
        SCOPED_TRACE(reads);
        // A new opening reads every page of the table from the disk.
        m_Connection.OpenFile(File());
        DiskReadFailure disk(File(), reads);
        ADORecordset rs;
        try {
            rs.Open(QStringLiteral("CModInstr"), m_Connection);
            EXPECT_EQ(rs.RecordCount(), stored);
            EXPECT_EQ(disk.FailedReads(), 0);
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Kind(), DatabaseFailure::ReadFailed) << e.Description().toStdString();
            EXPECT_FALSE(rs.IsOpen());
            failedHalfWay += reads > 2 ? 1 : 0;
        }
    }
    // The failures did fall among the table's pages, not only at its start.
    EXPECT_GT(failedHalfWay, 10);
}

// SQLite opens a file it may not write read-only, and stays so when the file
// becomes writable: the connection notes the refused write, and a new
// opening writes. A read-only folder is told apart by its own code.
TEST_F(DatabaseOpening, AWriteRefusedReadOnlyAsksForANewOpeningThatThenWrites)
{
    MakeDatabase();
    ASSERT_TRUE(QFile::setPermissions(File(), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const QString insert = QStringLiteral("INSERT INTO CModInstr VALUES (4, 'Forno 2')");
    {
        UnprivilegedFileAccess asUser;
        m_Connection.OpenFile(File());
        EXPECT_FALSE(m_Connection.WriteRefused());
        ADORecordset list;
        list.Open(QStringLiteral("CModInstr"), m_Connection);
        list.AddNew();
        list.SetValue(QStringLiteral("IDProgramma"), 4);
        try {
            list.Update();
            ADD_FAILURE() << "the row was written";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Kind(), DatabaseFailure::ReadOnly) << e.Description().toStdString();
        }
        EXPECT_TRUE(m_Connection.WriteRefused());
    }
    ASSERT_TRUE(QFile::setPermissions(File(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther | QFileDevice::WriteOther));
    {
        UnprivilegedFileAccess asUser;
        // The same connection is still read-only...
        QSqlQuery q(QSqlDatabase::database(m_Connection.QtConnectionName(), false));
        EXPECT_FALSE(q.exec(insert));
        // ...a new opening is not.
        m_Connection.OpenFile(File());
        EXPECT_FALSE(m_Connection.WriteRefused());
        ADORecordset list;
        list.Open(QStringLiteral("CModInstr"), m_Connection);
        list.AddNew();
        list.SetValue(QStringLiteral("IDProgramma"), 4);
        EXPECT_NO_THROW(list.Update());
        m_Connection.Close();
    }
}

} // namespace
