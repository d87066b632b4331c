#pragma once
#include "CICopyClassBase.h"
#include "ICopyClass.h"

// The print options: what the printed configuration report carries besides
// the parameter table (a heading picture, two foot-note lines, page
// numbers). The main window owns one instance for the run and loads it from
// the per-user settings store at start; the print-options dialog edits a
// copy; printing only reads the six values.
//
// Persisted in the per-user settings store (or the INI file FileName, when
// set), section "COption": "m_bPrintHeaderPage", "m_HeaderPagePath",
// "m_bPrintNotePiePagina", "m_NotePiePagina1", "m_NotePiePagina2",
// "m_bPrintPageNumber". Booleans are written "1"/"0", texts unchanged. A
// missing key keeps the property's value.
class COption : public ICopyClass {
public:
    // Writes the trace line "Class_Initialize() COption"; all switches off,
    // all texts empty.
    COption();

    bool PrintHeaderPage() const { return m_bPrintHeaderPage; }
    QString HeaderPagePath() const { return m_HeaderPagePath; }
    bool PrintNotePiePagina() const { return m_bPrintNotePiePagina; }
    QString NotePiePagina1() const { return m_NotePiePagina1; }
    QString NotePiePagina2() const { return m_NotePiePagina2; }
    bool PrintPageNumber() const { return m_bPrintPageNumber; }

    void SetPrintHeaderPage(bool v) { m_bPrintHeaderPage = v; }
    void SetHeaderPagePath(const QString &v) { m_HeaderPagePath = v; }
    void SetPrintNotePiePagina(bool v) { m_bPrintNotePiePagina = v; }
    void SetNotePiePagina1(const QString &v) { m_NotePiePagina1 = v; }
    void SetNotePiePagina2(const QString &v) { m_NotePiePagina2 = v; }
    void SetPrintPageNumber(bool v) { m_bPrintPageNumber = v; }

    // Copy the six values into obj (GetData) or obj's into this object
    // (SetData); nothing happens unless obj is a COption that
    // VerifySameClass accepts.
    void GetData(ICopyClass &obj) const;
    void SetData(const ICopyClass &obj);

    QString ClassName() const override { return QStringLiteral("COption"); }
    QString FileName() const override { return m_Base.FileName(); }
    void SetFileName(const QString &fileName) override { m_Base.SetFileName(fileName); }
    // A non-empty name becomes FileName first. LoadData reads all six keys
    // before it changes anything: a stored Boolean text that does not
    // convert throws ProgramError (13 type mismatch, 6 overflow) and leaves
    // the object as it was.
    void LoadData(const QString &fileName) override;
    void SaveData(const QString &fileName) override;
    // The options are not kept in the configuration database.
    void SaveDataInADORS(const RowCriterion &) override {}
    void LoadDataFromADORS(const RowCriterion &) override {}
    bool VerifySameClass(const ICopyClass &first, const ICopyClass &second) const override
    {
        return m_Base.VerifySameClass(first, second);
    }
    // Forwarded to the base object with ClassName as the section (the
    // section argument is not used).
    void SaveVariable(const QString &name, const QVariant &value, const QString &section) override;
    void LoadVariable(const QString &name, QVariant &value, const QString &section) override;

private:
    CICopyClassBase m_Base;
    bool m_bPrintHeaderPage = false;
    QString m_HeaderPagePath;
    bool m_bPrintNotePiePagina = false;
    QString m_NotePiePagina1;
    QString m_NotePiePagina2;
    bool m_bPrintPageNumber = false;
};
