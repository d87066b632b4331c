// The kind of a database failure from SQLite's result code, as the SQLite
// driver hands it over: a primary code, or an extended one (a folder that
// cannot take the journal is 1544, a busy snapshot 517, a failed read 266).
// And the kind the opening of a file tells, and the new opening that a write
// refused read-only asks for.
#include "ADOConnection.h"
#include "ADORecordset.h"
#include "DatabaseError.h"
#include "UnprivilegedFileAccess.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
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
