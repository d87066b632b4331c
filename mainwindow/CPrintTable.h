#pragma once
#include "FileReplacement.h"
#include "PrintLayoutRecord.h"
#include "ReportRecordset.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPainter;
class QPrinter;

// The report renderer of the main window (the print-table control): it takes
// the print options, the two layout recordsets and the report recordset,
// lays the report out in pages and prints them with QPainter on a QPrinter:
// the program's current printer (ProgramPrinter(), a real printer through the
// print system, or a PDF printer when the system has none) unless another
// printer is installed with SetPrinter.
//
// It lies over the main window's list area: StartPrint shows it (a line of
// text says that the report is being printed) and queues the printing, so
// the window repaints first; the pages are printed on the window thread on
// the next turn of the event loop, then Printing() turns false and PrintEnd
// is emitted. The owner hides it again on PrintEnd.
//
// The pages:
// - with PrintHeaderPage, a heading page first: the picture of
//   HeaderPagePath scaled to the printable area (an unreadable picture is
//   traced, told (text 692) and the page left out, the rest printed); it
//   carries no footer and no number;
// - then the table pages: on each, the heading block of the heading layout
//   (its frame row and its text rows, positions in twips from the top left
//   corner of the printable area, scaled down when wider than the page),
//   the column headings, and the report rows in their order. The report's
//   leading one-column rows are its caption ("CaptionTableStyle", first page
//   only); its first two-column row is the column-heading row
//   ("Col<n>TitleStyle"), repeated on every page; every later row is data
//   ("Col<n>DataStyle"), a one-column row spanning the table;
// - the foot of every table page: the two note lines with
//   PrintNotePiePagina, "Page n of N" (text 685) with PrintPageNumber, the
//   table pages counted from 1.
//
// Label prefixes of the parameter objects (read in either column and never
// printed): "#SBAC#" a title, bold and centred; "#SB#" a parameter label,
// bold; "#SBA" a title, bold, aligned as its style.
//
// A print that cannot start or fails is traced and shown in a message box:
// a printer refusing with text 687; a PDF file that cannot be written with
// the text of the kind of its failure (FileWriteErrorText) and 691. A PDF is
// written beside its file, which it replaces only when the whole document
// is on disk: a failed print leaves an earlier file as it was. PrintEnd is
// emitted all the same. A PDF printer without an output file
// asks for one (PdfFileChooser) for this print only; cancelling it prints
// nothing.
class CPrintTable : public QWidget {
    Q_OBJECT
public:
    explicit CPrintTable(QWidget *parent = nullptr);
    ~CPrintTable() override;

    // Set once by the main window's load.
    // The program's executable name: the print job's document name.
    void SetExeName(const QString &name) { m_ExeName = name; }
    QString ExeName() const { return m_ExeName; }
    // The program's revision number: with the name, the PDF's creator.
    void SetRevision(std::int16_t revision) { m_Revision = revision; }
    std::int16_t Revision() const { return m_Revision; }
    // Page margins in millimetres (each taken within 0..100).
    void SetPageMargins(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom);
    // The number of table columns, 1 or 2 (others are taken as 2).
    void SetColumnCount(std::int16_t columns);
    std::int16_t ColumnCount() const { return m_ColumnCount; }

    // True from StartPrint until PrintEnd: the owner offers no new print and
    // no printer set-up meanwhile.
    bool Printing() const { return m_Printing; }

    // The print options, handed over before each print.
    void SetPrintHeaderPage(bool on) { m_PrintHeaderPage = on; }
    void SetHeaderPagePath(const QString &path) { m_HeaderPagePath = path; }
    void SetNotePiePagina1(const QString &text) { m_NotePiePagina1 = text; }
    void SetNotePiePagina2(const QString &text) { m_NotePiePagina2 = text; }
    void SetPrintNotePiePagina(bool on) { m_PrintNotePiePagina = on; }
    void SetPrintPageNumber(bool on) { m_PrintPageNumber = on; }

    // The heading layout and the table layout, and the report: the renderer
    // keeps copies (the caller's recordsets are left as they are and may be
    // released once the print has started).
    void SetLayout(PrintLayoutRecordset &headerLayout, PrintLayoutRecordset &tableLayout);
    void SetReport(ReportRecordset &report);

    // Starts the print of what was handed over (ignored while Printing()).
    void StartPrint();

    // The printer the report goes to; nullptr restores ProgramPrinter().
    void SetPrinter(QPrinter *printer) { m_Printer = printer; }

    // Asks for the PDF file of a print on a PDF printer without an output
    // file: answers the path, or an empty text when cancelled. Tests install
    // their own; an empty function restores the file dialog. Returns the
    // previous chooser.
    using PdfFileChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
    static PdfFileChooser SetPdfFileChooser(PdfFileChooser chooser);

    // The number of pages the last print produced (0 when nothing printed).
    int PrintedPages() const { return m_PrintedPages; }

signals:
    // The end of a print, printed or not.
    void PrintEnd();

private:
    void runPrint();
    // A print on a PDF printer: the document is written, by a fresh printer
    // with the settings of `printer`, beside the printer's file and replaces
    // it only when whole; a file that cannot be written gives its reason in
    // fileFailure.
    bool printPdf(const QPrinter &printer, QString &failure, std::optional<FileWriteError> &fileFailure);
    bool printOn(QPrinter &printer, QString &failure);

    QLabel *m_Status = nullptr;
    QPrinter *m_Printer = nullptr;
    QString m_ExeName;
    std::int16_t m_Revision = 0;
    std::int16_t m_MarginLeft = 10;
    std::int16_t m_MarginTop = 10;
    std::int16_t m_MarginRight = 10;
    std::int16_t m_MarginBottom = 10;
    std::int16_t m_ColumnCount = 2;
    bool m_Printing = false;
    int m_PrintedPages = 0;

    bool m_PrintHeaderPage = false;
    QString m_HeaderPagePath;
    QString m_NotePiePagina1;
    QString m_NotePiePagina2;
    bool m_PrintNotePiePagina = false;
    bool m_PrintPageNumber = false;

    PrintLayoutRecordset m_HeaderLayout;
    PrintLayoutRecordset m_TableLayout;
    ReportRecordset m_Report;
};
