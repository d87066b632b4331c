#pragma once
#include "ICopyClass.h"

#include "CINIManager.h"

// The base object every implementer of ICopyClass holds and forwards the
// common work to: the file name (of its CINIManager), the settings-store or
// INI access of SaveVariable/LoadVariable, and the exact class comparison.
//
// SaveVariable/LoadVariable: with FileName set, the INI file (section, key =
// name); otherwise the per-user settings store under the application title:
// integers and floats as decimal text, a date as ISO text, a text unchanged,
// a Boolean "1" or "0". A missing key keeps the value; a stored text that
// does not convert to the value's type throws ProgramError (13, or 6 when
// out of range).
class CICopyClassBase : public ICopyClass {
public:
    QString ClassName() const override { return QString(); }
    QString FileName() const override { return m_INI.FileName(); }
    void SetFileName(const QString &fileName) override { m_INI.SetFileName(fileName); }
    // True exactly when the two class names are equal (case-sensitive).
    bool VerifySameClass(const ICopyClass &first, const ICopyClass &second) const override;
    void SaveDataInADORS(const RowCriterion &) override {}
    void LoadDataFromADORS(const RowCriterion &) override {}
    // A non-empty name becomes FileName; nothing is read or written.
    void LoadData(const QString &fileName) override;
    void SaveData(const QString &fileName) override;
    void SaveVariable(const QString &name, const QVariant &value, const QString &section) override;
    void LoadVariable(const QString &name, QVariant &value, const QString &section) override;

private:
    CINIManager m_INI;
};
