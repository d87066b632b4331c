#pragma once
#include <QString>
#include <QVariant>

class ADORecordset;

// The row store: writes and reads one column of the current row of the
// recordset it is given, by the type of the variable. The name is the whole
// column name ("m_NetworkAdd").
class CLoadSaveADORS {
public:
    ADORecordset *Recordset() const { return m_Recordset; }
    void SetRecordset(ADORecordset *recordset) { m_Recordset = recordset; }

    // std::int16_t, std::int32_t, float, double, QDateTime, bool: put into
    // the column with their own type; a text only when it is not empty (an
    // empty text leaves the column as it is); other types put nothing. The
    // row is then updated. No recordset: nothing happens.
    void SaveVariable(const QString &name, const QVariant &value);

    // The variable receives the column's value converted to its own type; a
    // null text column gives the empty text. A numeric column that is null,
    // not a number or out of the variable's range throws DatabaseError (the
    // variable keeps its value). Other types are left untouched. No
    // recordset: nothing happens.
    void LoadVariable(const QString &name, QVariant &value);

private:
    ADORecordset *m_Recordset = nullptr;
};
