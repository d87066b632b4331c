#include "FMain.h"

#include "ADOConnection.h"
#include "CCommConfig.h"
#include "CNetworkAddMsgSetup.h"
#include "CommandBorder.h"
#include "ConfigurationWizard.h"
#include "COption.h"
#include "CPrintTable.h"
#include "CStatusBarHelp.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "FAbout.h"
#include "FormText.h"
#include "MErrors.h"
#include "ModelError.h"
#include "MsgBox.h"
#include "MUtility.h"
#include "NumberText.h"
#include "PrintCommands.h"
#include "ProgramFolder.h"
#include "ResourceText.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "ToolBarPictures.h"
#include "TransferCommands.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace {

const QString kSettingsSection = QStringLiteral("Settings");

constexpr std::int32_t kTextReady = 240;
constexpr std::int32_t kTextProgramTitle = 301;
constexpr std::int32_t kTextColumnHeading = 796;
constexpr std::int32_t kTextDeleteQuestion = 795;
constexpr std::int32_t kTextSettingsUnreadable = 1050;

// The tool-bar buttons by key, their designed tool tips and pictures.
struct ToolBarButtonDesign {
    const char *key;
    std::int32_t toolTipId;
};
constexpr ToolBarButtonDesign kToolBarButtons[] = {
    {"ViewIVRVar", 260}, {"NewProg", 261}, {"EditProg", 262}, {"DelProg", 263}, {"SendProg", 264}, {"RxTxProg", 265},
};

// Shows the hourglass on the window while it lives, also when a command
// ends with an error.
class HourGlassScope {
public:
    explicit HourGlassScope(QWidget *window) : m_Window(window) { HourGlass(m_Window); }
    ~HourGlassScope() { HourGlass(m_Window); }
    HourGlassScope(const HourGlassScope &) = delete;
    HourGlassScope &operator=(const HourGlassScope &) = delete;

private:
    QWidget *m_Window;
};

QAction *NewMenuItem(QMenu *menu, const char *name, const char *captionId)
{
    QAction *item = menu->addAction(QString::fromLatin1(captionId));
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

void NewSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

FMain::FMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FMain"));

    // Menu items are designed with their string ids as text; the load puts
    // the texts in (after the menu help has read the ids).
    mnuFile = menuBar()->addMenu(QStringLiteral("1000"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuViewVariable = NewMenuItem(mnuFile, "mnuViewVariable", "1001");
    NewSeparator(mnuFile, "mnuMainLine1");
    mnuImport = NewMenuItem(mnuFile, "mnuImport", "1003");
    mnuExport = NewMenuItem(mnuFile, "mnuExport", "1004");
    NewSeparator(mnuFile, "mnuMainLine2");
    mnuPrintOption = NewMenuItem(mnuFile, "mnuPrintOption", "1007");
    mnuPrinterSetup = NewMenuItem(mnuFile, "mnuPrinterSetup", "1005");
    mnuPrint = NewMenuItem(mnuFile, "mnuPrint", "1006");
    NewSeparator(mnuFile, "mnuMainLine3");
    mnuExit = NewMenuItem(mnuFile, "mnuExit", "1002");

    mnuGestioneProgrammi = menuBar()->addMenu(QStringLiteral("1010"));
    mnuGestioneProgrammi->setObjectName(QStringLiteral("mnuGestioneProgrammi"));
    mnuAddProgramma = NewMenuItem(mnuGestioneProgrammi, "mnuAddProgramma", "1011");
    mnuEditProgramma = NewMenuItem(mnuGestioneProgrammi, "mnuEditProgramma", "1012");
    mnuDelProgramma = NewMenuItem(mnuGestioneProgrammi, "mnuDelProgramma", "1013");
    mnuSendProgramma = NewMenuItem(mnuGestioneProgrammi, "mnuSendProgramma", "1014");
    mnuRxEditTxProgramma = NewMenuItem(mnuGestioneProgrammi, "mnuRxEditTxProgramma", "1015");

    mnuHelp = menuBar()->addMenu(QStringLiteral("1020"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = NewMenuItem(mnuHelp, "mnuAbout", "1021");

    const std::pair<QAction *, void (FMain::*)()> items[] = {
        {mnuViewVariable, &FMain::mnuViewVariable_Click},
        {mnuImport, &FMain::mnuImport_Click},
        {mnuExport, &FMain::mnuExport_Click},
        {mnuPrintOption, &FMain::mnuPrintOption_Click},
        {mnuPrinterSetup, &FMain::mnuPrinterSetup_Click},
        {mnuPrint, &FMain::mnuPrint_Click},
        {mnuAddProgramma, &FMain::mnuAddProgramma_Click},
        {mnuEditProgramma, &FMain::mnuEditProgramma_Click},
        {mnuDelProgramma, &FMain::mnuDelProgramma_Click},
        {mnuSendProgramma, &FMain::mnuSendProgramma_Click},
        {mnuRxEditTxProgramma, &FMain::mnuRxEditTxProgramma_Click},
        {mnuAbout, &FMain::mnuAbout_Click},
    };
    for (const auto &[item, handler] : items)
        connect(item, &QAction::triggered, this, Guarded(handler));
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuFile, &QMenu::aboutToShow, this, Guarded(&FMain::mnuFile_Click));
    connect(mnuGestioneProgrammi, &QMenu::aboutToShow, this, Guarded(&FMain::mnuGestioneProgrammi_Click));

    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    for (const ToolBarButtonDesign &b : kToolBarButtons) {
        QAction *button = tbToolBar->addAction(toolbarpictures::Picture(QString::fromLatin1(b.key)), QString());
        button->setObjectName(QString::fromLatin1(b.key));
        button->setToolTip(QString::number(b.toolTipId));
    }
    connect(tbToolBar, &QToolBar::actionTriggered, this, Guarded(&FMain::tbToolBar_ButtonClick));

    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    cmdColumn = new QLabel(body);
    cmdColumn->setObjectName(QStringLiteral("cmdColumn"));
    cmdColumn->setFrameStyle(QFrame::Panel | QFrame::Raised);
    cmdColumn->setMargin(2);
    layout->addWidget(cmdColumn);
    lvProgrammi = new QListWidget(body);
    lvProgrammi->setObjectName(QStringLiteral("lvProgrammi"));
    // Every line is one name in the same font, so every line has the same
    // height: the view need not measure each line whenever a line is added
    // or removed, which grows with the archive.
    lvProgrammi->setUniformItemSizes(true);
    layout->addWidget(lvProgrammi);
    setCentralWidget(body);
    // The report renderer covers the heading and the list while it prints.
    PrintTable = new CPrintTable(body);
    PrintTable->setObjectName(QStringLiteral("PrintTable"));
    PrintTable->hide();
    body->installEventFilter(this);
    connect(PrintTable, &CPrintTable::PrintEnd, this, Guarded(&FMain::PrintTable_PrintEnd));
    connect(lvProgrammi, &QListWidget::currentRowChanged, this, Guarded(&FMain::lvProgrammi_Click));
    connect(lvProgrammi, &QListWidget::itemDoubleClicked, this, Guarded(&FMain::mnuEditProgramma_Click));

    // Made with the window, so it is shown with it (a child created during
    // the first show would stay hidden).
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));

    // The smallest size the window takes (the resize rule of the design).
    setMinimumSize(TwipsToPixelsX(kMinimumWidth), TwipsToPixelsY(kMinimumHeight));
    resize(TwipsToPixelsX(kDefaultWidth), TwipsToPixelsY(kDefaultHeight));

    // A save the configuration wizard offers again after a refused write or
    // a failed reopening runs on a new opening, and the list's query and
    // the list follow it, the user's line still selected.
    ConfigurationWizard::SetDatabaseReopener([this] { OpenArchiveAgain(); });
}

FMain::~FMain()
{
    ConfigurationWizard::SetDatabaseReopener({});
}

namespace {
FMain::HandlerHook &HandlerHookFunction()
{
    static FMain::HandlerHook hook;
    return hook;
}
} // namespace

FMain::HandlerHook FMain::SetHandlerHook(HandlerHook hook)
{
    return std::exchange(HandlerHookFunction(), std::move(hook));
}

void FMain::RunHandlerHook()
{
    if (const HandlerHook &hook = HandlerHookFunction())
        hook();
}

QString FMain::ConnectionText()
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + ProgramFolder() + QLatin1Char('/') +
           QString::fromLatin1(kDatabaseFileName) + QLatin1Char(';');
}

// ---- twips -----------------------------------------------------------------

std::int32_t FMain::PixelsToTwipsX(int pixels) const
{
    return windowplacement::PixelsToTwips(pixels, logicalDpiX());
}

std::int32_t FMain::PixelsToTwipsY(int pixels) const
{
    return windowplacement::PixelsToTwips(pixels, logicalDpiY());
}

int FMain::TwipsToPixelsX(std::int32_t twips) const
{
    return windowplacement::TwipsToPixels(twips, logicalDpiX());
}

int FMain::TwipsToPixelsY(std::int32_t twips) const
{
    return windowplacement::TwipsToPixels(twips, logicalDpiY());
}

// ---- state for the commands ------------------------------------------------

QAction *FMain::ToolBarButton(const QString &key) const
{
    for (QAction *button : tbToolBar->actions())
        if (button->objectName() == key)
            return button;
    return nullptr;
}

CCommConfig &FMain::CommConfigSetup()
{
    if (!m_CommConfigSetup)
        m_CommConfigSetup = std::make_unique<CCommConfig>();
    return *m_CommConfigSetup;
}

CNetworkAddMsgSetup &FMain::NetworkAddMsg()
{
    if (!m_NetworkAddMsg)
        m_NetworkAddMsg = std::make_unique<CNetworkAddMsgSetup>();
    return *m_NetworkAddMsg;
}

COption &FMain::Option()
{
    if (!m_Option)
        m_Option = std::make_unique<COption>();
    return *m_Option;
}

bool FMain::HasProgrammi() const
{
    return ArchiveOpen() && m_rsProgrammi.RecordCount() > 0;
}

QString FMain::SelectedProgramName() const
{
    const QListWidgetItem *item = lvProgrammi->currentItem();
    return item ? item->text() : QString();
}

// ---- list bookkeeping ------------------------------------------------------

void FMain::AddProgramToList(const QString &name, std::int32_t id)
{
    auto *item = new QListWidgetItem(name, lvProgrammi);
    item->setData(Qt::UserRole, id);
    lvProgrammi->setCurrentItem(item);
}

void FMain::UpdateProgramInList(const QString &name, std::int32_t id)
{
    QListWidgetItem *item = lvProgrammi->currentItem();
    if (!item)
        return;
    item->setText(name);
    item->setData(Qt::UserRole, id);
}

void FMain::RemoveProgramFromList()
{
    const int i = lvProgrammi->currentRow();
    if (i < 0)
        return;
    {
        // Removing moves Qt's current line on its own; only the line chosen
        // below counts as selected.
        const QSignalBlocker block(lvProgrammi);
        delete lvProgrammi->takeItem(i);
        lvProgrammi->setCurrentRow(-1);
    }
    if (i >= lvProgrammi->count())
        lvProgrammi->setCurrentRow(lvProgrammi->count() - 1);
    else
        lvProgrammi->setCurrentRow(i);
}

void FMain::FindProgramma()
{
    const QString criterion = QStringLiteral("IDProgramma=") + QString::number(m_CurrentIDProgramma);
    m_rsProgrammi.Requery();
    m_rsProgrammi.MoveFirst();
    m_rsProgrammi.Find(criterion);
    g_Trace.BugAssert(!m_rsProgrammi.Eof(), QStringLiteral("Programma non trovato con il criterio:") + criterion);
}

void FMain::AddFoundProgramToList()
{
    AddProgramToList(m_rsProgrammi.Value(QStringLiteral("m_NomeProgramma")).toString(),
                     m_rsProgrammi.Value(QStringLiteral("IDProgramma")).toInt());
}

void FMain::UpdateCommandState()
{
    if (ArchiveOpen())
        m_CurrentIDProgramma =
            HasProgrammi() && !m_rsProgrammi.Eof() ? m_rsProgrammi.Value(QStringLiteral("IDProgramma")).toInt() : -1;
    EnableToolBarButtons();
}

bool FMain::DatabaseOffered() const
{
    // A database closed by a failure that may pass is opened again by the
    // command; one that cannot be used at all is not offered.
    return ArchiveOpen() || m_ReopenPending;
}

bool FMain::ConfigurationsOffered() const
{
    // While the database waits to be opened again, the list keeps the lines
    // it showed and the line the user selected: the commands on it stay
    // offered, and the command opens the database first.
    return ArchiveOpen() ? HasProgrammi() : m_ReopenPending && lvProgrammi->count() > 0;
}

void FMain::EnableToolBarButtons()
{
    const bool rows = ConfigurationsOffered();
    for (const char *key : {"EditProg", "DelProg", "SendProg"})
        ToolBarButton(QString::fromLatin1(key))->setEnabled(rows);
    const bool usable = DatabaseOffered();
    for (const char *key : {"NewProg", "RxTxProg"})
        ToolBarButton(QString::fromLatin1(key))->setEnabled(usable);
}

// ---- load and unload -------------------------------------------------------

void FMain::showEvent(QShowEvent *event)
{
    if (!m_Loaded) {
        m_Loaded = true;
        RunGuarded(this, QString(), [this] { formLoad(); });
    }
    QMainWindow::showEvent(event);
}

void FMain::closeEvent(QCloseEvent *event)
{
    if (m_Loaded)
        SaveWindowSettings();
    event->accept();
}

void FMain::formLoad()
{
    const QDateTime now = QDateTime::currentDateTime();
    g_Trace.BugMessage(now.toString(QStringLiteral("ddMMyyyy")) + QLatin1Char(' ') +
                       now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Nuova esecuzione di ") +
                       ExecutableName());
    m_Loading = true;
    // The help table is built from the designed captions (the string ids),
    // so before the menu texts replace them.
    g_Trace.BugMessage(QStringLiteral("Creazione della classe per l'help sulla statusbar"));
    m_StatusBarHelp = new CStatusBarHelp(this);
    connect(m_StatusBarHelp, &CStatusBarHelp::HelpID, this, Guarded(&FMain::m_StatusBarHelp_HelpID));
    m_StatusBarHelp->Create(this, 200);
    LoadMenuCaptions(this);

    LoadWindowSettings();
    LoadToolBarToolTip();
    AddMinimizeMenuItem();

    g_Trace.BugMessage(QStringLiteral("Form_Load step 1"));
    statusBar()->showMessage(LoadResourceString(kTextReady));
    setWindowTitle(LoadResourceString(kTextProgramTitle));

    g_Trace.BugMessage(QStringLiteral("Form_Load step 2"));
    OpenDatabase();
    cmdColumn->setText(LoadResourceString(kTextColumnHeading));
    UpdateCommandState();

    LoadSettingsObjects();
    m_Transfer = std::make_unique<TransferCommands>(this, *m_CommConfigSetup, *m_NetworkAddMsg);
    PrintCommands::SetUpPrintTable(*PrintTable);

    m_Loading = false;
    g_Trace.BugMessage(QStringLiteral("Fine FMain_Load"));
}

FMain::ProgramLines FMain::OpenArchive()
{
    // A failure after the program had a good opening is one of a file that
    // came back, not of the file it started with.
    const bool reopening = m_OpenedOnce;
    try {
        g_Connection.Open(ConnectionText());
        m_rsProgrammi.Open(QStringLiteral("Programmi"), g_Connection);
        m_ReopenPending = false;
        m_OpenedOnce = true;
        return ReadProgramLines();
    } catch (const DatabaseError &failure) {
        // Nothing reads on a closed connection: the list's query goes with
        // it. A failure that may pass (a database another program holds, a
        // file that is not there, a disk that does not answer) is opened
        // again by the next command (ReopenDatabase).
        const DatabaseError e = OpeningFailure(failure, reopening);
        m_rsProgrammi.Close();
        g_Connection.Close();
        m_ReopenPending = e.MayPass();
        throw e;
    }
}

bool FMain::OpenDatabase()
{
    try {
        LoadProgramList(OpenArchive());
        return true;
    } catch (const DatabaseError &e) {
        // The window stays up with an empty list; the user learns why.
        MsgBox(DatabaseErrorText(e), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), this);
        return false;
    }
}

DatabaseError FMain::OpeningFailure(const DatabaseError &e, bool reopening)
{
    // A file the program never opened was not moved away while it ran: it
    // was not there at the start (the template could not be copied, or it
    // was taken away before).
    if (e.Kind() == DatabaseFailure::Moved && !reopening)
        return DatabaseError(e.Description(), DatabaseFailure::Missing);
    // A damaged file where a good one was opened before was put there while
    // the program runs (a copy not finished, a folder in its place): a good
    // copy put back serves the next command.
    if (e.Kind() == DatabaseFailure::Damaged && reopening)
        return DatabaseError(e.Description(), DatabaseFailure::DamagedAtReopening);
    return e;
}

bool FMain::NeedsReopening() const
{
    // A write refused inside a transaction is the transaction's to undo. A
    // file no longer at the path it was opened at is found here, before the
    // command asks its question or opens its wizard.
    if (ArchiveOpen())
        return g_Connection.NeedsNewOpening() && g_Connection.TransactionLevel() == 0;
    return m_ReopenPending;
}

void FMain::OpenArchiveAgain()
{
    g_Trace.BugMessage(QStringLiteral("Nuova apertura del database"));
    // Neither the id the running command works on (New's drawn id, which
    // is not listed yet) nor the line the user selected changes here.
    const std::int32_t selected = SelectedID();
    const int position = lvProgrammi->currentRow();
    const bool listed = lvProgrammi->count() > 0;
    ProgramLines lines;
    try {
        lines = OpenArchive();
    } catch (const DatabaseError &) {
        // The list keeps what it showed for the next try.
        EnableToolBarButtons();
        throw;
    }
    // The list as the file that came back holds it, filled without a line
    // taking the selection on its way. The user's line is found again by
    // its id; one that is gone gives its place to the line after it, as
    // after Delete. A list that never showed starts on its first line.
    ShowProgramLines(lines, false);
    const QSignalBlocker block(lvProgrammi);
    int row = -1;
    for (int i = 0; i < lvProgrammi->count() && row < 0; ++i)
        if (lvProgrammi->item(i)->data(Qt::UserRole).toInt() == selected)
            row = i;
    if (row < 0 && lvProgrammi->count() > 0)
        row = listed ? std::clamp(position, 0, lvProgrammi->count() - 1) : 0;
    lvProgrammi->setCurrentRow(row);
    StandOnSelectedRow();
    EnableToolBarButtons();
}

bool FMain::ReopenDatabase(bool *selectionGone)
{
    if (selectionGone)
        *selectionGone = false;
    if (!NeedsReopening())
        return ArchiveOpen();
    try {
        const std::int32_t selected = SelectedID();
        OpenArchiveAgain();
        // Between commands the id the commands act on is the selected line's.
        if (SelectedID() != selected) {
            if (selectionGone)
                *selectionGone = selected >= 0;
            TakeSelectedID(SelectedID());
        }
        return true;
    } catch (const DatabaseError &e) {
        g_Trace.BugMessage(QStringLiteral("Nuova apertura del database non riuscita: ") + e.Description());
        MsgBox(DatabaseErrorText(e), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), this);
        return false;
    }
}

bool FMain::ReopenForSelected()
{
    bool gone = false;
    if (!ReopenDatabase(&gone))
        return false;
    if (!gone)
        return true;
    // The file that came back does not hold the configuration the user
    // chose the command for: the command acts on no other one. The list
    // shows what the file holds.
    g_Trace.BugMessage(QStringLiteral("Configurazione selezionata non piu' in archivio dopo la nuova apertura"));
    MsgBox(DatabaseErrorText(DatabaseError(QString(), DatabaseFailure::NotInArchive)),
           MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), this);
    return false;
}

bool FMain::ArchiveOpen() const
{
    return g_Connection.IsOpen() && m_rsProgrammi.IsOpen();
}

void FMain::ReloadIfCurrentGone()
{
    const std::int32_t id = m_CurrentIDProgramma;
    if (id < 0 || !ArchiveOpen())
        return;
    const QString criterion = QStringLiteral("IDProgramma=") + QString::number(id);
    try {
        ADORecordset row;
        row.Open(QStringLiteral("Programmi"), g_Connection, criterion);
        if (!row.Eof())
            return;
        g_Trace.BugMessage(QStringLiteral("Configurazione non piu' in archivio (") + criterion +
                           QStringLiteral("); aggiornamento griglia configurazioni"));
        // The list as the archive holds it now; the line that took the
        // place of the one that went is selected, as after Delete.
        const int position = lvProgrammi->currentRow();
        m_rsProgrammi.Requery();
        LoadProgramList(ReadProgramLines());
        if (lvProgrammi->count() > 0) {
            lvProgrammi->setCurrentRow(std::clamp(position, 0, lvProgrammi->count() - 1));
            StandOnSelectedRow();
        }
        UpdateCommandState();
    } catch (const DatabaseError &e) {
        // The command has told its failure already; a later command that
        // finds the configuration gone brings the list up to date.
        g_Trace.BugMessage(QStringLiteral("Aggiornamento griglia configurazioni non riuscito: ") + e.Description());
    }
}

void FMain::StandOnSelectedRow()
{
    m_rsProgrammi.MoveFirst();
    if (const std::int32_t id = SelectedID(); id >= 0)
        m_rsProgrammi.Find(QStringLiteral("IDProgramma=") + QString::number(id));
}

FMain::ProgramLines FMain::ReadProgramLines()
{
    // The lines are taken inside the opening's error handling, before the
    // list changes; the list is then shown from them.
    ProgramLines lines;
    m_rsProgrammi.MoveFirst();
    while (!m_rsProgrammi.Eof()) {
        lines.emplace_back(m_rsProgrammi.Value(QStringLiteral("m_NomeProgramma")).toString(),
                           m_rsProgrammi.Value(QStringLiteral("IDProgramma")).toInt());
        m_rsProgrammi.MoveNext();
    }
    return lines;
}

void FMain::ShowProgramLines(const ProgramLines &lines, bool takeEach)
{
    const QSignalBlocker block(lvProgrammi);
    lvProgrammi->clear();
    for (const auto &[name, id] : lines) {
        auto *item = new QListWidgetItem(name);
        item->setData(Qt::UserRole, id);
        lvProgrammi->addItem(item);
        if (takeEach)
            TakeSelectedID(id);
    }
}

void FMain::LoadProgramList(const ProgramLines &lines)
{
    // One line per row in the query's order, each selected as it is added
    // (m_CurrentIDProgramma and its trace line follow every line), but the
    // list view itself selects only the last line, once: selecting each new
    // line would lay out every line already there, which made the load grow
    // with the square of the archive.
    ShowProgramLines(lines, true);
    {
        const QSignalBlocker block(lvProgrammi);
        lvProgrammi->setCurrentRow(lvProgrammi->count() - 1);
    }
    if (lvProgrammi->count() > 0) {
        m_rsProgrammi.MoveFirst();
        lvProgrammi->setCurrentRow(0);
    }
}

void FMain::LoadSettingsObjects()
{
    // Objects already asked for before the load are kept (their owners hold
    // references to them).
    g_Trace.BugMessage(QStringLiteral("Istanziamento classe m_CommConfigSetup"));
    CommConfigSetup();
    g_Trace.BugMessage(QStringLiteral("Istanziamento classe m_NetworkAddMsg"));
    NetworkAddMsg();
    g_Trace.BugMessage(QStringLiteral("Istanziamento classe m_Option"));
    Option();

    // A stored value that does not read leaves its object at the defaults
    // (LoadData changes nothing then); the user is told and the start goes on.
    const std::pair<const char *, ICopyClass *> objects[] = {
        {"m_CommConfigSetup", m_CommConfigSetup.get()},
        {"m_NetworkAddMsg", m_NetworkAddMsg.get()},
        {"m_Option", m_Option.get()},
    };
    for (const auto &[name, object] : objects) {
        g_Trace.BugMessage(QStringLiteral("LoadData ") + QString::fromLatin1(name));
        try {
            object->LoadData(QString());
        } catch (const ProgramError &e) {
            g_Trace.BugMessage(QStringLiteral("Impostazioni non leggibili di ") + object->ClassName() +
                               QStringLiteral(": ") + e.Description());
            MsgBox(GetResourceText(kTextSettingsUnreadable, {object->ClassName(), e.Description()}),
                   MsgBoxStyle::Exclamation, QString(), this);
        }
    }
}

void FMain::LoadWindowSettings()
{
    const auto setting = [](const char *key, std::int32_t defaultValue) {
        const QString text = GetSetting(QString::fromLatin1(kApplicationTitle), kSettingsSection,
                                        QString::fromLatin1(key), QString::number(defaultValue));
        if (const auto value = ParseDecimalLong(text))
            return *value;
        // A placement that does not read is not worth a question: the
        // window takes the default and the next exit stores a good one.
        g_Trace.BugMessage(QStringLiteral("Valore non valido di ") + QString::fromLatin1(key) + QStringLiteral(": ") +
                           text);
        return defaultValue;
    };
    const std::int32_t left = setting("MainLeft", kDefaultLeft);
    const std::int32_t top = setting("MainTop", kDefaultTop);
    const std::int32_t width = setting("MainWidth", kDefaultWidth);
    const std::int32_t height = setting("MainHeight", kDefaultHeight);
    const std::int32_t state = setting("WindowState", 0);
    // The size is the inner size; the place is that of the frame, as x() and
    // y() give it at the exit. Both are outside data: the size is fitted to
    // the available area of the screen the window shows on (a stored 400000
    // twips would make a window of thousands of pixels and gigabytes), the
    // place brought back onto the screens, frame counted. The window already
    // exists (this runs as it is first shown) but is not yet on the screen,
    // so the frame position goes to the window itself: move() would now place
    // the inner area there and the window would climb by its title bar at
    // every start. The frame is the one known now (none yet under a window
    // manager that frames the window as it maps it: FitPlacementToFrame then
    // fits again).
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const windowplacement::Placement placement = windowplacement::PlaceWindow(
        QPoint(TwipsToPixelsX(left), TwipsToPixelsY(top)), QSize(TwipsToPixelsX(width), TwipsToPixelsY(height)),
        minimumSize(), frame, windowplacement::AvailableScreenAreas());
    resize(placement.size);
    move(placement.framePosition);
    if (QWindow *window = windowHandle())
        window->setFramePosition(placement.framePosition);
    m_PlacementWithoutFrame = frame.isNull() && state == 0;
    // What was read: a value still shown as its pixels at the exit is
    // stored again as it was read.
    m_StoredPlace = {left, top, width, height};
    switch (state) {
    case 1: setWindowState(Qt::WindowMinimized); break;
    case 2: setWindowState(Qt::WindowMaximized); break;
    default: setWindowState(Qt::WindowNoState); break;
    }
}

void FMain::SaveWindowSettings()
{
    const QString app = QString::fromLatin1(kApplicationTitle);
    const Qt::WindowStates state = windowState();
    const bool minimized = state.testFlag(Qt::WindowMinimized);
    const bool maximized = !minimized && state.testFlag(Qt::WindowMaximized);
    if (!minimized && !maximized && !state.testFlag(Qt::WindowFullScreen)) {
        const auto save = [&](const char *key, std::int32_t read, int pixels, bool vertical) {
            const int shownAsRead = vertical ? TwipsToPixelsY(read) : TwipsToPixelsX(read);
            const std::int32_t twips = pixels == shownAsRead ? read
                                       : vertical            ? PixelsToTwipsY(pixels)
                                                             : PixelsToTwipsX(pixels);
            SaveSetting(app, kSettingsSection, QString::fromLatin1(key), QString::number(twips));
        };
        save("MainLeft", m_StoredPlace[0], x(), false);
        save("MainTop", m_StoredPlace[1], y(), true);
        save("MainWidth", m_StoredPlace[2], width(), false);
        save("MainHeight", m_StoredPlace[3], height(), true);
    }
    SaveSetting(app, kSettingsSection, QStringLiteral("WindowState"), QString::number(maximized ? 2 : 0));
}

void FMain::LoadToolBarToolTip()
{
    g_Trace.BugMessage(QStringLiteral("Start LoadToolBarToolTip()"));
    for (const ToolBarButtonDesign &b : kToolBarButtons)
        ToolBarButton(QString::fromLatin1(b.key))->setToolTip(LoadResourceString(b.toolTipId));
    g_Trace.BugMessage(QStringLiteral("End LoadToolBarToolTip()"));
}

void FMain::AddMinimizeMenuItem()
{
    g_Trace.BugMessage(QStringLiteral("Start AddMinimizeMenuItem()"));
    // Changing the flags of a shown window would hide it: only when missing.
    if (!windowFlags().testFlag(Qt::WindowMinimizeButtonHint))
        setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    g_Trace.BugMessage(QStringLiteral("End AddMinimizeMenuItem()"));
}

// ---- events ----------------------------------------------------------------

bool FMain::eventFilter(QObject *watched, QEvent *event)
{
    // The renderer takes the whole area below the tool bar: the heading's
    // top and left, the free height and the inner width.
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        PrintTable->setGeometry(centralWidget()->rect());
    return QMainWindow::eventFilter(watched, event);
}

bool FMain::event(QEvent *event)
{
    // Qt sends the status tip of every item the pointer or the keyboard
    // reaches, in menus and on the tool bar, and the main window shows it in
    // the status bar. No item here has one, so each would blank the menu help
    // just written and "Ready" once it is back: the status bar's text is the
    // menu help's alone.
    if (event->type() == QEvent::StatusTip)
        return true;
    const bool handled = QMainWindow::event(event);
    if (m_PlacementWithoutFrame &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::WindowActivate))
        FitPlacementToFrame();
    return handled;
}

void FMain::FitPlacementToFrame()
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    if (!isVisible() || frame.isNull())
        return; // not framed yet
    m_PlacementWithoutFrame = false;
    if (windowState() != Qt::WindowNoState)
        return;
    const windowplacement::Placement placement = windowplacement::PlaceWindow(
        outer.topLeft(), size(), minimumSize(), frame, windowplacement::AvailableScreenAreas());
    if (placement.size != size())
        resize(placement.size);
    if (placement.framePosition != outer.topLeft())
        move(placement.framePosition); // a shown window is placed by its frame
}

void FMain::PrintTable_PrintEnd()
{
    PrintCommands::PrintTableEnded(*lvProgrammi, *PrintTable, m_rsHeaderLayout, m_rsTableLayout, m_rsReport);
}

void FMain::m_StatusBarHelp_HelpID(std::int16_t id)
{
    if (!statusBar()->isVisible() || !statusBar()->isEnabled())
        return;
    // A drop-down title clears the help text.
    if (id == -1) {
        statusBar()->showMessage(QString());
        return;
    }
    const std::int32_t textId = id == 0 ? kTextReady : id;
    if (HasResourceString(textId))
        statusBar()->showMessage(LoadResourceString(textId));
}

void FMain::lvProgrammi_Click()
{
    const QListWidgetItem *item = lvProgrammi->currentItem();
    if (!item)
        return;
    TakeSelectedID(item->data(Qt::UserRole).toInt());
}

std::int32_t FMain::SelectedID() const
{
    const QListWidgetItem *item = lvProgrammi->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void FMain::TakeSelectedID(std::int32_t id)
{
    m_CurrentIDProgramma = id;
    g_Trace.BugMessage(QStringLiteral("m_CurrentIDProgramma=") + QString::number(m_CurrentIDProgramma));
}

void FMain::mnuFile_Click()
{
    // Opening a menu asks nothing of the database: its items are offered as
    // the tool bar offers its buttons, and the command the user chooses
    // opens the database again when it must (and tells a failure once).
    // Import stores a configuration, as New does; Export and Print need a
    // configuration, as Modify does.
    mnuImport->setEnabled(DatabaseOffered());
    const bool rows = ConfigurationsOffered();
    mnuExport->setEnabled(rows);
    const bool printing = PrintTable->Printing();
    mnuPrint->setEnabled(rows && !printing);
    mnuPrinterSetup->setEnabled(!printing);
}

void FMain::mnuGestioneProgrammi_Click()
{
    // As the tool bar's buttons: New and Modify instrument parameters store
    // configurations, the others need one.
    const bool usable = DatabaseOffered();
    mnuAddProgramma->setEnabled(usable);
    mnuRxEditTxProgramma->setEnabled(usable);
    const bool rows = ConfigurationsOffered();
    mnuEditProgramma->setEnabled(rows);
    mnuDelProgramma->setEnabled(rows);
    mnuSendProgramma->setEnabled(rows);
}

void FMain::tbToolBar_ButtonClick(QAction *button)
{
    const QString key = button->objectName();
    g_Trace.BugMessage(QStringLiteral("ButtonKey=") + key);
    // Each command opens the database again itself when it must, before it
    // asks or shows anything.
    if (key == QLatin1String("ViewIVRVar"))
        mnuViewVariable_Click();
    else if (key == QLatin1String("NewProg"))
        mnuAddProgramma_Click();
    else if (key == QLatin1String("EditProg"))
        mnuEditProgramma_Click();
    else if (key == QLatin1String("DelProg"))
        mnuDelProgramma_Click();
    else if (key == QLatin1String("SendProg"))
        mnuSendProgramma_Click();
    else if (key == QLatin1String("RxTxProg"))
        mnuRxEditTxProgramma_Click();
}

void FMain::RunCommand(const std::function<void()> &command)
{
    // Every command, however it was started (a menu, a key, a double click
    // on the list), runs on a database opened again when it must be.
    RunGuarded(this, QString(), [&] {
        if (ReopenDatabase())
            command();
    });
}

void FMain::RunCommandOnSelected(const std::function<void()> &command)
{
    RunGuarded(this, QString(), [&] {
        if (ReopenForSelected())
            command();
    });
}

// ---- archive commands ------------------------------------------------------

bool FMain::EditNewProgramma(std::int32_t mode)
{
    if (m_EditNewProgramma)
        return m_EditNewProgramma(*this, mode);
    ConfigurationWizard wizard(this);
    return wizard.EditNewProgramma(mode, m_CurrentIDProgramma,
                                   mode == ConfigurationWizard::kModeModify ? SelectedProgramName() : QString());
}

void FMain::AddNewProgramToList(std::int32_t id)
{
    m_CurrentIDProgramma = id;
    FindProgramma();
    AddFoundProgramToList();
    UpdateCommandState();
}

void FMain::mnuAddProgramma_Click()
{
    RunCommand([this] {
        const std::int32_t oldID = m_CurrentIDProgramma;
        // The drawn id is this command's own: a reopening during the
        // wizard's retried save neither lists it nor changes it.
        const std::int32_t drawn = ConfigurationWizard::DrawNewIDProgramma();
        m_CurrentIDProgramma = drawn;
        if (EditNewProgramma(ConfigurationWizard::kModeNew)) {
            g_Trace.BugMessage(QStringLiteral("Creata nuova configurazione; aggiornamento griglia configurazioni"));
            AddNewProgramToList(drawn);
        } else {
            // Cancelled, or not stored: no id stays drawn without its rows. A
            // row the database does not let go now goes with the next write;
            // there is nothing for the user to do again.
            g_Trace.BugMessage(QStringLiteral("Annullata nuova configurazione"));
            m_CurrentIDProgramma = oldID;
            // A reopening that found the old configuration gone selected
            // the line in its place: that is the one the commands act on.
            if (SelectedID() != oldID)
                TakeSelectedID(SelectedID());
            if (!ConfigurationWizard::DropNewIDProgramma(drawn))
                MsgBox(LoadResourceString(ConfigurationWizard::kTextNotCreated),
                       MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly, QString(), this);
        }
    });
}

void FMain::mnuEditProgramma_Click()
{
    if (m_CurrentIDProgramma < 0)
        return;
    RunCommandOnSelected([this] {
        if (!EditNewProgramma(ConfigurationWizard::kModeModify)) {
            ReloadIfCurrentGone();
            return;
        }
        FindProgramma();
        UpdateProgramInList(m_rsProgrammi.Value(QStringLiteral("m_NomeProgramma")).toString(),
                            m_rsProgrammi.Value(QStringLiteral("IDProgramma")).toInt());
    });
}

void FMain::mnuDelProgramma_Click()
{
    // Opened again before the question, so that the question is about the
    // line the command then deletes, and a file gone away is told before
    // it. Configuration 2 is the instrument's read-back: it is never listed
    // and never deleted.
    if (m_CurrentIDProgramma < 0 || !ReopenForSelected() || m_CurrentIDProgramma < 0 ||
        m_CurrentIDProgramma == ConfigurationWizard::kInstrumentIDProgramma)
        return;
    if (MsgBox(LoadResourceString(kTextDeleteQuestion), MsgBoxStyle::YesNo | MsgBoxStyle::Information, QString(),
               this) != MsgBoxResult::Yes)
        return;
    RunCommand([this] {
        const HourGlassScope hourGlass(this);
        g_Connection.ExecuteProcedure(QStringLiteral("Canc_Programma"), {QVariant(m_CurrentIDProgramma)});
        m_rsProgrammi.Requery();
        RemoveProgramFromList();
        if (const QListWidgetItem *item = lvProgrammi->currentItem()) {
            m_CurrentIDProgramma = item->data(Qt::UserRole).toInt();
            FindProgramma();
        }
        UpdateCommandState();
    });
}

// ---- other commands --------------------------------------------------------

void FMain::mnuViewVariable_Click()
{
    if (m_Transfer)
        m_Transfer->ViewVariables();
}

void FMain::mnuImport_Click()
{
    // The transfer commands read and write the archive: it is opened again
    // first when it must be, as for every command.
    if (!m_Transfer || !ReopenDatabase())
        return;
    if (const auto id = m_Transfer->Import())
        RunCommand([this, id] { AddNewProgramToList(*id); });
}

void FMain::mnuExport_Click()
{
    if (!m_Transfer || m_CurrentIDProgramma < 0 || !ReopenForSelected())
        return;
    if (!m_Transfer->Export(SelectedProgramName(), m_CurrentIDProgramma))
        RunCommand([this] { ReloadIfCurrentGone(); });
}

void FMain::mnuSendProgramma_Click()
{
    if (!m_Transfer || m_CurrentIDProgramma < 0 || !ReopenForSelected())
        return;
    // The transfer window tells its own failures, and gives no result.
    m_Transfer->Transmit(m_CurrentIDProgramma);
    RunCommand([this] { ReloadIfCurrentGone(); });
}

void FMain::mnuRxEditTxProgramma_Click()
{
    if (!m_Transfer || !ReopenDatabase())
        return;
    if (const auto id = m_Transfer->ModifyInstrumentParameters())
        RunCommand([this, id] { AddNewProgramToList(*id); });
}

// The print options, the printer and About need no database.
void FMain::mnuPrintOption_Click()
{
    PrintCommands::PrintOption(this, Option());
}

void FMain::mnuPrinterSetup_Click()
{
    PrintCommands::PrinterSetup();
}

void FMain::mnuPrint_Click()
{
    if (m_CurrentIDProgramma < 0)
        return;
    RunCommandOnSelected([this] {
        if (!PrintCommands::PrintReport(this, *PrintTable, m_CurrentIDProgramma, Option(), m_rsHeaderLayout,
                                        m_rsTableLayout, m_rsReport))
            ReloadIfCurrentGone();
    });
}

void FMain::mnuAbout_Click()
{
    FAbout about(this);
    about.exec();
}
