#pragma once
#include "ADOConnection.h"
#include "ADORecordset.h"
#include "CTemplateDatabase.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

// The classic connection text the main window opens, for the database file
// of the program folder folder.
inline QString TestConnectionText(const QString &folder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + folder + QLatin1Char('\\') +
           QString::fromLatin1(kProgramDatabaseFileName) + QLatin1Char(';');
}

// A configuration database for one test: the template generated into a
// temporary program folder, copied to "IvrOxaProgram.cfg" and opened on
// g_Connection with the connection text the main window uses.
class ModelDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateTemplateDatabase(m_Folder.File(QString::fromLatin1(kTemplateFileName)));
        ASSERT_TRUE(QFile::copy(m_Folder.File(QString::fromLatin1(kTemplateFileName)), DatabaseFile()));
        g_Connection.Open(TestConnectionText(m_Folder.Path()));
    }
    void TearDown() override { g_Connection.Close(); }

    QString DatabaseFile() const { return m_Folder.File(QString::fromLatin1(kProgramDatabaseFileName)); }

    // One SQL statement on the open database, for arranging odd rows.
    void Exec(const QString &sql, const QVariantList &binds = {})
    {
        QSqlQuery q(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
        ASSERT_TRUE(q.prepare(sql)) << sql.toStdString();
        for (const QVariant &b : binds)
            q.addBindValue(b);
        ASSERT_TRUE(q.exec()) << sql.toStdString();
    }

    // The value of one column of the row with that id (invalid when absent).
    QVariant Column(const QString &table, std::int32_t id, const QString &column)
    {
        ADORecordset rs;
        rs.Open(table, g_Connection);
        rs.Find(QStringLiteral("IDProgramma=%1").arg(id));
        return rs.Eof() ? QVariant() : rs.Value(column);
    }

    std::int32_t RowCount(const QString &table)
    {
        ADORecordset rs;
        rs.Open(table, g_Connection);
        return rs.RecordCount();
    }

    testenv::ScopedProgramFolder m_Folder;
};
