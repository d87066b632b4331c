#include "FMain.h"

#include "ResourceText.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "COption.h"
#include "CStatusBarHelp.h"
#include "ConfigurationWizard.h"
#include "DatabaseErrorText.h"
#include "DatabaseError.h"
#include "MErrors.h"
#include "MsgBox.h"
#include "OtherProgram.h"
#include "ProgramFolder.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "TraceCapture.h"
#include "WindowPlacement.h"

#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

const QString kApp = QString::fromLatin1(kApplicationTitle);
const QStringList kSettingsSections{QStringLiteral("Settings"), QStringLiteral("CCommConfig"),
                                    QStringLiteral("CNetworkAddMsgSetup"), QStringLiteral("COption")};

// A main window on a fresh copy of the template database in a temporary
// program folder; message boxes are recorded and answered with m_Answer.
class MainWindow : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        ClearSettings();
        m_OldBox = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r);
            return m_Answer;
        });
    }
    void TearDown() override
    {
        m_Main.reset();
        SetMsgBoxHook(m_OldBox);
        ClearSettings();
        ModelDatabase::TearDown();
    }
    static void ClearSettings()
    {
        for (const QString &section : kSettingsSections)
            DeleteSetting(kApp, section);
    }

    // Stores a configuration under a newly drawn id, as the wizard does.
    std::int32_t AddConfiguration(const QString &name)
    {
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        CCollDatiSetup setup;
        setup.SetIDProgramma(id);
        setup.ModInstr().SetNomeProgramma(name);
        setup.SaveDataInADORS(true);
        return id;
    }

    FMain &Open()
    {
        m_Main = std::make_unique<FMain>();
        m_Main->show();
        return *m_Main;
    }

    QStringList Lines() const
    {
        QStringList lines;
        for (int i = 0; i < m_Main->lvProgrammi->count(); ++i)
            lines << m_Main->lvProgrammi->item(i)->text();
        return lines;
    }

    // Rows of id in every table of the database that has an IDProgramma.
    int RowsOfId(std::int32_t id)
    {
        QSqlDatabase db = QSqlDatabase::database(g_Connection.QtConnectionName(), false);
        QSqlQuery tables(db);
        EXPECT_TRUE(tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                               "name NOT LIKE 'sqlite_%'")));
        int rows = 0;
        while (tables.next()) {
            QSqlQuery count(db);
            if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE IDProgramma = %2")
                                .arg(tables.value(0).toString())
                                .arg(id)))
                continue; // a table without the column
            count.next();
            rows += count.value(0).toInt();
        }
        return rows;
    }

    std::unique_ptr<FMain> m_Main;
    std::vector<MsgBoxRequest> m_Boxes;
    int m_Answer = MsgBoxResult::Yes;
    MsgBoxHook m_OldBox;
};

TEST_F(MainWindow, ListsTheStoredConfigurationsWithoutTheInstrumentsOwn)
{
    const std::int32_t a = AddConfiguration(QStringLiteral("Forno 1"));
    const std::int32_t b = AddConfiguration(QStringLiteral("Pressa"));
    const std::int32_t c = AddConfiguration(QStringLiteral("Linea 7"));
    FMain &main = Open();

    EXPECT_TRUE(m_Boxes.empty());
    ASSERT_EQ(Lines(), (QStringList{QStringLiteral("Forno 1"), QStringLiteral("Pressa"), QStringLiteral("Linea 7")}));
    const std::int32_t ids[] = {a, b, c};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(main.lvProgrammi->item(i)->data(Qt::UserRole).toInt(), ids[i]);
    EXPECT_NE(a, 2);
    EXPECT_EQ(main.lvProgrammi->currentRow(), 0);
    EXPECT_EQ(main.CurrentIDProgramma(), a);
    EXPECT_EQ(main.ProgrammiRecordset().Value(QStringLiteral("IDProgramma")).toInt(), a);

    EXPECT_EQ(main.windowTitle(), LoadResourceString(301));
    EXPECT_EQ(main.cmdColumn->text(), LoadResourceString(796));
    EXPECT_EQ(main.statusBar()->currentMessage(), LoadResourceString(240));
    EXPECT_EQ(main.mnuDelProgramma->text(), LoadResourceString(1013));
    EXPECT_EQ(main.ToolBarButton(QStringLiteral("DelProg"))->toolTip(), LoadResourceString(263));
    EXPECT_EQ(main.ToolBarButton(QStringLiteral("Unknown")), nullptr);

    // A click on a line makes it the configuration of the commands.
    main.lvProgrammi->setCurrentRow(2);
    EXPECT_EQ(main.CurrentIDProgramma(), c);
}

// The menu help as a user reaches it: Alt+F, Down and Esc typed through the
// menu bar, then the pointer over the menus. Qt's own status tips (empty for
// every item here) must not blank the help or "Ready".
TEST_F(MainWindow, MenuHelpFollowsTheKeysAndThePointerThroughTheMenuBar)
{
    FMain &main = Open();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    const auto *help = main.findChild<CStatusBarHelp *>();
    ASSERT_NE(help, nullptr);
    const auto helpOf = [help](const QAction *item) { return LoadResourceString(help->HelpFor(item)); };
    const auto shown = [&main] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return main.statusBar()->currentMessage();
    };
    const QString ready = LoadResourceString(240);
    ASSERT_EQ(shown(), ready);

    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    QWidget *popup = QApplication::activePopupWidget();
    ASSERT_EQ(popup, main.mnuFile);
    EXPECT_EQ(shown(), helpOf(main.mnuViewVariable));
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(shown(), helpOf(main.mnuImport));
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(main.mnuFile->isVisible());
    EXPECT_EQ(shown(), ready);
    QTest::keyClick(&main, Qt::Key_Escape);
    EXPECT_EQ(shown(), ready);

    // With the pointer: the title opens the menu, an item shows its help, a
    // click outside closes it.
    QMenuBar *bar = main.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(main.mnuFile->menuAction()).center());
    ASSERT_TRUE(main.mnuFile->isVisible());
    QTest::mouseMove(main.mnuFile, main.mnuFile->actionGeometry(main.mnuImport).center());
    EXPECT_EQ(shown(), helpOf(main.mnuImport));
    QTest::mouseMove(main.mnuFile, main.mnuFile->actionGeometry(main.mnuExit).center());
    EXPECT_EQ(shown(), helpOf(main.mnuExit));
    main.mnuFile->hide();
    EXPECT_EQ(shown(), ready);
    // Over the tool bar the status bar keeps its text.
    QTest::mouseMove(main.tbToolBar, main.tbToolBar->rect().center());
    EXPECT_EQ(shown(), ready);
}

TEST_F(MainWindow, CommandsNeedingAConfigurationFollowTheArchive)
{
    struct Case {
        bool withConfiguration;
    };
    for (const Case &c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.withConfiguration);
        if (c.withConfiguration)
            AddConfiguration(QStringLiteral("Forno 1"));
        FMain &main = Open();
        const bool rows = c.withConfiguration;
        EXPECT_EQ(main.CurrentIDProgramma() >= 0, rows);

        for (const char *key : {"EditProg", "DelProg", "SendProg"})
            EXPECT_EQ(main.ToolBarButton(QString::fromLatin1(key))->isEnabled(), rows) << key;
        for (const char *key : {"ViewIVRVar", "NewProg", "RxTxProg"})
            EXPECT_TRUE(main.ToolBarButton(QString::fromLatin1(key))->isEnabled()) << key;

        emit main.mnuFile->aboutToShow();
        EXPECT_EQ(main.mnuExport->isEnabled(), rows);
        EXPECT_EQ(main.mnuPrint->isEnabled(), rows);
        for (QAction *always :
             {main.mnuPrinterSetup, main.mnuViewVariable, main.mnuImport, main.mnuPrintOption, main.mnuExit})
            EXPECT_TRUE(always->isEnabled()) << always->objectName().toStdString();

        emit main.mnuGestioneProgrammi->aboutToShow();
        for (QAction *needsRow : {main.mnuEditProgramma, main.mnuDelProgramma, main.mnuSendProgramma})
            EXPECT_EQ(needsRow->isEnabled(), rows) << needsRow->objectName().toStdString();
        EXPECT_TRUE(main.mnuAddProgramma->isEnabled());
        EXPECT_TRUE(main.mnuRxEditTxProgramma->isEnabled());

        // Without a configuration the commands that need one do nothing.
        if (!rows) {
            main.mnuDelProgramma->trigger();
            main.mnuEditProgramma->trigger();
            EXPECT_TRUE(m_Boxes.empty());
        }
        m_Main.reset();
    }
}

TEST_F(MainWindow, DeleteRemovesEveryRowOfTheConfigurationAndSelectsANeighbour)
{
    struct Case {
        const char *what;
        int configurations;
        int selected;
        QStringList left;
        int selectedAfter;
    };
    const Case cases[] = {
        {"middle line", 3, 1, {QStringLiteral("C0"), QStringLiteral("C2")}, 1},
        {"last line", 3, 2, {QStringLiteral("C0"), QStringLiteral("C1")}, 1},
        {"only line", 1, 0, {}, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::int32_t> ids;
        for (int i = 0; i < c.configurations; ++i)
            ids.push_back(AddConfiguration(QStringLiteral("C%1").arg(i)));
        const int instrumentRows = RowsOfId(2);
        ASSERT_GT(instrumentRows, 18);
        FMain &main = Open();
        main.lvProgrammi->setCurrentRow(c.selected);
        const std::int32_t doomed = ids[static_cast<std::size_t>(c.selected)];
        ASSERT_GT(RowsOfId(doomed), 18);

        // Answered No first: nothing changes.
        m_Answer = MsgBoxResult::No;
        main.mnuDelProgramma->trigger();
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text, LoadResourceString(795));
        EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Information);
        EXPECT_EQ(main.lvProgrammi->count(), c.configurations);
        EXPECT_GT(RowsOfId(doomed), 18);

        // Then Yes, from the tool bar.
        m_Answer = MsgBoxResult::Yes;
        TraceCapture trace;
        main.ToolBarButton(QStringLiteral("DelProg"))->trigger();
        EXPECT_EQ(m_Boxes.size(), 2u);
        EXPECT_TRUE(trace.Lines().contains(QStringLiteral("ButtonKey=DelProg")));
        EXPECT_EQ(RowsOfId(doomed), 0); // every table, the counter row included
        EXPECT_EQ(RowsOfId(2), instrumentRows);
        EXPECT_EQ(Lines(), c.left);
        EXPECT_EQ(main.lvProgrammi->currentRow(), c.selectedAfter);
        const std::int32_t expected =
            c.selectedAfter < 0 ? -1 : main.lvProgrammi->item(c.selectedAfter)->data(Qt::UserRole).toInt();
        EXPECT_EQ(main.CurrentIDProgramma(), expected);
        if (expected >= 0) {
            EXPECT_EQ(main.ProgrammiRecordset().Value(QStringLiteral("IDProgramma")).toInt(), expected);
        }
        EXPECT_EQ(main.ToolBarButton(QStringLiteral("DelProg"))->isEnabled(), !c.left.isEmpty());
        EXPECT_NE(main.cursor().shape(), Qt::WaitCursor);

        m_Main.reset();
        m_Boxes.clear();
        for (std::int32_t id : ids)
            Exec(QStringLiteral("INSERT INTO Canc_Programma (IDProgramma) VALUES (?)"), {id});
    }
}

TEST_F(MainWindow, TheInstrumentsConfigurationIsNeverDeleted)
{
    AddConfiguration(QStringLiteral("Forno 1"));
    FMain &main = Open();
    const int instrumentRows = RowsOfId(2);
    main.SetCurrentIDProgramma(2);
    main.mnuDelProgramma->trigger();
    EXPECT_TRUE(m_Boxes.empty());
    EXPECT_EQ(RowsOfId(2), instrumentRows);
    EXPECT_EQ(main.lvProgrammi->count(), 1);
}

// New and Modify with the configuration wizard replaced: what the window
// does with the list, the selection and the drawn id.
TEST_F(MainWindow, NewAndModifyKeepTheListAndTheCounterInStep)
{
    const std::int32_t first = AddConfiguration(QStringLiteral("Forno 1"));
    FMain &main = Open();
    std::vector<std::int32_t> modes;
    bool store = false;
    main.SetEditNewProgramma([&](FMain &window, std::int32_t mode) {
        modes.push_back(mode);
        if (!store)
            return false;
        if (mode == 0) {
            CCollDatiSetup setup;
            setup.SetIDProgramma(window.CurrentIDProgramma());
            setup.ModInstr().SetNomeProgramma(QStringLiteral("Nuova"));
            setup.SaveDataInADORS(true);
        } else {
            Exec(QStringLiteral("UPDATE CModInstr SET m_NomeProgramma = 'Rinominata' WHERE IDProgramma = ?"),
                 {window.CurrentIDProgramma()});
        }
        return true;
    });

    // Cancelled: no id stays drawn, the list and the selection are as before.
    const int counterRows = RowCount(QStringLiteral("CounterProgrammi"));
    main.mnuAddProgramma->trigger();
    EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counterRows);
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("Forno 1")});
    EXPECT_EQ(main.CurrentIDProgramma(), first);

    // Stored: a new line at the end, selected.
    store = true;
    main.ToolBarButton(QStringLiteral("NewProg"))->trigger();
    EXPECT_EQ(Lines(), (QStringList{QStringLiteral("Forno 1"), QStringLiteral("Nuova")}));
    EXPECT_EQ(main.lvProgrammi->currentRow(), 1);
    const std::int32_t added = main.CurrentIDProgramma();
    EXPECT_GT(added, first);
    EXPECT_EQ(main.lvProgrammi->item(1)->data(Qt::UserRole).toInt(), added);
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), added, QStringLiteral("m_NomeProgramma")).toString(),
              QStringLiteral("Nuova"));

    // Modify (here by a double click on the first line) rewrites that line.
    main.lvProgrammi->setCurrentRow(0);
    emit main.lvProgrammi->itemDoubleClicked(main.lvProgrammi->item(0));
    EXPECT_EQ(Lines(), (QStringList{QStringLiteral("Rinominata"), QStringLiteral("Nuova")}));
    EXPECT_EQ(main.CurrentIDProgramma(), first);
    EXPECT_EQ(modes, (std::vector<std::int32_t>{0, 0, 1}));
    EXPECT_TRUE(m_Boxes.empty());
}

// A New that ends without its configuration while another program holds the
// database: the box says that no configuration was created (there is nothing
// to try again), and the counter row the database kept goes with the next id
// drawn.
TEST_F(MainWindow, ANewEndedWhileTheDatabaseIsHeldLeavesItsCounterRowToTheNextWrite)
{
    OtherProgram other(DatabaseFile());
    FMain &main = Open();
    std::vector<std::int32_t> drawn;
    main.SetEditNewProgramma([&](FMain &window, std::int32_t) {
        drawn.push_back(window.CurrentIDProgramma());
        if (drawn.size() == 1) {
            other.Lock();
            return false;
        }
        CCollDatiSetup setup;
        setup.SetIDProgramma(window.CurrentIDProgramma());
        setup.ModInstr().SetNomeProgramma(QStringLiteral("Nuova"));
        setup.SaveDataInADORS(true);
        return true;
    });
    const auto counterRow = [this](std::int32_t id) {
        return Column(QStringLiteral("CounterProgrammi"), id, QStringLiteral("IDProgramma")).isValid();
    };

    m_Answer = MsgBoxResult::OK;
    main.mnuAddProgramma->trigger();
    other.Unlock();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text.toStdString(), LoadResourceString(ConfigurationWizard::kTextNotCreated).toStdString());
    EXPECT_EQ(main.CurrentIDProgramma(), -1);
    EXPECT_EQ(main.lvProgrammi->count(), 0);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(counterRow(drawn[0]));

    m_Boxes.clear();
    main.mnuAddProgramma->trigger();
    EXPECT_TRUE(m_Boxes.empty());
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_GT(drawn[1], drawn[0]);
    EXPECT_FALSE(counterRow(drawn[0]));
    EXPECT_TRUE(counterRow(drawn[1]));
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("Nuova")});
}

// New runs the real configuration wizard; a Cancel there leaves no drawn id.
TEST_F(MainWindow, NewRunsTheConfigurationWizard)
{
    FMain &main = Open();
    const int counterRows = RowCount(QStringLiteral("CounterProgrammi"));
    {
        PageScript script;
        script.Then([](FWizardPage &p) {
            EXPECT_EQ(p.objectName(), QStringLiteral("FWModInstr"));
            PageScript::Press(p, "cmdCancel");
        });
        main.mnuAddProgramma->trigger();
        EXPECT_EQ(script.PagesShown(), 1);
    }
    EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counterRows);
    EXPECT_EQ(main.lvProgrammi->count(), 0);
    EXPECT_EQ(main.CurrentIDProgramma(), -1);
    EXPECT_TRUE(m_Boxes.empty());
}

// No exception leaves a command into the event loop: the program's own
// errors show their text as before, anything else says that an internal error
// happened and writes a trace line; the window goes on taking commands.
TEST_F(MainWindow, ACommandThatThrowsIsReportedAndTheProgramGoesOn)
{
    struct Case {
        const char *name;
        std::function<void()> raise;
        QString box;       // the box text expected
        QString traceLine; // a trace line expected, or empty
    };
    const QString internal = LoadResourceString(730);
    const std::vector<Case> cases{
        {"logic_error", [] { throw std::logic_error("indice 7 fuori dai limiti"); },
         QString(internal).replace(QStringLiteral("|1"), QStringLiteral("indice 7 fuori dai limiti")),
         QStringLiteral("Errore interno: indice 7 fuori dai limiti")},
        {"not a std::exception", [] { throw 42; },
         QString(internal).replace(QStringLiteral("|1"), QStringLiteral("eccezione sconosciuta")),
         QStringLiteral("Errore interno: eccezione sconosciuta")},
        {"ProgramError",
         [] { throw ProgramError(13, QStringLiteral("pelvaro.VBError"), QStringLiteral("Type mismatch")); },
         QStringLiteral("Type mismatch"), QString()},
        // A database failure shows the text of its kind; its description goes to the trace.
        {"DatabaseError", [] { throw DatabaseError(QStringLiteral("Tabella CDisplay non trovata")); },
         GetResourceText(kTextDatabaseOther,
                         {QDir::toNativeSeparators(ProgramFile(QString::fromLatin1(kDatabaseFileName)))}),
         QStringLiteral("Tabella CDisplay non trovata")},
    };
    const std::int32_t id = AddConfiguration(QStringLiteral("Forno 1"));
    FMain &main = Open();
    std::function<void()> raise;
    int edits = 0;
    main.SetEditNewProgramma([&](FMain &, std::int32_t) {
        ++edits;
        if (raise)
            raise();
        return false;
    });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TraceCapture trace;
        m_Boxes.clear();
        raise = c.raise;
        main.mnuEditProgramma->trigger();
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text, c.box);
        EXPECT_EQ(m_Boxes[0].style & MsgBoxStyle::Critical, MsgBoxStyle::Critical);
        if (!c.traceLine.isEmpty()) {
            EXPECT_TRUE(trace.Lines().contains(c.traceLine)) << trace.Lines().join(QLatin1Char('\n')).toStdString();
        }

        // The next command runs as usual.
        raise = nullptr;
        m_Boxes.clear();
        main.mnuEditProgramma->trigger();
        EXPECT_TRUE(m_Boxes.empty());
        EXPECT_EQ(main.CurrentIDProgramma(), id);
        EXPECT_EQ(Lines(), QStringList{QStringLiteral("Forno 1")});
    }
    EXPECT_EQ(edits, 2 * static_cast<int>(cases.size()));
}

TEST_F(MainWindow, PlacementIsKeptPerUser)
{
    // First run: the defaults, raised to the smallest height.
    {
        FMain &main = Open();
        EXPECT_EQ(main.pos(), QPoint(main.TwipsToPixelsX(100), main.TwipsToPixelsY(100)));
        EXPECT_EQ(main.width(), main.TwipsToPixelsX(6800));
        EXPECT_EQ(main.height(), main.TwipsToPixelsY(FMain::kMinimumHeight));
        main.close();
        // Stored as round as they were read, the height as the smallest.
        for (const auto &[key, value] : {std::pair{"MainLeft", "100"}, std::pair{"MainTop", "100"},
                                         std::pair{"MainWidth", "6800"}, std::pair{"MainHeight", "4000"}})
            EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QString::fromLatin1(key)),
                      QString::fromLatin1(value))
                << key;
        m_Main.reset();
        // Started again: in the same place, and nothing stored changes.
        FMain &again = Open();
        EXPECT_EQ(again.pos(), QPoint(again.TwipsToPixelsX(100), again.TwipsToPixelsY(100)));
        EXPECT_EQ(again.size(), QSize(again.TwipsToPixelsX(6800), again.TwipsToPixelsY(4000)));
        again.close();
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainHeight")), QStringLiteral("4000"));
        m_Main.reset();
    }
    // A place off every screen comes back on the screen.
    {
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainLeft"), QStringLiteral("-90000"));
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainTop"), QStringLiteral("90000"));
        FMain &main = Open();
        const QRect screen = main.screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(main.frameGeometry().topLeft()))
            << main.frameGeometry().topLeft().x() << "," << main.frameGeometry().topLeft().y();
        m_Main.reset();
    }
    // Moved and resized, then closed: the next start shows it there again.
    {
        FMain &main = Open();
        main.move(30, 45);
        main.resize(520, 310);
        main.mnuExit->trigger();
        EXPECT_FALSE(main.isVisible());
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                  QString::number(main.PixelsToTwipsX(30)));
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainHeight")),
                  QString::number(main.PixelsToTwipsY(310)));
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("WindowState")), QStringLiteral("0"));
        m_Main.reset();
        FMain &again = Open();
        EXPECT_EQ(again.pos(), QPoint(30, 45));
        EXPECT_EQ(again.size(), QSize(520, 310));
        m_Main.reset();
    }
    // Closed minimized or maximized: only the state is stored (a minimized
    // window as normal), the last normal placement stays.
    struct Case {
        Qt::WindowState state;
        const char *stored;
    };
    for (const Case &c : {Case{Qt::WindowMinimized, "0"}, Case{Qt::WindowMaximized, "2"}}) {
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainLeft"), QStringLiteral("1500"));
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("WindowState"), QStringLiteral("0"));
        FMain &main = Open();
        main.move(200, 200);
        main.setWindowState(c.state);
        main.close();
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("WindowState")),
                  QString::fromLatin1(c.stored));
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainLeft")), QStringLiteral("1500"));
        m_Main.reset();
    }
    // A stored maximized state comes back.
    EXPECT_TRUE(Open().windowState().testFlag(Qt::WindowMaximized));
}

// A stored size is outside data: on a small screen a huge one gives a window
// that fills the screen's available area, frame and all, and a negative one
// the smallest window; what is stored at the exit is what was shown.
TEST_F(MainWindow, StoredSizeIsFittedToTheScreen)
{
    const QRect screen(0, 0, 640, 480);
    const windowplacement::ScreenAreas old = windowplacement::SetScreenAreas([screen] { return QList<QRect>{screen}; });
    struct Case {
        const char *width;
        const char *height;
        bool fills;
    };
    for (const Case &c : {Case{"400000", "2147483647", true}, Case{"-5000", "-2147483648", false}}) {
        SCOPED_TRACE(c.width);
        ClearSettings();
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainWidth"), QString::fromLatin1(c.width));
        SaveSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainHeight"), QString::fromLatin1(c.height));
        FMain &main = Open();
        QCoreApplication::processEvents();
        const QRect frame = main.frameGeometry();
        EXPECT_TRUE(screen.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        if (c.fills) {
            EXPECT_EQ(frame, screen);
        } else {
            EXPECT_EQ(main.size(), main.minimumSize());
            EXPECT_EQ(main.pos(), QPoint(main.TwipsToPixelsX(100), main.TwipsToPixelsY(100)));
        }
        const QSize shown = main.size();
        main.close();
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainWidth")),
                  QString::number(main.PixelsToTwipsX(shown.width())));
        EXPECT_EQ(GetSetting(kApp, QStringLiteral("Settings"), QStringLiteral("MainHeight")),
                  QString::number(main.PixelsToTwipsY(shown.height())));
        m_Main.reset();
    }
    windowplacement::SetScreenAreas(old);
}

// A database another program keeps locked at the start is reported as busy,
// not as a foreign file, and the next command opens it once the lock is
// gone; a file that is no database at all keeps its own message.
TEST_F(MainWindow, ABusyDatabaseIsToldApartFromAForeignFileAndOpenedOnceFree)
{
    const std::int32_t id = AddConfiguration(QStringLiteral("Forno 1"));
    struct BusyTimeout {
        int old = ADOConnection::BusyTimeout();
        BusyTimeout() { ADOConnection::SetBusyTimeout(20); }
        ~BusyTimeout() { ADOConnection::SetBusyTimeout(old); }
    } shortWait;
    const QString busy = GetResourceText(kTextDatabaseBusy, {QDir::toNativeSeparators(DatabaseFile())});
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-program"));
        other.setDatabaseName(DatabaseFile());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        FMain &main = Open();
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text, busy);
        EXPECT_EQ(main.lvProgrammi->count(), 0);
        // Still locked: the next command says so again (New, given up at
        // once when it gets that far).
        main.SetEditNewProgramma([](FMain &, std::int32_t) { return false; });
        emit main.mnuGestioneProgrammi->aboutToShow();
        EXPECT_EQ(m_Boxes.size(), 1u);
        EXPECT_TRUE(main.mnuAddProgramma->isEnabled());
        EXPECT_FALSE(main.mnuEditProgramma->isEnabled());
        main.mnuAddProgramma->trigger();
        ASSERT_EQ(m_Boxes.size(), 2u);
        EXPECT_EQ(m_Boxes[1].text, busy);

        ASSERT_TRUE(lock.exec(QStringLiteral("ROLLBACK")));
        main.mnuAddProgramma->trigger();
        EXPECT_EQ(m_Boxes.size(), 2u);
        emit main.mnuGestioneProgrammi->aboutToShow();
        EXPECT_EQ(Lines(), QStringList{QStringLiteral("Forno 1")});
        EXPECT_EQ(main.CurrentIDProgramma(), id);
        EXPECT_TRUE(main.mnuEditProgramma->isEnabled());
        EXPECT_TRUE(main.ToolBarButton(QStringLiteral("EditProg"))->isEnabled());
        m_Main.reset();
        lock = QSqlQuery();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-program"));

    g_Connection.Close();
    {
        QFile file(DatabaseFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    }
    m_Boxes.clear();
    FMain &main = Open();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, GetResourceText(kTextDatabaseDamaged, {QDir::toNativeSeparators(DatabaseFile())}));
    emit main.mnuGestioneProgrammi->aboutToShow();
    EXPECT_EQ(m_Boxes.size(), 1u);
}

// What stands under the database's name at the start is told for what it
// is: a database that lacks the list's table or view, or a folder, is
// damaged; a file that is not there is missing, not a command that failed.
TEST_F(MainWindow, AnUnusableDatabaseAtTheStartIsToldForWhatItIs)
{
    struct Case {
        const char *what;
        std::function<void()> arrange;
        std::int32_t text;
    };
    const auto drop = [this](const char *statement) {
        return [this, statement] {
            Exec(QString::fromLatin1(statement));
            g_Connection.Close();
        };
    };
    const auto replace = [this](bool folder) {
        return [this, folder] {
            g_Connection.Close();
            ASSERT_TRUE(QFile::remove(DatabaseFile()));
            if (folder) {
                ASSERT_TRUE(QDir().mkdir(DatabaseFile()));
            }
        };
    };
    const Case cases[] = {
        {"the configuration table dropped", drop("DROP TABLE CModInstr"), kTextDatabaseDamaged},
        {"the list's view dropped", drop("DROP VIEW Programmi"), kTextDatabaseDamaged},
        {"a folder in its place", replace(true), kTextDatabaseDamaged},
        {"no file", replace(false), kTextDatabaseMissing},
    };
    const QString templateFile = m_Folder.File(QString::fromLatin1(kTemplateFileName));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        m_Boxes.clear();
        Open();
        ASSERT_EQ(m_Boxes.size(), 1u);
        EXPECT_EQ(m_Boxes[0].text, GetResourceText(c.text, {QDir::toNativeSeparators(DatabaseFile())}));
        EXPECT_EQ(m_Main->lvProgrammi->count(), 0);
        m_Main.reset();
        g_Connection.Close();
        QDir().rmdir(DatabaseFile());
        QFile::remove(DatabaseFile());
        ASSERT_TRUE(QFile::copy(templateFile, DatabaseFile()));
        QFile::setPermissions(DatabaseFile(), QFile::permissions(DatabaseFile()) | QFileDevice::WriteOwner);
        g_Connection.OpenFile(DatabaseFile());
    }
}

// A stored value that does not read stops nothing: the user is told (settings
// objects) or the default is taken (placement), the rest loads.
TEST_F(MainWindow, UnreadableStoredSettingsLeaveDefaultsAndTheStartGoesOn)
{
    struct Case {
        const char *section;
        const char *key;
        const char *value;
        bool told;
    };
    const Case cases[] = {
        {"CCommConfig", "m_ComPort", "abc", true},
        {"CNetworkAddMsgSetup", "m_NetworkAdd", "70000", true},
        {"COption", "m_bPrintHeaderPage", "maybe", true},
        {"Settings", "MainWidth", "wide", false},
    };
    AddConfiguration(QStringLiteral("Forno 1"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        ClearSettings();
        // Good values in every object, then the one bad value.
        SaveSetting(kApp, QStringLiteral("CCommConfig"), QStringLiteral("m_InterfaceType"), QStringLiteral("2"));
        SaveSetting(kApp, QStringLiteral("CNetworkAddMsgSetup"), QStringLiteral("m_TotalInstrNetwork"),
                    QStringLiteral("12"));
        SaveSetting(kApp, QStringLiteral("COption"), QStringLiteral("m_NotePiePagina1"), QStringLiteral("Nota"));
        SaveSetting(kApp, QString::fromLatin1(c.section), QString::fromLatin1(c.key), QString::fromLatin1(c.value));
        m_Boxes.clear();

        FMain &main = Open();
        const QString section = QString::fromLatin1(c.section);
        if (c.told) {
            ASSERT_EQ(m_Boxes.size(), 1u);
            EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::Exclamation);
            EXPECT_TRUE(m_Boxes[0].text.contains(section));
        } else {
            EXPECT_TRUE(m_Boxes.empty());
        }
        EXPECT_EQ(main.lvProgrammi->count(), 1);
        // The object with the bad value keeps all its defaults; the others
        // have read theirs.
        EXPECT_EQ(main.CommConfigSetup().InterfaceType(), section == QLatin1String("CCommConfig") ? 0 : 2);
        EXPECT_EQ(main.NetworkAddMsg().TotalInstrNetwork(), section == QLatin1String("CNetworkAddMsgSetup") ? 255 : 12);
        EXPECT_EQ(main.Option().NotePiePagina1(),
                  section == QLatin1String("COption") ? QString() : QStringLiteral("Nota"));
        if (section == QLatin1String("Settings")) {
            EXPECT_EQ(main.width(), main.TwipsToPixelsX(FMain::kDefaultWidth));
        }
        m_Main.reset();
    }
}

} // namespace
