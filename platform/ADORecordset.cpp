#include "ADORecordset.h"

#include "ADOConnection.h"
#include "DatabaseError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <limits>

namespace {

const QString kRowIdAlias = QStringLiteral("pelvaro_rowid");
// SQLite's code for a statement it cannot make (a table or column missing).
constexpr int kSqliteError = 1;

// "Name=123" or "Name=-123": a plain field name, "=", an optional minus and
// decimal digits in the 32-bit range; nothing else, no blanks.
bool parseCriterion(const QString &criterion, QString &field, qint64 &value)
{
    const qsizetype eq = criterion.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    field = criterion.left(eq);
    if (!ADOConnection::IsPlainIdentifier(field))
        return false;
    const QString digits = criterion.mid(eq + 1);
    qsizetype start = 0;
    if (digits.startsWith(QLatin1Char('-')))
        start = 1;
    if (digits.size() == start || digits.size() - start > 10)
        return false;
    for (qsizetype i = start; i < digits.size(); ++i) {
        if (digits[i] < QLatin1Char('0') || digits[i] > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    value = digits.toLongLong(&ok);
    return ok && value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

bool equalsInteger(const QVariant &v, qint64 target)
{
    if (v.isNull())
        return false;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: return v.toDouble() == static_cast<double>(target);
    case QMetaType::QString:
    case QMetaType::QByteArray: return false;
    default: {
        bool ok = false;
        const qlonglong x = v.toLongLong(&ok);
        return ok && x == target;
    }
    }
}

} // namespace

void ADORecordset::requireOpen() const
{
    if (m_Connection == nullptr)
        throw DatabaseError(QStringLiteral("The recordset is closed"));
    if (!m_Connection->IsOpen())
        throw DatabaseError(QStringLiteral("The configuration database is not open"));
}

void ADORecordset::requireCurrent() const
{
    requireOpen();
    if (m_Pos < 0 || m_Pos >= m_Rows.size())
        throw DatabaseError(QStringLiteral("No current row in %1 (the cursor is at the end)").arg(m_Source));
}

void ADORecordset::Open(const QString &source, ADOConnection &connection)
{
    Close();
    open(source, connection);
}

void ADORecordset::Open(const QString &source, ADOConnection &connection, const QString &filter)
{
    Close();
    QString field;
    qint64 value = 0;
    if (!parseCriterion(filter, field, value))
        throw DatabaseError(QStringLiteral("Filter not understood: %1").arg(filter));
    m_FilterField = field;
    m_FilterValue = value;
    open(source, connection);
}

void ADORecordset::OpenForAdding(const QString &source, ADOConnection &connection)
{
    Close();
    m_NoRows = true;
    open(source, connection);
    if (m_ReadOnly) {
        Close();
        throw DatabaseError(QStringLiteral("%1 cannot be changed").arg(source));
    }
}

void ADORecordset::open(const QString &source, ADOConnection &connection)
{
    if (!connection.IsOpen())
        throw DatabaseError(QStringLiteral("The configuration database is not open"));
    const QString type = connection.ObjectType(source);
    if (type.isEmpty())
        throw DatabaseError(QStringLiteral("The configuration database has no table %1").arg(source),
                            DatabaseFailure::Damaged);
    m_Connection = &connection;
    m_Source = source;
    m_ReadOnly = type != QLatin1String("table");
    try {
        load();
    } catch (...) {
        Close();
        throw;
    }
}

void ADORecordset::Close()
{
    m_Connection = nullptr;
    m_Source.clear();
    m_Fields.clear();
    m_Rows.clear();
    m_Pos = 0;
    m_ReadOnly = false;
    m_FilterField.clear();
    m_FilterValue = 0;
    m_NoRows = false;
    CancelUpdate();
}

void ADORecordset::load()
{
    QSqlQuery q(QSqlDatabase::database(m_Connection->QtConnectionName(), false));
    q.setForwardOnly(true);
    QString where;
    if (m_NoRows)
        where = QStringLiteral(" WHERE 0");
    else if (!m_FilterField.isEmpty())
        where = QStringLiteral(" WHERE %1 = ?").arg(ADOConnection::Quoted(m_FilterField));
    const QString sql = m_ReadOnly ? QStringLiteral("SELECT * FROM %1%2").arg(ADOConnection::Quoted(m_Source), where)
                                   : QStringLiteral("SELECT rowid AS %1, * FROM %2%3 ORDER BY rowid")
                                         .arg(kRowIdAlias, ADOConnection::Quoted(m_Source), where);
    if (!q.prepare(sql)) {
        // The statement names only a table or view the schema holds: when
        // SQLite cannot make it, that view reads a table or column the
        // database lacks.
        const QSqlError error = q.lastError();
        if (DatabaseError::PrimaryCode(error) == kSqliteError)
            throw DatabaseError(QStringLiteral("%1 cannot be read: %2").arg(m_Source, error.text()),
                                DatabaseFailure::Damaged);
        throw m_Connection->Failure(m_Source, error);
    }
    if (!m_NoRows && !m_FilterField.isEmpty())
        q.addBindValue(m_FilterValue);
    if (!q.exec())
        throw m_Connection->Failure(m_Source, q.lastError());
    const QSqlRecord rec = q.record();
    const int first = m_ReadOnly ? 0 : 1;
    m_Fields.clear();
    for (int i = first; i < rec.count(); ++i)
        m_Fields << rec.fieldName(i);
    m_Rows.clear();
    while (q.next()) {
        Row row;
        row.rowid = m_ReadOnly ? 0 : q.value(0).toLongLong();
        row.values.reserve(m_Fields.size());
        for (int i = first; i < rec.count(); ++i)
            row.values << q.value(i);
        m_Rows << row;
    }
    // A row that cannot be read (a disk that stops answering half-way) also
    // ends the loop: that is a failure, not the last row.
    if (q.lastError().isValid()) {
        m_Rows.clear();
        m_Pos = 0;
        throw m_Connection->Failure(m_Source, q.lastError());
    }
    m_Pos = 0;
}

ADORecordset::Row ADORecordset::readRow(qint64 rowid) const
{
    QSqlQuery q(QSqlDatabase::database(m_Connection->QtConnectionName(), false));
    q.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(ADOConnection::Quoted(m_Source)));
    q.addBindValue(rowid);
    if (!q.exec())
        throw m_Connection->Failure(m_Source, q.lastError());
    if (!q.next())
        throw DatabaseError(QStringLiteral("%1: the row just written cannot be read back").arg(m_Source));
    Row row;
    row.rowid = rowid;
    for (int i = 0; i < m_Fields.size(); ++i)
        row.values << q.value(i);
    return row;
}

const ADORecordset::Row &ADORecordset::row(int position) const
{
    Row &r = m_Rows[position];
    if (r.stale)
        r = readRow(r.rowid);
    return r;
}

void ADORecordset::Requery()
{
    requireOpen();
    CancelUpdate();
    load();
}

bool ADORecordset::Eof() const
{
    return m_Connection == nullptr || m_Pos >= m_Rows.size();
}

bool ADORecordset::Bof() const
{
    return m_Connection == nullptr || m_Rows.isEmpty() || m_Pos < 0;
}

std::int32_t ADORecordset::RecordCount() const
{
    return m_Connection == nullptr ? -1 : static_cast<std::int32_t>(m_Rows.size());
}

void ADORecordset::flushPending()
{
    if (EditPending())
        Update();
}

void ADORecordset::MoveFirst()
{
    requireOpen();
    flushPending();
    m_Pos = 0;
}

void ADORecordset::MoveNext()
{
    requireOpen();
    flushPending();
    if (m_Pos >= m_Rows.size())
        throw DatabaseError(QStringLiteral("MoveNext past the end of %1").arg(m_Source));
    ++m_Pos;
}

void ADORecordset::Find(const QString &criterion)
{
    requireOpen();
    QString field;
    qint64 target = 0;
    if (!parseCriterion(criterion, field, target))
        throw DatabaseError(QStringLiteral("Search criterion not understood: %1").arg(criterion));
    const int index = checkedIndex(field);
    flushPending();
    for (int i = qMax(m_Pos, 0); i < m_Rows.size(); ++i) {
        if (equalsInteger(row(i).values[index], target)) {
            m_Pos = i;
            return;
        }
    }
    m_Pos = static_cast<int>(m_Rows.size());
}

void ADORecordset::AddNew()
{
    requireOpen();
    if (m_ReadOnly)
        throw DatabaseError(QStringLiteral("%1 cannot be changed").arg(m_Source));
    flushPending();
    m_Adding = true;
    m_Edit = QVector<QVariant>(m_Fields.size());
    m_Changed.clear();
}

void ADORecordset::CancelUpdate()
{
    m_Adding = false;
    m_Edit.clear();
    m_Changed.clear();
}

void ADORecordset::Update()
{
    requireOpen();
    if (!EditPending())
        return;
    QSqlQuery q(QSqlDatabase::database(m_Connection->QtConnectionName(), false));
    QStringList columns;
    for (int i : m_Changed)
        columns << ADOConnection::Quoted(m_Fields[i]);
    if (m_Adding) {
        if (columns.isEmpty()) {
            q.prepare(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(ADOConnection::Quoted(m_Source)));
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(ADOConnection::Quoted(m_Source), columns.join(QLatin1Char(',')),
                               marks.join(QLatin1Char(','))));
        }
    } else {
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QStringLiteral(" = ?");
        q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                      .arg(ADOConnection::Quoted(m_Source), sets.join(QLatin1Char(','))));
    }
    for (int i : m_Changed)
        q.addBindValue(m_Edit[i]);
    if (!m_Adding)
        q.addBindValue(m_Rows[m_Pos].rowid);
    if (!q.exec()) {
        const QSqlError error = q.lastError();
        CancelUpdate();
        throw m_Connection->Failure(m_Source + QStringLiteral(": the row cannot be written"), error);
    }
    // The row is read back only when it is read: a save that writes column
    // after column does not read the row once per column.
    if (m_Adding) {
        Row added;
        added.rowid = q.lastInsertId().toLongLong();
        added.stale = true;
        CancelUpdate();
        m_Rows << added;
        m_Pos = static_cast<int>(m_Rows.size()) - 1;
    } else {
        CancelUpdate();
        m_Rows[m_Pos].stale = true;
    }
}

void ADORecordset::Delete()
{
    requireCurrent();
    if (m_ReadOnly)
        throw DatabaseError(QStringLiteral("%1 cannot be changed").arg(m_Source));
    CancelUpdate();
    QSqlQuery q(QSqlDatabase::database(m_Connection->QtConnectionName(), false));
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(ADOConnection::Quoted(m_Source)));
    q.addBindValue(m_Rows[m_Pos].rowid);
    if (!q.exec())
        throw m_Connection->Failure(m_Source + QStringLiteral(": the row cannot be deleted"), q.lastError());
    m_Rows.removeAt(m_Pos);
}

int ADORecordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_Fields.size(); ++i) {
        if (m_Fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int ADORecordset::checkedIndex(const QString &name) const
{
    requireOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatabaseError(QStringLiteral("The table %1 has no column %2").arg(m_Source, name),
                            DatabaseFailure::Damaged);
    return i;
}

void ADORecordset::checkPosition(int position) const
{
    requireOpen();
    if (position < 0 || position >= m_Fields.size())
        throw DatabaseError(QStringLiteral("The table %1 has no column at position %2").arg(m_Source).arg(position));
}

QString ADORecordset::FieldName(int position) const
{
    checkPosition(position);
    return m_Fields[position];
}

QVariant ADORecordset::Value(int position) const
{
    checkPosition(position);
    if (m_Adding || !m_Changed.isEmpty()) {
        if (m_Adding || m_Changed.contains(position))
            return m_Edit[position];
    }
    requireCurrent();
    return row(m_Pos).values[position];
}

QVariant ADORecordset::Value(const QString &name) const
{
    return Value(checkedIndex(name));
}

void ADORecordset::SetValue(int position, const QVariant &value)
{
    checkPosition(position);
    if (m_ReadOnly)
        throw DatabaseError(QStringLiteral("%1 cannot be changed").arg(m_Source));
    if (!m_Adding) {
        requireCurrent();
        // Only the changed fields are read from the edit and written.
        if (m_Edit.isEmpty())
            m_Edit = QVector<QVariant>(m_Fields.size());
    }
    m_Edit[position] = value;
    if (!m_Changed.contains(position))
        m_Changed << position;
}

void ADORecordset::SetValue(const QString &name, const QVariant &value)
{
    SetValue(checkedIndex(name), value);
}
