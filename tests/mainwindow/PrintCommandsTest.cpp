// The report and print commands: the report of a stored configuration (a
// real SQLite copy of the generated template), a real PDF printed by the
// report renderer and read back with poppler's pdftotext/pdfinfo/pdfimages,
// the print-options command and the printer set-up command. No dialog waits
// on a person: message boxes go to the hook, dialogs are answered by timers,
// the printer system is a fake for the set-up dialog.
#include "ADOConnection.h"
#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CDisplay.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "COption.h"
#include "CPrintTable.h"
#include "CRangeMVAHVA.h"
#include "CRangeWP12.h"
#include "CTemplateDatabase.h"
#include "FileWriteErrorText.h"
#include "FileWriteFaults.h"
#include "FOption.h"
#include "MsgBox.h"
#include "PrintCommands.h"
#include "PrinterPlatform.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "ResourceText.h"
#include "TestEnvironment.h"
#include "TraceCapture.h"

#include "../model/ModelDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

struct Fitting {
    std::int16_t model, a, b, c, d;
};

// One stored configuration and the positions of the objects that apply to
// its model and modules.
struct Configuration {
    const char *name;
    Fitting fitting;
    std::int16_t wpxFunction;
    std::vector<int> applying;
};

const std::vector<Configuration> kConfigurations{
    // Low/high-signal input, serial module, two relays: no temperature,
    // frequency or master-input ranges, no counters, no channel F, two alarms.
    {"Forno 3", {1, 0, 1, 2, 0}, 0, {1, 3, 6, 7, 8, 12, 13, 17, 18}},
    // Frequency/counter module on function F1 (both lines scaled): the
    // scales and curves of both channels, no counters, no alarms.
    {"Nastro 2", {3, 4, 0, 0, 0}, 0, {1, 2, 6, 7, 8, 9, 10, 17}},
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &file)
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    for (const QString &line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

QString pdfText(const QString &file, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << QStringLiteral("-layout") << file << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), args);
}

// The pages that carry a picture, from pdfimages -list.
std::vector<int> pagesWithImages(const QString &file)
{
    std::vector<int> pages;
    const QStringList lines =
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file}).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!fields.isEmpty())
            pages.push_back(fields.front().toInt());
    }
    return pages;
}

// Text with the layout blanks of pdftotext taken out, for searching labels
// that a cell may have spaced differently.
QString squeezed(QString text)
{
    return text.simplified();
}

// A configuration database: the generated template copied to the program
// folder and opened on g_Connection.
class PrintCommandsTest : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r.text);
            return MsgBoxResult::OK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(m_OldHook);
        ModelDatabase::TearDown();
    }

    static void Store(std::int32_t id, const Configuration &c)
    {
        CCollDatiSetup setup;
        CModInstr &mod = setup.ModInstr();
        mod.SetNomeProgramma(QString::fromLatin1(c.name));
        mod.SetModelloStrumento(c.fitting.model);
        mod.SetSlotA(c.fitting.a);
        mod.SetSlotB(c.fitting.b);
        mod.SetSlotC(c.fitting.c);
        mod.SetSlotD(c.fitting.d);
        setup.RangeWP12().SetWPxFunction(c.wpxFunction);
        setup.RangeMVAHVA().SetIntegrationTime(1);
        setup.RangeMVAHVA().SetIntTime(1000);
        setup.Display().SetPassword(1234);
        setup.InOutScale().SetLinearizzazione(1);
        setup.Linearize().SetNumSpezzate(16);
        setup.InOutScaleB().SetLinearizzazione(1);
        setup.LinearizeB().SetNumSpezzate(16);
        // The six-digit display of model 3's frequency modules takes the
        // decimal points of its own table.
        if (c.fitting.model == 3 && (c.fitting.a == 4 || c.fitting.a == 5)) {
            for (CInOutScale *scale : {&setup.InOutScale(), &setup.InOutScaleB()}) {
                scale->SetElectricDigitalPoint(0x10000);
                scale->SetMeasureDigitalPoint(0x10000);
            }
        }
        setup.SetIDProgramma(id);
        setup.SaveDataInADORS(true);
    }

    // The six print options with everything printed but the heading page.
    static COption Options(bool pageNumbers, bool notes, bool headerPage = false, const QString &picture = {})
    {
        COption o;
        o.SetPrintPageNumber(pageNumbers);
        o.SetPrintNotePiePagina(notes);
        o.SetNotePiePagina1(QStringLiteral("Collaudo linea 4"));
        o.SetNotePiePagina2(QStringLiteral("Tecnico: Bruni"));
        o.SetPrintHeaderPage(headerPage);
        o.SetHeaderPagePath(picture);
        return o;
    }

    QString PdfFile(const QString &name) const { return m_Folder.File(name); }

    // Prints configuration id through the command onto a PDF printer writing
    // file (an empty name: the printer has no file) and waits for the end.
    bool PrintToPdf(std::int32_t id, const COption &option, const QString &file)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(file);
        m_Table.SetPrinter(&printer);
        PrintCommands::SetUpPrintTable(m_Table);
        QSignalSpy ended(&m_Table, &CPrintTable::PrintEnd);
        if (!PrintCommands::PrintReport(&m_Window, m_Table, id, option, m_Header, m_TableLayout, m_Report))
            return false;
        const bool done = ended.count() > 0 || ended.wait(30000);
        m_Table.SetPrinter(nullptr);
        m_PrinterFileAfter = printer.outputFileName();
        return done && ended.count() == 1 && !m_Table.Printing();
    }

    MsgBoxHook m_OldHook;
    std::vector<QString> m_Boxes;
    QWidget m_Window;
    CPrintTable m_Table{&m_Window};
    PrintLayoutRecordset m_Header;
    PrintLayoutRecordset m_TableLayout;
    ReportRecordset m_Report;
    QString m_PrinterFileAfter;
};

TEST_F(PrintCommandsTest, ReportHoldsTheHeadingRowsThenTheApplyingObjectsInCollectionOrder)
{
    std::int32_t id = 50;
    for (const Configuration &c : kConfigurations) {
        SCOPED_TRACE(c.name);
        Store(++id, c);

        ReportRecordset report;
        PrintCommands::BuildReport(id, report);

        // What each applying object reports, in collection order.
        CCollDatiSetup loaded;
        loaded.SetIDProgramma(id);
        loaded.LoadDataFromADORS();
        ReportRecordset expected;
        expected.Append({1, QStringLiteral("LIST OF INSTRUMENT PARAMETER SETUP"), QString()});
        expected.Append({2, QStringLiteral("PARAMETER NAME"), QStringLiteral("PARAMETER VALUE")});
        std::vector<int> applying;
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i) {
            if (loaded.ValidData(i))
                applying.push_back(i);
        }
        ASSERT_EQ(applying, c.applying);
        for (int i : c.applying)
            loaded.SetupObjects().Item(static_cast<std::int16_t>(i)).SetReport(expected);

        ASSERT_EQ(report.Count(), expected.Count());
        for (std::size_t r = 0; r < report.Count(); ++r) {
            const ReportRowRecord &got = report.Rows()[r];
            const ReportRowRecord &want = expected.Rows()[r];
            EXPECT_EQ(got.nColumn, want.nColumn) << "row " << r;
            EXPECT_EQ(got.Column1.toStdString(), want.Column1.toStdString()) << "row " << r;
            EXPECT_EQ(got.Column2.toStdString(), want.Column2.toStdString()) << "row " << r;
        }
        // The model object's rows come first, with the configuration's name.
        ASSERT_GT(report.Count(), 3u);
        EXPECT_EQ(report.Rows()[2].Column1, QStringLiteral("#SB#Program name"));
        EXPECT_EQ(report.Rows()[2].Column2, QString::fromLatin1(c.name));
    }
}

TEST_F(PrintCommandsTest, PrintedPdfCarriesTheReportAndWhatTheOptionsAskFor)
{
    Store(51, kConfigurations[1]);
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    const QString picturePath = m_Folder.File(QStringLiteral("logo.png"));
    ASSERT_TRUE(picture.save(picturePath));

    struct Case {
        const char *name;
        COption option;
        bool numbers, notes, headerPage;
    };
    const std::vector<Case> cases{
        {"nothing extra", Options(false, false), false, false, false},
        {"page numbers and notes", Options(true, true), true, true, false},
        {"heading page", Options(true, false, true, picturePath), true, false, true},
        {"heading page without a readable picture",
         Options(false, false, true, m_Folder.File(QStringLiteral("missing.png"))), false, false, false},
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture trace;
        const QString file = PdfFile(QString::fromLatin1(c.name).replace(' ', '_') + QStringLiteral(".pdf"));
        m_Window.show();
        m_Boxes.clear();
        ASSERT_TRUE(PrintToPdf(51, c.option, file));
        // A picture that cannot be read is told; the rest is printed.
        const bool pictureMissing = c.option.PrintHeaderPage() && !c.headerPage;
        EXPECT_EQ(m_Boxes, pictureMissing ? std::vector<QString>{GetResourceText(692, {c.option.HeaderPagePath()})}
                                          : std::vector<QString>{});

        const int pages = pdfPages(file);
        EXPECT_EQ(pages, m_Table.PrintedPages());
        const int tablePages = pages - (c.headerPage ? 1 : 0);
        // Two 16-point curves do not fit on one page.
        EXPECT_GE(tablePages, 2);

        const QString text = pdfText(file);
        const QString flat = squeezed(text);
        for (const char *expected : {"LIST OF INSTRUMENT PARAMETER SETUP", "PARAMETER NAME", "PARAMETER VALUE",
                                     "Instrument model:", "Note:", "Program name", "Nastro 2", "Password", "1234"})
            EXPECT_TRUE(flat.contains(QLatin1String(expected))) << expected;
        EXPECT_FALSE(text.contains(QLatin1String("#SB"))) << "layout marks are never printed";

        EXPECT_EQ(flat.contains(QStringLiteral("Page 1 of %1").arg(tablePages)), c.numbers);
        EXPECT_EQ(flat.contains(QStringLiteral("Page %1 of %1").arg(tablePages)), c.numbers);
        EXPECT_EQ(flat.contains(QLatin1String("Collaudo linea 4")), c.notes);
        EXPECT_EQ(flat.contains(QLatin1String("Tecnico: Bruni")), c.notes);

        if (c.headerPage) {
            EXPECT_EQ(pagesWithImages(file), std::vector<int>{1});
            EXPECT_EQ(squeezed(pdfText(file, 1)), QString());
            EXPECT_TRUE(squeezed(pdfText(file, 2)).contains(QLatin1String("Page 1 of")));
        } else {
            EXPECT_TRUE(pagesWithImages(file).empty());
        }
        const bool pictureTraced =
            trace.Lines().join('\n').contains(QLatin1String("Immagine pagina di intestazione non leggibile"));
        EXPECT_EQ(pictureTraced, pictureMissing);
    }
}

TEST_F(PrintCommandsTest, EndOfPrintShowsTheListAgainAndReleasesTheRecordsets)
{
    Store(51, kConfigurations[0]);
    QListWidget list(&m_Window);
    m_Window.show();
    list.hide();
    QObject::connect(&m_Table, &CPrintTable::PrintEnd, &m_Table,
                     [&] { PrintCommands::PrintTableEnded(list, m_Table, m_Header, m_TableLayout, m_Report); });

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfFile(QStringLiteral("end.pdf")));
    m_Table.SetPrinter(&printer);
    QSignalSpy ended(&m_Table, &CPrintTable::PrintEnd);
    ASSERT_TRUE(
        PrintCommands::PrintReport(&m_Window, m_Table, 51, Options(false, false), m_Header, m_TableLayout, m_Report));
    // While printing: the renderer covers the list, a second print is refused.
    EXPECT_TRUE(m_Table.Printing());
    EXPECT_TRUE(m_Table.isVisible());
    EXPECT_EQ(m_Header.Count(), 5u);
    EXPECT_EQ(m_TableLayout.Count(), 5u);
    EXPECT_GT(m_Report.Count(), 2u);
    EXPECT_FALSE(
        PrintCommands::PrintReport(&m_Window, m_Table, 51, Options(false, false), m_Header, m_TableLayout, m_Report));

    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(m_Table.Printing());
    EXPECT_FALSE(m_Table.isVisible());
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(m_Header.Count(), 0u);
    EXPECT_EQ(m_TableLayout.Count(), 0u);
    EXPECT_EQ(m_Report.Count(), 0u);
    EXPECT_EQ(pdfPages(PdfFile(QStringLiteral("end.pdf"))), m_Table.PrintedPages());
    m_Table.SetPrinter(nullptr);
}

// A PDF print cut by a full disk leaves nothing behind in the printer: once
// there is room, every print on it is whole, on the paper the user chose,
// and the user's printer keeps its settings.
TEST_F(PrintCommandsTest, PdfPrintsAfterOneOnAFullDiskAreWhole)
{
    Store(51, kConfigurations[0]);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    m_Table.SetPrinter(&printer);
    PrintCommands::SetUpPrintTable(m_Table);
    const auto print = [&](const QString &file) {
        printer.setOutputFileName(file);
        QSignalSpy ended(&m_Table, &CPrintTable::PrintEnd);
        EXPECT_TRUE(
            PrintCommands::PrintReport(&m_Window, m_Table, 51, Options(true, true), m_Header, m_TableLayout, m_Report));
        EXPECT_TRUE(ended.count() > 0 || ended.wait(30000));
        return m_Table.PrintedPages();
    };

    const QString cut = PdfFile(QStringLiteral("cut.pdf"));
    {
        ScopedFileSizeLimit full(4096);
        EXPECT_EQ(print(cut), 0);
    }
    EXPECT_FALSE(QFile::exists(cut));
    ASSERT_EQ(m_Boxes.size(), 1u);
    FileWriteError diskFull;
    diskFull.kind = FileWriteFailure::DiskFull;
    diskFull.fileName = cut;
    EXPECT_EQ(m_Boxes[0], FileWriteErrorText(diskFull, LoadResourceString(691)));
    m_Boxes.clear();

    for (const QString &file : {cut, PdfFile(QStringLiteral("other.pdf"))}) {
        SCOPED_TRACE(file.toStdString());
        const int pages = print(file);
        EXPECT_GE(pages, 1);
        EXPECT_EQ(pdfPages(file), pages);
        // A5 across: 595 x 420 points.
        const QString info = run(QStringLiteral("pdfinfo"), {file});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size: +595\\S* x 4[12]\\d\\S* pts"))))
            << info.toStdString();
        EXPECT_TRUE(squeezed(pdfText(file)).contains(QLatin1String("Forno 3")));
    }
    EXPECT_TRUE(m_Boxes.empty());
    EXPECT_EQ(printer.outputFileName(), PdfFile(QStringLiteral("other.pdf")));
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    m_Table.SetPrinter(nullptr);
}

// A configuration that cannot be read prints nothing and says why; a print
// that cannot be written says so and still ends; a PDF printer without a
// file asks for one for this print only.
// A stored value its field's rules refuse is named as its page names it;
// the check text stays in the trace.
TEST_F(PrintCommandsTest, AStoredValueItsFieldRefusesIsNamed)
{
    CCollDatiSetup setup;
    setup.ModInstr().SetSlotC(2);
    setup.Alarm(2).SetAlarmType(9);
    setup.SetIDProgramma(52);
    setup.SaveDataInADORS(true);
    TraceCapture trace;

    EXPECT_FALSE(
        PrintCommands::PrintReport(&m_Window, m_Table, 52, Options(true, true), m_Header, m_TableLayout, m_Report));
    const QString field =
        GetResourceText(3161, {LoadResourceString(556), GetResourceText(3162, {2})}); // "Alarm type" (alarm 2)
    EXPECT_EQ(m_Boxes, std::vector<QString>{GetResourceText(3168, {GetResourceText(3155, {field, 9})})});
    EXPECT_TRUE(trace.Lines().join('\n').contains(QStringLiteral("Valore fuori tabella per m_AlarmType: 9")));
    EXPECT_EQ(m_Report.Count(), 0u);
}

TEST_F(PrintCommandsTest, FailuresAreShownAndNothingIsLeftHalfDone)
{
    Store(51, kConfigurations[0]);
    TraceCapture trace;

    // No configuration 77: message 688, no print started.
    QSignalSpy ended(&m_Table, &CPrintTable::PrintEnd);
    EXPECT_FALSE(
        PrintCommands::PrintReport(&m_Window, m_Table, 77, Options(true, true), m_Header, m_TableLayout, m_Report));
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_TRUE(m_Boxes[0].startsWith(QStringLiteral("The configuration cannot be read for the report.\n\r")));
    EXPECT_FALSE(m_Table.Printing());
    EXPECT_EQ(m_Report.Count(), 0u);
    QTest::qWait(20);
    EXPECT_EQ(ended.count(), 0);

    struct Case {
        const char *name;
        QString printerFile;           // empty: a PDF printer without a file
        std::optional<QString> chosen; // the chooser's answer; empty optional: never asked
        bool asked;
        QString written; // the file expected, or empty for none
        bool failureBox;
    };
    const QString chosen = PdfFile(QStringLiteral("chosen.pdf"));
    const QString unwritable = PdfFile(QStringLiteral("no/such/folder/report.pdf"));
    const std::vector<Case> cases{
        {"file that cannot be written", unwritable, std::nullopt, false, QString(), true},
        {"no file, one chosen", QString(), chosen, true, chosen, false},
        {"no file, chooser cancelled", QString(), QString(), true, QString(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        m_Boxes.clear();
        QFile::remove(chosen);
        bool asked = false;
        const auto old = CPrintTable::SetPdfFileChooser([&](QWidget *, const QString &suggested) {
            asked = true;
            EXPECT_TRUE(suggested.endsWith(QLatin1String(".pdf")));
            return c.chosen.value_or(QString());
        });
        ASSERT_TRUE(PrintToPdf(51, Options(false, false), c.printerFile));
        CPrintTable::SetPdfFileChooser(old);

        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(m_PrinterFileAfter, c.printerFile) << "the chosen file is for this print only";
        if (!c.written.isEmpty()) {
            EXPECT_GE(pdfPages(c.written), 1);
        } else {
            EXPECT_FALSE(QFile::exists(chosen));
        }
        ASSERT_EQ(m_Boxes.size(), c.failureBox ? 1u : 0u);
        if (c.failureBox) {
            EXPECT_EQ(m_Boxes[0],
                      GetResourceText(1083, {unwritable}) + QStringLiteral("\n\r") + LoadResourceString(691));
        }
    }
}

// Print option: a lone dialog on a copy; OK takes all six values and keeps
// them in the per-user store for the next start, Cancel takes and stores
// none.
TEST_F(PrintCommandsTest, PrintOptionOkTakesTheDialogsValuesCancelKeepsThem)
{
    const QString app = QString::fromLatin1(kApplicationTitle);
    DeleteSetting(app, QStringLiteral("COption"));
    const COption before = Options(false, true, false, QStringLiteral("/tmp/a.png"));
    COption changed;
    changed.SetPrintHeaderPage(true);
    changed.SetHeaderPagePath(QStringLiteral("/srv/logo.jpg"));
    changed.SetPrintNotePiePagina(false);
    changed.SetNotePiePagina1(QStringLiteral("Uno"));
    changed.SetNotePiePagina2(QStringLiteral("Due"));
    changed.SetPrintPageNumber(true);
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        COption option;
        option.SetData(before);
        QTimer::singleShot(0, [ok] {
            auto *d = qobject_cast<FOption *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->txtPathIntestazione->text(), QStringLiteral("/tmp/a.png"));
            d->chkIntestazione->setChecked(true);
            d->txtPathIntestazione->setText(QStringLiteral("/srv/logo.jpg"));
            d->chkNote->setChecked(false);
            d->txtNota1->setText(QStringLiteral("Uno"));
            d->txtNota2->setText(QStringLiteral("Due"));
            d->chkNumPagine->setChecked(true);
            QTest::mouseClick(
                d->findChild<QPushButton *>(ok ? QStringLiteral("cmdDialogOk") : QStringLiteral("cmdDialogCancel")),
                Qt::LeftButton);
        });
        PrintCommands::PrintOption(&m_Window, option);

        const COption &want = ok ? changed : before;
        EXPECT_EQ(option.PrintHeaderPage(), want.PrintHeaderPage());
        EXPECT_EQ(option.HeaderPagePath(), want.HeaderPagePath());
        EXPECT_EQ(option.PrintNotePiePagina(), want.PrintNotePiePagina());
        EXPECT_EQ(option.NotePiePagina1(), want.NotePiePagina1());
        EXPECT_EQ(option.NotePiePagina2(), want.NotePiePagina2());
        EXPECT_EQ(option.PrintPageNumber(), want.PrintPageNumber());

        // What the next start reads: nothing after Cancel, all six after OK.
        const COption defaults;
        const COption &kept = ok ? changed : defaults;
        COption next;
        next.LoadData(QString());
        EXPECT_EQ(next.PrintHeaderPage(), kept.PrintHeaderPage());
        EXPECT_EQ(next.HeaderPagePath(), kept.HeaderPagePath());
        EXPECT_EQ(next.PrintNotePiePagina(), kept.PrintNotePiePagina());
        EXPECT_EQ(next.NotePiePagina1(), kept.NotePiePagina1());
        EXPECT_EQ(next.NotePiePagina2(), kept.NotePiePagina2());
        EXPECT_EQ(next.PrintPageNumber(), kept.PrintPageNumber());
    }
    DeleteSetting(app, QStringLiteral("COption"));
}

// A printer system of two printers whose set-up dialog the test answers.
class SetupPrinters : public PrinterPlatform {
public:
    std::vector<std::uint32_t> shownFlags;
    PrinterDevMode current{QStringLiteral("Ufficio"), 1, 9, 2970, 2100};

    QStringList PrinterNames() override { return {QStringLiteral("Ufficio"), QStringLiteral("Officina")}; }
    bool PrintDlg(PrintDlgRecord &record) override
    {
        if ((record.Flags & PrintDlgFlags::PD_RETURNDEFAULT) != 0) {
            record.DevMode = current;
            record.DevNamesDevice = current.DeviceName;
            return true;
        }
        shownFlags.push_back(record.Flags);
        record.DevMode = PrinterDevMode{QStringLiteral("Officina"), 2, 9, 2970, 2100};
        record.DevNamesDevice = QStringLiteral("Officina");
        return true;
    }
    PrinterDevMode CurrentPrinter() override { return current; }
    void SelectCurrentPrinter(const QString &name) override { current.DeviceName = name; }
    bool SetCurrentPaperSize(std::int16_t paperSize) override
    {
        current.PaperSize = paperSize;
        return true;
    }
    bool SetCurrentOrientation(std::int16_t orientation) override
    {
        current.Orientation = orientation;
        return true;
    }
};

TEST_F(PrintCommandsTest, PrinterSetupShowsTheSetUpDialogAndKeepsTheChoice)
{
    SetupPrinters printers;
    PrinterPlatform *old = SetPrinterPlatform(&printers);
    PrintCommands::PrinterSetup();
    SetPrinterPlatform(old);

    ASSERT_EQ(printers.shownFlags.size(), 1u);
    EXPECT_NE(printers.shownFlags[0] & PrintDlgFlags::PD_PRINTSETUP, 0u);
    EXPECT_EQ(printers.current.DeviceName, QStringLiteral("Officina"));
    EXPECT_EQ(printers.current.Orientation, 2);
    EXPECT_EQ(GetSetting(QString::fromLatin1(kApplicationTitle), QStringLiteral("Application printer"),
                         QStringLiteral("DeviceName"), QString()),
              QStringLiteral("Officina"));
}

} // namespace
