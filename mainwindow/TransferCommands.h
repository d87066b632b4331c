#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class CCommConfig;
class CModInstr;
class CNetworkAddMsgSetup;
class QDialog;
class QWidget;

// The main window's commands that move a configuration between the archive,
// an instrument and a file: Transmit, Modify instrument parameters, View
// variables, Export and Import.
//
// How FMain uses it
// -----------------
// FMain makes one TransferCommands in its load, after it has created and
// loaded m_CommConfigSetup and m_NetworkAddMsg (both must outlive it):
//
//   m_Transfer = std::make_unique<TransferCommands>(this, m_CommConfigSetup, m_NetworkAddMsg);
//
// and runs the commands from the menu items and tool-bar keys:
//
//   mnuSendProgramma, "SendProg":       m_Transfer->Transmit(m_CurrentIDProgramma);
//   mnuViewVariable, "ViewIVRVar":      m_Transfer->ViewVariables();
//   mnuExport:   m_Transfer->Export(<text of the selected line of lvProgrammi>, m_CurrentIDProgramma);
//   mnuRxEditTxProgramma, "RxTxProg":   if (const auto id = m_Transfer->ModifyInstrumentParameters())
//                                           <add the new configuration *id to the list, below>
//   mnuImport:                          if (const auto id = m_Transfer->Import())
//                                           <add the new configuration *id to the list, below>
//
// Adding a new configuration to the list (the same after both commands):
//   m_CurrentIDProgramma = *id;
//   FindProgramma();                    // requery m_rsProgrammi, find the row
//   AddProgramToList(<row's "m_NomeProgramma">, <row's "IDProgramma">);
//   UpdateCommandState();
//
// Modify instrument parameters answers an id when the user archived the
// edited instrument setup as a new configuration (message 799 of the
// configuration wizard); Import answers the id of the imported
// configuration. With no id nothing new was stored and m_CurrentIDProgramma
// stays as it is. After Transmit, View variables and Export FMain has
// nothing to do.
//
// Every command catches its own errors and tells the user; none throws.
// The communication and network settings objects are changed by the
// connection wizards (and the address a read found is left in NetworkAdd)
// and saved to the per-user settings store after each wizard ended with End.
class TransferCommands {
public:
    // What a file dialog is asked for. Save: the export (overwrite is
    // confirmed, the folder must exist); open: the import (the file must
    // exist). `fileName` is the proposed name inside `directory` (empty for
    // the import), `filter` a Qt name filter, `defaultSuffix` the suffix a
    // name typed without one gets.
    struct FileDialogRequest {
        bool save = false;
        QString directory;
        QString fileName;
        QString filter;
        QString defaultSuffix;
    };
    // Answers the chosen path, or an empty text when the user cancelled.
    using FileDialog = std::function<QString(QWidget *owner, const FileDialogRequest &request)>;
    // Sees every transfer window and the live view after Create, just before
    // it is shown modally.
    using FormHook = std::function<void(QDialog &form)>;

    // Id of the configuration a read from an instrument fills.
    static constexpr std::int32_t kInstrumentSetupId = 2;

    TransferCommands(QWidget *owner, CCommConfig &commConfig, CNetworkAddMsgSetup &network);
    ~TransferCommands();
    TransferCommands(const TransferCommands &) = delete;
    TransferCommands &operator=(const TransferCommands &) = delete;

    // The default is a QFileDialog; tests answer instead of a person.
    void SetFileDialog(FileDialog dialog);
    void SetFormHook(FormHook hook) { m_FormHook = std::move(hook); }

    // Connection wizard, then the configuration `id` is written to the
    // instrument (or the network). An id below 0 (no configuration) does
    // nothing.
    void Transmit(std::int32_t id);
    // Connection wizard with the model page, read of the instrument into
    // configuration 2, the configuration wizard (ConfigurationWizard) on it,
    // and the write back to the address at which the instrument was found.
    // A failed read, a cancelled wizard or a save at End the user gave up
    // ends the command with nothing sent. Answers the id of the copy the
    // user archived, if any.
    std::optional<std::int32_t> ModifyInstrumentParameters();
    // Connection wizard, then the live view.
    void ViewVariables();
    // Configuration `id`, named `name` in the list, to an exchange file the
    // user chooses. A name with characters the file's name field cannot
    // hold is told first (message 1080, which characters become "?"), and
    // the export goes on only on Yes. The file dialog proposes the name with
    // ".OXA" in the program folder ("/" and control characters as "_",
    // leading dots dropped; an empty name as string 383, "Without name").
    // True when the file was written; a failure is told to the user, a
    // refused question or a cancelled dialog is not (all answer false). A
    // file that cannot be written is told by the kind of its failure
    // (FileWriteErrorText: disk full, read-only, other) and then 1070, an
    // earlier file of that name keeping all its bytes (803 is left for a
    // map that cannot be encoded); a configuration the database cannot give
    // (busy, no longer in the archive, ...) is told as that failure, then
    // 1070 "The configuration has not been exported".
    bool Export(const QString &name, std::int32_t id);
    // An exchange file the user chooses to a new configuration under a new
    // id, which is answered. No id when the user cancelled, when the file
    // was refused (802) or when the database did not take it (its failure,
    // then 1071 "The configuration has not been imported"): the id and the
    // rows are one transaction, so nothing is stored then, not even the id.
    std::optional<std::int32_t> Import();

    // Turns a filter of the form "text|pattern|text|pattern" into a Qt name
    // filter ("text (pattern);;text (pattern)"; a text that already names its
    // patterns in parentheses is kept as it is).
    static QString QtFileFilter(const QString &filter);

private:
    // The connection wizard of Transmit and View variables: the
    // communication page and the network page (skipped for the auxiliary
    // interface), both with the page Action settingsAction, and the final
    // page. True when it ended with End; the settings are then saved.
    bool RunSendSetupWizard(std::int32_t captionId, std::int16_t settingsAction);
    bool RunTransferForm(std::int32_t action, std::int32_t id, CModInstr *modInstr);

    QWidget *m_Owner;
    CCommConfig &m_CommConfigSetup;
    CNetworkAddMsgSetup &m_NetworkAddMsg;
    FileDialog m_FileDialog;
    FormHook m_FormHook;
};
