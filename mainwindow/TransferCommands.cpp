#include "TransferCommands.h"

#include "ADOConnection.h"
#include "CCommConfig.h"
#include "CGestioneMemMap.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CommandBorder.h"
#include "ConfigurationWizard.h"
#include "CTraceCode.h"
#include "CWizardTabs.h"
#include "DatabaseError.h"
#include "ExchangeFile.h"
#include "FAuxProgSetup.h"
#include "FileWriteErrorText.h"
#include "FSerialProgSetup.h"
#include "FViewInstrData.h"
#include "FWCommConfig.h"
#include "FWFinalSetupMessage.h"
#include "FWModInstr.h"
#include "FWNetworkAddMsgSetup.h"
#include "MErrors.h"
#include "ModelError.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "ResourceText.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

namespace {

constexpr std::int32_t kCaptionTransmit = 793;
constexpr std::int32_t kCaptionModify = 792;
constexpr std::int32_t kCaptionViewVariables = 794;
constexpr std::int32_t kTextFileFilter = 801;
constexpr std::int32_t kTextImportRefused = 802;
constexpr std::int32_t kTextExportFailed = 803;
constexpr std::int32_t kTextNotExported = 1070;
constexpr std::int32_t kTextNotImported = 1071;
constexpr std::int32_t kTextNoName = 383;
constexpr std::int32_t kTextNameNotHeld = 1080;
// The same two, when a value the configuration's rules refuse is the cause.
constexpr std::int32_t kTextImportRefusedData = 3166;
constexpr std::int32_t kTextExportRefusedData = 3165;

// Transfer windows: write the configuration, read the instrument.
constexpr std::int32_t kActionWrite = 1;
constexpr std::int32_t kActionRead = 0;
// Page Action of the connection wizards.
constexpr std::int16_t kPageConnection = 1;
// Action of the communication and network pages: as on the transfer
// wizards, or as on the view-variables wizard.
constexpr std::int16_t kSettingsForTransfer = 0;
constexpr std::int16_t kSettingsForLiveView = 1;

const QString kCommKey = QStringLiteral("CCommConfig");
const QString kModelKey = QStringLiteral("CModInstr");
const QString kNetworkKey = QStringLiteral("CNetworkAddMsgSetup");

void trace(const QString &text)
{
    g_Trace.BugMessage(text);
}

// Runs one command, telling the user of any error that reaches here (the
// transfer windows report their own), with what the command left undone,
// so that no exception leaves a menu command.
template <class Command>
void Guarded(QWidget *owner, const QString &what, const QString &outcome, Command command)
{
    RunGuarded(owner, what + QStringLiteral(": errore: "), command, outcome);
}

template <class Command>
void Guarded(QWidget *owner, const QString &what, Command command)
{
    Guarded(owner, what, QString(), command);
}

// The interface chosen on the communication page as it stands now.
std::int16_t ChosenInterface(const CWizardTabs::DialogCollection &dialogs)
{
    CCommConfig comm;
    dialogs.Item(kCommKey).GetData(comm);
    return comm.InterfaceType();
}

// Gives the network page the interface type it derives its choices from.
void HandInterfaceToNetworkPage(const CWizardTabs::DialogCollection &dialogs, std::int16_t interfaceType)
{
    FWizardPage &page = dialogs.Item(kNetworkKey);
    CNetworkAddMsgSetup network;
    page.GetData(network);
    network.SetInterfaceType(interfaceType);
    page.SetData(network);
}

// A page-skipping rule of a connection wizard: after Next or Back has
// shown the page of className, moves index on past a page to be skipped.
// interfaceType is the interface chosen on the communication page.
using SkipRule = void (*)(const QString &className, const CWizardTabs::DialogCollection &dialogs,
                          std::int16_t interfaceType, std::int16_t &index);

// Runs the rule after each showing the wizard signals, traced first.
template <class Signal>
void ConnectRule(CWizardTabs &wizard, Signal signal, const QString &traceText, SkipRule rule)
{
    QObject::connect(
        &wizard, signal,
        [traceText, rule](const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t &index) {
            const std::int16_t interfaceType = ChosenInterface(dialogs);
            trace(traceText + className);
            rule(className, dialogs, interfaceType, index);
        });
}

// The wizard's rules after every Next and after every Back.
void ConnectSkipping(CWizardTabs &wizard, SkipRule next, SkipRule back)
{
    ConnectRule(wizard, &CWizardTabs::AfterShowNextTabs, QStringLiteral("m_WizardInstrSendSetup_AfterShowNextTabs "),
                next);
    ConnectRule(wizard, &CWizardTabs::AfterShowBackTabs, QStringLiteral("m_WizardInstrSendSetup_AfterShowBackTabs "),
                back);
}

// Page skipping of the wizard of Transmit and View variables: the network
// page is skipped for the auxiliary interface and otherwise told the
// interface.
void SendSetupNext(const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t interfaceType,
                   std::int16_t &index)
{
    if (className != kNetworkKey)
        return;
    if (interfaceType != CCommConfig::kInterfaceAux)
        HandInterfaceToNetworkPage(dialogs, interfaceType);
    else
        ++index;
}

void SendSetupBack(const QString &className, const CWizardTabs::DialogCollection &, std::int16_t interfaceType,
                   std::int16_t &index)
{
    if (className == kNetworkKey && interfaceType == CCommConfig::kInterfaceAux)
        --index;
}

// Page skipping of the wizard of Modify instrument parameters: the model
// page only for the auxiliary interface, the network page only for Modbus,
// which gets the interface type plus 3 (one instrument, address by hand).
void RxTxSetupNext(const QString &className, const CWizardTabs::DialogCollection &dialogs, std::int16_t interfaceType,
                   std::int16_t &index)
{
    const bool aux = interfaceType == CCommConfig::kInterfaceAux;
    if (className == kModelKey) {
        if (!aux)
            ++index;
    } else if (className == kNetworkKey) {
        if (!aux)
            HandInterfaceToNetworkPage(dialogs, static_cast<std::int16_t>(interfaceType + 3));
        else
            ++index;
    }
}

void RxTxSetupBack(const QString &className, const CWizardTabs::DialogCollection &, std::int16_t interfaceType,
                   std::int16_t &index)
{
    const bool aux = interfaceType == CCommConfig::kInterfaceAux;
    if ((className == kModelKey && !aux) || (className == kNetworkKey && aux))
        --index;
}

template <class Form>
bool RunForm(QWidget *owner, const TransferCommands::FormHook &hook, std::int32_t action, std::int32_t id,
             CCommConfig &comm, CModInstr *modInstr, CNetworkAddMsgSetup &network)
{
    Form form(owner);
    form.SetAction(action);
    form.SetIDProgramma(id);
    form.Create(&comm, modInstr, &network);
    if (hook)
        hook(form);
    form.exec();
    return form.ReturnValue();
}

// Qt's own file dialog reads a typed text holding a double quote as a list
// of quoted names ("a" "b"): a configuration named Tank "B" would be saved
// as B.OXA. Here the text of the name box is always one name, so the file
// chosen is the one shown. Without a quote Qt's own handling is kept.
class OneNameFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The file taken from a name with quotes, empty otherwise.
    QString ChosenFile() const { return m_Chosen; }

    void accept() override
    {
        const auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text() : QString();
        if (!typed.contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        QString path = QDir(directory()).absoluteFilePath(typed);
        if (QFileInfo(path).suffix().isEmpty() && !defaultSuffix().isEmpty())
            path += QLatin1Char('.') + defaultSuffix();
        const QFileInfo info(path);
        if (info.isDir()) {
            setDirectory(path);
            return;
        }
        if (fileMode() == ExistingFile && !info.exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QCoreApplication::translate("QFileDialog", "%1\nFile not found.\nPlease verify the "
                                                                            "correct file name was given.")
                                     .arg(info.fileName()));
            return;
        }
        if (acceptMode() == AcceptSave && info.exists() && !testOption(DontConfirmOverwrite) &&
            QMessageBox::warning(
                this, windowTitle(),
                QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                    .arg(info.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        m_Chosen = path;
        QDialog::accept();
    }

private:
    QString m_Chosen;
};

QString DefaultFileDialog(QWidget *owner, const TransferCommands::FileDialogRequest &request)
{
    OneNameFileDialog dialog(owner);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (!dialog.ChosenFile().isEmpty())
        return dialog.ChosenFile();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

// A configuration name as a file name: a "/" would name a folder and a
// control character (a tab, a line break, NUL) is no character a file name
// should hold, so each becomes "_"; a name that is empty or begins with a
// dot would give a hidden file (".OXA"), which the import's dialog does not
// list: the dots go, and a name with nothing left is proposed as the
// default name.
QString FileNameOf(const QString &name)
{
    QString file = name;
    for (QChar &c : file) {
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    qsizetype dots = 0;
    while (dots < file.size() && file.at(dots) == QLatin1Char('.'))
        ++dots;
    file.remove(0, dots);
    if (file.trimmed().isEmpty())
        file = LoadResourceString(kTextNoName);
    return file;
}

// The characters of a name as a box shows them: each as it is, a control
// character by its code.
QString ShownCharacters(const QStringList &characters)
{
    QStringList shown;
    for (const QString &c : characters) {
        const bool control = c.size() == 1 && (c.at(0).category() == QChar::Other_Control || c.at(0).isSpace());
        shown << (control ? QStringLiteral("U+%1").arg(c.at(0).unicode(), 4, 16, QLatin1Char('0')).toUpper() : c);
    }
    return shown.join(QLatin1Char(' '));
}

// What the file dialog of Export and Import is asked for: an exchange file
// in the program folder, of the types of the filter text. The export saves
// the configuration exportedName and proposes its name; the import opens.
TransferCommands::FileDialogRequest ExchangeFileRequest(const std::optional<QString> &exportedName)
{
    const QString filter = LoadResourceString(kTextFileFilter);
    TransferCommands::FileDialogRequest request;
    request.save = exportedName.has_value();
    request.directory = ProgramFolder();
    if (exportedName)
        request.fileName = FileNameOf(*exportedName) + filter.right(4);
    request.filter = TransferCommands::QtFileFilter(filter);
    request.defaultSuffix = filter.right(3);
    return request;
}

} // namespace

TransferCommands::TransferCommands(QWidget *owner, CCommConfig &commConfig, CNetworkAddMsgSetup &network)
    : m_Owner(owner), m_CommConfigSetup(commConfig), m_NetworkAddMsg(network), m_FileDialog(DefaultFileDialog)
{
}

TransferCommands::~TransferCommands() = default;

void TransferCommands::SetFileDialog(FileDialog dialog)
{
    m_FileDialog = dialog ? std::move(dialog) : FileDialog(DefaultFileDialog);
}

bool TransferCommands::RunTransferForm(std::int32_t action, std::int32_t id, CModInstr *modInstr)
{
    if (m_CommConfigSetup.InterfaceType() != CCommConfig::kInterfaceAux)
        return RunForm<FSerialProgSetup>(m_Owner, m_FormHook, action, id, m_CommConfigSetup, modInstr, m_NetworkAddMsg);
    return RunForm<FAuxProgSetup>(m_Owner, m_FormHook, action, id, m_CommConfigSetup, modInstr, m_NetworkAddMsg);
}

bool TransferCommands::RunSendSetupWizard(std::int32_t captionId, std::int16_t settingsAction)
{
    FWCommConfig commPage(m_Owner);
    FWNetworkAddMsgSetup networkPage(m_Owner);
    FWFinalSetupMessage finalPage(m_Owner);
    commPage.SetAction(settingsAction);
    networkPage.SetAction(settingsAction);
    finalPage.SetAction(kPageConnection);

    CWizardTabs wizard; // m_WizardInstrSendSetup
    ConnectSkipping(wizard, SendSetupNext, SendSetupBack);
    wizard.SetCaption(LoadResourceString(captionId));
    wizard.Add(commPage, &m_CommConfigSetup);
    wizard.Add(networkPage, &m_NetworkAddMsg);
    wizard.Add(finalPage);
    if (wizard.Start() != CWizardTabs::kResultEnd)
        return false;
    wizard.SaveData(QString());
    return true;
}

void TransferCommands::Transmit(std::int32_t id)
{
    if (id < 0) {
        trace(QStringLiteral("Trasmissione: nessuna configurazione selezionata"));
        return;
    }
    Guarded(m_Owner, QStringLiteral("Trasmissione"), [&] {
        if (!RunSendSetupWizard(kCaptionTransmit, kSettingsForTransfer))
            return;

        // The window tells the user of its own failures.
        RunTransferForm(kActionWrite, id, nullptr);
    });
}

std::optional<std::int32_t> TransferCommands::ModifyInstrumentParameters()
{
    std::optional<std::int32_t> archived;
    Guarded(m_Owner, QStringLiteral("Modifica parametri strumento"), [&] {
        CModInstr modInstr;
        FWCommConfig commPage(m_Owner);
        FWModInstr modelPage(m_Owner);
        FWNetworkAddMsgSetup networkPage(m_Owner);
        FWFinalSetupMessage finalPage(m_Owner);
        modelPage.SetAction(kPageConnection);
        finalPage.SetAction(kPageConnection);

        CWizardTabs wizard; // m_WizardInstrSendSetupRxTx
        ConnectSkipping(wizard, RxTxSetupNext, RxTxSetupBack);
        wizard.SetCaption(LoadResourceString(kCaptionModify));
        wizard.Add(commPage, &m_CommConfigSetup);
        wizard.Add(modelPage, &modInstr);
        wizard.Add(networkPage, &m_NetworkAddMsg);
        wizard.Add(finalPage);
        if (wizard.Start() != CWizardTabs::kResultEnd)
            return;
        wizard.SaveData(QString());

        // The read stores the instrument's setup as configuration 2 and
        // leaves in NetworkAdd the address the instrument answered at.
        if (!RunTransferForm(kActionRead, kInstrumentSetupId, &modInstr))
            return;

        trace(QStringLiteral("Modifica dell'attuale configurazione dello strumento."));
        ConfigurationWizard configuration(m_Owner);
        const bool edited =
            configuration.EditNewProgramma(ConfigurationWizard::kModeInstrument, kInstrumentSetupId, QString());
        if (configuration.ArchivedIDProgramma() != -1)
            archived = configuration.ArchivedIDProgramma();
        if (!edited) {
            trace(QStringLiteral("Annullata la modifica dell'attuale configurazione dello strumento."));
            return;
        }
        trace(QStringLiteral("Modifica dell'attuale configurazione dello strumento eseguita."));
        // Back to the one instrument at the address the read found.
        m_NetworkAddMsg.SetSelNetworkAdd(1);
        RunTransferForm(kActionWrite, kInstrumentSetupId, nullptr);
    });
    return archived;
}

void TransferCommands::ViewVariables()
{
    Guarded(m_Owner, QStringLiteral("Visualizzazione variabili"), [&] {
        if (!RunSendSetupWizard(kCaptionViewVariables, kSettingsForLiveView))
            return;

        FViewInstrData view(m_Owner);
        view.Create(&m_CommConfigSetup, &m_NetworkAddMsg);
        if (m_FormHook)
            m_FormHook(view);
        view.exec();
    });
}

QString TransferCommands::QtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &text = parts.at(i);
        const QString patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters << (text.contains(QLatin1Char('(')) ? text : text + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

bool TransferCommands::Export(const QString &name, std::int32_t id)
{
    if (id < 0)
        return false;
    bool written = false;
    Guarded(m_Owner, QStringLiteral("Export"), LoadResourceString(kTextNotExported), [&] {
        trace(QStringLiteral("Export programma ") + name);
        // The file's name field cannot hold every character: the user learns
        // which become "?" before anything is written, and decides.
        const QStringList unheld = ExchangeTextUnheld(name);
        if (!unheld.isEmpty()) {
            trace(QStringLiteral("Caratteri del nome scritti come '?' nel file: ") + unheld.join(QString()));
            if (MsgBox(GetResourceText(kTextNameNotHeld, {name, ShownCharacters(unheld)}),
                       MsgBoxStyle::Exclamation | MsgBoxStyle::YesNo, QString(), m_Owner) != MsgBoxResult::Yes)
                return;
        }
        const QString fileName = m_FileDialog(m_Owner, ExchangeFileRequest(name));
        if (fileName.isEmpty())
            return;
        trace(QStringLiteral("Nome file export: ") + fileName);

        // A configuration that cannot be loaded is the database's failure
        // (it reaches the border); a file that cannot be written is told by
        // the kind of its failure, then that nothing was exported.
        CGestioneMemMap memMap;
        written = memMap.Export(fileName, id);
        if (!written) {
            const QString refused = memMap.RefusedDataText();
            const std::optional<FileWriteError> &failure = memMap.WriteFailure();
            const QString text = !refused.isEmpty() ? GetResourceText(kTextExportRefusedData, {refused})
                                 : failure          ? FileWriteErrorText(*failure, LoadResourceString(kTextNotExported))
                                                    : GetResourceText(kTextExportFailed, {fileName});
            MsgBox(text, MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly, QString(), m_Owner);
        }
    });
    return written;
}

std::optional<std::int32_t> TransferCommands::Import()
{
    std::optional<std::int32_t> imported;
    Guarded(m_Owner, QStringLiteral("Import"), LoadResourceString(kTextNotImported), [&] {
        const QString fileName = m_FileDialog(m_Owner, ExchangeFileRequest(std::nullopt));
        if (fileName.isEmpty())
            return;
        trace(QStringLiteral("Nome file import: ") + fileName);

        // The id drawn and the rows stored under it are one transaction: a
        // refused file or a failure of the database leaves neither.
        ADOTransaction transaction(g_Connection);
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        CGestioneMemMap memMap;
        if (!memMap.Import(fileName, id)) {
            trace(QStringLiteral("Fallita operazione import da file ") + fileName);
            transaction.Rollback();
            const QString refused = memMap.RefusedDataText();
            MsgBox(refused.isEmpty() ? GetResourceText(kTextImportRefused, {fileName})
                                     : GetResourceText(kTextImportRefusedData, {fileName, refused}),
                   MsgBoxStyle::Exclamation | MsgBoxStyle::OKOnly, QString(), m_Owner);
            return;
        }
        transaction.Commit();
        trace(QStringLiteral("Importata nuova configurazione; aggiornamento griglia configurazioni"));
        imported = id;
    });
    return imported;
}
