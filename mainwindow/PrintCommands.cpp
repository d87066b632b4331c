#include "PrintCommands.h"

#include "CCollDatiSetup.h"
#include "CPrintDlg.h"
#include "CTraceCode.h"
#include "CVersion.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "FGriglia.h"
#include "FIntestazioneDoc.h"
#include "FOption.h"
#include "MBytes.h"
#include "ModelError.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "ResourceText.h"
#include "SettingsStore.h"
#include "StringTable.h"

#include <QWidget>
#include <exception>

namespace {

constexpr int kTextReportTitle = 682;
constexpr int kTextParameterName = 683;
constexpr int kTextParameterValue = 684;
constexpr int kTextReportNotRead = 688;
constexpr int kTextReportRefusedData = 3168; // "The configuration cannot be read for the report: |1."

// Page margins of the report, millimetres: left, top, right, bottom.
constexpr std::int16_t kMarginLeft = 10;
constexpr std::int16_t kMarginTop = 10;
constexpr std::int16_t kMarginRight = 20;
constexpr std::int16_t kMarginBottom = 10;
constexpr std::int16_t kTableColumns = 2;

} // namespace

namespace PrintCommands {

std::int16_t ProgramRevision()
{
    return LoWord(CVersion::ProgramVersionData().Fixed.FileVersionLS);
}

void SetUpPrintTable(CPrintTable &printTable)
{
    printTable.SetExeName(ExecutableName());
    printTable.SetRevision(ProgramRevision());
    printTable.SetPageMargins(kMarginLeft, kMarginTop, kMarginRight, kMarginBottom);
    printTable.SetColumnCount(kTableColumns);
}

void PrepareReportForms(PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout)
{
    headerLayout = PrintLayoutRecordset();
    tableLayout = PrintLayoutRecordset();
    FIntestazioneDoc::Create(headerLayout);
    FGriglia::Create(tableLayout);
}

void BuildReport(std::int32_t idProgramma, ReportRecordset &report)
{
    report = ReportRecordset();
    report.Append({1, LoadResourceString(kTextReportTitle), QString()});
    report.Append({2, LoadResourceString(kTextParameterName), LoadResourceString(kTextParameterValue)});

    CCollDatiSetup setup;
    setup.SetIDProgramma(idProgramma);
    setup.LoadDataFromADORS();
    const CCollDatiSetup::SetupObjectCollection &objects = setup.SetupObjects();
    for (std::int16_t i = 1; i <= objects.Count(); ++i) {
        if (setup.ValidData(i))
            objects.Item(i).SetReport(report);
    }
}

bool PrintReport(QWidget *owner, CPrintTable &printTable, std::int32_t idProgramma, const COption &option,
                 PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout, ReportRecordset &report)
{
    if (printTable.Printing())
        return false;
    try {
        PrepareReportForms(headerLayout, tableLayout);
        BuildReport(idProgramma, report);
    } catch (const std::exception &e) {
        const QString description = QString::fromUtf8(e.what());
        g_Trace.BugMessage(QStringLiteral("Report non creato per IDProgramma=%1: ").arg(idProgramma) + description);
        headerLayout.Clear();
        tableLayout.Clear();
        report.Clear();
        // A failure of the database is told by its kind; a stored value its
        // field's rules refuse is named in the user's words (the check text
        // stays in the trace).
        const auto *database = dynamic_cast<const DatabaseError *>(&e);
        const auto *refused = dynamic_cast<const SetupReadError *>(&e);
        MsgBox(database != nullptr  ? GetResourceText(kTextReportNotRead, {DatabaseErrorText(*database)})
               : refused != nullptr ? GetResourceText(kTextReportRefusedData, {refused->UserText()})
                                    : GetResourceText(kTextReportNotRead, {description}),
               MsgBoxStyle::Exclamation, QString(), owner);
        return false;
    }

    printTable.SetPrintHeaderPage(option.PrintHeaderPage());
    printTable.SetHeaderPagePath(option.HeaderPagePath());
    printTable.SetNotePiePagina1(option.NotePiePagina1());
    printTable.SetNotePiePagina2(option.NotePiePagina2());
    printTable.SetPrintNotePiePagina(option.PrintNotePiePagina());
    printTable.SetPrintPageNumber(option.PrintPageNumber());
    printTable.SetLayout(headerLayout, tableLayout);
    printTable.SetReport(report);
    printTable.StartPrint();
    return true;
}

void PrintTableEnded(QWidget &lvProgrammi, CPrintTable &printTable, PrintLayoutRecordset &headerLayout,
                     PrintLayoutRecordset &tableLayout, ReportRecordset &report)
{
    lvProgrammi.setVisible(true);
    printTable.setVisible(false);
    headerLayout.Clear();
    tableLayout.Clear();
    report.Clear();
}

void PrinterSetup()
{
    CPrintDlg dialog;
    dialog.SetApplicationName(QString::fromLatin1(kApplicationTitle));
    dialog.ShowPrintSetupDlg();
}

void PrintOption(QWidget *owner, COption &option)
{
    FOption dialog(owner);
    dialog.SetFormType(0);
    dialog.SetData(option);
    dialog.Show(1);
    if (dialog.ButtonRet() != 0)
        return;
    dialog.GetData(option);
    // Kept for the next start, as the connection settings are.
    option.SaveData(QString());
}

} // namespace PrintCommands
