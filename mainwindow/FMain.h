#pragma once
#include "ADORecordset.h"
#include "CommandBorder.h"
#include "DatabaseError.h"
#include "PrintLayoutRecord.h"
#include "ReportRecordset.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CCommConfig;
class CNetworkAddMsgSetup;
class COption;
class CPrintTable;
class CStatusBarHelp;
class TransferCommands;
class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QToolBar;

// The main window: the archive of stored configurations and every command of
// the program. Creating it loads nothing; its load runs when it is first
// shown: the status-bar menu help, menu texts, the window placement of the
// user, the database connection opened, the list filled from the stored
// query "Programmi", and the settings objects of the run loaded from the
// per-user store.
//
// The window stays thin: New and Modify run ConfigurationWizard, the
// transfer, import and export commands TransferCommands, the print commands
// PrintCommands; they reach this window through the public members below
// (the configuration the commands act on, the settings objects kept for the
// run, the recordset of "Programmi", the list bookkeeping and the report
// renderer). A configuration stored under a new id joins the list through
// FindProgramma, AddFoundProgramToList and UpdateCommandState.
//
// The list is filled in one pass and has uniform item sizes, so neither the
// load nor a later add or remove lays out every line (tests/bench/
// ArchiveBench shows the window about as fast with 10,000 configurations as
// with none). A database found busy at the load is reported with string
// 1060 and opened again by the next command (a menu item, a tool-bar
// button); a file that is not a database keeps its own message and is not
// retried. A settings object whose stored values do not read keeps its
// defaults and the user is told (message 1050); the start goes on.
//
// Selecting a line (mouse or keys) makes it CurrentIDProgramma; a double
// click runs Modify. Delete asks 795 and runs "Canc_Programma"
// (configuration 2 is never deleted). Menu enabling is evaluated when a menu
// opens, as the tool-bar buttons are enabled and without a look at the
// database (Export, Print, Modify, Delete, Transmit need a configuration;
// New, Import and Modify instrument parameters a database that is open or
// is to be opened again by the command). A Modify, Export, Print or
// Transmit refused because another program deleted the configuration
// brings the list up to date.
//
// Placement: section "Settings" of the per-user store, in twips:
// "MainLeft"/"MainTop" the frame position, "MainWidth"/"MainHeight" the
// inner size, "WindowState" 0/2 (a minimized window is stored as 0; a
// minimized or maximized window leaves the stored position and size alone).
// A stored value that does not read takes its default (traced). A value the
// user did not change is stored again as it was read, a changed one as the
// roundest twips that show as its pixels, so the window comes back where it
// was left at every start; a place off every screen comes back on one.
class FMain : public QMainWindow {
    Q_OBJECT
public:
    // Placement used when the per-user store holds none (twips).
    static constexpr std::int32_t kDefaultLeft = 100;
    static constexpr std::int32_t kDefaultTop = 100;
    static constexpr std::int32_t kDefaultWidth = 6800;
    static constexpr std::int32_t kDefaultHeight = 3750;
    // The window is never made smaller than this (twips).
    static constexpr std::int32_t kMinimumWidth = 5000;
    static constexpr std::int32_t kMinimumHeight = 4000;

    explicit FMain(QWidget *parent = nullptr);
    ~FMain() override;

    // The connection text of the configuration database in the program folder.
    static QString ConnectionText();

    // Twips of the window's screen (1440 per logical inch) and pixels.
    std::int32_t PixelsToTwipsX(int pixels) const;
    std::int32_t PixelsToTwipsY(int pixels) const;
    int TwipsToPixelsX(std::int32_t twips) const;
    int TwipsToPixelsY(std::int32_t twips) const;

    // ---- Controls (named as designed) ----------------------------------
    QListWidget *lvProgrammi = nullptr;
    QLabel *cmdColumn = nullptr;
    QToolBar *tbToolBar = nullptr;
    QMenu *mnuFile = nullptr;
    QAction *mnuViewVariable = nullptr;
    QAction *mnuImport = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuPrintOption = nullptr;
    QAction *mnuPrinterSetup = nullptr;
    QAction *mnuPrint = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuGestioneProgrammi = nullptr;
    QAction *mnuAddProgramma = nullptr;
    QAction *mnuEditProgramma = nullptr;
    QAction *mnuDelProgramma = nullptr;
    QAction *mnuSendProgramma = nullptr;
    QAction *mnuRxEditTxProgramma = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;

    // The tool-bar button of a key ("ViewIVRVar", "NewProg", "EditProg",
    // "DelProg", "SendProg", "RxTxProg"); null for any other key.
    QAction *ToolBarButton(const QString &key) const;

    // ---- State the commands work on ------------------------------------
    // The IDProgramma the commands act on; -1 when there is none.
    std::int32_t CurrentIDProgramma() const { return m_CurrentIDProgramma; }
    void SetCurrentIDProgramma(std::int32_t id) { m_CurrentIDProgramma = id; }
    // The settings objects of the run, loaded at the window's load (before
    // it they hold their defaults).
    CCommConfig &CommConfigSetup();
    CNetworkAddMsgSetup &NetworkAddMsg();
    COption &Option();
    // The rows of "Programmi" ("m_NomeProgramma", "IDProgramma").
    ADORecordset &ProgrammiRecordset() { return m_rsProgrammi; }
    // True when "Programmi" has rows.
    bool HasProgrammi() const;
    // The text of the selected list line (empty when none is selected).
    QString SelectedProgramName() const;

    // The report renderer: it lies over the list area (hidden but while it
    // prints). While it prints, Print and Printer setup are not offered in
    // the File menu.
    CPrintTable *PrintTable = nullptr;
    // The transfer, import and export commands (made at the load).
    TransferCommands *Transfer() const { return m_Transfer.get(); }

    // ---- List bookkeeping ----------------------------------------------
    // Adds a line with the name and the id as item data and selects it.
    void AddProgramToList(const QString &name, std::int32_t id);
    // Rewrites the text and the id of the selected line.
    void UpdateProgramInList(const QString &name, std::int32_t id);
    // Removes the selected line and selects the line that took its place
    // (the new last line when the last was removed; none when empty).
    void RemoveProgramFromList();
    // Requeries "Programmi" and stands on the row of CurrentIDProgramma. A
    // row that is not there fails the internal check "Programma non trovato
    // con il criterio:IDProgramma=<id>", which ends the program.
    void FindProgramma();
    // AddProgramToList with the name and id of the row "Programmi" stands on.
    void AddFoundProgramToList();
    // CurrentIDProgramma from the current row of "Programmi" (-1 without
    // rows); the tool-bar buttons of Modify, Delete and Transmit enabled
    // exactly when there are rows.
    void UpdateCommandState();
    // The help text of the highlighted menu item in the status bar: 0 (the
    // menu closed) shows "Ready", -1 (a drop-down title) shows an empty text,
    // any other id shows its text (an id without a text changes nothing).
    void m_StatusBarHelp_HelpID(std::int16_t id);

    // Tests replace the configuration wizard of New and Modify (mode 0 new,
    // 1 modify; true when the configuration was stored). An empty function
    // restores the wizard.
    using EditProgrammaFunction = std::function<bool(FMain &, std::int32_t mode)>;
    void SetEditNewProgramma(EditProgrammaFunction edit) { m_EditNewProgramma = std::move(edit); }
    // Tests: a function run as every handler of the window starts, behind
    // the command border (one that throws shows the border at work). An
    // empty function runs none. The old one is answered.
    using HandlerHook = std::function<void()>;
    static HandlerHook SetHandlerHook(HandlerHook hook);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void mnuViewVariable_Click();
    void mnuImport_Click();
    void mnuExport_Click();
    void mnuPrintOption_Click();
    void mnuPrinterSetup_Click();
    void mnuPrint_Click();
    void mnuAddProgramma_Click();
    void mnuEditProgramma_Click();
    void mnuDelProgramma_Click();
    void mnuSendProgramma_Click();
    void mnuRxEditTxProgramma_Click();
    void mnuAbout_Click();
    void mnuFile_Click();
    void mnuGestioneProgrammi_Click();
    void tbToolBar_ButtonClick(QAction *button);
    void lvProgrammi_Click();
    void PrintTable_PrintEnd();

private:
    void formLoad();
    // The placement read at the load (left, top, width, height, in twips):
    // a value still shown as the same pixels at the exit is stored as read.
    std::array<std::int32_t, 4> m_StoredPlace{};
    void LoadWindowSettings();
    // The frame is known only once the window manager has framed the shown
    // window: then the place and size are fitted again with it, once.
    bool m_PlacementWithoutFrame = false;
    void FitPlacementToFrame();
    void SaveWindowSettings();
    void LoadToolBarToolTip();
    void AddMinimizeMenuItem();
    void LoadSettingsObjects();
    // The lines of the list: name and IDProgramma, in the query's order.
    using ProgramLines = std::vector<std::pair<QString, std::int32_t>>;
    // Opens the connection and the list's query and reads the rows of
    // "Programmi". DatabaseError on failure: both are closed, and
    // m_ReopenPending says whether the next command tries again.
    ProgramLines OpenArchive();
    // The load's opening: a failure is shown to the user and leaves the list
    // empty.
    bool OpenDatabase();
    // Before a command: the database is opened again when it must be,
    // because a failure that may pass left it closed (busy, missing,
    // unreadable or damaged at an earlier reopening) or this connection was
    // refused a write, met a failed read or write, or its file is no longer
    // at the path it was opened at (NeedsReopening). True when the database
    // is open; a failure is shown, and the next command tries again when its
    // kind may pass (DatabaseError::MayPass). After a reopening the id the
    // commands act on is the selected line's; selectionGone, when given,
    // says whether the line selected before is gone from the file that came
    // back (its place taken by another).
    bool ReopenDatabase(bool *selectionGone = nullptr);
    bool NeedsReopening() const;
    // ReopenDatabase before a command on the selected configuration: when
    // the file that came back no longer holds it, the user is told (1063),
    // the list shows what the file holds, and false is answered: the command
    // acts on no other configuration.
    bool ReopenForSelected();
    // The opening again, for ReopenDatabase and for a save the configuration
    // wizard offers again: the list is filled again from the archive, the
    // line the user selected found again by its id (one that is gone gives
    // its place to the line after it). It changes neither the id the
    // running command works on (m_CurrentIDProgramma: New's drawn id is not
    // listed yet) nor, by a side effect of the filling, the selection. A
    // failure is thrown (DatabaseError); the list keeps what it showed.
    void OpenArchiveAgain();
    // A failure of an opening as the user is to read it: a file missing
    // before the program ever opened it is Missing, not Moved; a damaged
    // file found where a good one was opened before may be replaced while
    // the program runs (DamagedAtReopening).
    static DatabaseError OpeningFailure(const DatabaseError &e, bool reopening);
    // The commands the tool bar and the menus offer, the same in both: the
    // database is usable (open, or closed by a failure the next command
    // tries again), and there are configurations to act on.
    bool DatabaseOffered() const;
    bool ConfigurationsOffered() const;
    void EnableToolBarButtons();
    // The database and its list of configurations are open.
    bool ArchiveOpen() const;
    // After a command on the current configuration that did not get done:
    // when the archive no longer holds it (another program deleted it), the
    // list is filled again from the archive and the line that took its
    // place is selected. Nothing when it is still there.
    void ReloadIfCurrentGone();
    // The rows of "Programmi" from its first row (DatabaseError on failure).
    ProgramLines ReadProgramLines();
    // The list made of the lines, without a line taking the selection on its
    // way (takeEach: each line's id is taken in turn, as at the load).
    void ShowProgramLines(const ProgramLines &lines, bool takeEach);
    // The list filled from the lines, the first line selected.
    void LoadProgramList(const ProgramLines &lines);
    // The id of the selected line; -1 when none is selected.
    std::int32_t SelectedID() const;
    // m_rsProgrammi stands on the row of the selected line (on its first
    // row when none is selected).
    void StandOnSelectedRow();
    // The id of the line just selected becomes the current one (traced).
    void TakeSelectedID(std::int32_t id);
    void AddNewProgramToList(std::int32_t id);
    bool EditNewProgramma(std::int32_t mode);
    // Runs a command on the database, opened again first when it must be
    // (ReopenDatabase), behind the command border.
    void RunCommand(const std::function<void()> &command);
    // The same for a command on the selected configuration (ReopenForSelected).
    void RunCommandOnSelected(const std::function<void()> &command);
    // A handler of this window as a slot: it runs behind the command border
    // (RunGuarded), so nothing it throws leaves the event loop's call.
    template <typename... Args>
    auto Guarded(void (FMain::*handler)(Args...))
    {
        return [this, handler](Args... args) {
            RunGuarded(this, QString(), [&] {
                RunHandlerHook();
                (this->*handler)(args...);
            });
        };
    }
    static void RunHandlerHook();

    CStatusBarHelp *m_StatusBarHelp = nullptr;
    std::int32_t m_CurrentIDProgramma = -1;
    bool m_Loading = false;
    bool m_Loaded = false;
    // The database is closed by a failure that may pass: the next command
    // opens it again (ReopenDatabase).
    bool m_ReopenPending = false;
    // The database was opened once in this run.
    bool m_OpenedOnce = false;
    ADORecordset m_rsProgrammi;
    std::unique_ptr<CCommConfig> m_CommConfigSetup;
    std::unique_ptr<CNetworkAddMsgSetup> m_NetworkAddMsg;
    std::unique_ptr<COption> m_Option;
    std::unique_ptr<TransferCommands> m_Transfer;
    // The recordsets of a print, kept from Print until the renderer's end.
    PrintLayoutRecordset m_rsHeaderLayout;
    PrintLayoutRecordset m_rsTableLayout;
    ReportRecordset m_rsReport;
    EditProgrammaFunction m_EditNewProgramma;
};
