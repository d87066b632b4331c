#include "ConfigurationWizard.h"

#include "ADOConnection.h"
#include "ADORecordset.h"
#include "CommandBorder.h"
#include "ContextValues.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "FailureText.h"
#include "MErrors.h"
#include "ModelError.h"
#include "MsgBox.h"
#include "ParameterClassRegistry.h"
#include "ResourceText.h"
#include "StringTable.h"

#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CSerialComm.h"

#include "FWAlarm.h"
#include "FWAnalogOut.h"
#include "FWCounterAB.h"
#include "FWDisplay.h"
#include "FWFiltroDigitale.h"
#include "FWFinalSetupMessage.h"
#include "FWInOutScale.h"
#include "FWLinearize.h"
#include "FWModInstr.h"
#include "FWRangeGKP.h"
#include "FWRangeMVAHVA.h"
#include "FWRangeMVZ.h"
#include "FWRangeWP12.h"
#include "FWSerialComm.h"

#include <array>
#include <functional>
#include <limits>
#include <optional>

namespace {

const QString kModInstr = QStringLiteral("CModInstr");
const QString kRangeWP12 = QStringLiteral("CRangeWP12");
const QString kRangeMVAHVA = QStringLiteral("CRangeMVAHVA");
const QString kRangeGKP = QStringLiteral("CRangeGKP");
const QString kRangeMVZ = QStringLiteral("CRangeMVZ");
const QString kDisplay = QStringLiteral("CDisplay");
const QString kInOutScale = QStringLiteral("CInOutScale");
const QString kLinearize = QStringLiteral("CLinearize");
const QString kInOutScaleB = QStringLiteral("CInOutScaleB");
const QString kLinearizeB = QStringLiteral("CLinearizeB");
const QString kCounterAB = QStringLiteral("CCounterAB");
const QString kAlarm1 = QStringLiteral("CAlarm1");
const QString kAlarm2 = QStringLiteral("CAlarm2");
const QString kAlarm3 = QStringLiteral("CAlarm3");
const QString kAlarm4 = QStringLiteral("CAlarm4");
const QString kAnalogOut = QStringLiteral("CAnalogOut");
const QString kFiltroDigitale = QStringLiteral("CFiltroDigitale");
const QString kSerialComm = QStringLiteral("CSerialComm");

const QString kCounterTable = QStringLiteral("CounterProgrammi");
const QString kIDProgramma = QStringLiteral("IDProgramma");

// The page's current values in a fresh object of its class (named as the
// page's object, so the class check of GetData accepts the pair).
template <class T>
std::unique_ptr<T> ReadPage(const CWizardTabs::DialogCollection &dialogs, const QString &key)
{
    auto object = std::make_unique<T>();
    object->SetClassName(key);
    dialogs.Item(key).GetData(*object);
    return object;
}

// The pages already filled as the source of the context values: the model
// page as it was when the page was reached, the others read afresh at each
// value.
class PageContextSource : public ContextSource {
public:
    explicit PageContextSource(const CWizardTabs::DialogCollection &dialogs)
        : m_Dialogs(dialogs), m_Model(ReadPage<CModInstr>(dialogs, kModInstr))
    {
    }
    const CModInstr &ModInstr() const override { return *m_Model; }
    std::int16_t DisplayDigit() const override { return ReadPage<CDisplay>(m_Dialogs, kDisplay)->DisplayDigit(); }
    std::int16_t WPxFunction() const override { return ReadPage<CRangeWP12>(m_Dialogs, kRangeWP12)->WPxFunction(); }
    std::int16_t MeasureType() const override { return ReadPage<CRangeMVAHVA>(m_Dialogs, kRangeMVAHVA)->MeasureType(); }
    const CInOutScale &ChannelScale(bool channelA) const override
    {
        m_Scale = ReadPage<CInOutScale>(m_Dialogs, channelA ? kInOutScale : kInOutScaleB);
        return *m_Scale;
    }

private:
    const CWizardTabs::DialogCollection &m_Dialogs;
    std::unique_ptr<CModInstr> m_Model;
    mutable std::unique_ptr<CInOutScale> m_Scale;
};

// What a run of the wizard does with the database in its mode: the stored
// configuration its pages start from (none for a new one), its caption, and
// the rows End stores the pages into.
struct ModePlan {
    std::optional<std::int32_t> loadedId;
    QString caption;
    RowCriterion savedRows;
};

// The plan of a mode; nothing for a mode the wizard does not know, which
// loads, captions and stores nothing.
std::optional<ModePlan> PlanOf(std::int32_t mode, std::int32_t idProgramma, const QString &listName)
{
    switch (mode) {
    case ConfigurationWizard::kModeNew:
        return ModePlan{std::nullopt, GetResourceText(ConfigurationWizard::kCaptionNew), NewRowCriterion(idProgramma)};
    case ConfigurationWizard::kModeModify:
        return ModePlan{idProgramma, GetResourceText(ConfigurationWizard::kCaptionModify, {listName}),
                        ExistingRowCriterion(idProgramma)};
    case ConfigurationWizard::kModeInstrument:
        return ModePlan{ConfigurationWizard::kInstrumentIDProgramma,
                        GetResourceText(ConfigurationWizard::kCaptionInstrument),
                        ExistingRowCriterion(ConfigurationWizard::kInstrumentIDProgramma)};
    default: return std::nullopt;
    }
}

// The counter rows of cancelled new configurations that the database did
// not let go at the time (another program held it). They are deleted in the
// transaction of the next id drawn or configuration stored here, and
// forgotten once that is committed.
std::vector<std::int32_t> &LeftoverCounterRows()
{
    static std::vector<std::int32_t> ids;
    return ids;
}

void DeleteLeftoverCounterRows()
{
    for (const std::int32_t id : LeftoverCounterRows())
        ConfigurationWizard::DeleteCounterRow(id);
}

// Commits transaction; at the outermost level nothing of it can be rolled
// back any more, so the leftover rows it deleted are forgotten.
void CommitDeletingLeftovers(ADOTransaction &transaction)
{
    transaction.Commit();
    if (g_Connection.TransactionLevel() == 0)
        LeftoverCounterRows().clear();
}

// What opens the database again for a retried save (SetDatabaseReopener).
std::function<void()> &DatabaseReopener()
{
    static std::function<void()> reopen;
    return reopen;
}

} // namespace

// ---------------------------------------------------------------------------
// Page skipping

const QStringList &ConfigurationWizard::PageKeys()
{
    static const QStringList keys{kModInstr,  kRangeWP12,      kRangeMVAHVA, kRangeGKP,    kRangeMVZ,
                                  kDisplay,   kInOutScale,     kLinearize,   kInOutScaleB, kLinearizeB,
                                  kCounterAB, kAlarm1,         kAlarm2,      kAlarm3,      kAlarm4,
                                  kAnalogOut, kFiltroDigitale, kSerialComm,  QString()};
    return keys;
}

bool ConfigurationWizard::PageApplies(const QString &key, const PageContext &c)
{
    // The closing page has no object and is always shown.
    return CCollDatiSetup::ObjectApplies(key, c).value_or(true);
}

ConfigurationWizard::PageContext ConfigurationWizard::ReadPageContext(const CWizardTabs::DialogCollection &dialogs)
{
    const auto model = ReadPage<CModInstr>(dialogs, kModInstr);
    PageContext c;
    c.ModelloStrumento = model->ModelloStrumento();
    c.SlotA = model->SlotA();
    c.SlotB = model->SlotB();
    c.SlotC = model->SlotC();
    c.SlotD = model->SlotD();
    c.WPxFunction = ReadPage<CRangeWP12>(dialogs, kRangeWP12)->WPxFunction();
    c.LinearizzazioneA = ReadPage<CInOutScale>(dialogs, kInOutScale)->Linearizzazione();
    c.LinearizzazioneB = ReadPage<CInOutScale>(dialogs, kInOutScaleB)->Linearizzazione();
    return c;
}

void ConfigurationWizard::m_WizardInstrSetup_AfterShowNextTabs(const QString &className,
                                                               const CWizardTabs::DialogCollection &dialogs,
                                                               std::int16_t &index)
{
    const PageContextSource source(dialogs);
    g_Trace.BugMessage(QStringLiteral("m_WizardInstrSetup_AfterShowNextTabs ") + className);

    if (!PageApplies(className, ReadPageContext(dialogs))) {
        ++index;
        return;
    }

    // The page is shown: it takes the values it depends on from the pages
    // before it, each read afresh. The closing page has no object; the model
    // page and the serial page take nothing.
    const std::unique_ptr<CParameterClassBase> object = ParameterClassRegistry::CreateForTable(className);
    if (!object)
        return;
    FWizardPage &page = dialogs.Item(className);
    page.GetData(*object);
    if (SetContextValues(*object, source))
        page.SetData(*object);
}

void ConfigurationWizard::m_WizardInstrSetup_AfterShowBackTabs(const QString &className,
                                                               const CWizardTabs::DialogCollection &dialogs,
                                                               std::int16_t &index)
{
    g_Trace.BugMessage(QStringLiteral("m_WizardInstrSetup_AfterShowBackTabs ") + className);
    // A page reached by Back shows what it last stored: nothing is set.
    if (!PageApplies(className, ReadPageContext(dialogs)))
        --index;
}

// ---------------------------------------------------------------------------
// The counter of configuration ids

std::int32_t ConfigurationWizard::DrawNewIDProgramma()
{
    ADOTransaction transaction(g_Connection);
    DeleteLeftoverCounterRows();
    ADORecordset counter;
    counter.OpenForAdding(kCounterTable, g_Connection);
    counter.AddNew();
    counter.Update();
    const QVariant id = counter.Value(kIDProgramma);
    counter.Close();
    bool ok = false;
    const qlonglong value = id.toLongLong(&ok);
    if (!ok || value <= 0 || value > std::numeric_limits<std::int32_t>::max())
        throw DatabaseError(QStringLiteral("CounterProgrammi: numero di configurazione non valido"),
                            DatabaseFailure::Damaged);
    CommitDeletingLeftovers(transaction);
    return static_cast<std::int32_t>(value);
}

bool ConfigurationWizard::DropNewIDProgramma(std::int32_t id)
{
    try {
        DeleteCounterRow(id);
        return true;
    } catch (const DatabaseError &e) {
        // The id stays unique whatever happens to its row: the row only has
        // to go some time, with the next write.
        g_Trace.BugMessage(QStringLiteral("Riga del contatore ") + QString::number(id) +
                           QStringLiteral(" non cancellata: ") + e.Description());
        LeftoverCounterRows().push_back(id);
        return false;
    }
}

void ConfigurationWizard::DeleteCounterRow(std::int32_t id)
{
    if (id == kInstrumentIDProgramma)
        return;
    const QString criterion = kIDProgramma + QLatin1Char('=') + QString::number(id);
    ADORecordset counter;
    counter.Open(kCounterTable, g_Connection, criterion);
    counter.Find(criterion);
    if (!counter.Eof())
        counter.Delete();
    counter.Close();
}

// ---------------------------------------------------------------------------
// The run

// The pages and data objects of one run, in the order they are added.
struct ConfigurationWizard::Run {
    explicit Run(QWidget *owner)
        : pModInstr(owner), pRangeWP12(owner), pRangeMVAHVA(owner), pRangeGKP(owner), pRangeMVZ(owner), pDisplay(owner),
          pInOutScale(owner), pLinearize(owner), pInOutScaleB(owner), pLinearizeB(owner),
          pCounterAB(owner), pAlarm{FWAlarm(owner), FWAlarm(owner), FWAlarm(owner), FWAlarm(owner)}, pAnalogOut(owner),
          pFiltroDigitale(owner), pSerialComm(owner), pFinal(owner)
    {
    }

    CModInstr modInstr;
    CRangeWP12 rangeWP12;
    CRangeMVAHVA rangeMVAHVA;
    CRangeGKP rangeGKP;
    CRangeMVZ rangeMVZ;
    CDisplay display;
    CInOutScale inOutScale;
    CLinearize linearize;
    CInOutScale inOutScaleB;
    CLinearize linearizeB;
    CCounterAB counterAB;
    std::array<CAlarm, 4> alarm;
    CAnalogOut analogOut;
    CFiltroDigitale filtroDigitale;
    CSerialComm serialComm;

    FWModInstr pModInstr;
    FWRangeWP12 pRangeWP12;
    FWRangeMVAHVA pRangeMVAHVA;
    FWRangeGKP pRangeGKP;
    FWRangeMVZ pRangeMVZ;
    FWDisplay pDisplay;
    FWInOutScale pInOutScale;
    FWLinearize pLinearize;
    FWInOutScale pInOutScaleB;
    FWLinearize pLinearizeB;
    FWCounterAB pCounterAB;
    std::array<FWAlarm, 4> pAlarm;
    FWAnalogOut pAnalogOut;
    FWFiltroDigitale pFiltroDigitale;
    FWSerialComm pSerialComm;
    FWFinalSetupMessage pFinal;
};

ConfigurationWizard::ConfigurationWizard(QWidget *owner) : m_Owner(owner) {}

ConfigurationWizard::~ConfigurationWizard() = default;

void ConfigurationWizard::ShowCurrentError(const QString &what, const QString &outcome)
{
    ReportCurrentError(m_Owner, QStringLiteral("EditNewProgramma: ") + what + QStringLiteral(": "), outcome);
}

bool ConfigurationWizard::EditNewProgramma(std::int32_t mode, std::int32_t idProgramma, const QString &listName)
{
    g_Trace.BugMessage(QStringLiteral("Inizio EditNewProgramma."));
    m_ArchivedIDProgramma = -1;
    bool result = false;
    {
        auto run = std::make_unique<Run>(m_Owner);
        result = RunWizard(*run, mode, idProgramma, listName);
        // The driver first (it unloads every page), then the pages and
        // objects of the run.
        m_WizardInstrSetup.reset();
    }
    g_Trace.BugMessage(QStringLiteral("Fine EditNewProgramma. Memoria fisica libera:") +
                       QString::number(g_Trace.FreePhysicalMemory()) + QStringLiteral(" Memoria virtuale libera: ") +
                       QString::number(g_Trace.FreeVirtualMemory()));
    return result;
}

void ConfigurationWizard::LoadStoredConfiguration(Run &run, std::int32_t idProgramma)
{
    // Read and checked as one configuration, as every other road reads it:
    // the row of an object that does not apply to its modules never refuses
    // it.
    CCollDatiSetup stored;
    stored.SetIDProgramma(idProgramma);
    stored.LoadDataFromADORS();
    for (CParameterClassBase *object : std::initializer_list<CParameterClassBase *>{
             &run.modInstr, &run.rangeWP12, &run.rangeMVAHVA, &run.rangeGKP, &run.rangeMVZ, &run.display,
             &run.inOutScale, &run.linearize, &run.inOutScaleB, &run.linearizeB, &run.counterAB, &run.alarm[0],
             &run.alarm[1], &run.alarm[2], &run.alarm[3], &run.analogOut, &run.filtroDigitale, &run.serialComm})
        stored.CopyStoredValuesTo(*object);
}

bool ConfigurationWizard::RunWizard(Run &run, std::int32_t mode, std::int32_t idProgramma, const QString &listName)
{
    run.inOutScaleB.SetClassName(kInOutScaleB);
    run.linearizeB.SetClassName(kLinearizeB);
    for (std::size_t i = 0; i < run.alarm.size(); ++i)
        run.alarm[i].SetClassName(QStringLiteral("CAlarm%1").arg(i + 1));
    g_Trace.BugMessage(QStringLiteral("Fine istanziamento classi."));

    m_WizardInstrSetup = std::make_unique<CWizardTabs>();
    CWizardTabs &wizard = *m_WizardInstrSetup;
    connect(&wizard, &CWizardTabs::AfterShowNextTabs, this, &ConfigurationWizard::m_WizardInstrSetup_AfterShowNextTabs,
            Qt::DirectConnection);
    connect(&wizard, &CWizardTabs::AfterShowBackTabs, this, &ConfigurationWizard::m_WizardInstrSetup_AfterShowBackTabs,
            Qt::DirectConnection);
    wizard.Add(run.pModInstr, &run.modInstr);
    wizard.Add(run.pRangeWP12, &run.rangeWP12);
    wizard.Add(run.pRangeMVAHVA, &run.rangeMVAHVA);
    wizard.Add(run.pRangeGKP, &run.rangeGKP);
    wizard.Add(run.pRangeMVZ, &run.rangeMVZ);
    wizard.Add(run.pDisplay, &run.display);
    wizard.Add(run.pInOutScale, &run.inOutScale);
    wizard.Add(run.pLinearize, &run.linearize);
    wizard.Add(run.pInOutScaleB, &run.inOutScaleB);
    wizard.Add(run.pLinearizeB, &run.linearizeB);
    wizard.Add(run.pCounterAB, &run.counterAB);
    for (std::size_t i = 0; i < run.alarm.size(); ++i)
        wizard.Add(run.pAlarm[i], &run.alarm[i]);
    wizard.Add(run.pAnalogOut, &run.analogOut);
    wizard.Add(run.pFiltroDigitale, &run.filtroDigitale);
    wizard.Add(run.pSerialComm, &run.serialComm);
    wizard.Add(run.pFinal);
    g_Trace.BugMessage(QStringLiteral("Fine preparazione wizard."));

    // A configuration that cannot be loaded whole is not shown: End would
    // store the half-loaded objects over the rows that are still good.
    std::optional<ModePlan> plan;
    try {
        plan = PlanOf(mode, idProgramma, listName);
        if (plan) {
            if (plan->loadedId)
                LoadStoredConfiguration(run, *plan->loadedId);
            wizard.SetCaption(plan->caption);
        }
    } catch (...) {
        ShowCurrentError(QStringLiteral("caricamento della configurazione"));
        return false;
    }
    g_Trace.BugMessage(QStringLiteral("Fine caricamento configurazione."));

    if (wizard.Start() != CWizardTabs::kResultEnd) {
        g_Trace.BugMessage(QStringLiteral("Wizard configurazione terminato con Annulla."));
        return false;
    }
    g_Trace.BugMessage(QStringLiteral("Wizard configurazione terminato con OK."));

    // Each save is one transaction: the whole configuration or nothing. The
    // pages' entries are in the run's objects now, so a failed save can be
    // made again from them; on the instrument command nothing is sent
    // without it.
    const QString outcome = mode == kModeInstrument ? WithOutcome(LoadResourceString(kTextNothingSaved),
                                                                  LoadResourceString(kTextNothingTransferred))
                                                    : LoadResourceString(kTextNothingSaved);
    if (plan && !StoreOfferingRetry(
                    [&] {
                        ADOTransaction transaction(g_Connection);
                        DeleteLeftoverCounterRows();
                        wizard.SaveDataInADORS(plan->savedRows);
                        CommitDeletingLeftovers(transaction);
                    },
                    QStringLiteral("salvataggio della configurazione"), outcome))
        return false;

    if (mode == kModeInstrument && MsgBox(GetResourceText(kAskArchive), MsgBoxStyle::YesNo | MsgBoxStyle::Question,
                                          QString(), m_Owner) == MsgBoxResult::Yes)
        ArchiveInstrumentSetup();
    return true;
}

void ConfigurationWizard::ArchiveInstrumentSetup()
{
    g_Trace.BugMessage(QStringLiteral("Archivia configurazione corrente."));
    // The counter row and the 18 rows under it in one transaction, so a
    // failure leaves no id drawn without its configuration.
    StoreOfferingRetry(
        [this] {
            ADOTransaction transaction(g_Connection);
            const std::int32_t id = DrawNewIDProgramma();
            m_WizardInstrSetup->SaveDataInADORS(NewRowCriterion(id));
            CommitDeletingLeftovers(transaction);
            m_ArchivedIDProgramma = id;
        },
        QStringLiteral("archiviazione della configurazione"), LoadResourceString(kTextNotArchived));
}

void ConfigurationWizard::SetDatabaseReopener(std::function<void()> reopen)
{
    DatabaseReopener() = std::move(reopen);
}

bool ConfigurationWizard::StoreOfferingRetry(const std::function<void()> &store, const QString &what,
                                             const QString &outcome)
{
    for (bool retry = false;; retry = true) {
        try {
            // A write refused read-only (or on a file moved away) is refused
            // again on the same connection, which also keeps a failed read
            // in mind, and a reopening that failed left none: the database
            // is opened anew first.
            const bool reopen = !g_Connection.IsOpen() || g_Connection.NeedsNewOpening();
            if (retry && reopen && g_Connection.TransactionLevel() == 0 && DatabaseReopener())
                DatabaseReopener()();
            store();
            return true;
        } catch (const DatabaseError &e) {
            if (!e.MayPass()) {
                ShowCurrentError(what, outcome);
                return false;
            }
            // The store is one transaction: nothing of it is in the database,
            // and the objects still hold what it was to store.
            g_Trace.BugMessage(QStringLiteral("EditNewProgramma: ") + what + QStringLiteral(": ") + e.Description());
            const QString text = DatabaseRetryText(e, outcome);
            if (MsgBox(text, MsgBoxStyle::Critical | MsgBoxStyle::RetryCancel, QString(), m_Owner) !=
                MsgBoxResult::Retry)
                return false;
            g_Trace.BugMessage(QStringLiteral("EditNewProgramma: nuovo tentativo di ") + what);
        } catch (...) {
            ShowCurrentError(what, outcome);
            return false;
        }
    }
}
