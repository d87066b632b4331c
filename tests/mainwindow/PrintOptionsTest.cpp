// The print options in the per-user settings store (real QSettings in the
// test run's temporary config folder).
#include "CCommConfig.h"
#include "COption.h"
#include "FOption.h"
#include "MErrors.h"
#include "SettingsStore.h"
#include "TraceCapture.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

const QString kApp = QString::fromLatin1(kApplicationTitle);
const QString kSection = QStringLiteral("COption");

struct Options {
    bool printHeaderPage = false;
    QString headerPagePath;
    bool printNotePiePagina = false;
    QString note1;
    QString note2;
    bool printPageNumber = false;
    bool operator==(const Options &) const = default;
};

void PrintTo(const Options &o, std::ostream *os)
{
    *os << "{" << o.printHeaderPage << ", \"" << o.headerPagePath.toStdString() << "\", " << o.printNotePiePagina
        << ", \"" << o.note1.toStdString() << "\", \"" << o.note2.toStdString() << "\", " << o.printPageNumber << "}";
}

Options valuesOf(const COption &o)
{
    return {o.PrintHeaderPage(), o.HeaderPagePath(), o.PrintNotePiePagina(),
            o.NotePiePagina1(),  o.NotePiePagina2(), o.PrintPageNumber()};
}

void setValues(COption &o, const Options &v)
{
    o.SetPrintHeaderPage(v.printHeaderPage);
    o.SetHeaderPagePath(v.headerPagePath);
    o.SetPrintNotePiePagina(v.printNotePiePagina);
    o.SetNotePiePagina1(v.note1);
    o.SetNotePiePagina2(v.note2);
    o.SetPrintPageNumber(v.printPageNumber);
}

// The lines of the settings file as they are on disk.
QStringList settingsFileLines()
{
    const QString path = QSettings(QSettings::NativeFormat, QSettings::UserScope, kApp).fileName();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

class PrintOptions : public ::testing::Test {
protected:
    void SetUp() override { DeleteSetting(kApp, kSection); }
    void TearDown() override { DeleteSetting(kApp, kSection); }
};

TEST_F(PrintOptions, EmptyStoreLoadsEverythingOffAndEmpty)
{
    TraceCapture trace;
    COption options;
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Class_Initialize() COption")));
    options.LoadData(QString());
    EXPECT_EQ(valuesOf(options), Options{});
    EXPECT_EQ(options.ClassName(), kSection);
    EXPECT_TRUE(options.FileName().isEmpty());
}

TEST_F(PrintOptions, ValuesComeBackAfterARestartWithBooleansWrittenOneAndZero)
{
    const std::vector<Options> cases{
        {true, QStringLiteral("/home/tecnico/Immagini/logo ditta.bmp"), false,
         QStringLiteral("Impianto: linea 3 = forno; verifica"), QStringLiteral("  Tecnico: Müller  "), true},
        {false, QString(), true, QString(), QStringLiteral("seconda riga"), false},
        {true, QStringLiteral("C:\\vecchio\\percorso.jpg"), true, QStringLiteral("#1"), QStringLiteral("[x]"), true},
    };
    for (const Options &v : cases) {
        SCOPED_TRACE(v.headerPagePath.toStdString());
        {
            COption before;
            setValues(before, v);
            before.SaveData(QString());
        }
        const QStringList lines = settingsFileLines();
        auto bit = [](bool b) { return QString::fromLatin1(b ? "1" : "0"); };
        EXPECT_TRUE(lines.contains(QStringLiteral("m_bPrintHeaderPage=") + bit(v.printHeaderPage)));
        EXPECT_TRUE(lines.contains(QStringLiteral("m_bPrintNotePiePagina=") + bit(v.printNotePiePagina)));
        EXPECT_TRUE(lines.contains(QStringLiteral("m_bPrintPageNumber=") + bit(v.printPageNumber)));
        EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("m_HeaderPagePath")), v.headerPagePath);
        EXPECT_EQ(GetSetting(kApp, kSection, QStringLiteral("m_NotePiePagina2")), v.note2);

        COption after;
        after.LoadData(QString());
        EXPECT_EQ(valuesOf(after), v);
    }
}

TEST_F(PrintOptions, EachStoredKeyLoadsOnlyItsOwnValue)
{
    const Options preset{true, QStringLiteral("p"), true, QStringLiteral("a"), QStringLiteral("b"), true};
    struct Case {
        const char *key;
        const char *text;
        Options expected;
    };
    Options pageNumberOff = preset;
    pageNumberOff.printPageNumber = false;
    Options headerOff = preset;
    headerOff.printHeaderPage = false;
    Options notesOff = preset;
    notesOff.printNotePiePagina = false;
    Options note1 = preset;
    note1.note1 = QStringLiteral("nuova nota");
    Options pathEmpty = preset;
    pathEmpty.headerPagePath.clear();
    const std::vector<Case> cases{
        {"m_bPrintPageNumber", "0", pageNumberOff}, {"m_bPrintPageNumber", "1", preset},
        {"m_bPrintHeaderPage", "False", headerOff}, {"m_bPrintNotePiePagina", "0", notesOff},
        {"m_NotePiePagina1", "nuova nota", note1},  {"m_HeaderPagePath", "", pathEmpty},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        DeleteSetting(kApp, kSection);
        SaveSetting(kApp, kSection, QString::fromLatin1(c.key), QString::fromUtf8(c.text));
        COption options;
        setValues(options, preset);
        options.LoadData(QString());
        EXPECT_EQ(valuesOf(options), c.expected);
    }

    // "1" under the page-number key switches it on in a fresh object.
    DeleteSetting(kApp, kSection);
    SaveSetting(kApp, kSection, QStringLiteral("m_bPrintPageNumber"), QStringLiteral("1"));
    COption fresh;
    fresh.LoadData(QString());
    EXPECT_TRUE(fresh.PrintPageNumber());
}

TEST_F(PrintOptions, AnUnreadableBooleanLoadsNothing)
{
    COption writer;
    setValues(writer, {true, QStringLiteral("x.bmp"), true, QStringLiteral("n1"), QStringLiteral("n2"), false});
    writer.SaveData(QString());
    SaveSetting(kApp, kSection, QStringLiteral("m_bPrintPageNumber"), QStringLiteral("yes"));

    COption options;
    try {
        options.LoadData(QString());
        ADD_FAILURE() << "no error";
    } catch (const ProgramError &e) {
        EXPECT_EQ(e.Number(), RunTimeError::TypeMismatch);
    }
    EXPECT_EQ(valuesOf(options), Options{});
}

TEST_F(PrintOptions, GetDataAndSetDataCopyAllSixOnlyBetweenOptions)
{
    const Options v{true, QStringLiteral("h.jpg"), true, QStringLiteral("uno"), QStringLiteral("due"), true};
    COption source;
    setValues(source, v);

    COption target;
    source.GetData(target);
    EXPECT_EQ(valuesOf(target), v);

    COption other;
    other.SetData(source);
    EXPECT_EQ(valuesOf(other), v);

    CCommConfig comm;
    COption untouched;
    untouched.SetData(comm);
    untouched.GetData(comm);
    EXPECT_EQ(valuesOf(untouched), Options{});
    EXPECT_EQ(comm.ComPort(), 1);
}

// ---------------------------------------------------------------------------
// The print-options dialog, shown as the main window shows it.

// Shows the dialog as a lone dialog on a copy of options and runs step inside
// its modal loop; step must close it. Returns ButtonRet; on OK the options
// take the dialog's values, as the main window's command does.
// A click on a check box's indicator, as the user makes it.
void clickBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

std::int32_t runDialog(COption &options, const std::function<void(FOption &)> &step)
{
    FOption dialog;
    dialog.Create();
    dialog.SetFormType(0);
    dialog.SetData(options);
    QTimer::singleShot(0, &dialog, [&dialog, &step] {
        step(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the step left the dialog open";
            dialog.reject();
        }
    });
    dialog.Show(1);
    if (dialog.ButtonRet() == 0)
        dialog.GetData(options);
    return dialog.ButtonRet();
}

class PrintOptionsDialog : public ::testing::Test {
protected:
    void TearDown() override { FOption::SetPictureChooser({}); }
};

TEST_F(PrintOptionsDialog, ShowsTheOptionsAsALoneDialogAndOkTakesAllSix)
{
    TraceCapture trace;
    COption options;
    setValues(options, {true, QStringLiteral("/img/logo.bmp"), false, QStringLiteral("nota uno"), QString(), true});
    const std::int32_t ret = runDialog(options, [](FOption &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Printing option..."));
        EXPECT_EQ(d.frmPrintOption->title(), QStringLiteral("Heading and notes at bottom page"));
        EXPECT_EQ(d.chkIntestazione->text(), QStringLiteral("Printing heading page"));
        EXPECT_EQ(d.frmPercorsoIntestazione->title(), QStringLiteral("Picture for heading page"));
        EXPECT_EQ(d.Label1->text(), QStringLiteral("Printing bottom page notes"));
        EXPECT_EQ(d.chkNumPagine->text(), QStringLiteral("Printing numbering of the pages"));
        auto *ok = d.findChild<QPushButton *>(QStringLiteral("cmdDialogOk"));
        EXPECT_TRUE(ok->isVisible());
        EXPECT_TRUE(ok->isDefault());
        EXPECT_FALSE(d.findChild<QWidget *>(QStringLiteral("pbCommand"))->isVisible());

        // The stored values, with the switches' rules applied.
        EXPECT_TRUE(d.chkIntestazione->isChecked());
        EXPECT_EQ(d.txtPathIntestazione->text(), QStringLiteral("/img/logo.bmp"));
        EXPECT_TRUE(d.txtPathIntestazione->isEnabled());
        EXPECT_FALSE(d.chkNote->isChecked());
        EXPECT_FALSE(d.frmNote->isEnabled());
        EXPECT_FALSE(d.txtNota1->isEnabled());
        EXPECT_TRUE(d.chkNote->isEnabled());
        EXPECT_EQ(d.txtNota1->text(), QStringLiteral("nota uno"));
        EXPECT_TRUE(d.chkNumPagine->isChecked());

        // Every value changes; Enter presses OK.
        clickBox(d.chkNote);
        EXPECT_TRUE(d.txtNota2->isEnabled());
        d.txtNota2->setText(QStringLiteral("nota due"));
        d.txtPathIntestazione->setText(QStringLiteral("/img/altro.jpg"));
        d.txtNota1->setText(QStringLiteral("nota 1"));
        clickBox(d.chkNumPagine);
        clickBox(d.chkIntestazione);
        QTest::keyClick(d.txtNota2, Qt::Key_Return);
    });
    EXPECT_EQ(ret, 0);
    EXPECT_EQ(valuesOf(options), (Options{false, QStringLiteral("/img/altro.jpg"), true, QStringLiteral("nota 1"),
                                          QStringLiteral("nota due"), false}));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Load form:Printing option...")));
}

TEST_F(PrintOptionsDialog, ASwitchTurnedOffKeepsItsTextsAndCancelKeepsEverything)
{
    const Options start{true, QStringLiteral("/img/logo.bmp"), true, QStringLiteral("n1"), QStringLiteral("n2"), false};
    COption options;
    setValues(options, start);

    // Clearing the heading switch disables the path but keeps it for OK.
    EXPECT_EQ(runDialog(options,
                        [](FOption &d) {
                            clickBox(d.chkIntestazione);
                            EXPECT_FALSE(d.frmPercorsoIntestazione->isEnabled());
                            EXPECT_FALSE(d.txtPathIntestazione->isEnabled());
                            EXPECT_FALSE(d.cmdCercaIntestazione->isEnabled());
                            clickBox(d.chkNote);
                            EXPECT_FALSE(d.txtNota1->isEnabled());
                            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("cmdDialogOk")),
                                              Qt::LeftButton);
                        }),
              0);
    Options off = start;
    off.printHeaderPage = false;
    off.printNotePiePagina = false;
    EXPECT_EQ(valuesOf(options), off);

    // Cancel and Esc after editing leave the options as they were.
    const std::vector<std::function<void(FOption &)>> closes{
        [](FOption &d) {
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("cmdDialogCancel")), Qt::LeftButton);
        },
        [](FOption &d) { QTest::keyClick(d.txtNota1, Qt::Key_Escape); },
    };
    for (const auto &close : closes) {
        EXPECT_EQ(runDialog(options,
                            [&close](FOption &d) {
                                d.txtNota1->setText(QStringLiteral("cambiata"));
                                clickBox(d.chkNumPagine);
                                close(d);
                            }),
                  1);
        EXPECT_EQ(valuesOf(options), off);
    }
}

TEST_F(PrintOptionsDialog, PictureChooserFillsThePathOnlyWhenAFileIsChosen)
{
    EXPECT_EQ(FOption::QtNameFilter(QStringLiteral("Images (*.bmp;*.jpg;*.*)|*.bmp;*.jpg;*.*")),
              QStringLiteral("Images (*.bmp *.jpg *.*)"));

    struct Case {
        const char *chosen;
        const char *expected;
        bool focus;
    };
    const std::vector<Case> cases{
        {"", "/img/typed.bmp", false}, {"/img/scelta.jpg", "/img/scelta.jpg", true}, {"", "/img/typed.bmp", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen);
        QString filterSeen;
        FOption::SetPictureChooser([&](QWidget *, const QString &filter, const QString &) {
            filterSeen = filter;
            return QString::fromLatin1(c.chosen);
        });
        COption options;
        options.SetPrintHeaderPage(true);
        runDialog(options, [&c](FOption &d) {
            d.txtPathIntestazione->setText(QStringLiteral("/img/typed.bmp"));
            d.chkNumPagine->setFocus();
            QTest::mouseClick(d.cmdCercaIntestazione, Qt::LeftButton);
            EXPECT_EQ(d.txtPathIntestazione->text(), QString::fromLatin1(c.expected));
            EXPECT_EQ(d.focusWidget() == d.txtPathIntestazione, c.focus);
            d.reject();
        });
        EXPECT_EQ(filterSeen, QStringLiteral("Images (*.bmp *.jpg *.*)"));
    }
}

} // namespace
