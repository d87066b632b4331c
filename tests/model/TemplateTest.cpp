#include "ModelDatabase.h"

#include "CModInstr.h"
#include "DatabaseError.h"
#include "ParameterClassRegistry.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QStringList tableColumns(const QString &connectionName, const QString &table)
{
    QSqlQuery q(QSqlDatabase::database(connectionName, false));
    QStringList names;
    if (q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
        while (q.next())
            names << q.value(1).toString();
    }
    return names;
}

// The tables of the 18 objects of a configuration. Each class registers
// itself from its own source file; a registration the linker dropped would
// leave the class without a table.
const QStringList kConfigurationTables{
    QStringLiteral("CAlarm1"),      QStringLiteral("CAlarm2"),         QStringLiteral("CAlarm3"),
    QStringLiteral("CAlarm4"),      QStringLiteral("CAnalogOut"),      QStringLiteral("CCounterAB"),
    QStringLiteral("CDisplay"),     QStringLiteral("CFiltroDigitale"), QStringLiteral("CInOutScale"),
    QStringLiteral("CInOutScaleB"), QStringLiteral("CLinearize"),      QStringLiteral("CLinearizeB"),
    QStringLiteral("CModInstr"),    QStringLiteral("CRangeGKP"),       QStringLiteral("CRangeMVAHVA"),
    QStringLiteral("CRangeMVZ"),    QStringLiteral("CRangeWP12"),      QStringLiteral("CSerialComm"),
};

// Every registered table holds "IDProgramma" then the class's own columns,
// in its order, and the instrument's row 2.
void expectTablesOfTheClasses(ADOConnection &db)
{
    EXPECT_EQ(ParameterClassRegistry::TableNames(), kConfigurationTables);
    for (const QString &table : kConfigurationTables)
        EXPECT_TRUE(db.IsTable(table)) << table.toStdString();
    for (const QString &table : ParameterClassRegistry::TableNames()) {
        SCOPED_TRACE(table.toStdString());
        auto obj = ParameterClassRegistry::CreateForTable(table);
        QStringList expected{QStringLiteral("IDProgramma")};
        expected << obj->ColumnNames();
        EXPECT_EQ(tableColumns(db.QtConnectionName(), table), expected);

        ADORecordset rs;
        rs.Open(table, db);
        rs.Find(QStringLiteral("IDProgramma=2"));
        EXPECT_FALSE(rs.Eof());
    }
}

std::int32_t drawId()
{
    ADORecordset counter;
    counter.Open(QStringLiteral("CounterProgrammi"), g_Connection);
    counter.AddNew();
    counter.Update();
    return counter.Value(QStringLiteral("IDProgramma")).toInt();
}

} // namespace

using Template = ModelDatabase;

TEST_F(Template, HoldsEveryTableWithItsColumnsAndTheInstrumentRow)
{
    ASSERT_TRUE(ParameterClassRegistry::IsKnownTable(QStringLiteral("CModInstr")));
    expectTablesOfTheClasses(g_Connection);

    CModInstr instrument;
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(instrument.NomeProgramma(), QStringLiteral("Actual instrument setting"));
    EXPECT_EQ(instrument.ModelloStrumento(), 1);
    EXPECT_EQ(instrument.CodificaModuli(), 0x8000);
}

TEST_F(Template, CounterProgrammiAndProgrammiAndCancProgramma)
{
    // Ids are drawn after 2 and never drawn twice, even after a deletion.
    const std::int32_t first = drawId();
    const std::int32_t second = drawId();
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);

    CModInstr config;
    config.SetNomeProgramma(QStringLiteral("Press 4"));
    config.SaveDataInADORS(NewRowCriterion(second));

    ADORecordset programmi;
    programmi.Open(QStringLiteral("Programmi"), g_Connection);
    EXPECT_TRUE(programmi.IsReadOnly());
    ASSERT_EQ(programmi.RecordCount(), 1);
    EXPECT_EQ(programmi.FieldName(0), QStringLiteral("m_NomeProgramma"));
    EXPECT_EQ(programmi.FieldName(1), QStringLiteral("IDProgramma"));
    EXPECT_EQ(programmi.Value(QStringLiteral("m_NomeProgramma")).toString(), QStringLiteral("Press 4"));
    EXPECT_EQ(programmi.Value(QStringLiteral("IDProgramma")).toInt(), second);

    g_Connection.ExecuteProcedure(QStringLiteral("Canc_Programma"), {QVariant(second)});
    g_Connection.ExecuteProcedure(QStringLiteral("Canc_Programma"), {QVariant(2)});
    programmi.Requery();
    EXPECT_TRUE(programmi.Eof());
    EXPECT_TRUE(Column(QStringLiteral("CounterProgrammi"), second, QStringLiteral("IDProgramma")).isNull());
    EXPECT_FALSE(Column(QStringLiteral("CModInstr"), 2, QStringLiteral("IDProgramma")).isNull());
    EXPECT_FALSE(Column(QStringLiteral("CounterProgrammi"), 2, QStringLiteral("IDProgramma")).isNull());
    EXPECT_EQ(drawId(), 5);

    EXPECT_THROW(g_Connection.ExecuteProcedure(QStringLiteral("Programmi"), {QVariant(3)}), DatabaseError);
    EXPECT_THROW(g_Connection.ExecuteProcedure(QStringLiteral("CModInstr"), {QVariant(3)}), DatabaseError);
}

// The template the build installs beside the executables is the same schema.
TEST(BuiltTemplate, MatchesTheClasses)
{
    const QString built = QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kTemplateFileName));
    if (!QFile::exists(built))
        GTEST_SKIP() << "template not built in this tree";
    testenv::ScopedProgramFolder folder;
    const QString copy = folder.File(QStringLiteral("copy.cfg"));
    ASSERT_TRUE(QFile::copy(built, copy));
    ADOConnection db;
    db.OpenFile(copy);
    expectTablesOfTheClasses(db);
    EXPECT_TRUE(db.HasTable(QStringLiteral("Programmi")));
    EXPECT_TRUE(db.HasTable(QStringLiteral("CounterProgrammi")));
    EXPECT_TRUE(db.HasTable(QStringLiteral("Canc_Programma")));
}

TEST(Connection, OpenRefusesWhatIsNotADatabase)
{
    testenv::ScopedProgramFolder folder;
    ADOConnection db;
    EXPECT_THROW(db.Open(QStringLiteral("Provider=x;Data Source=") + folder.File(QStringLiteral("none.cfg")) + ';'),
                 DatabaseError);
    EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("none.cfg"))));
    EXPECT_THROW(db.Open(QStringLiteral("Provider=x;")), DatabaseError);
    QFile junk(folder.File(QStringLiteral("junk.cfg")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_THROW(db.OpenFile(junk.fileName()), DatabaseError);
    EXPECT_FALSE(db.IsOpen());
}
