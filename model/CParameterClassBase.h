#pragma once
#include "CICopyClassBase.h"
#include "CLoadSaveADORS.h"
#include "ColumnVisitor.h"
#include "DatabaseError.h"
#include "ICopyClass.h"
#include "ParameterCodes.h"

#include <QStringList>
#include <memory>
#include <span>
#include <vector>

// What every parameter class shares: the base object (file name, settings),
// the class name (also the key of the setup collection and the database
// table), the row store, the row save and load of one configuration, the
// containment rule of VerifySameClass and the report-row adder.
//
// A class derives from CParameterClass<Itself> (below), not from this one.
class CParameterClassBase : public IParameterObject {
public:
    explicit CParameterClassBase(const QString &className);
    ~CParameterClassBase() override;

    // The stored columns in table order (see ColumnVisitor).
    virtual void Columns(ColumnVisitor &visitor) = 0;

    QString ClassName() const override { return m_ClassName; }
    void SetClassName(const QString &className) override { m_ClassName = className; }
    QString FileName() const override;
    void SetFileName(const QString &fileName) override;
    void LoadData(const QString &fileName) override;
    void SaveData(const QString &fileName) override;
    // Forwarded to the base object with ClassName as the section (the
    // section argument is not used).
    void SaveVariable(const QString &name, const QVariant &value, const QString &section) override;
    void LoadVariable(const QString &name, QVariant &value, const QString &section) override;
    // True when either class name contains the other (case-sensitive), so
    // "CInOutScale" and "CInOutScaleB" match and "CAlarm1" and "CAlarm2" do
    // not; an empty name matches any.
    bool VerifySameClass(const ICopyClass &first, const ICopyClass &second) const override;

    // The row of this configuration in the table named ClassName, over
    // g_Connection. A 16-bit or 32-bit integer criterion adds a row with
    // that IDProgramma (save only); "IDProgramma=" + a decimal id selects
    // the existing row. The save is one transaction: the whole row or
    // nothing. The load reads every column first and assigns the members
    // only when all of them were read, so a failure leaves the object as it
    // was. A refused criterion, a row not found, an unknown or missing table
    // or column, a column value that does not fit: the failed-check trace
    // line, then DatabaseError. A row of this configuration that is missing
    // (but for the model's row: NotInArchive) or holds a value that does not
    // fit is a Configuration failure, placed in this configuration.
    void SaveDataInADORS(const RowCriterion &criterion) override;
    void LoadDataFromADORS(const RowCriterion &criterion) override;

    // Parameter objects keep no map words of their own unless their class
    // says so: by default the four map operations and the report do nothing.
    void SetReport(ReportRecordset &) const override {}
    void GetMemoryMap(const CModInstr &, MemMapWords &) const override {}
    void SetUserSetup(const CModInstr &, const MemMapWords &) override {}
    void GetMemoryMapAux(const CModInstr &, MemMapAuxLines &) const override {}
    void SetUserSetupAux(const CModInstr &, const MemMapAuxLines &) override {}

    // The stored column names in table order (for the schema and tests).
    QStringList ColumnNames();

    // The rules of the fields whose values are limited to a list or to the
    // range their page offers (ParameterCodes.h); none by default.
    virtual std::span<const FieldRule> FieldRules() const { return {}; }
    // Raises SetupReadError for the first field outside its rule, naming the
    // field, its value and this object's ClassName. Run on every road in:
    // the row load (which then leaves the object as it was) and the
    // collection's reading of a stored row, a map or auxiliary lines.
    void CheckValues();

    // The rules that follow from the context values (the model and slot-A
    // code the setup collection has pushed): what the instrument's display
    // and words can carry for that configuration, such as the decimal points
    // of a four-digit display or the 16-bit values of the base layout. None
    // by default.
    virtual std::vector<FieldRule> ContextRules() const { return {}; }
    // Raises SetupReadError for the first field outside its context rule.
    // The collection runs it, for the objects that apply, once their context
    // values are pushed.
    void CheckContextValues();

    // The row load without the field rules: every column read, then all of
    // them assigned (a failure of the database leaves the object as it was).
    // For the setup collection, which decides what a refused value means.
    void LoadRowFromADORS(const RowCriterion &criterion);

protected:
    // Appends one report row: nColumn = number of values (1 title, 2 label
    // and value), Column1 and Column2 the values.
    static void AddReportRow(ReportRecordset &report, const QStringList &values);

    // The row store and the traced column access used by the row save and
    // load ("SaveVariable m_X=value", "LoadVariable m_X").
    void SaveFieldInADORS(const QString &name, const QVariant &value);
    void LoadFieldFromADORS(const QString &name, QVariant &value);

private:
    CICopyClassBase &base();
    // The failed-check trace line, then DatabaseError of that kind.
    [[noreturn]] void fail(const QString &text, DatabaseFailure kind = DatabaseFailure::Other) const;
    // The row the criterion selects is not in the table.
    [[noreturn]] void failRowNotFound(const QString &criterion) const;
    // A Configuration failure of a row not yet placed goes on placed in the
    // configuration of that id (its listed name, the field's caption);
    // anything else goes on as it is.
    [[noreturn]] static void rethrowInConfiguration(const DatabaseError &error, std::int32_t id);
    // Writes "Apertura tabella:" and refuses a table that is not one of ours.
    void checkTable() const;
    // Opens the object's table on the rows of that IDProgramma only.
    void openTable(class ADORecordset &rs, std::int32_t id);
    std::int32_t parseCriterion(const QString &criterion) const;

    std::unique_ptr<CICopyClassBase> m_Base;
    QString m_ClassName;
    CLoadSaveADORS m_RowStore;
};

// The typed part of the frame: GetData/SetData copy between objects of the
// same C++ class only, after VerifySameClass, through
//     static void Derived::CopyProperties(const Derived &from, Derived &to);
// which the class defines in its copy order (through the write operations).
template <class Derived>
class CParameterClass : public CParameterClassBase {
public:
    using CParameterClassBase::CParameterClassBase;

    void GetData(IParameterObject &obj) const override
    {
        auto *other = dynamic_cast<Derived *>(&obj);
        if (other == nullptr || !VerifySameClass(obj, *this))
            return;
        Derived::CopyProperties(static_cast<const Derived &>(*this), *other);
    }

    void SetData(const IParameterObject &obj) override
    {
        const auto *other = dynamic_cast<const Derived *>(&obj);
        if (other == nullptr || !VerifySameClass(obj, *this))
            return;
        Derived::CopyProperties(*other, static_cast<Derived &>(*this));
    }
};
