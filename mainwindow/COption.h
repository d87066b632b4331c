#pragma once
#include "CSettingsClass.h"

// The print options: what the printed configuration report carries besides
// the parameter table (a heading picture, two foot-note lines, page
// numbers). The main window owns one instance for the run and loads it from
// the per-user settings store at start; the print-options dialog edits a
// copy, and the command saves what OK took to the store; printing only reads
// the six values.
//
// Persisted in the per-user settings store (or the INI file FileName, when
// set), section "COption": "m_bPrintHeaderPage", "m_HeaderPagePath",
// "m_bPrintNotePiePagina", "m_NotePiePagina1", "m_NotePiePagina2",
// "m_bPrintPageNumber". Booleans are written "1"/"0", texts unchanged. A
// missing key keeps the property's value.
class COption : public CSettingsClass<COption> {
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

    // The copy of GetData and SetData: the six values.
    static void CopyProperties(const COption &from, COption &to);

private:
    // LoadData reads all six keys before it changes anything: a stored
    // Boolean text that does not convert throws ProgramError (13 type
    // mismatch, 6 overflow) and leaves the object as it was.
    void LoadValues() override;
    void SaveValues() override;

    bool m_bPrintHeaderPage = false;
    QString m_HeaderPagePath;
    bool m_bPrintNotePiePagina = false;
    QString m_NotePiePagina1;
    QString m_NotePiePagina2;
    bool m_bPrintPageNumber = false;
};
