#include "ADOConnection.h"
#include "Avvio.h"
#include "CStatusBarHelp.h"
#include "CTraceCode.h"
#include "FMain.h"
#include "FSplash.h"
#include "MsgBox.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "TestEnvironment.h"
#include "TraceCapture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStatusBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace {

const QDateTime kFixedTime(QDate(2024, 3, 5), QTime(7, 8, 9));

// A small configuration database: the query "Programmi" over one stored
// configuration.
void MakeDatabase(const QString &path, const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TABLE CModInstr (IDProgramma INTEGER, m_NomeProgramma TEXT)")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO CModInstr VALUES (2, 'Actual instrument setting')")));
        if (!name.isEmpty()) {
            q.prepare(QStringLiteral("INSERT INTO CModInstr VALUES (7, ?)"));
            q.addBindValue(name);
            ASSERT_TRUE(q.exec());
        }
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE VIEW Programmi AS SELECT m_NomeProgramma, IDProgramma "
                                          "FROM CModInstr WHERE IDProgramma <> 2")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList TraceLines(const QString &path)
{
    QStringList lines = QString::fromLocal8Bit(FileBytes(path)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// True when every expected line occurs in the lines, in this order.
::testing::AssertionResult InOrder(const QStringList &lines, const QStringList &expected)
{
    qsizetype at = 0;
    for (const QString &e : expected) {
        const qsizetype found = lines.indexOf(e, at);
        if (found < 0)
            return ::testing::AssertionFailure() << "missing or out of order: " << e.toStdString() << "\nin:\n"
                                                 << lines.join(QLatin1Char('\n')).toStdString();
        at = found + 1;
    }
    return ::testing::AssertionSuccess();
}

class Start : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_OldClock = CTraceCode::SetClock([] { return kFixedTime; });
        m_OldBox = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r);
            return MsgBoxResult::OK;
        });
        m_Hooks.initGlobalScale = [this] { ++m_ScaleInits; };
        m_Hooks.createMainForm = [] { return new FMain; };
        m_Hooks.pause = [this](float seconds) {
            m_Pauses.push_back(seconds);
            // During the pause the splash is up and the main window not yet.
            bool splashShown = false;
            for (QWidget *w : QApplication::topLevelWidgets())
                splashShown = splashShown || (qobject_cast<FSplash *>(w) && w->isVisible());
            m_SplashDuringPause = splashShown && g_MainForm && !g_MainForm->isVisible();
        };
    }
    void TearDown() override
    {
        delete g_MainForm;
        g_MainForm = nullptr;
        g_Connection.Close();
        g_Trace = CTraceCode();
        SetMsgBoxHook(m_OldBox);
        CTraceCode::SetClock(m_OldClock);
    }
    QStringList Entries() const { return QDir(m_Folder.Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    testenv::ScopedProgramFolder m_Folder;
    StartHooks m_Hooks;
    std::vector<MsgBoxRequest> m_Boxes;
    std::vector<float> m_Pauses;
    int m_ScaleInits = 0;
    bool m_SplashDuringPause = false;
    CTraceCode::Clock m_OldClock;
    MsgBoxHook m_OldBox;
};

const QStringList kStartLines = {
    QStringLiteral("Pelvaro Version 1.301.1"),
    QStringLiteral("Inizio programma"),
    QStringLiteral("Impostazione del font utilizzato nel programma."),
    QStringLiteral("Mostra splash window"),
    QStringLiteral("Fine impostazione del font per i controlli del form"),
    QStringLiteral("Verifica esistenza DB..."),
};
const QStringList kRestLines = {
    QStringLiteral("Crea oggetto connection."), QStringLiteral("Crea form"),
    QStringLiteral("Visualizza form main"),     QStringLiteral("Creazione della classe per l'help sulla statusbar"),
    QStringLiteral("Caricamento testi menu"),   QStringLiteral("Form_Load step 1"),
    QStringLiteral("Form_Load step 2"),         QStringLiteral("Fine FMain_Load"),
    QStringLiteral("Sub Main() step 1"),        QStringLiteral("End Sub Main()"),
};

} // namespace

TEST_F(Start, PresentDatabaseIsUsedAndTheTemplateNotLookedAt)
{
    MakeDatabase(m_Folder.File(QStringLiteral("IvrOxaProgram.cfg")), QStringLiteral("Forno 3"));
    const QByteArray before = FileBytes(m_Folder.File(QStringLiteral("IvrOxaProgram.cfg")));

    ASSERT_TRUE(StartProgram({}, m_Hooks));

    EXPECT_TRUE(m_Boxes.empty());
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("IvrOxaProgram.cfg"), QStringLiteral("pelvaro.DBG")}));
    EXPECT_EQ(FileBytes(m_Folder.File(QStringLiteral("IvrOxaProgram.cfg"))), before);
    EXPECT_EQ(m_ScaleInits, 1);
    EXPECT_EQ(m_Pauses, std::vector<float>{3.0f});
    EXPECT_TRUE(m_SplashDuringPause);
    ASSERT_NE(g_MainForm, nullptr);
    EXPECT_TRUE(g_MainForm->isVisible());
    EXPECT_TRUE(g_Connection.IsOpen());
    auto *list = g_MainForm->findChild<QListWidget *>(QStringLiteral("lvProgrammi"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Forno 3"));
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<FSplash *>(w)) << "the splash window is left";

    const QStringList lines = TraceLines(m_Folder.File(QStringLiteral("pelvaro.DBG")));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("Effettuata nuova esecuzione: 05-03-24 07:08:09"));
    EXPECT_EQ(lines.value(14), QStringLiteral("Pelvaro Version 1.301.1"));
    EXPECT_TRUE(InOrder(lines, kStartLines + kRestLines));
    EXPECT_EQ(lines.last(), QStringLiteral("End Sub Main()"));
    EXPECT_EQ(g_Trace.BugTraceMode(), 1); // no switch: traced as with "/DEBUG"
}

TEST_F(Start, MissingDatabaseIsCopiedFromTheTemplate)
{
    const QString templ = m_Folder.File(QStringLiteral("IvrOxaSetup.dll"));
    MakeDatabase(templ, QString());
    // An installed template may well be read-only; its copy must not be.
    ASSERT_TRUE(QFile::setPermissions(templ, QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    ASSERT_TRUE(StartProgram({QStringLiteral("/DEBUG_ALL")}, m_Hooks));

    EXPECT_TRUE(m_Boxes.empty());
    const QString database = m_Folder.File(QStringLiteral("IvrOxaProgram.cfg"));
    EXPECT_EQ(FileBytes(database), FileBytes(templ));
    EXPECT_TRUE(QFile::permissions(database) & QFileDevice::WriteOwner);
    // No temporary file of the copy is left behind.
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("IvrOxaProgram.cfg"), QStringLiteral("IvrOxaSetup.dll"),
                                      QStringLiteral("pelvaro.DBG")}));
    EXPECT_TRUE(g_Connection.IsOpen());
    EXPECT_EQ(g_MainForm->findChild<QListWidget *>(QStringLiteral("lvProgrammi"))->count(), 0);
    EXPECT_TRUE(InOrder(TraceLines(m_Folder.File(QStringLiteral("pelvaro.DBG"))), kStartLines + kRestLines));
    EXPECT_EQ(g_Trace.BugTraceMode(), 2);
}

TEST_F(Start, MissingTemplateEndsWithMessage231AndCreatesNothing)
{
    EXPECT_FALSE(StartProgram({}, m_Hooks));

    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, GetResourceText(231, {QStringLiteral("IvrOxaSetup.dll")}));
    EXPECT_EQ(m_Boxes[0].style, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly);
    EXPECT_EQ(m_Boxes[0].title, QStringLiteral("Pelvaro"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("pelvaro.DBG")});
    EXPECT_EQ(g_MainForm, nullptr);
    EXPECT_TRUE(m_Pauses.empty());
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<FSplash *>(w)) << "the splash window is left";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    const QStringList lines = TraceLines(m_Folder.File(QStringLiteral("pelvaro.DBG")));
    EXPECT_TRUE(InOrder(lines, kStartLines));
    EXPECT_EQ(lines.last(), QStringLiteral("Verifica esistenza DB..."));
}

// The main window's load attaches the menu help with base 200, and the
// status bar follows its events: 0 "Ready", -1 an empty text, an id its text.
TEST_F(Start, MainWindowShowsTheMenuHelpInItsStatusBar)
{
    MakeDatabase(m_Folder.File(QStringLiteral("IvrOxaProgram.cfg")), QString());
    ASSERT_TRUE(StartProgram({}, m_Hooks));
    auto *main = qobject_cast<FMain *>(g_MainForm);
    ASSERT_NE(main, nullptr);
    auto *help = main->findChild<CStatusBarHelp *>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->HelpFor(main->mnuExit), 1202);
    EXPECT_EQ(help->HelpFor(main->mnuAbout), 1221);

    struct Case {
        std::int16_t id;
        QString shown;
    };
    const QString before = QStringLiteral("before");
    const Case cases[] = {
        {-1, QString()},
        {0, LoadResourceString(240)},
        {301, LoadResourceString(301)},
        {31999, before}, // no text of that id
    };
    for (const Case &c : cases) {
        main->statusBar()->showMessage(before);
        emit help->HelpID(c.id);
        EXPECT_EQ(main->statusBar()->currentMessage(), c.shown) << c.id;
    }
}

TEST(StartComponents, MissingComponentsAreTraced)
{
    TraceCapture trace;
    CheckComponentRegistration({{QStringLiteral("present."), [] { return true; }},
                                {QStringLiteral("absent."), [] { return false; }},
                                {QStringLiteral("failing."), []() -> bool { throw std::runtime_error("probe"); }}});
    EXPECT_EQ(trace.Lines(), (QStringList{QStringLiteral("Non trovata la registrazione del componente absent."),
                                          QStringLiteral("Non trovata la registrazione del componente failing.")}));
}
