#pragma once
#include "CICopyClassBase.h"
#include "ICopyClass.h"

// What every settings class shares (the communication settings, the network
// settings, the print options): the class name, which is also the section of
// its keys in the per-user settings store or in the INI file FileName; the
// base object that keeps the file name and reaches the store or the file;
// the exact class comparison; no database row.
//
// A class derives from CSettingsClass<Itself> (below), not from this one.
class CSettingsClassBase : public ICopyClass {
public:
    QString ClassName() const override { return m_ClassName; }
    QString FileName() const override { return m_Base.FileName(); }
    void SetFileName(const QString &fileName) override { m_Base.SetFileName(fileName); }
    // A non-empty name becomes FileName first; then the class's own keys are
    // read (LoadValues) or written (SaveValues).
    void LoadData(const QString &fileName) override;
    void SaveData(const QString &fileName) override;
    // No database row: both do nothing.
    void SaveDataInADORS(const RowCriterion &) override {}
    void LoadDataFromADORS(const RowCriterion &) override {}
    // True exactly when the two class names are equal (case-sensitive).
    bool VerifySameClass(const ICopyClass &first, const ICopyClass &second) const override
    {
        return m_Base.VerifySameClass(first, second);
    }
    // Forwarded to the base object with ClassName as the section (the
    // section argument is not used).
    void SaveVariable(const QString &name, const QVariant &value, const QString &section) override;
    void LoadVariable(const QString &name, QVariant &value, const QString &section) override;

protected:
    // Writes the trace line "Class_Initialize() " + className.
    explicit CSettingsClassBase(const QString &className);

    // The class's keys, through LoadMember / SaveMember with ClassName as
    // the section.
    virtual void LoadValues() = 0;
    virtual void SaveValues() = 0;

private:
    CICopyClassBase m_Base;
    QString m_ClassName;
};

// The typed part: GetData copies this object's values into obj and SetData
// obj's into this object, through
//     static void Derived::CopyProperties(const Derived &from, Derived &to);
// nothing happens unless obj is a Derived that VerifySameClass accepts.
template <class Derived>
class CSettingsClass : public CSettingsClassBase {
public:
    void GetData(ICopyClass &obj) const
    {
        auto *other = dynamic_cast<Derived *>(&obj);
        if (other == nullptr || !VerifySameClass(obj, *this))
            return;
        Derived::CopyProperties(static_cast<const Derived &>(*this), *other);
    }

    void SetData(const ICopyClass &obj)
    {
        const auto *other = dynamic_cast<const Derived *>(&obj);
        if (other == nullptr || !VerifySameClass(obj, *this))
            return;
        Derived::CopyProperties(*other, static_cast<Derived &>(*this));
    }

protected:
    using CSettingsClassBase::CSettingsClassBase;
};
