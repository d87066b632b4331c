#pragma once
#include "ADOConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <gtest/gtest.h>

// Another program on the configuration database: a second connection that
// holds the whole database (an exclusive transaction) between Lock and
// Unlock, or only its writing (LockWrites). While it exists the program's busy wait is short (g_Connection,
// when open, is opened again to take it), so a command that meets the lock
// fails at once.
class OtherProgram {
public:
    explicit OtherProgram(const QString &databaseFile)
    {
        ADOConnection::SetBusyTimeout(20);
        if (g_Connection.IsOpen()) {
            const QString file = g_Connection.DataSource();
            g_Connection.OpenFile(file);
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(databaseFile);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~OtherProgram()
    {
        Unlock();
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
        ADOConnection::SetBusyTimeout(m_OldTimeout);
    }
    OtherProgram(const OtherProgram &) = delete;
    OtherProgram &operator=(const OtherProgram &) = delete;

    void Lock()
    {
        if (!m_Locked)
            m_Locked = Exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    // Holds the database for writing only: others still read it.
    void LockWrites()
    {
        if (!m_Locked)
            m_Locked = Exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    void Unlock()
    {
        if (m_Locked)
            m_Locked = !Exec(QStringLiteral("ROLLBACK"));
    }

private:
    bool Exec(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(kName, false));
        const bool done = q.exec(statement);
        EXPECT_TRUE(done) << statement.toStdString() << ": " << q.lastError().text().toStdString();
        return done;
    }

    inline static const QString kName = QStringLiteral("other-program-lock");
    int m_OldTimeout = ADOConnection::BusyTimeout();
    bool m_Locked = false;
};
