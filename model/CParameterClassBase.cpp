#include "CParameterClassBase.h"

#include "ADOConnection.h"
#include "ADORecordset.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "FieldLabels.h"
#include "ParameterClassRegistry.h"

#include <QVector>
#include <functional>
#include <limits>

namespace {

const QString kKeyColumn = QStringLiteral("IDProgramma");
const QString kCriterionPrefix = QStringLiteral("IDProgramma=");

QString valueText(const QVariant &v)
{
    return v.toString();
}

// Writes every column of the object into the current row.
class SaveVisitor : public ColumnVisitor {
public:
    using Save = std::function<void(const QString &, const QVariant &)>;
    explicit SaveVisitor(Save save) : m_Save(std::move(save)) {}
    void Column(const QString &name, std::int16_t &m) override { m_Save(name, QVariant::fromValue(m)); }
    void Column(const QString &name, std::int32_t &m) override { m_Save(name, QVariant::fromValue(m)); }
    void Column(const QString &name, QString &m) override { m_Save(name, QVariant(m)); }

private:
    Save m_Save;
};

// First pass of a load: every column read into a staging value, typed like
// its member. Nothing of the object changes yet.
class ReadVisitor : public ColumnVisitor {
public:
    using Load = std::function<void(const QString &, QVariant &)>;
    explicit ReadVisitor(Load load) : m_Load(std::move(load)) {}
    void Column(const QString &name, std::int16_t &m) override { read(name, QVariant::fromValue(m)); }
    void Column(const QString &name, std::int32_t &m) override { read(name, QVariant::fromValue(m)); }
    void Column(const QString &name, QString &m) override { read(name, QVariant(m)); }
    QVector<QVariant> values;

private:
    void read(const QString &name, QVariant v)
    {
        m_Load(name, v);
        values << v;
    }
    Load m_Load;
};

// Second pass: the staged values go into the members, in the same order.
class AssignVisitor : public ColumnVisitor {
public:
    explicit AssignVisitor(const QVector<QVariant> &values) : m_Values(values) {}
    void Column(const QString &, std::int16_t &m) override { m = m_Values[m_Next++].value<std::int16_t>(); }
    void Column(const QString &, std::int32_t &m) override { m = m_Values[m_Next++].value<std::int32_t>(); }
    void Column(const QString &, QString &m) override { m = m_Values[m_Next++].toString(); }

private:
    const QVector<QVariant> &m_Values;
    int m_Next = 0;
};

// Checks every integer column against its rule, if it has one.
class CheckVisitor : public ColumnVisitor {
public:
    CheckVisitor(std::span<const FieldRule> rules, const QString &table) : m_Rules(rules), m_Table(table) {}
    void Column(const QString &name, std::int16_t &m) override { check(name, m); }
    void Column(const QString &name, std::int32_t &m) override { check(name, m); }
    void Column(const QString &, QString &) override {}

private:
    void check(const QString &name, std::int32_t value) const
    {
        for (const FieldRule &rule : m_Rules) {
            if (name == QLatin1String(rule.column))
                CheckFieldValue(rule, value, m_Table);
        }
    }
    std::span<const FieldRule> m_Rules;
    QString m_Table;
};

// The configuration's name as the main window's list shows it (from the
// list's own view), or its number when even that cannot be read.
QString configurationName(std::int32_t id)
{
    try {
        ADORecordset row;
        row.Open(QStringLiteral("Programmi"), g_Connection, kCriterionPrefix + QString::number(id));
        if (!row.Eof())
            return row.Value(QStringLiteral("m_NomeProgramma")).toString();
    } catch (const DatabaseError &) {
        // The number below tells it all the same.
    }
    return QString::number(id);
}

class NameVisitor : public ColumnVisitor {
public:
    void Column(const QString &name, std::int16_t &) override { names << name; }
    void Column(const QString &name, std::int32_t &) override { names << name; }
    void Column(const QString &name, QString &) override { names << name; }
    QStringList names;
};

// Releases the row store's hold on the recordset however the call ends.
class RowStoreHold {
public:
    RowStoreHold(CLoadSaveADORS &store, ADORecordset &rs) : m_Store(store) { m_Store.SetRecordset(&rs); }
    ~RowStoreHold() { m_Store.SetRecordset(nullptr); }
    RowStoreHold(const RowStoreHold &) = delete;
    RowStoreHold &operator=(const RowStoreHold &) = delete;

private:
    CLoadSaveADORS &m_Store;
};

bool isIntegerCriterion(const RowCriterion &c)
{
    return c.typeId() == QMetaType::Short || c.typeId() == QMetaType::Int;
}

} // namespace

CParameterClassBase::CParameterClassBase(const QString &className)
    : m_Base(std::make_unique<CICopyClassBase>()), m_ClassName(className)
{
}

CParameterClassBase::~CParameterClassBase() = default;

CICopyClassBase &CParameterClassBase::base()
{
    if (!m_Base)
        m_Base = std::make_unique<CICopyClassBase>();
    return *m_Base;
}

QString CParameterClassBase::FileName() const
{
    return m_Base ? m_Base->FileName() : QString();
}

void CParameterClassBase::SetFileName(const QString &fileName)
{
    base().SetFileName(fileName);
}

void CParameterClassBase::LoadData(const QString &fileName)
{
    base().LoadData(fileName);
}

void CParameterClassBase::SaveData(const QString &fileName)
{
    base().SaveData(fileName);
}

void CParameterClassBase::SaveVariable(const QString &name, const QVariant &value, const QString &)
{
    base().SaveVariable(name, value, m_ClassName);
}

void CParameterClassBase::LoadVariable(const QString &name, QVariant &value, const QString &)
{
    base().LoadVariable(name, value, m_ClassName);
}

bool CParameterClassBase::VerifySameClass(const ICopyClass &first, const ICopyClass &second) const
{
    const QString a = first.ClassName();
    const QString b = second.ClassName();
    return a.contains(b, Qt::CaseSensitive) || b.contains(a, Qt::CaseSensitive);
}

void CParameterClassBase::fail(const QString &text, DatabaseFailure kind) const
{
    // The failed check's trace line, as BugAssert writes it; the failure then
    // goes to the caller instead of ending the program.
    g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ") + text);
    throw DatabaseError(text, kind);
}

void CParameterClassBase::failRowNotFound(const QString &criterion) const
{
    // A configuration's model row goes only with the whole configuration
    // (Canc_Programma): without it the configuration is no longer in the
    // archive. A configuration missing the row of another table cannot be
    // used; the other configurations can.
    const QString text = QStringLiteral("Record non trovato con il criterio:") + criterion +
                         QStringLiteral(" nella tabella ") + m_ClassName;
    if (m_ClassName == QLatin1String("CModInstr"))
        fail(text, DatabaseFailure::NotInArchive);
    g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ") + text);
    throw DatabaseError::StoredRow(text, m_ClassName);
}

void CParameterClassBase::rethrowInConfiguration(const DatabaseError &error, std::int32_t id)
{
    // Placed once, by the row that failed; an error of the database itself
    // goes on as it is.
    if (error.Kind() != DatabaseFailure::Configuration || error.IDProgramma() >= 0)
        throw error;
    const QString caption = error.Column().isEmpty() ? QString() : FieldUserName(error.Table(), error.Column());
    throw error.InConfiguration(id, configurationName(id), caption);
}

void CParameterClassBase::openTable(ADORecordset &rs, std::int32_t id)
{
    // Every table is keyed by IDProgramma: the database finds the rows of
    // this configuration, however many others the table holds.
    rs.Open(m_ClassName, g_Connection, kCriterionPrefix + QString::number(id));
}

std::int32_t CParameterClassBase::parseCriterion(const QString &criterion) const
{
    bool ok = criterion.startsWith(kCriterionPrefix);
    const QString digits = ok ? criterion.mid(kCriterionPrefix.size()) : QString();
    ok = ok && !digits.isEmpty() && digits.size() <= 10;
    for (qsizetype i = 0; ok && i < digits.size(); ++i)
        ok = digits[i] >= QLatin1Char('0') && digits[i] <= QLatin1Char('9');
    qint64 id = 0;
    if (ok)
        id = digits.toLongLong(&ok);
    if (!ok || id > std::numeric_limits<std::int32_t>::max())
        fail(QStringLiteral("Record non trovato con il criterio:") + criterion + QStringLiteral(" nella tabella ") +
             m_ClassName);
    return static_cast<std::int32_t>(id);
}

void CParameterClassBase::SaveFieldInADORS(const QString &name, const QVariant &value)
{
    g_Trace.BugMessage(QStringLiteral("SaveVariable ") + name + QStringLiteral("=") + valueText(value));
    m_RowStore.SaveVariable(name, value);
}

void CParameterClassBase::LoadFieldFromADORS(const QString &name, QVariant &value)
{
    g_Trace.BugMessage(QStringLiteral("LoadVariable ") + name);
    m_RowStore.LoadVariable(name, value);
}

void CParameterClassBase::checkTable() const
{
    g_Trace.BugMessage(QStringLiteral("Apertura tabella:") + m_ClassName);
    if (!ParameterClassRegistry::IsKnownTable(m_ClassName))
        fail(QStringLiteral("Tabella ") + m_ClassName + QStringLiteral(" non prevista"));
}

void CParameterClassBase::SaveDataInADORS(const RowCriterion &criterion)
{
    checkTable();
    ADORecordset rs;
    if (isIntegerCriterion(criterion)) {
        const auto id = static_cast<std::int32_t>(criterion.toLongLong());
        openTable(rs, id);
    } else if (criterion.typeId() == QMetaType::QString) {
        openTable(rs, parseCriterion(criterion.toString()));
    } else {
        fail(QStringLiteral("Parametro di SaveDataInADORS(...) nella classe ") + m_ClassName +
             QStringLiteral(" non previsto"));
    }
    ADOTransaction transaction(g_Connection);
    if (isIntegerCriterion(criterion)) {
        rs.AddNew();
        rs.SetValue(kKeyColumn, QVariant::fromValue<qint64>(criterion.toLongLong()));
        rs.Update();
    } else {
        const QString text = criterion.toString();
        const std::int32_t id = parseCriterion(text);
        rs.MoveFirst();
        rs.Find(kCriterionPrefix + QString::number(id));
        try {
            if (rs.Eof())
                failRowNotFound(text);
        } catch (const DatabaseError &e) {
            rethrowInConfiguration(e, id);
        }
    }
    {
        RowStoreHold hold(m_RowStore, rs);
        SaveVisitor saver([this](const QString &name, const QVariant &v) { SaveFieldInADORS(name, v); });
        Columns(saver);
    }
    rs.Close();
    transaction.Commit();
}

void CParameterClassBase::LoadRowFromADORS(const RowCriterion &criterion)
{
    checkTable();
    if (criterion.typeId() != QMetaType::QString)
        fail(QStringLiteral("Parametro di LoadVariableFromADORS(...) nella classe ") + m_ClassName +
             QStringLiteral(" non previsto"));
    const QString text = criterion.toString();
    const std::int32_t id = parseCriterion(text);
    ADORecordset rs;
    openTable(rs, id);
    rs.MoveFirst();
    rs.Find(kCriterionPrefix + QString::number(id));
    ReadVisitor reader([this](const QString &name, QVariant &v) { LoadFieldFromADORS(name, v); });
    try {
        if (rs.Eof())
            failRowNotFound(text);
        RowStoreHold hold(m_RowStore, rs);
        Columns(reader);
    } catch (const DatabaseError &e) {
        rethrowInConfiguration(e, id);
    }
    rs.Close();
    AssignVisitor assign(reader.values);
    Columns(assign);
}

void CParameterClassBase::LoadDataFromADORS(const RowCriterion &criterion)
{
    // A row holding a value outside its field's rule is refused like one
    // that does not read: the object keeps its values.
    ReadVisitor previous([](const QString &, QVariant &) {});
    Columns(previous);
    LoadRowFromADORS(criterion);
    try {
        CheckValues();
    } catch (...) {
        AssignVisitor restore(previous.values);
        Columns(restore);
        throw;
    }
}

void CParameterClassBase::CheckValues()
{
    CheckVisitor check(FieldRules(), m_ClassName);
    Columns(check);
}

void CParameterClassBase::CheckContextValues()
{
    const std::vector<FieldRule> rules = ContextRules();
    CheckVisitor check(rules, m_ClassName);
    Columns(check);
}

QStringList CParameterClassBase::ColumnNames()
{
    NameVisitor v;
    Columns(v);
    return v.names;
}

void CParameterClassBase::AddReportRow(ReportRecordset &report, const QStringList &values)
{
    g_Trace.BugAssert(!values.isEmpty() && values.size() <= 2, QString());
    ReportRowRecord row;
    row.nColumn = static_cast<std::int16_t>(values.size());
    if (!values.isEmpty())
        row.Column1 = values[0];
    if (values.size() > 1)
        row.Column2 = values[1];
    report.Append(row);
}
