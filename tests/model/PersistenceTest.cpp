#include "ModelDatabase.h"
#include "TraceCapture.h"

#include "CCollDatiSetup.h"
#include "CICopyClassBase.h"
#include "CModInstr.h"
#include "DatabaseError.h"
#include "FieldLabels.h"
#include "MErrors.h"
#include "ParameterClassRegistry.h"
#include "SettingsStore.h"

#include <QSqlError>

namespace {

void setConfig(CModInstr &m, const QString &name, std::int16_t model, std::int16_t a, std::int16_t b, std::int16_t c,
               std::int16_t d)
{
    m.SetNomeProgramma(name);
    m.SetModelloStrumento(model);
    m.SetSlotA(a);
    m.SetSlotB(b);
    m.SetSlotC(c);
    m.SetSlotD(d);
}

void expectConfig(const CModInstr &m, const QString &name, std::int16_t model, std::int16_t a, std::int16_t b,
                  std::int16_t c, std::int16_t d)
{
    EXPECT_EQ(m.NomeProgramma(), name);
    EXPECT_EQ(m.ModelloStrumento(), model);
    EXPECT_EQ(m.SlotA(), a);
    EXPECT_EQ(m.SlotB(), b);
    EXPECT_EQ(m.SlotC(), c);
    EXPECT_EQ(m.SlotD(), d);
}

// A class of another C++ type whose name contains "CModInstr".
class CModInstrLookalike : public CParameterClass<CModInstrLookalike> {
public:
    CModInstrLookalike() : CParameterClass<CModInstrLookalike>(QStringLiteral("CModInstrX")) {}
    static void CopyProperties(const CModInstrLookalike &, CModInstrLookalike &) {}
    void Columns(ColumnVisitor &) override {}
};

} // namespace

using RowStore = ModelDatabase;

TEST_F(RowStore, AddsUpdatesAndLoadsAConfigurationRow)
{
    struct Case {
        RowCriterion add;
        std::int32_t id;
    };
    const Case cases[] = {{QVariant::fromValue<std::int16_t>(5), 5}, {QVariant::fromValue<std::int32_t>(70000), 70000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        TraceCapture trace;
        CModInstr saved;
        setConfig(saved, QStringLiteral("Boiler"), 3, 3, 1, 2, 0);
        saved.SaveDataInADORS(c.add);
        EXPECT_EQ(Column(QStringLiteral("CModInstr"), c.id, QStringLiteral("m_SlotC")).toInt(), 2);

        setConfig(saved, QStringLiteral("Boiler 2"), 2, 6, 3, 5, 4);
        saved.SaveDataInADORS(ExistingRowCriterion(c.id));

        CModInstr loaded;
        loaded.LoadDataFromADORS(QStringLiteral("IDProgramma=%1").arg(c.id));
        expectConfig(loaded, QStringLiteral("Boiler 2"), 2, 6, 3, 5, 4);

        const QStringList lines = trace.Lines();
        EXPECT_TRUE(lines.contains(QStringLiteral("Apertura tabella:CModInstr")));
        EXPECT_TRUE(lines.contains(QStringLiteral("SaveVariable m_NomeProgramma=Boiler 2")));
        EXPECT_TRUE(lines.contains(QStringLiteral("SaveVariable m_SlotD=4")));
        EXPECT_TRUE(lines.contains(QStringLiteral("LoadVariable m_SlotD")));
    }
    // The instrument's row 2 is untouched by all this.
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 2, QStringLiteral("m_SlotA")).toInt(), 0);
}

TEST_F(RowStore, RefusesCriteriaAndMissingRowsWithTheirTraceText)
{
    CModInstr stored;
    stored.SaveDataInADORS(NewRowCriterion(5));
    const std::int32_t rowsBefore = RowCount(QStringLiteral("CModInstr"));

    enum Op { Save, Load };
    struct Case {
        Op op;
        RowCriterion criterion;
        QString text;
    };
    const QString saveType = QStringLiteral("Parametro di SaveDataInADORS(...) nella classe CModInstr non previsto");
    const QString loadType =
        QStringLiteral("Parametro di LoadVariableFromADORS(...) nella classe CModInstr non previsto");
    const auto notFound = [](const QString &c) {
        return QStringLiteral("Record non trovato con il criterio:") + c + QStringLiteral(" nella tabella CModInstr");
    };
    const Case cases[] = {
        {Save, QVariant(5.0), saveType},
        {Load, QVariant(5.0), loadType},
        {Load, QVariant::fromValue<std::int32_t>(5), loadType},
        {Load, QVariant::fromValue<std::int16_t>(5), loadType},
        {Save, QVariant::fromValue<qint64>(5), saveType},
        {Load, QStringLiteral("IDProgramma=99"), notFound(QStringLiteral("IDProgramma=99"))},
        {Save, QStringLiteral("IDProgramma=99"), notFound(QStringLiteral("IDProgramma=99"))},
        {Load, QStringLiteral("IDProgramma=5 OR 1=1"), notFound(QStringLiteral("IDProgramma=5 OR 1=1"))},
        {Save, QStringLiteral("IDProgramma="), notFound(QStringLiteral("IDProgramma="))},
        {Load, QStringLiteral("m_SlotA=0"), notFound(QStringLiteral("m_SlotA=0"))},
        {Load, QStringLiteral("IDProgramma=99999999999"), notFound(QStringLiteral("IDProgramma=99999999999"))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TraceCapture trace;
        CModInstr obj;
        setConfig(obj, QStringLiteral("Mine"), 0, 4, 2, 1, 0);
        try {
            if (c.op == Save)
                obj.SaveDataInADORS(c.criterion);
            else
                obj.LoadDataFromADORS(c.criterion);
            ADD_FAILURE() << "accepted";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Description(), c.text);
        }
        EXPECT_TRUE(trace.Lines().contains(QStringLiteral("g_Trace.BugAssert fallito: ") + c.text));
        expectConfig(obj, QStringLiteral("Mine"), 0, 4, 2, 1, 0);
        EXPECT_EQ(RowCount(QStringLiteral("CModInstr")), rowsBefore);
    }
}

TEST_F(RowStore, TextColumnsEmptyAndNull)
{
    CModInstr obj;
    obj.SetNomeProgramma(QStringLiteral("Kept"));
    obj.SaveDataInADORS(NewRowCriterion(5));
    obj.SetNomeProgramma(QString());
    obj.SetSlotA(2);
    obj.SaveDataInADORS(ExistingRowCriterion(5));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 5, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Kept"));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 5, QStringLiteral("m_SlotA")).toInt(), 2);

    Exec(QStringLiteral("UPDATE CModInstr SET m_NomeProgramma = NULL WHERE IDProgramma = 5"));
    CModInstr loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(5));
    EXPECT_TRUE(loaded.NomeProgramma().isEmpty());
    EXPECT_EQ(loaded.SlotA(), 2);
}

// A stored value that does not fit its member fails the whole load: the
// object keeps every value it had, not only the bad one.
TEST_F(RowStore, BadColumnValueFailsTheLoadAndChangesNothing)
{
    const QVariant bad[] = {QVariant(), QVariant(QStringLiteral("abc")), QVariant(qint64(70000)), QVariant(2.5)};
    for (const QVariant &v : bad) {
        SCOPED_TRACE(v.toString().toStdString());
        CModInstr row;
        setConfig(row, QStringLiteral("Row"), 1, 1, 1, 1, 0);
        Exec(QStringLiteral("DELETE FROM CModInstr WHERE IDProgramma = 5"));
        row.SaveDataInADORS(NewRowCriterion(5));
        Exec(QStringLiteral("UPDATE CModInstr SET m_SlotD = ? WHERE IDProgramma = 5"), {v});

        CModInstr obj;
        setConfig(obj, QStringLiteral("Mine"), 0, 4, 2, 3, 0);
        EXPECT_THROW(obj.LoadDataFromADORS(ExistingRowCriterion(5)), DatabaseError);
        expectConfig(obj, QStringLiteral("Mine"), 0, 4, 2, 3, 0);
    }
}

TEST_F(RowStore, RowIsSavedWholeOrNotAtAll)
{
    // A table that lacks a column: the new row must not stay half-written.
    Exec(QStringLiteral("ALTER TABLE CModInstr DROP COLUMN m_SlotD"));
    CModInstr obj;
    EXPECT_THROW(obj.SaveDataInADORS(NewRowCriterion(7)), DatabaseError);
    EXPECT_TRUE(Column(QStringLiteral("CModInstr"), 7, QStringLiteral("IDProgramma")).isNull());
    EXPECT_EQ(g_Connection.TransactionLevel(), 0);

    // Unknown table names never reach the database.
    for (const QString &name : {QStringLiteral("CModInstrX"), QStringLiteral("CModInstr; DROP TABLE CModInstr"),
                                QStringLiteral("sqlite_master")}) {
        CModInstr renamed;
        renamed.SetClassName(name);
        EXPECT_THROW(renamed.SaveDataInADORS(NewRowCriterion(8)), DatabaseError);
    }
}

TEST_F(RowStore, AConfigurationTransactionCoversEachObjectsRow)
{
    g_Connection.BeginTrans();
    CModInstr obj;
    obj.SaveDataInADORS(NewRowCriterion(9));
    EXPECT_FALSE(Column(QStringLiteral("CModInstr"), 9, QStringLiteral("IDProgramma")).isNull());
    g_Connection.RollbackTrans();
    EXPECT_TRUE(Column(QStringLiteral("CModInstr"), 9, QStringLiteral("IDProgramma")).isNull());
}

TEST_F(RowStore, RecordsetAcceptsOnlyStrictCriteriaAndKnownTables)
{
    ADORecordset rs;
    EXPECT_THROW(rs.Open(QStringLiteral("CModInstr WHERE 1"), g_Connection), DatabaseError);
    EXPECT_THROW(rs.Open(QStringLiteral("NoSuchTable"), g_Connection), DatabaseError);
    rs.Open(QStringLiteral("CModInstr"), g_Connection);
    for (const QString &bad :
         {QStringLiteral("IDProgramma = 2"), QStringLiteral("IDProgramma=2 OR 1=1"), QStringLiteral("IDProgramma=0x2"),
          QStringLiteral("Nope=2"), QStringLiteral("IDProgramma=2147483648")}) {
        rs.MoveFirst();
        EXPECT_THROW(rs.Find(bad), DatabaseError) << bad.toStdString();
    }
    rs.MoveFirst();
    rs.Find(QStringLiteral("IDProgramma=2"));
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Value(0).toInt(), 2);
    EXPECT_EQ(rs.FieldName(1), QStringLiteral("m_NomeProgramma"));
    EXPECT_THROW(rs.Value(QStringLiteral("m_Missing")), DatabaseError);
}

// The rows of one configuration are read and written through the key, among
// the rows of others, and every table finds them through an index.
TEST_F(RowStore, OneConfigurationsRowsAreFoundAmongSeveral)
{
    for (const std::int32_t id : {5, 6, 7}) {
        CCollDatiSetup setup;
        setup.SetIDProgramma(id);
        setup.ModInstr().SetNomeProgramma(QStringLiteral("Config %1").arg(id));
        setup.SaveDataInADORS(true);
    }
    CCollDatiSetup middle;
    middle.SetIDProgramma(6);
    middle.LoadDataFromADORS();
    EXPECT_EQ(middle.ModInstr().NomeProgramma(), QStringLiteral("Config 6"));
    middle.ModInstr().SetNomeProgramma(QStringLiteral("Changed"));
    middle.SaveDataInADORS(false);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 5, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Config 5"));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 6, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Changed"));
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 7, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Config 7"));

    ADORecordset rs;
    rs.Open(QStringLiteral("CAlarm3"), g_Connection, QStringLiteral("IDProgramma=6"));
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(QStringLiteral("IDProgramma")).toInt(), 6);
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_THROW(rs.Open(QStringLiteral("CAlarm3"), g_Connection, QStringLiteral("IDProgramma=6 OR 1=1")),
                 DatabaseError);

    QStringList keyed = ParameterClassRegistry::TableNames();
    keyed << QStringLiteral("CounterProgrammi");
    for (const QString &table : keyed) {
        QSqlQuery plan(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
        ASSERT_TRUE(
            plan.exec(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM \"%1\" WHERE \"IDProgramma\" = 6").arg(table)));
        ASSERT_TRUE(plan.next());
        EXPECT_TRUE(plan.value(3).toString().startsWith(QLatin1String("SEARCH")))
            << table.toStdString() << ": " << plan.value(3).toString().toStdString();
    }
}

// Another program in the middle of a write: a load still reads the stored
// state; a save waits its bounded time and then fails as busy, saving nothing.
TEST_F(RowStore, ALoadReadsWhileAnotherConnectionHoldsAWriteTransaction)
{
    CCollDatiSetup stored;
    stored.SetIDProgramma(5);
    stored.ModInstr().SetNomeProgramma(QStringLiteral("Stored"));
    stored.SaveDataInADORS(true);

    const int oldTimeout = ADOConnection::BusyTimeout();
    ADOConnection::SetBusyTimeout(20);
    g_Connection.OpenFile(DatabaseFile());
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-writer"));
        other.setDatabaseName(DatabaseFile());
        ASSERT_TRUE(other.open());
        QSqlQuery write(other);
        ASSERT_TRUE(write.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(
            write.exec(QStringLiteral("UPDATE CModInstr SET m_NomeProgramma = 'Pending' WHERE IDProgramma = 5")));

        CCollDatiSetup loaded;
        loaded.SetIDProgramma(5);
        EXPECT_NO_THROW(loaded.LoadDataFromADORS());
        EXPECT_EQ(loaded.ModInstr().NomeProgramma(), QStringLiteral("Stored"));

        loaded.ModInstr().SetNomeProgramma(QStringLiteral("Mine"));
        try {
            loaded.SaveDataInADORS(false);
            ADD_FAILURE() << "saved while another connection writes";
        } catch (const DatabaseError &e) {
            EXPECT_TRUE(e.Busy()) << e.Description().toStdString();
        }
        EXPECT_EQ(g_Connection.TransactionLevel(), 0);
        EXPECT_TRUE(write.exec(QStringLiteral("ROLLBACK")));
        write = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-writer"));
    ADOConnection::SetBusyTimeout(oldTimeout);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 5, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Stored"));
}

TEST(CopyClassBase, SettingsStoreValues)
{
    CICopyClassBase base;
    const QString section = QStringLiteral("CCommConfig");
    const QString app = QString::fromLatin1(kApplicationTitle);
    base.SaveVariable(QStringLiteral("m_ComPort"), QVariant::fromValue<std::int16_t>(2), section);
    base.SaveVariable(QStringLiteral("m_Flag"), QVariant(true), section);
    base.SaveVariable(QStringLiteral("m_Double"), QVariant(2.5), section);
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("m_ComPort")), QStringLiteral("2"));
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("m_Flag")), QStringLiteral("1"));
    EXPECT_FALSE(HasSetting(app, section, QStringLiteral("m_Double")));
    // Single-precision values keep every digit they hold.
    for (const float f : {1234567.0f, 0.1f, -2.5e-7f}) {
        base.SaveVariable(QStringLiteral("m_Single"), QVariant::fromValue(f), section);
        float back = 0.0f;
        LoadMember(base, QStringLiteral("m_Single"), back, section);
        EXPECT_EQ(back, f) << GetSetting(app, section, QStringLiteral("m_Single")).toStdString();
    }
    EXPECT_EQ(GetSetting(app, section, QStringLiteral("m_Single")), QStringLiteral("-2.5e-07"));

    std::int16_t port = 0;
    bool flag = false;
    std::int32_t missing = 42;
    LoadMember(base, QStringLiteral("m_ComPort"), port, section);
    LoadMember(base, QStringLiteral("m_Flag"), flag, section);
    LoadMember(base, QStringLiteral("m_NotThere"), missing, section);
    EXPECT_EQ(port, 2);
    EXPECT_TRUE(flag);
    EXPECT_EQ(missing, 42);

    SaveSetting(app, section, QStringLiteral("m_Bad"), QStringLiteral("two"));
    std::int16_t bad = 7;
    EXPECT_THROW(LoadMember(base, QStringLiteral("m_Bad"), bad, section), ProgramError);
    EXPECT_EQ(bad, 7);

    base.LoadData(QString());
    EXPECT_TRUE(base.FileName().isEmpty());
    base.SaveData(QStringLiteral("settings.ini"));
    EXPECT_EQ(base.FileName(), QStringLiteral("settings.ini"));
    base.LoadData(QString());
    EXPECT_EQ(base.FileName(), QStringLiteral("settings.ini"));
}

TEST(CopyClassBase, VerifySameClassRules)
{
    struct Case {
        const char *first;
        const char *second;
        bool containment; // parameter classes
        bool exact;       // the base object
    };
    const Case cases[] = {
        {"CModInstr", "cmodinstr", false, false},     {"", "CModInstr", true, false},
        {"CInOutScale", "CInOutScaleB", true, false}, {"CAlarm1", "CAlarm2", false, false},
        {"CModInstr", "CModInstr", true, true},
    };
    CICopyClassBase base;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        CModInstr a;
        CModInstr b;
        a.SetClassName(QString::fromLatin1(c.first));
        b.SetClassName(QString::fromLatin1(c.second));
        EXPECT_EQ(a.VerifySameClass(a, b), c.containment);
        EXPECT_EQ(a.VerifySameClass(b, a), c.containment);
        EXPECT_EQ(base.VerifySameClass(a, b), c.exact);
    }
}

TEST(CopyClassBase, GetDataAndSetDataCopyOnlyWithinTheClass)
{
    CModInstr source;
    setConfig(source, QStringLiteral("Source"), 2, 6, 1, 5, 3);

    CModInstr copy;
    source.GetData(copy);
    expectConfig(copy, QStringLiteral("Source"), 2, 6, 1, 5, 3);
    CModInstr back;
    back.SetData(source);
    expectConfig(back, QStringLiteral("Source"), 2, 6, 1, 5, 3);

    CModInstr other;
    other.SetClassName(QStringLiteral("CSerialComm"));
    source.GetData(other);
    other.SetData(source);
    expectConfig(other, QStringLiteral("Without name"), 1, 0, 0, 0, 0);

    // The names pass the containment rule, the C++ classes differ.
    CModInstrLookalike lookalike;
    source.GetData(lookalike);
    source.SetData(lookalike);
    expectConfig(source, QStringLiteral("Source"), 2, 6, 1, 5, 3);
}

// One configuration's stored value that its member cannot hold, or a row
// missing from one of its tables, makes that configuration unusable, named
// by its listed name and the field's caption where one is to blame; the
// other configuration of the archive loads as it was stored.
TEST_F(RowStore, OneConfigurationsSpoiltRowNamesItAndLeavesTheOthersUsable)
{
    struct Case {
        const char *what;
        const char *statement; // "%1": the spoilt configuration's id
        const char *table;
        const char *column;
    };
    const Case cases[] = {
        {"a slot code past 16 bits", "UPDATE CModInstr SET m_SlotA = 70000 WHERE IDProgramma = %1", "CModInstr",
         "m_SlotA"},
        {"a password past 32 bits", "UPDATE CDisplay SET m_Password = 99999999999 WHERE IDProgramma = %1", "CDisplay",
         "m_Password"},
        {"text in a number column", "UPDATE CDisplay SET m_Password = 'abc' WHERE IDProgramma = %1", "CDisplay",
         "m_Password"},
        {"NULL in a number column", "UPDATE CModInstr SET m_SlotA = NULL WHERE IDProgramma = %1", "CModInstr",
         "m_SlotA"},
        {"an alarm's row missing", "DELETE FROM CAlarm2 WHERE IDProgramma = %1", "CAlarm2", ""},
    };
    const auto store = [](std::int32_t id, const QString &name) {
        CCollDatiSetup c;
        c.SetIDProgramma(id);
        c.ModInstr().SetNomeProgramma(name);
        c.SaveDataInADORS(true);
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::int32_t id : {11, 12})
            Exec(QStringLiteral("INSERT INTO Canc_Programma (IDProgramma) VALUES (%1)").arg(id));
        store(11, QStringLiteral("Forno 1"));
        store(12, QStringLiteral("Forno 2"));
        Exec(QString::fromLatin1(c.statement).arg(11));

        CCollDatiSetup spoilt;
        spoilt.SetIDProgramma(11);
        try {
            spoilt.LoadDataFromADORS();
            ADD_FAILURE() << "the configuration loaded";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Kind(), DatabaseFailure::Configuration) << e.Description().toStdString();
            EXPECT_EQ(e.IDProgramma(), 11);
            EXPECT_EQ(e.ConfigurationName(), QStringLiteral("Forno 1"));
            EXPECT_EQ(e.Table(), QString::fromLatin1(c.table));
            const QString caption =
                *c.column ? FieldUserName(QString::fromLatin1(c.table), QString::fromLatin1(c.column)) : QString();
            EXPECT_FALSE(*c.column && caption.isEmpty());
            EXPECT_EQ(e.FieldCaption(), caption);
        }
        EXPECT_EQ(g_Connection.TransactionLevel(), 0);

        CCollDatiSetup other;
        other.SetIDProgramma(12);
        EXPECT_NO_THROW(other.LoadDataFromADORS());
        EXPECT_EQ(other.ModInstr().NomeProgramma(), QStringLiteral("Forno 2"));
    }
}
