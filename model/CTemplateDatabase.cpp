#include "CTemplateDatabase.h"

#include "ADOConnection.h"
#include "CModInstr.h"
#include "DatabaseError.h"
#include "ParameterClassRegistry.h"
#include "StringTable.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>
#include <algorithm>

namespace {

const QString kKey = QStringLiteral("IDProgramma");

// Column definitions and values of one object, from its own column list.
class SchemaVisitor : public ColumnVisitor {
public:
    void Column(const QString &name, std::int16_t &m) override
    {
        add(name, QStringLiteral("SMALLINT"), QVariant::fromValue<qint64>(m));
    }
    void Column(const QString &name, std::int32_t &m) override
    {
        add(name, QStringLiteral("INTEGER"), QVariant::fromValue<qint64>(m));
    }
    void Column(const QString &name, QString &m) override { add(name, QStringLiteral("TEXT"), QVariant(m)); }

    QStringList definitions;
    QStringList names;
    QVariantList values;

private:
    void add(const QString &name, const QString &type, const QVariant &value)
    {
        if (!ADOConnection::IsPlainIdentifier(name))
            throw DatabaseError(QStringLiteral("Unusable column name %1").arg(name));
        definitions << ADOConnection::Quoted(name) + QLatin1Char(' ') + type;
        names << ADOConnection::Quoted(name);
        values << value;
    }
};

struct TableSpec {
    QString name;
    SchemaVisitor columns;
};

std::vector<TableSpec> tableSpecs()
{
    std::vector<TableSpec> specs;
    for (const QString &table : ParameterClassRegistry::TableNames()) {
        if (!ADOConnection::IsPlainIdentifier(table))
            throw DatabaseError(QStringLiteral("Unusable table name %1").arg(table));
        auto obj = ParameterClassRegistry::CreateForTable(table);
        if (auto *mod = dynamic_cast<CModInstr *>(obj.get()))
            mod->SetNomeProgramma(LoadResourceString(617));
        TableSpec spec;
        spec.name = table;
        obj->Columns(spec.columns);
        specs.push_back(std::move(spec));
    }
    return specs;
}

QStringList schemaStatements(const std::vector<TableSpec> &specs)
{
    QStringList sql;
    for (const TableSpec &t : specs) {
        QStringList defs;
        defs << ADOConnection::Quoted(kKey) + QStringLiteral(" INTEGER NOT NULL PRIMARY KEY");
        defs << t.columns.definitions;
        sql << QStringLiteral("CREATE TABLE %1 (%2)")
                   .arg(ADOConnection::Quoted(t.name), defs.join(QStringLiteral(", ")));
    }
    sql << QStringLiteral("CREATE TABLE \"CounterProgrammi\" (\"IDProgramma\" INTEGER PRIMARY KEY AUTOINCREMENT)");
    sql << QStringLiteral("INSERT INTO \"CounterProgrammi\" (\"IDProgramma\") VALUES (2)");
    sql << QStringLiteral("CREATE VIEW \"Programmi\" AS SELECT \"m_NomeProgramma\", \"IDProgramma\" FROM \"CModInstr\" "
                          "WHERE \"IDProgramma\" <> 2 ORDER BY \"IDProgramma\"");
    sql << QStringLiteral("CREATE VIEW \"Canc_Programma\" AS SELECT CAST(NULL AS INTEGER) AS \"IDProgramma\" WHERE 0");
    QStringList deletes;
    for (const TableSpec &t : specs)
        deletes << QStringLiteral("DELETE FROM %1 WHERE \"IDProgramma\" = NEW.\"IDProgramma\";")
                       .arg(ADOConnection::Quoted(t.name));
    deletes << QStringLiteral("DELETE FROM \"CounterProgrammi\" WHERE \"IDProgramma\" = NEW.\"IDProgramma\";");
    sql << QStringLiteral("CREATE TRIGGER \"Canc_Programma_Esegui\" INSTEAD OF INSERT ON \"Canc_Programma\" "
                          "WHEN NEW.\"IDProgramma\" IS NOT NULL AND NEW.\"IDProgramma\" <> 2 BEGIN %1 END")
               .arg(deletes.join(QLatin1Char(' ')));
    return sql;
}

void exec(QSqlQuery &q, const QString &statement)
{
    if (!q.exec(statement))
        throw DatabaseError(QStringLiteral("%1: %2").arg(statement, q.lastError().text()));
}

void build(const QString &file, const std::vector<TableSpec> &specs)
{
    ADOConnection connection;
    connection.OpenFile(file);
    QSqlQuery q(QSqlDatabase::database(connection.QtConnectionName(), false));
    connection.BeginTrans();
    for (const QString &s : schemaStatements(specs))
        exec(q, s);
    for (const TableSpec &t : specs) {
        QStringList names;
        names << ADOConnection::Quoted(kKey) << t.columns.names;
        QStringList marks;
        for (qsizetype i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(ADOConnection::Quoted(t.name), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        q.addBindValue(QVariant::fromValue<qint64>(kInstrumentIDProgramma));
        for (const QVariant &v : t.columns.values)
            q.addBindValue(v);
        if (!q.exec())
            throw DatabaseError(QStringLiteral("%1: %2").arg(t.name, q.lastError().text()));
    }
    connection.CommitTrans();
    q = QSqlQuery();
    connection.Close();
}

} // namespace

QStringList TemplateSchemaStatements()
{
    return schemaStatements(tableSpecs());
}

void CreateTemplateDatabase(const QString &path)
{
    const std::vector<TableSpec> specs = tableSpecs();
    if (std::none_of(specs.begin(), specs.end(),
                     [](const TableSpec &t) { return t.name == QLatin1String("CModInstr"); }))
        throw DatabaseError(QStringLiteral("The class CModInstr is not registered"));
    const QString temporary = path + QStringLiteral(".part");
    QFile::remove(temporary);
    {
        QFile f(temporary);
        if (!f.open(QIODevice::WriteOnly))
            throw DatabaseError(QStringLiteral("%1 cannot be written: %2").arg(temporary, f.errorString()));
    }
    try {
        build(temporary, specs);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
    QFile::remove(path);
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        throw DatabaseError(QStringLiteral("%1 cannot be written").arg(path));
    }
}
