#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <cstdint>

class ADOConnection;

// A recordset over one table or view of the configuration database, with a
// keyset-like cursor: opening reads the rows, the cursor walks them, and an
// edit of the current row (or a new row) is written by Update. Only names of
// tables and views that the database holds are accepted, and only plain
// identifiers ever reach a statement; values are always bound.
//
// A recordset may be opened on the rows of one key only (a filter in the
// form of a Find criterion, "IDProgramma=5"): the database selects them
// through the key's index, so the cost does not grow with the table.
//
// Fields are addressed by name (case-insensitive, as the database does) or by
// position (0 = first column). A null column reads as a null QVariant.
// Every failure throws DatabaseError.
class ADORecordset {
public:
    ADORecordset() = default;
    ~ADORecordset() = default;
    ADORecordset(const ADORecordset &) = delete;
    ADORecordset &operator=(const ADORecordset &) = delete;

    // Opens the table or view named source over the open connection and
    // stands on its first row (at end when it has none). A view opens
    // read-only.
    void Open(const QString &source, ADOConnection &connection);
    // Opens it on the rows whose field equals the filter's value only (the
    // filter reads like a Find criterion; the field must be a column of the
    // source). Requery keeps the filter.
    void Open(const QString &source, ADOConnection &connection, const QString &filter);
    // Opens a table without reading any row, for adding rows.
    void OpenForAdding(const QString &source, ADOConnection &connection);
    // Drops a pending edit and closes; closing a closed recordset does
    // nothing.
    void Close();
    bool IsOpen() const { return m_Connection != nullptr; }
    // Reads the rows again and stands on the first row.
    void Requery();

    QString Source() const { return m_Source; }
    bool IsReadOnly() const { return m_ReadOnly; }

    // Cursor. Eof: past the last row (also when there are no rows).
    bool Eof() const;
    bool Bof() const;
    std::int32_t RecordCount() const;
    void MoveFirst();
    void MoveNext();
    // Searches forward from the current row (the current row included) for
    // the first row whose field equals the value of the criterion, which
    // must read field name, "=", then a decimal integer in the 32-bit range
    // ("IDProgramma=5"). No row found: the cursor stands at the end. A
    // criterion of any other form, or a field the recordset lacks, throws.
    void Find(const QString &criterion);

    // Editing. AddNew starts a new row (every field null until set);
    // setting a field of the current row starts an edit. Update writes the
    // new row or the changed fields; the row is read back from the database
    // when it is next read (not by the write itself), so database defaults
    // and numbering (the "IDProgramma" of "CounterProgrammi") show; with
    // nothing pending it does nothing. Moving with an edit pending
    // writes it first. Delete removes the current row; the cursor then
    // stands on the row after it.
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool EditPending() const { return m_Adding || !m_Changed.isEmpty(); }

    // Fields.
    int FieldCount() const { return m_Fields.size(); }
    QString FieldName(int position) const;
    bool HasField(const QString &name) const { return fieldIndex(name) >= 0; }
    QVariant Value(const QString &name) const;
    QVariant Value(int position) const;
    bool IsNull(const QString &name) const { return Value(name).isNull(); }
    void SetValue(const QString &name, const QVariant &value);
    void SetValue(int position, const QVariant &value);

private:
    struct Row {
        qint64 rowid = 0;
        QVector<QVariant> values;
        // Written since it was read: read again before its values are used.
        bool stale = false;
    };

    void requireOpen() const;
    void requireCurrent() const;
    int fieldIndex(const QString &name) const;
    int checkedIndex(const QString &name) const;
    void checkPosition(int position) const;
    void open(const QString &source, ADOConnection &connection);
    void load();
    Row readRow(qint64 rowid) const;
    // The row at the position, read again first when it was written.
    const Row &row(int position) const;
    void flushPending();

    ADOConnection *m_Connection = nullptr;
    QString m_Source;
    bool m_ReadOnly = false;
    QStringList m_Fields;
    // What the last open selected: empty for every row, else WHERE field = value.
    QString m_FilterField;
    qint64 m_FilterValue = 0;
    bool m_NoRows = false;
    mutable QVector<Row> m_Rows;
    int m_Pos = 0;

    bool m_Adding = false;
    QVector<QVariant> m_Edit;
    QVector<int> m_Changed;
};
