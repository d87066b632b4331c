// The printer dialog: the dialog's choices, the application printer kept per
// user in the settings store (real QSettings in the test run's temporary
// config folder) and the program's current printer. The printer system is
// replaced by a fake with a few printers; the system's own printer dialog is
// answered by a timer.
#include "CPrintDlg.h"
#include "PrinterPlatform.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QMessageBox>
#include <QPageRanges>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <vector>

using namespace PrintDlgFlags;

namespace {

const QString kApp = QString::fromLatin1(kApplicationTitle);
const QString kSection = QStringLiteral("Application printer");
const QString kOtherApp = QStringLiteral("PelvaroTestOther");

PrinterDevMode mode(const char *name, std::int16_t paper, std::int16_t orientation = 1)
{
    PrinterDevMode m;
    m.DeviceName = QString::fromLatin1(name);
    m.PaperSize = paper;
    m.Orientation = orientation;
    StandardPaperDimensions(paper, m.PaperLength, m.PaperWidth);
    return m;
}

// A printer system of three printers; "Laser" is the default and the
// program's current printer at the start. "Etichette" takes only A4.
class FakePrinters : public PrinterPlatform {
public:
    QStringList names{QStringLiteral("Laser"), QStringLiteral("Plotter"), QStringLiteral("Etichette")};
    QString defaultName = QStringLiteral("Laser");
    std::map<QString, PrinterDevMode> defaults{{QStringLiteral("Laser"), mode("Laser", 9)},
                                               {QStringLiteral("Plotter"), mode("Plotter", 8, 2)},
                                               {QStringLiteral("Etichette"), mode("Etichette", 9)}};
    std::map<QString, std::set<std::int16_t>> accepted{{QStringLiteral("Etichette"), {9}}};
    PrinterDevMode current = mode("Laser", 9);
    // The user at the dialog: edits the record and confirms (true) or cancels.
    std::function<bool(PrintDlgRecord &)> user;
    std::vector<PrintDlgRecord> shown;

    QStringList PrinterNames() override { return names; }
    bool PrintDlg(PrintDlgRecord &record) override
    {
        if ((record.Flags & PD_RETURNDEFAULT) != 0) {
            if (defaultName.isEmpty())
                return false;
            record.DevMode = defaults.at(defaultName);
            record.DevNamesDevice = defaultName;
            return true;
        }
        shown.push_back(record);
        return user ? user(record) : false;
    }
    PrinterDevMode CurrentPrinter() override { return current; }
    void SelectCurrentPrinter(const QString &name) override { current = defaults.at(name); }
    bool SetCurrentPaperSize(std::int16_t paper) override
    {
        const auto it = accepted.find(current.DeviceName);
        if (paper <= 0 || (it != accepted.end() && !it->second.count(paper)))
            return false;
        current.PaperSize = paper;
        return true;
    }
    bool SetCurrentOrientation(std::int16_t orientation) override
    {
        current.Orientation = orientation;
        return true;
    }
};

// The user picks a printer, paper, orientation and print-to-file, and confirms.
std::function<bool(PrintDlgRecord &)> choose(const char *name, std::int16_t paper, std::int16_t orientation,
                                             bool toFile)
{
    return [=](PrintDlgRecord &r) {
        r.DevMode = mode(name, paper, orientation);
        r.DevNamesDevice = QString::fromLatin1(name);
        r.Flags = toFile ? (r.Flags | PD_PRINTTOFILE) : (r.Flags & ~PD_PRINTTOFILE);
        return true;
    };
}

QStringList settingsFileLines(const QString &app)
{
    QFile f(QSettings(QSettings::NativeFormat, QSettings::UserScope, app).fileName());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

QString stored(const QString &app, const char *key)
{
    return GetSetting(app, kSection, QString::fromLatin1(key), QStringLiteral("<missing>"));
}

class PrinterDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear();
        m_Old = SetPrinterPlatform(&printers);
    }
    void TearDown() override
    {
        SetPrinterPlatform(m_Old);
        clear();
    }
    static void clear()
    {
        DeleteSetting(kApp, kSection);
        DeleteSetting(kOtherApp, kSection);
    }

    FakePrinters printers;

private:
    PrinterPlatform *m_Old = nullptr;
};

TEST_F(PrinterDialog, ConstructionTakesTheDefaultPrinterAndStoresNothing)
{
    CPrintDlg dlg;
    EXPECT_EQ(dlg.Flags(), 0x14000Cu);
    EXPECT_EQ(dlg.ApplicationName(), kApp);
    EXPECT_EQ(dlg.DeviceName(), QStringLiteral("Laser"));
    EXPECT_EQ(dlg.PaperSize(), 9);
    EXPECT_EQ(dlg.PageOrientation(), 1);
    EXPECT_FALSE(HasSetting(kApp, kSection, QStringLiteral("DeviceName")));
    EXPECT_TRUE(printers.shown.empty());
}

TEST_F(PrinterDialog, ChoiceIsKeptPerUserWithBooleansWrittenTrueAndFalse)
{
    printers.current = mode("Etichette", 9);
    {
        CPrintDlg dlg;
        dlg.SetApplicationName(kApp);
        printers.user = choose("Plotter", 8, 2, true);
        ASSERT_TRUE(dlg.ShowPrintSetupDlg());
        // An empty store: the dialog opened on the program's current printer.
        ASSERT_EQ(printers.shown.size(), 1u);
        ASSERT_TRUE(printers.shown[0].DevMode.has_value());
        EXPECT_EQ(printers.shown[0].DevMode->DeviceName, QStringLiteral("Etichette"));
        EXPECT_NE(printers.shown[0].Flags & PD_PRINTSETUP, 0u);
        EXPECT_EQ(printers.shown[0].Flags & PD_RETURNDEFAULT, 0u);
    }
    EXPECT_EQ(stored(kApp, "DeviceName"), QStringLiteral("Plotter"));
    EXPECT_EQ(stored(kApp, "PaperSize"), QStringLiteral("8"));
    EXPECT_EQ(stored(kApp, "Orientation"), QStringLiteral("2"));
    EXPECT_TRUE(settingsFileLines(kApp).contains(QStringLiteral("PrintToFile=True")));
    EXPECT_EQ(printers.current, mode("Plotter", 8, 2));

    // A second program name keeps a choice of its own.
    {
        CPrintDlg dlg;
        dlg.SetApplicationName(kOtherApp);
        printers.user = choose("Laser", 1, 1, false);
        ASSERT_TRUE(dlg.ShowPrintSetupDlg());
    }
    EXPECT_TRUE(settingsFileLines(kOtherApp).contains(QStringLiteral("PrintToFile=False")));
    EXPECT_EQ(stored(kOtherApp, "DeviceName"), QStringLiteral("Laser"));
    EXPECT_EQ(stored(kApp, "DeviceName"), QStringLiteral("Plotter"));

    // The next run: the stored choice becomes the current printer again.
    printers.current = mode("Laser", 9);
    CPrintDlg restarted;
    restarted.SetApplicationName(kApp);
    EXPECT_EQ(restarted.DeviceName(), QStringLiteral("Plotter"));
    EXPECT_EQ(restarted.PaperSize(), 8);
    EXPECT_EQ(restarted.PageOrientation(), 2);
    EXPECT_TRUE(restarted.PrintToFile());
    EXPECT_EQ(printers.current, mode("Plotter", 8, 2));
}

TEST_F(PrinterDialog, CancelStoresAndChangesNothing)
{
    CPrintDlg dlg;
    dlg.SetApplicationName(kApp);
    const PrinterDevMode before = printers.current;
    printers.user = [](PrintDlgRecord &r) {
        r.DevMode = mode("Plotter", 8, 2);
        return false;
    };
    EXPECT_FALSE(dlg.ShowPrintDlg());
    EXPECT_FALSE(dlg.ShowPrintSetupDlg());
    EXPECT_EQ(dlg.DeviceName(), QStringLiteral("Laser"));
    EXPECT_EQ(dlg.PaperSize(), 9);
    EXPECT_EQ(printers.current, before);
    EXPECT_FALSE(HasSetting(kApp, kSection, QStringLiteral("DeviceName")));
}

TEST_F(PrinterDialog, StoredPrinterIsAppliedAsFarAsTheSystemAllows)
{
    struct Case {
        const char *name;
        QString device, paper, orientation, toFile;
        PrinterDevMode expectedCurrent;
        std::int32_t expectedPaper;
        bool expectedToFile;
    };
    const std::vector<Case> cases{
        {"all accepted", "Plotter", "5", "2", "False", mode("Plotter", 5, 2), 5, false},
        {"printer no longer installed", "Vecchia", "8", "1", "true", mode("Laser", 8, 1), 8, true},
        {"paper refused by the printer", "Etichette", "8", "2", "1", mode("Etichette", 9, 2), 8, true},
        {"numbers that are not numbers", "Plotter", "A4", "?", "forse", mode("Plotter", 9, 1), 9, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        printers.current = mode("Laser", 9);
        SaveSetting(kApp, kSection, QStringLiteral("DeviceName"), c.device);
        SaveSetting(kApp, kSection, QStringLiteral("PaperSize"), c.paper);
        SaveSetting(kApp, kSection, QStringLiteral("Orientation"), c.orientation);
        SaveSetting(kApp, kSection, QStringLiteral("PrintToFile"), c.toFile);
        CPrintDlg dlg;
        dlg.SetApplicationName(kApp);
        EXPECT_EQ(dlg.DeviceName(), c.device);
        EXPECT_EQ(dlg.PaperSize(), c.expectedPaper);
        EXPECT_EQ(dlg.PrintToFile(), c.expectedToFile);
        // The current printer's own dimensions are the fake's concern; the
        // name, paper and orientation are what the dialog decides.
        EXPECT_EQ(printers.current.DeviceName, c.expectedCurrent.DeviceName);
        EXPECT_EQ(printers.current.PaperSize, c.expectedCurrent.PaperSize);
        EXPECT_EQ(printers.current.Orientation, c.expectedCurrent.Orientation);
    }
}

TEST_F(PrinterDialog, WithoutPrintersEveryPrinterOperationOnlyReportsIt)
{
    printers.names.clear();
    printers.defaultName.clear();
    CPrintDlg dlg;
    int reports = 0;
    QObject::connect(&dlg, &CPrintDlg::NoPrinterInSystem, [&reports] { ++reports; });

    dlg.SetDeviceName(QStringLiteral("Laser"));
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(dlg.DeviceName().isEmpty());
    printers.user = choose("Laser", 9, 1, false);
    EXPECT_FALSE(dlg.ShowPrintSetupDlg());
    EXPECT_FALSE(dlg.ShowPrintDlg());
    EXPECT_EQ(reports, 3);
    EXPECT_TRUE(printers.shown.empty());
    EXPECT_FALSE(HasSetting(kApp, kSection, QStringLiteral("DeviceName")));
}

TEST_F(PrinterDialog, PropertiesOfTheDialogRecord)
{
    // Paper names.
    const std::vector<std::pair<std::int32_t, const char *>> papers{
        {0, "Not recognized"},   {1, "Letter, 8 1/2 x 11 in."},
        {9, "A4, 210 x 297 mm"}, {41, "German Legal Fanfold, 8 1/2 x 13 in."},
        {42, "Not recognized"},  {256, "User-defined"},
        {300, "Not recognized"}, {-1, "Not recognized"}};
    for (const auto &[code, name] : papers) {
        SCOPED_TRACE(code);
        CPrintDlg dlg;
        dlg.SetPaperSize(code);
        EXPECT_EQ(dlg.PaperSizeStr(), QString::fromLatin1(name));
    }

    CPrintDlg dlg;
    // Page limits and range: only an increasing pair is taken.
    dlg.SetMinMaxPage(1, 9);
    dlg.SetMinMaxPage(5, 5);
    dlg.SetFromPageToPage(2, 4);
    dlg.SetFromPageToPage(7, 3);
    EXPECT_EQ(dlg.FromPage(), 2);
    EXPECT_EQ(dlg.ToPage(), 4);
    for (const auto &[let, get] : std::vector<std::pair<std::int16_t, std::int16_t>>{{1, 1}, {2, 2}, {0, 0}, {5, 0}}) {
        dlg.SetPrintRange(let);
        EXPECT_EQ(dlg.PrintRange(), get) << let;
    }

    // Orientation: anything but 2 is portrait; a landscape A4 page is wide.
    for (const auto &[let, get] : std::vector<std::pair<std::int16_t, std::int16_t>>{{0, 1}, {3, 1}, {2, 2}, {1, 1}}) {
        dlg.SetPageOrientation(let);
        EXPECT_EQ(dlg.PageOrientation(), get) << let;
    }
    dlg.SetPaperSize(9);
    EXPECT_EQ(dlg.PaperHeight(), 2970);
    EXPECT_EQ(dlg.PaperWidth(), 2100);
    dlg.SetPageOrientation(2);
    EXPECT_EQ(dlg.PaperHeight(), 2100);
    EXPECT_EQ(dlg.PaperWidth(), 2970);

    // Device names: empty and overlong names are ignored; a long print
    // queue name is kept whole, and the next dialog opens on it.
    const QString longName(40, QLatin1Char('P'));
    printers.names << longName;
    dlg.SetDeviceName(longName);
    EXPECT_EQ(dlg.DeviceName(), longName);
    dlg.SetDeviceName(QString());
    dlg.SetDeviceName(QString(CPrintDlg::kMaxDeviceNameLength + 1, QLatin1Char('X')));
    EXPECT_EQ(dlg.DeviceName(), longName);
    dlg.ShowPrintDlg();
    ASSERT_EQ(printers.shown.size(), 1u);
    EXPECT_EQ(printers.shown[0].DevNamesDevice.value_or(QString()), longName);
}

// Answers the next modal print dialog (and any box it opens) on the event loop.
void answerPrintDialog(bool accept)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, accept] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->accept();
        } else if (auto *dialog = qobject_cast<QPrintDialog *>(modal)) {
            if (accept)
                dialog->accept();
            else
                dialog->reject();
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

TEST(SystemPrinterDialog, TheSystemDialogAnswersConfirmAndCancel)
{
    PrinterPlatform &system = SystemPrinterPlatform();
    for (const bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        PrintDlgRecord record;
        record.Flags = 0x14000C | PD_PRINTSETUP;
        record.DevMode = mode("", 9, 2);
        answerPrintDialog(accept);
        EXPECT_EQ(system.PrintDlg(record), accept);
        ASSERT_TRUE(record.DevMode.has_value());
        EXPECT_EQ(record.DevMode->Orientation, 2);
        EXPECT_EQ(record.DevMode->PaperSize, 9);
        EXPECT_EQ(record.DevNamesDevice.has_value(), accept);
    }
}

TEST(SystemPrinterDialog, WithTheSystemsPrintersAsTheyAre)
{
    CPrintDlg dlg;
    int reports = 0;
    QObject::connect(&dlg, &CPrintDlg::NoPrinterInSystem, [&reports] { ++reports; });
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers";
    EXPECT_FALSE(dlg.ShowPrintSetupDlg());
    EXPECT_EQ(reports, 1);
}

// A PDF print's fresh printer gets every setting the user gave the program's
// printer, none lost to a later one reset (the paper to a printer's own, the
// range to all pages).
TEST(CopyPrinterSettings, APdfPrinterGetsEverySettingOfTheUsersPrinter)
{
    QPrinter from(QPrinter::HighResolution);
    from.setOutputFormat(QPrinter::PdfFormat);
    from.setPdfVersion(QPrinter::PdfVersion_A1b);
    from.setOutputFileName(QStringLiteral("/tmp/report.pdf"));
    from.setDocName(QStringLiteral("pelvaro"));
    from.setCreator(QStringLiteral("pelvaro 7"));
    from.setResolution(600);
    from.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, QMarginsF(5, 6, 7, 8),
                                   QPageLayout::Millimeter));
    from.setFullPage(true);
    from.setColorMode(QPrinter::GrayScale);
    from.setCopyCount(3);
    from.setCollateCopies(!from.collateCopies());
    from.setPageOrder(QPrinter::LastPageFirst);
    from.setPrintRange(QPrinter::PageRange);
    QPageRanges ranges;
    ranges.addRange(2, 3);
    ranges.addPage(5);
    from.setPageRanges(ranges);
    from.setPaperSource(QPrinter::Envelope);
    from.setFontEmbeddingEnabled(false);

    QPrinter to(QPrinter::HighResolution);
    CopyPrinterSettings(from, to);
    EXPECT_EQ(to.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(to.pdfVersion(), QPrinter::PdfVersion_A1b);
    EXPECT_EQ(to.outputFileName(), from.outputFileName());
    EXPECT_EQ(to.docName(), from.docName());
    EXPECT_EQ(to.creator(), from.creator());
    EXPECT_EQ(to.resolution(), 600);
    EXPECT_TRUE(to.fullPage());
    EXPECT_TRUE(to.pageLayout().isEquivalentTo(from.pageLayout()));
    EXPECT_EQ(to.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(to.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(to.colorMode(), QPrinter::GrayScale);
    EXPECT_EQ(to.copyCount(), 3);
    EXPECT_NE(to.collateCopies(), QPrinter().collateCopies());
    EXPECT_EQ(to.pageOrder(), QPrinter::LastPageFirst);
    EXPECT_EQ(to.printRange(), QPrinter::PageRange);
    EXPECT_EQ(to.pageRanges(), ranges);
    EXPECT_EQ(to.fromPage(), 2);
    EXPECT_EQ(to.toPage(), 5);
    EXPECT_EQ(to.paperSource(), QPrinter::Envelope);
    EXPECT_FALSE(to.fontEmbeddingEnabled());
}

// A print and paint engine that keeps every property it is given, as the
// engine of a printer that offers every setting does. Qt's PDF engine keeps
// no duplex (it reads back as none whatever was set), and the system's
// printer only the modes its device offers, so neither can show whether the
// duplex is handed over.
class RecordingPrintEngine : public QPaintEngine, public QPrintEngine {
public:
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    Type type() const override { return User; }

    void setProperty(PrintEnginePropertyKey key, const QVariant &value) override { m_Properties[key] = value; }
    QVariant property(PrintEnginePropertyKey key) const override { return m_Properties.value(key); }
    bool newPage() override { return true; }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric) const override { return 0; }
    QPrinter::PrinterState printerState() const override { return QPrinter::Idle; }

private:
    QHash<int, QVariant> m_Properties;
};

// The engine lives in a base listed before QPrinter, so that it is made
// before the printer and outlives it.
struct RecordingEngineHolder {
    RecordingPrintEngine engine;
};

// A PDF-format printer printing through its own RecordingPrintEngine. The
// format is chosen before the engine is installed (choosing it later would
// put Qt's engine back) and the output file has a PDF name, so that
// CopyPrinterSettings keeps the format and with it this engine.
class RecordingPrinter : private RecordingEngineHolder, public QPrinter {
public:
    RecordingPrinter()
    {
        setOutputFormat(QPrinter::PdfFormat);
        setEngines(&engine, &engine);
        setOutputFileName(QStringLiteral("report.pdf"));
    }
    bool UsesItsEngine() { return printEngine() == &engine && paintEngine() == &engine; }
};

// The duplex reaches the fresh printer whatever it held before, the one-sided
// mode included.
TEST(CopyPrinterSettings, ThePrinterGetsTheDuplexOfTheUsersPrinter)
{
    const struct {
        QPrinter::DuplexMode from;
        QPrinter::DuplexMode toBefore;
    } cases[] = {
        {QPrinter::DuplexShortSide, QPrinter::DuplexNone},
        {QPrinter::DuplexLongSide, QPrinter::DuplexNone},
        {QPrinter::DuplexAuto, QPrinter::DuplexShortSide},
        {QPrinter::DuplexNone, QPrinter::DuplexLongSide},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << ", to before " << c.toBefore);
        RecordingPrinter from;
        from.setDuplex(c.from);
        RecordingPrinter to;
        to.setDuplex(c.toBefore);
        ASSERT_EQ(from.duplex(), c.from);
        ASSERT_EQ(to.duplex(), c.toBefore);

        CopyPrinterSettings(from, to);
        ASSERT_TRUE(to.UsesItsEngine()) << "the copy replaced the printer's engine";
        EXPECT_EQ(to.duplex(), c.from);
    }
}

} // namespace
