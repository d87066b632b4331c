#pragma once
#include "CCollDatiSetup.h"
#include "CWizardTabs.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

// The configuration wizard of the main window: 19 pages, one parameter
// object each, run through CWizardTabs (m_WizardInstrSetup), with the page
// skipping that follows the model and modules chosen on the first page.
//
// What FMain calls
// ----------------
// New (mnuAddProgramma):
//     std::int32_t old = m_CurrentIDProgramma;
//     const std::int32_t drawn = ConfigurationWizard::DrawNewIDProgramma();
//     m_CurrentIDProgramma = drawn;
//     ConfigurationWizard wizard(this);
//     if (wizard.EditNewProgramma(ConfigurationWizard::kModeNew, drawn, QString())) {
//         trace, FindProgramma, AddProgramToList(name, id), UpdateCommandState
//     } else {
//         trace; m_CurrentIDProgramma = old;
//         if (!ConfigurationWizard::DropNewIDProgramma(drawn))  // the database held
//             box kTextNotCreated
//     }
// Modify (mnuEditProgramma, double click):
//     if (wizard.EditNewProgramma(kModeModify, m_CurrentIDProgramma, lvProgrammi->currentItem()->text()))
//         FindProgramma, UpdateProgramInList(name, id)
// Modify instrument parameters (after the read into configuration 2):
//     bool ok = wizard.EditNewProgramma(kModeInstrument, 2, QString());
//     if (wizard.ArchivedIDProgramma() != -1) {   // the user archived a copy
//         m_CurrentIDProgramma = wizard.ArchivedIDProgramma();
//         FindProgramma, AddProgramToList(name, id), UpdateCommandState
//     }
//     if (ok) ... transmit configuration 2
//
// EditNewProgramma(mode, idProgramma, listName) returns true when the wizard
// ended with End and the configuration was stored (mode 0: new rows under
// idProgramma, whose "CounterProgrammi" row the caller drew; mode 1: the
// rows of idProgramma updated; mode 2: the rows of configuration 2 updated,
// idProgramma is not used). It returns false on Cancel (nothing stored) and
// when the configuration could not be loaded or stored: the user has then
// seen the database's description of the failure and the database is as it
// was (every save of a run is one transaction). listName is the text of the
// selected list line, shown in the caption of mode 1.
//
// A save at End that fails for a reason the user can clear while the
// program runs (the database held by another program, a full disk, a
// database that cannot be written, a file moved away, a disk that did not
// take the data) is told with the failure, what was not
// done ("Nothing has been saved.", in mode 2 also "Nothing has been
// transferred.") and a Retry / Cancel choice: Retry stores the very entries
// of the pages again, as often as the user asks; Cancel ends the run as a
// failed save. Any other failure is told with OK only.
//
// In mode 2 the user is asked (message 799) whether to archive the edited
// setup as a new configuration; on Yes a "CounterProgrammi" row is drawn and
// the 18 rows are added under it, all in one transaction, and
// ArchivedIDProgramma() gives the new id (-1 otherwise, also when that
// archive failed; configuration 2 itself stays stored then). A failed
// archive says that the configuration was not added (kTextNotArchived) and
// offers Retry as the save at End does.
//
// Every database failure is caught here (DatabaseError, ProgramError,
// SetupReadError): nothing escapes into FMain's handlers.
class ConfigurationWizard : public QObject {
    Q_OBJECT

public:
    static constexpr std::int32_t kModeNew = 0;
    static constexpr std::int32_t kModeModify = 1;
    static constexpr std::int32_t kModeInstrument = 2;

    // The configuration read from an instrument.
    static constexpr std::int32_t kInstrumentIDProgramma = 2;

    // Caption ids and the archive question.
    static constexpr std::int32_t kCaptionModify = 790;
    static constexpr std::int32_t kCaptionNew = 791;
    static constexpr std::int32_t kCaptionInstrument = 792;
    static constexpr std::int32_t kAskArchive = 799;
    // What the user reads when the archive of mode 2 failed, and when a New
    // ended without its configuration but its drawn id could not be given
    // back.
    static constexpr std::int32_t kTextNotArchived = 1075;
    static constexpr std::int32_t kTextNotCreated = 1076;

    static constexpr std::int16_t kPages = 19;

    // The ClassName keys of the 19 pages in the order they are added (the
    // closing page has none: empty text).
    static const QStringList &PageKeys();

    // The values the page skipping decides on, read from the pages already
    // filled: model page (model and slots), frequency page (function), the
    // two scale pages (their linearization switches).
    using PageContext = CCollDatiSetup::ApplyContext;

    // Whether the page of that key applies: the setup collection's rule of
    // which objects apply (CCollDatiSetup::ObjectApplies), so a page is shown
    // exactly when its object belongs to the configuration. A key of no
    // object (the closing page's empty key) always applies.
    static bool PageApplies(const QString &key, const PageContext &context);

    // The context of the pages' current contents.
    static PageContext ReadPageContext(const CWizardTabs::DialogCollection &dialogs);

    // Adds a row to "CounterProgrammi" on g_Connection: the database numbers
    // it (never 2, never reused). Returns its IDProgramma. DatabaseError on
    // failure. The counter rows DropNewIDProgramma kept go in the same
    // transaction.
    static std::int32_t DrawNewIDProgramma();
    // Deletes the "CounterProgrammi" row of id (the counter row of a new
    // configuration that was cancelled); an id without a row, and 2, change
    // nothing. DatabaseError on failure.
    static void DeleteCounterRow(std::int32_t id);
    // DeleteCounterRow for the id of a New that ended without its
    // configuration. When the database does not let the row go (another
    // program holds it), the failure is traced and false is answered: the
    // row is kept in mind and deleted with the next id drawn or
    // configuration stored here (the id stays unique meanwhile).
    static bool DropNewIDProgramma(std::int32_t id);

    // Opens the database again before a save offered again after a refused
    // write or a failed reopening: a connection that opened the file
    // read-only stays so, a file made writable (or put back) serves only a
    // new opening, and a failed opening leaves the connection closed. The
    // main window sets it, since it also reopens what it reads of the
    // archive; DatabaseError on failure. Without one the retried save runs
    // on the connection as it is.
    static void SetDatabaseReopener(std::function<void()> reopen);

    // owner: the window the pages and boxes belong to.
    explicit ConfigurationWizard(QWidget *owner = nullptr);
    ~ConfigurationWizard() override;

    bool EditNewProgramma(std::int32_t mode, std::int32_t idProgramma, const QString &listName);
    std::int32_t ArchivedIDProgramma() const { return m_ArchivedIDProgramma; }

    // The handlers of m_WizardInstrSetup's events. Next: a page that does not
    // apply moves index one further; a page that applies first takes the
    // context values from the pages before it. Back: a page that does not
    // apply moves index one back; nothing is set.
    void m_WizardInstrSetup_AfterShowNextTabs(const QString &className, const CWizardTabs::DialogCollection &dialogs,
                                              std::int16_t &index);
    void m_WizardInstrSetup_AfterShowBackTabs(const QString &className, const CWizardTabs::DialogCollection &dialogs,
                                              std::int16_t &index);

private:
    struct Run;

    bool RunWizard(Run &run, std::int32_t mode, std::int32_t idProgramma, const QString &listName);
    // The stored configuration idProgramma, loaded through the setup
    // collection (CCollDatiSetup::LoadDataFromADORS), into the run's objects.
    static void LoadStoredConfiguration(Run &run, std::int32_t idProgramma);
    void ArchiveInstrumentSetup();
    // Runs store (one transaction); on a failure that may pass
    // (DatabaseError::MayPass), the box with Retry and Cancel, store again on Retry. True once it stored;
    // false after Cancel or any other failure (told with outcome).
    bool StoreOfferingRetry(const std::function<void()> &store, const QString &what, const QString &outcome);
    void ShowCurrentError(const QString &what, const QString &outcome = QString());

    QPointer<QWidget> m_Owner;
    std::unique_ptr<CWizardTabs> m_WizardInstrSetup;
    std::int32_t m_ArchivedIDProgramma = -1;
};
