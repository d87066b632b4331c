#pragma once
#include "COption.h"
#include "CPrintTable.h"
#include "PrintLayoutRecord.h"
#include "ReportRecordset.h"

#include <cstdint>

class QWidget;

// The report and print commands of the main window. FMain owns the objects
// and calls these functions; they keep no state of their own.
//
// What FMain holds: a CPrintTable child `PrintTable` (created hidden, laid
// over the list area on every resize), `m_Option` (COption),
// `m_rsHeaderLayout`, `m_rsTableLayout` (PrintLayoutRecordset) and
// `m_rsReport` (ReportRecordset). What it calls:
//
// - load, step 14:      SetUpPrintTable(*PrintTable);
//                       connect(PrintTable, &CPrintTable::PrintEnd, ...) to
//                       a handler that calls PrintTableEnded (event 9).
// - File menu opening:  mnuPrint enabled = there are configurations and
//                       !PrintTable->Printing(); mnuPrinterSetup enabled =
//                       !PrintTable->Printing().
// - mnuPrint:           PrintReport(this, *PrintTable, m_CurrentIDProgramma,
//                       *m_Option, m_rsHeaderLayout, m_rsTableLayout,
//                       m_rsReport);
// - PrintEnd (event 9): PrintTableEnded(*lvProgrammi, *PrintTable,
//                       m_rsHeaderLayout, m_rsTableLayout, m_rsReport);
// - mnuPrinterSetup:    PrinterSetup();
// - mnuPrintOption:     PrintOption(this, *m_Option);
//
// None of them lets an exception out, so they can be called straight from a
// menu handler.
namespace PrintCommands {

// The renderer's set-up at the main window's load: the executable's name,
// the program's revision (third part of its version), the page margins 10,
// 10, 20, 10 (millimetres: left, top, right, bottom) and two table columns.
void SetUpPrintTable(CPrintTable &printTable);

// The program's revision number: the third part of its version.
std::int16_t ProgramRevision();

// Fills the two layout recordsets from the template forms (FIntestazioneDoc
// for the page heading, FGriglia for the table styles).
void PrepareReportForms(PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout);

// Replaces the report's rows by the report of configuration idProgramma:
// the title row (682), the column headings (683, 684), then the rows of each
// parameter object that applies to the fitted model and modules, in
// collection order. Loads the configuration from g_Connection; a
// DatabaseError or SetupReadError reaches the caller (the report may then
// hold the heading rows only).
void BuildReport(std::int32_t idProgramma, ReportRecordset &report);

// Print (mnuPrint): the layouts, the report of idProgramma, the six print
// options and the recordsets handed to printTable in that order, then the
// print started; the renderer prints on the next turn of the event loop and
// emits PrintEnd. A configuration that cannot be read shows message 688
// (owner as the parent; a failure of the database named by its kind,
// DatabaseErrorText) and prints nothing. Nothing happens while
// printTable is printing. Returns true when the print was started.
bool PrintReport(QWidget *owner, CPrintTable &printTable, std::int32_t idProgramma, const COption &option,
                 PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout, ReportRecordset &report);

// The end of a print (the renderer's PrintEnd): the list is shown again,
// the renderer hidden, the three recordsets emptied.
void PrintTableEnded(QWidget &lvProgrammi, CPrintTable &printTable, PrintLayoutRecordset &headerLayout,
                     PrintLayoutRecordset &tableLayout, ReportRecordset &report);

// Printer setup (mnuPrinterSetup): a CPrintDlg on the application title
// shows the print set-up dialog; the result is not used (the choice lasts
// as the stored application printer and the program's current printer).
void PrinterSetup();

// Print option (mnuPrintOption): FOption as a lone dialog on a copy of
// option; OK copies the dialog's six values back into option and saves
// them in the per-user settings store (option.SaveData with no file name),
// where the main window's next load reads them; Cancel and the close box
// leave the option and the store as they were.
void PrintOption(QWidget *owner, COption &option);

} // namespace PrintCommands
