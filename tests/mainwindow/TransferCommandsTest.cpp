// The main window's transfer, import and export commands, run as the user
// runs them: the connection wizards answered page by page, the transfer
// windows talking to a simulated instrument on a pseudo-terminal, the
// configuration wizard on the setup read back, and exchange files chosen in
// an answered file dialog.
#include "SerialTestSupport.h"
#include "AuxInstrumentSimulator.h"
#include "AuxLineFunctions.h"
#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CGestioneMemMap.h"
#include "CInOutScale.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CRangeMVAHVA.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "ConfigurationWizard.h"
#include "DatabaseErrorText.h"
#include "OtherProgram.h"
#include "FAuxProgSetup.h"
#include "CLiveView.h"
#include "FSerialProgSetup.h"
#include "FViewInstrData.h"
#include "InstrumentSimulator.h"
#include "ModbusTransfer.h"
#include "MemMapTypes.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "ResourceText.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "ResourceText.h"
#include "TransferCommands.h"
#include "WindowTimer.h"

#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"
#include "../wizard/WizardTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QRadioButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using colltest::Modules;

namespace {

using serialtest::FastTimer;
using serialtest::ScopedSerialPorts;

constexpr std::int32_t kStoredId = 10;
constexpr std::int32_t kInstrumentId = TransferCommands::kInstrumentSetupId;
constexpr int kInstrumentAddress = 5;
const QString kName = QStringLiteral("Linea 2 essiccatoio");

// A low-signal configuration with a serial module QE (the module an RS232
// connection identifies) and two relays; it asks for address 17 at 19200.
const Modules kModbusModules{1, 0, 2, 2, 0};
// The same input without modules, for the auxiliary interface, whose model
// page declares the instrument's modules (a new model object: model 1,
// nothing fitted).
const Modules kAuxModules{1, 0, 0, 0, 0};

void Build(CCollDatiSetup &c, const Modules &modules)
{
    c.ModInstr().SetNomeProgramma(kName);
    c.RangeMVAHVA().SetRange(3);
    c.RangeMVAHVA().SetDigitalInFunction(1);
    c.InOutScale().SetMeasureDigitalPoint(1);
    c.InOutScale().SetMinMeasureScale(-1000);
    c.InOutScale().SetMaxMeasureScale(1999);
    c.Display().SetPassword(1234);
    c.Alarm(1).SetMinAlarmScale(-1000);
    c.Alarm(1).SetMaxAlarmScale(1999);
    c.Alarm(1).SetAlarmSetPoint(950);
    c.Alarm(2).SetAlarmType(3);
    c.FiltroDigitale().SetCampo(125);
    c.FiltroDigitale().SetCoeff(8);
    c.SerialComm().SetNetworkAdd(17);
    c.SerialComm().SetBaudRate(2);
    c.SetCodificaModuli(colltest::Coding(modules));
    // Channel A's electrical scale is the range chosen, as the wizard leaves it.
    c.InOutScale().SetElectricDigitalPoint(g_Scala->DPScalaElettricaMin());
    c.InOutScale().SetMinElectricScale(g_Scala->InizioScalaElettrica());
    c.InOutScale().SetMaxElectricScale(g_Scala->FineScalaElettrica());
    c.SetCodificaModuli(c.CodificaModuli());
}

// ---------------------------------------------------------------------------
// Scripted pages

void Click(FWizardPage &page, const QString &name)
{
    auto *button = page.findChild<QRadioButton *>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    ASSERT_TRUE(button->isEnabled()) << name.toStdString();
    button->click();
}

// The communication page: COM1 and the interface of that code.
PageScript::Step CommPage(std::int16_t interfaceType, const char *button = "cmdNext")
{
    return [=](FWizardPage &page) {
        EXPECT_EQ(page.objectName(), QStringLiteral("FWCommConfig"));
        page.findChild<QComboBox *>(QStringLiteral("cmbComPort"))->setCurrentIndex(0);
        Click(page, QStringLiteral("optInterfaceType%1").arg(interfaceType));
        PageScript::Press(page, button);
    };
}

PageScript::Step Press(const char *pageName, const char *button)
{
    return [=](FWizardPage &page) {
        EXPECT_EQ(page.objectName(), QString::fromLatin1(pageName));
        PageScript::Press(page, button);
    };
}

// The configuration wizard: Next on every page it shows, End on the last.
void WalkConfigurationWizard(PageScript &script, int pages, QStringList &shown)
{
    for (int i = 0; i < pages; ++i) {
        script.Then([&shown](FWizardPage &page) {
            shown << page.objectName();
            PageScript::Press(page, page.objectName() == QStringLiteral("FWFinalSetupMessage") ? "cmdEnd" : "cmdNext");
        });
    }
}

// ---------------------------------------------------------------------------
// The fixture: a template copy opened on g_Connection, the settings objects
// FMain owns, a pseudo-terminal as port 1, boxes recorded.

class TransferCommandsTest : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        ASSERT_TRUE(pair.IsOpen());
        g_Scala.Reset();
        g_ScalaB.Reset();
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            boxes.push_back(r);
            return r.text == LoadResourceString(ConfigurationWizard::kAskArchive) ? answer799 : MsgBoxResult::OK;
        });
        // The Modbus dump files go to the current folder.
        m_OldCurrent = QDir::currentPath();
        QDir::setCurrent(m_Folder.Path());
        // Where the user left the settings last time: port 4, automatic
        // address on the auxiliary interface.
        commConfig.SetComPort(3);
        commConfig.SetInterfaceType(CCommConfig::kInterfaceAux);
        network.SetSelNetworkAdd(1);
        network.SetNetworkAdd(kInstrumentAddress);
        commands.SetFormHook([this](QDialog &form) { SpeedUp(form); });
    }

    void TearDown() override
    {
        if (modbus)
            modbus->Stop();
        if (aux)
            aux->Stop();
        QDir::setCurrent(m_OldCurrent);
        SetMsgBoxHook(m_OldHook);
        g_Scala.Reset();
        g_ScalaB.Reset();
        ModelDatabase::TearDown();
    }

    // Short pacing and time-outs on the real transfer windows.
    void SpeedUp(QDialog &form)
    {
        ++formsShown;
        if (auto *serial = dynamic_cast<FSerialProgSetup *>(&form)) {
            serial->Rs232Manager = new FastTimer(serial);
            serial->Engine()->SetScanTimeOutRx(serialtest::kScanTimeOutRx);
        } else if (auto *auxForm = dynamic_cast<FAuxProgSetup *>(&form)) {
            auxForm->TapiComm->SetIdleGap(30);
            auxForm->Engine().SetLine(auxForm->TapiComm, new FastTimer(auxForm), -1);
            auxForm->Engine().SetTimeOuts(500, 150);
            auxForm->Engine().SetSettleTime(0);
        } else if (auto *view = dynamic_cast<FViewInstrData *>(&form)) {
            view->Rs232Manager = new FastTimer(view);
            view->Engine()->SetScanTimeOutRx(serialtest::kScanTimeOutRx);
        }
    }

    // Stores the configuration under id; returns its module coding.
    std::int32_t Store(const Modules &modules, std::int32_t id)
    {
        CCollDatiSetup c;
        Build(c, modules);
        c.SetIDProgramma(id);
        c.SaveDataInADORS(id != kInstrumentId);
        return c.CodificaModuli();
    }

    // A configuration under a drawn id, so that it is listed in "Programmi".
    std::int32_t StoreListed(const Modules &modules)
    {
        const std::int32_t id = ConfigurationWizard::DrawNewIDProgramma();
        Store(modules, id);
        return id;
    }

    static void Load(CCollDatiSetup &c, std::int32_t id)
    {
        c.SetIDProgramma(id);
        c.LoadDataFromADORS();
    }

    // The words configuration id puts into the instrument's registers.
    static std::vector<std::int16_t> MapOf(std::int32_t id, int count)
    {
        CGestioneMemMap map;
        map.SetIDProgramma(id);
        EXPECT_TRUE(map.ConvertUserSetupToMemoryMap());
        std::vector<std::int16_t> words;
        for (int i = 0; i < count; ++i)
            words.push_back(map.MemMap(static_cast<std::int16_t>(i)));
        return words;
    }

    // A Modbus instrument on the line whose setup registers hold
    // configuration id (modules coding); its index in the simulator.
    int InstrumentHolding(std::int32_t id, std::int32_t coding)
    {
        const std::vector<std::int16_t> map = MapOf(id, 89);
        modbus = std::make_unique<testsim::InstrumentSimulator>(pair);
        const int inst = modbus->AddInstrument(kInstrumentAddress, coding, 38400);
        for (int i = 0; i < static_cast<int>(map.size()); ++i)
            modbus->SetRegister(inst, static_cast<std::uint16_t>(0xE000 + i), map[static_cast<std::size_t>(i)]);
        return inst;
    }

    // The auxiliary lines configuration id sends.
    static QStringList LinesOf(std::int32_t id)
    {
        CGestioneMemMap map;
        map.SetIDProgramma(id);
        EXPECT_TRUE(map.ConvertUserSetupToMemoryMapAux());
        QStringList lines;
        for (std::int16_t i = 0; i < static_cast<std::int16_t>(kMemMapAuxLines); ++i) {
            if (map.MemMapAux(i) != kAuxNoSend)
                lines << map.MemMapAux(i);
        }
        return lines;
    }

    std::string BoxTexts() const
    {
        std::string text;
        for (const MsgBoxRequest &b : boxes)
            text += b.text.toStdString() + "\n";
        return text;
    }

    static QString Stored(const char *section, const char *key)
    {
        return GetSetting(QString::fromLatin1(kApplicationTitle), QString::fromLatin1(section),
                          QString::fromLatin1(key));
    }

    testpty::PtyPair pair;
    ScopedSerialPorts ports{pair.SlavePath()};
    std::unique_ptr<testsim::InstrumentSimulator> modbus;
    std::unique_ptr<testsim::AuxInstrumentSimulator> aux;
    CCommConfig commConfig;
    CNetworkAddMsgSetup network;
    TransferCommands commands{nullptr, commConfig, network};
    std::vector<MsgBoxRequest> boxes;
    int answer799 = MsgBoxResult::No;
    int formsShown = 0;

private:
    MsgBoxHook m_OldHook;
    QString m_OldCurrent;
};

// ---------------------------------------------------------------------------
// View variables

// The connection wizard's choices reach the live view: it polls the
// instrument on the port and at the address chosen, and the choices are
// stored for the next run.
TEST_F(TransferCommandsTest, ViewVariablesOpensTheLiveViewWithTheChosenSettings)
{
    modbus = std::make_unique<testsim::InstrumentSimulator>(pair);
    const int inst = modbus->AddInstrument(kInstrumentAddress, colltest::Coding(kModbusModules), 19200);
    modbus->SetRegister(inst, 0xE008, 0);
    modbus->SetRegister(inst, 0x3001, 42);
    int startAddress = -1;
    QString shown;
    commands.SetFormHook([&](QDialog &form) {
        SpeedUp(form);
        auto *view = dynamic_cast<FViewInstrData *>(&form);
        ASSERT_NE(view, nullptr);
        QObject::connect(view->Engine(), &CLiveView::ZoomLimitsChanged, view,
                         [&](int, int value) { startAddress = value; });
        // The first value shown ends the view.
        QObject::connect(view->Engine(), &CLiveView::SingleDisplayChanged, view, [&shown, view] {
            if (shown.isEmpty()) {
                shown = view->txtMeasureValue->text();
                view->close();
            }
        });
    });

    PageScript script;
    script.Then(CommPage(CCommConfig::kInterfaceRS232))
        .Then(Press("FWNetworkAddMsgSetup", "cmdNext"))
        .Then(Press("FWFinalSetupMessage", "cmdEnd"));
    commands.ViewVariables();

    EXPECT_EQ(script.PagesShown(), 3);
    EXPECT_EQ(formsShown, 1);
    EXPECT_TRUE(boxes.empty()) << BoxTexts();
    EXPECT_EQ(startAddress, kInstrumentAddress);
    EXPECT_EQ(shown, QStringLiteral("42"));
    EXPECT_EQ(network.InterfaceType(), CCommConfig::kInterfaceRS232);
    EXPECT_EQ(Stored("CCommConfig", "m_ComPort"), QStringLiteral("0"));
    EXPECT_EQ(Stored("CCommConfig", "m_InterfaceType"), QStringLiteral("1"));
    EXPECT_EQ(Stored("CNetworkAddMsgSetup", "m_NetworkAdd"), QString::number(kInstrumentAddress));
    for (const auto &r : modbus->Requests())
        EXPECT_EQ(static_cast<std::uint8_t>(r.bytes.at(0)), kInstrumentAddress) << "only the chosen address";
}

// ---------------------------------------------------------------------------
// Transmit

TEST_F(TransferCommandsTest, TransmitOverModbusWritesTheConfigurationAndStoresTheSettings)
{
    const std::int32_t coding = Store(kModbusModules, kStoredId);
    modbus = std::make_unique<testsim::InstrumentSimulator>(pair);
    const int inst = modbus->AddInstrument(kInstrumentAddress, coding, 38400);

    PageScript script;
    script.Then(CommPage(CCommConfig::kInterfaceRS232))
        .Then(Press("FWNetworkAddMsgSetup", "cmdNext"))
        .Then(Press("FWFinalSetupMessage", "cmdEnd"));
    commands.Transmit(kStoredId);

    EXPECT_EQ(script.PagesShown(), 3);
    EXPECT_EQ(formsShown, 1);
    EXPECT_TRUE(boxes.empty()) << BoxTexts();
    // The network page was told the interface, and the choices are kept for
    // the run and in the per-user store.
    EXPECT_EQ(commConfig.ComPort(), 0);
    EXPECT_EQ(commConfig.InterfaceType(), CCommConfig::kInterfaceRS232);
    EXPECT_EQ(network.InterfaceType(), CCommConfig::kInterfaceRS232);
    EXPECT_EQ(Stored("CCommConfig", "m_ComPort"), QStringLiteral("0"));
    EXPECT_EQ(Stored("CCommConfig", "m_InterfaceType"), QStringLiteral("1"));
    EXPECT_EQ(Stored("CNetworkAddMsgSetup", "m_SelNetworkAdd"), QStringLiteral("1"));
    EXPECT_EQ(Stored("CNetworkAddMsgSetup", "m_NetworkAdd"), QString::number(kInstrumentAddress));

    // The instrument holds the configuration and took its address and speed.
    const std::vector<std::int16_t> expected = MapOf(kStoredId, 0x56);
    EXPECT_EQ(modbus->Registers(inst, 0xE000, 0x56), expected);
    EXPECT_EQ(modbus->Address(inst), 17);
    EXPECT_EQ(modbus->Baud(inst), 19200);
}

// The auxiliary interface skips the network page both ways; a cancelled
// wizard sends and stores nothing.
TEST_F(TransferCommandsTest, TransmitOverTheAuxiliaryInterfaceSkipsTheNetworkPage)
{
    Store(kAuxModules, kStoredId);
    aux = std::make_unique<testsim::AuxInstrumentSimulator>(pair);
    const QString section = QStringLiteral("CCommConfig");
    const QString title = QString::fromLatin1(kApplicationTitle);

    {
        SCOPED_TRACE("cancelled");
        SaveSetting(title, section, QStringLiteral("m_ComPort"), QStringLiteral("7"));
        PageScript script;
        script.Then(CommPage(CCommConfig::kInterfaceAux)).Then(Press("FWFinalSetupMessage", "cmdCancel"));
        commands.Transmit(kStoredId);
        EXPECT_EQ(formsShown, 0);
        EXPECT_TRUE(aux->Received().isEmpty());
        EXPECT_EQ(Stored("CCommConfig", "m_ComPort"), QStringLiteral("7"));
        EXPECT_EQ(commConfig.ComPort(), 3) << "Cancel leaves the settings as they were";
    }
    {
        SCOPED_TRACE("ended");
        PageScript script;
        script.Then(CommPage(CCommConfig::kInterfaceAux))
            .Then(Press("FWFinalSetupMessage", "cmdBack"))
            .Then(CommPage(CCommConfig::kInterfaceAux))
            .Then(Press("FWFinalSetupMessage", "cmdEnd"));
        commands.Transmit(kStoredId);
        EXPECT_EQ(script.PagesShown(), 4);
        EXPECT_EQ(formsShown, 1);
        EXPECT_TRUE(boxes.empty()) << BoxTexts();
        EXPECT_EQ(Stored("CCommConfig", "m_ComPort"), QStringLiteral("0"));
        EXPECT_EQ(Stored("CCommConfig", "m_InterfaceType"), QStringLiteral("0"));
        EXPECT_EQ(colltest::Text(aux->Received()),
                  colltest::Text(QStringList{QStringLiteral("WRITE")} + LinesOf(kStoredId) +
                                 QStringList{QStringLiteral("END")}));
    }
}

// ---------------------------------------------------------------------------
// Modify instrument parameters

struct ModifyCase {
    const char *what;
    bool silent;     // the instrument does not answer
    int wizardPages; // pages of the configuration wizard walked to End; 0: cancelled, -1: not shown
    int answer799;
    bool archived;
    bool writtenBack;
};

void PrintTo(const ModifyCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModifyInstrumentParameters : public TransferCommandsTest, public ::testing::WithParamInterface<ModifyCase> {};

// Model 1, MVA, QE, Y2: model, range, display, scale, alarms 1 and 2,
// filter, serial module and the closing page.
constexpr int kWizardPages = 9;

const ModifyCase kModifyCases[] = {
    {"edited and archived", false, kWizardPages, MsgBoxResult::Yes, true, true},
    {"edited, not archived", false, kWizardPages, MsgBoxResult::No, false, true},
    {"configuration wizard cancelled", false, 0, MsgBoxResult::No, false, false},
    {"instrument silent", true, -1, MsgBoxResult::No, false, false},
};

TEST_P(ModifyInstrumentParameters, ReadsIntoConfiguration2EditsItAndWritesItBack)
{
    const ModifyCase &c = GetParam();
    answer799 = c.answer799;
    const std::int32_t coding = Store(kModbusModules, kStoredId);
    const int inst = InstrumentHolding(kStoredId, coding);
    if (c.silent)
        modbus->SetFault(inst, testsim::InstrumentSimulator::Fault::Silent);
    CCollDatiSetup before;
    Load(before, kInstrumentId);
    const std::int32_t listed = RowCount(QStringLiteral("Programmi"));

    PageScript script;
    // RS232: no model page; the network page works for one instrument.
    script.Then(CommPage(CCommConfig::kInterfaceRS232))
        .Then(Press("FWNetworkAddMsgSetup", "cmdNext"))
        .Then(Press("FWFinalSetupMessage", "cmdEnd"));
    QStringList shown;
    if (c.wizardPages > 0)
        WalkConfigurationWizard(script, c.wizardPages, shown);
    else if (c.wizardPages == 0)
        script.Then(Press("FWModInstr", "cmdCancel"));
    const std::optional<std::int32_t> archived = commands.ModifyInstrumentParameters();

    EXPECT_EQ(network.InterfaceType(), CCommConfig::kInterfaceRS232 + 3);
    EXPECT_EQ(Stored("CCommConfig", "m_InterfaceType"), QStringLiteral("1"));
    CCollDatiSetup read;
    Load(read, kInstrumentId);
    if (c.silent) {
        // The window said why; configuration 2 is as it was.
        ASSERT_EQ(boxes.size(), 1u) << BoxTexts();
        EXPECT_EQ(boxes[0].title, LoadResourceString(208));
        EXPECT_EQ(formsShown, 1);
        EXPECT_EQ(colltest::Text(colltest::AllDifferences(before, read)), "");
    } else {
        EXPECT_EQ(read.CodificaModuli(), coding);
        EXPECT_EQ(read.ModInstr().NomeProgramma(), LoadResourceString(617));
        CCollDatiSetup stored;
        Load(stored, kStoredId);
        EXPECT_EQ(
            colltest::Text(colltest::Differences(stored, read, [&](std::int16_t i) { return stored.ValidData(i); },
                                                 {QStringLiteral("CModInstr.m_NomeProgramma")})),
            "");
    }
    if (c.wizardPages > 0) {
        EXPECT_EQ(shown.first(), QStringLiteral("FWModInstr")) << colltest::Text(shown);
        EXPECT_EQ(shown.last(), QStringLiteral("FWFinalSetupMessage"));
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.front().text, LoadResourceString(ConfigurationWizard::kAskArchive));
    }

    EXPECT_EQ(archived.has_value(), c.archived);
    EXPECT_EQ(RowCount(QStringLiteral("Programmi")), listed + (c.archived ? 1 : 0));
    if (archived) {
        CCollDatiSetup copy;
        Load(copy, *archived);
        EXPECT_EQ(colltest::Text(colltest::AllDifferences(read, copy)), "");
    }

    if (c.writtenBack) {
        EXPECT_EQ(formsShown, 2);
        EXPECT_EQ(modbus->Registers(inst, 0xE000, 0x56), MapOf(kInstrumentId, 0x56));
        EXPECT_EQ(modbus->Address(inst), 17);
        EXPECT_EQ(boxes.size(), 1u) << BoxTexts();
    } else {
        EXPECT_EQ(modbus->WriteRequests(inst), 0);
        EXPECT_LE(formsShown, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModifyInstrumentParameters, ::testing::ValuesIn(kModifyCases));

// The save at End finds the database held by another program: Cancel sends
// nothing, and the box says so; Retry, once the other program has let go,
// stores the entries and writes them to the instrument.
TEST_F(TransferCommandsTest, ModifyInstrumentParametersOffersARefusedSaveAgain)
{
    const std::int32_t coding = Store(kModbusModules, kStoredId);
    const int inst = InstrumentHolding(kStoredId, coding);
    OtherProgram other(DatabaseFile());

    // Cancel first: the instrument keeps its address for the second run.
    for (const int answer : {MsgBoxResult::Cancel, MsgBoxResult::Retry}) {
        SCOPED_TRACE(answer == MsgBoxResult::Retry ? "retried" : "cancelled");
        boxes.clear();
        formsShown = 0;
        SetMsgBoxHook([&](const MsgBoxRequest &r) {
            boxes.push_back(r);
            if (r.text == LoadResourceString(ConfigurationWizard::kAskArchive))
                return MsgBoxResult::No;
            if (answer == MsgBoxResult::Retry)
                other.Unlock();
            return answer;
        });
        PageScript script;
        script.Then(CommPage(CCommConfig::kInterfaceRS232))
            .Then(Press("FWNetworkAddMsgSetup", "cmdNext"))
            .Then(Press("FWFinalSetupMessage", "cmdEnd"));
        for (int i = 0; i < kWizardPages; ++i) {
            script.Then([&other](FWizardPage &page) {
                const bool last = page.objectName() == QStringLiteral("FWFinalSetupMessage");
                if (last)
                    other.Lock();
                PageScript::Press(page, last ? "cmdEnd" : "cmdNext");
            });
        }
        EXPECT_FALSE(commands.ModifyInstrumentParameters());
        other.Unlock();

        ASSERT_GE(boxes.size(), 1u) << BoxTexts();
        EXPECT_EQ(boxes[0].text.toStdString(),
                  DatabaseRetryText(
                      DatabaseError(QString(), DatabaseFailure::Busy),
                      WithOutcome(LoadResourceString(kTextNothingSaved), LoadResourceString(kTextNothingTransferred)))
                      .toStdString());
        EXPECT_EQ(boxes[0].style, MsgBoxStyle::Critical | MsgBoxStyle::RetryCancel);
        if (answer == MsgBoxResult::Cancel) {
            EXPECT_EQ(boxes.size(), 1u) << BoxTexts();
            EXPECT_EQ(modbus->WriteRequests(inst), 0);
            EXPECT_EQ(formsShown, 1);
        } else {
            ASSERT_EQ(boxes.size(), 2u) << BoxTexts();
            EXPECT_EQ(boxes[1].text, LoadResourceString(ConfigurationWizard::kAskArchive));
            EXPECT_EQ(formsShown, 2);
            EXPECT_EQ(modbus->Registers(inst, 0xE000, 0x56), MapOf(kInstrumentId, 0x56));
        }
    }
}

// The auxiliary interface shows the model page, whose modules the read
// checks the dump against, and skips the network page.
TEST_F(TransferCommandsTest, ModifyOverTheAuxiliaryInterfaceAsksForTheModules)
{
    Store(kAuxModules, kStoredId);
    aux = std::make_unique<testsim::AuxInstrumentSimulator>(pair);
    aux->SetSetup(LinesOf(kStoredId));

    PageScript script;
    script.Then(CommPage(CCommConfig::kInterfaceAux))
        .Then(Press("FWModInstr", "cmdNext"))
        .Then(Press("FWFinalSetupMessage", "cmdBack"))
        .Then(Press("FWModInstr", "cmdBack"))
        .Then(CommPage(CCommConfig::kInterfaceAux))
        .Then(Press("FWModInstr", "cmdNext"))
        .Then(Press("FWFinalSetupMessage", "cmdEnd"))
        // The configuration wizard on the setup read.
        .Then(Press("FWModInstr", "cmdCancel"));
    EXPECT_FALSE(commands.ModifyInstrumentParameters());

    EXPECT_TRUE(boxes.empty()) << BoxTexts();
    EXPECT_EQ(formsShown, 1);
    EXPECT_EQ(aux->Received(), QStringList{QStringLiteral("READ")});
    CCollDatiSetup stored;
    Load(stored, kStoredId);
    CCollDatiSetup read;
    Load(read, kInstrumentId);
    EXPECT_EQ(colltest::Text(colltest::Differences(stored, read, [&](std::int16_t i) { return stored.ValidData(i); },
                                                   {QStringLiteral("CModInstr.m_NomeProgramma")})),
              "");
}

// ---------------------------------------------------------------------------
// Export and Import

TEST_F(TransferCommandsTest, ExportThenImportGivesANewConfigurationWithTheSameValuesAndName)
{
    const std::int32_t id = StoreListed(kModbusModules);
    const QString file = m_Folder.File(QStringLiteral("exported.OXA"));
    std::vector<TransferCommands::FileDialogRequest> requests;
    commands.SetFileDialog([&](QWidget *, const TransferCommands::FileDialogRequest &r) {
        requests.push_back(r);
        return file;
    });

    ASSERT_TRUE(commands.Export(kName, id)) << BoxTexts();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].directory, ProgramFolder());
    EXPECT_EQ(requests[0].fileName, kName + QStringLiteral(".OXA"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("File OXA (*.OXA)"));
    EXPECT_EQ(requests[0].defaultSuffix, QStringLiteral("OXA"));
    EXPECT_EQ(QFile(file).size(), 662);

    const std::int32_t listed = RowCount(QStringLiteral("Programmi"));
    const std::optional<std::int32_t> imported = commands.Import();
    ASSERT_TRUE(imported.has_value()) << BoxTexts();
    EXPECT_TRUE(boxes.empty()) << BoxTexts();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[1].save);
    EXPECT_EQ(requests[1].directory, ProgramFolder());
    EXPECT_NE(*imported, id);
    EXPECT_NE(*imported, kInstrumentId);
    EXPECT_EQ(RowCount(QStringLiteral("Programmi")), listed + 1);

    CCollDatiSetup original;
    Load(original, id);
    CCollDatiSetup copy;
    Load(copy, *imported);
    EXPECT_EQ(copy.ModInstr().NomeProgramma(), kName);
    EXPECT_EQ(
        colltest::Text(colltest::Differences(original, copy, [&](std::int16_t i) { return original.ValidData(i); })),
        "");
}

// The real file dialog, accepted with Enter as proposed: the file written is
// the one the dialog shows, whatever the name holds (Qt's dialog reads a
// text with quotes as a list of names); a "/" is replaced in the proposal.
TEST_F(TransferCommandsTest, ExportWritesTheFileTheDialogShows)
{
    const std::int32_t id = StoreListed(kModbusModules);
    commands.SetFileDialog(nullptr);
    struct Case {
        QString name;
        QString file;
    };
    const Case cases[] = {
        {QStringLiteral("Tank \"B\" O'Brien"), QStringLiteral("Tank \"B\" O'Brien.OXA")},
        {QStringLiteral("\"A\" \"B\""), QStringLiteral("\"A\" \"B\".OXA")},
        {QStringLiteral("Pompa \u2013 2/3"), QStringLiteral("Pompa \u2013 2_3.OXA")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QStringList before = QDir(ProgramFolder()).entryList(QDir::Files);
        QString shown;
        QStringList questions;
        // Answers on the event loop: Enter in the dialog's name box; any
        // question the dialog asks (it would be about another file) is
        // recorded and refused.
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                questions << box->text();
                box->reject();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && shown.isEmpty()) {
                auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(edit, nullptr);
                shown = QDir(dialog->directory()).filePath(edit->text());
                QTest::keyClick(edit, Qt::Key_Return);
                if (dialog->isVisible())
                    dialog->reject(); // not accepted: the checks below fail
            }
        });
        answer.start();
        EXPECT_TRUE(commands.Export(c.name, id)) << BoxTexts();
        answer.stop();
        EXPECT_TRUE(boxes.empty()) << BoxTexts();
        EXPECT_TRUE(questions.isEmpty()) << questions.join(QLatin1Char('|')).toStdString();
        const QString expected = QDir(ProgramFolder()).filePath(c.file);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(QFile(expected).size(), 662);
        const QStringList after = QDir(ProgramFolder()).entryList(QDir::Files);
        EXPECT_EQ(after.size(), before.size() + 1) << after.join(QLatin1Char('|')).toStdString();
        QFile::remove(expected);
    }
}

// The name decides the file the dialog proposes and whether the user is
// asked first: characters the file's name field cannot hold are named, and
// only Yes goes on (the file then holds "?" for them, the archive keeps the
// name); a name that would give a hidden file is proposed visibly.
TEST_F(TransferCommandsTest, ExportToldOfCharactersTheFileCannotHoldAndProposesAVisibleName)
{
    struct Case {
        const char *what;
        QString name;
        int answer;       // to the question, when it is asked
        QString shown;    // the characters the question names; empty: no question
        QString proposed; // the file name the dialog proposes; empty: no dialog
        QByteArray field; // the name field of the file written
    };
    const QString pump = QStringLiteral("\u041D\u0430\u0441\u043E\u0441 \u21163");
    const Case cases[] = {
        {"held", QStringLiteral("Forno 1"), MsgBoxResult::Yes, QString(), QStringLiteral("Forno 1.OXA"), "Forno 1"},
        {"not held, Yes", pump, MsgBoxResult::Yes, QStringLiteral("\u041D \u0430 \u0441 \u043E \u2116"),
         pump + QStringLiteral(".OXA"), "????? ?3"},
        {"not held, No", pump, MsgBoxResult::No, QStringLiteral("\u041D \u0430 \u0441 \u043E \u2116"), QString(), ""},
        {"outside the BMP and a tab", QStringLiteral("Tank\t\U0001F6E2"), MsgBoxResult::Yes,
         QStringLiteral("U+0009 \U0001F6E2"), QStringLiteral("Tank_\U0001F6E2.OXA"), "Tank??"},
        {"line break and DEL", QStringLiteral("Linea\r\n2\x7F"), MsgBoxResult::Yes,
         QStringLiteral("U+000D U+000A U+007F"), QStringLiteral("Linea__2_.OXA"), "Linea??2?"},
        {"empty", QStringLiteral(""), MsgBoxResult::Yes, QString(), QStringLiteral("Without name.OXA"), ""},
        {"blanks", QStringLiteral("   "), MsgBoxResult::Yes, QString(), QStringLiteral("Without name.OXA"), ""},
        {"leading dots", QStringLiteral("..Forno"), MsgBoxResult::Yes, QString(), QStringLiteral("Forno.OXA"),
         "..Forno"},
    };
    const std::int32_t id = StoreListed(kModbusModules);
    const QString file = m_Folder.File(QStringLiteral("exported.OXA"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Exec(QStringLiteral("UPDATE \"CModInstr\" SET \"m_NomeProgramma\" = ? WHERE \"IDProgramma\" = ?"),
             {c.name, id});
        QFile::remove(file);
        std::vector<MsgBoxRequest> asked;
        const MsgBoxHook old = SetMsgBoxHook([&](const MsgBoxRequest &r) {
            asked.push_back(r);
            return c.answer;
        });
        std::vector<QString> proposed;
        commands.SetFileDialog([&](QWidget *, const TransferCommands::FileDialogRequest &r) {
            proposed.push_back(r.fileName);
            return file;
        });
        const bool written = commands.Export(c.name, id);
        SetMsgBoxHook(old);

        if (c.shown.isEmpty()) {
            EXPECT_TRUE(asked.empty());
        } else {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].text, GetResourceText(1080, {c.name, c.shown}));
            EXPECT_EQ(asked[0].style, MsgBoxStyle::Exclamation | MsgBoxStyle::YesNo);
        }
        EXPECT_EQ(proposed, c.proposed.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.proposed});
        EXPECT_EQ(written, !c.proposed.isEmpty());
        EXPECT_EQ(QFile::exists(file), written);
        if (written) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll().mid(56, 50), c.field.leftJustified(50, ' '));
        }
        EXPECT_EQ(Column(QStringLiteral("CModInstr"), id, QStringLiteral("m_NomeProgramma")).toString(), c.name);
    }
}

// A refused file is told with message 802 and leaves no rows and no counter
// row; a cancelled dialog does nothing at all.
TEST_F(TransferCommandsTest, ImportOfABadFileTellsTheUserAndStoresNothing)
{
    const std::int32_t id = StoreListed(kModbusModules);
    const QString good = m_Folder.File(QStringLiteral("good.OXA"));
    {
        CGestioneMemMap map;
        ASSERT_TRUE(map.Export(good, id));
    }
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();
    QByteArray otherProgram = bytes;
    otherProgram[2] = static_cast<char>(otherProgram[2] ^ 0x20);

    struct Case {
        const char *what;
        QByteArray content; // empty with `cancel`: no file chosen
        bool cancel = false;
    };
    const std::vector<Case> cases = {
        {"empty file", QByteArray()},
        {"one byte short", bytes.left(bytes.size() - 1)},
        {"text file", QByteArray("IDProgramma=5\r\n").repeated(44)},
        {"identifier changed", otherProgram},
        {"dialog cancelled", QByteArray(), true},
    };
    const std::int32_t counters = RowCount(QStringLiteral("CounterProgrammi"));
    const std::int32_t models = RowCount(QStringLiteral("CModInstr"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        const QString file = m_Folder.File(QStringLiteral("bad.OXA"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.content);
        out.close();
        commands.SetFileDialog(
            [&](QWidget *, const TransferCommands::FileDialogRequest &) { return c.cancel ? QString() : file; });

        EXPECT_FALSE(commands.Import().has_value());
        if (c.cancel) {
            EXPECT_TRUE(boxes.empty()) << BoxTexts();
        } else {
            ASSERT_EQ(boxes.size(), 1u) << BoxTexts();
            EXPECT_EQ(boxes[0].text, LoadResourceString(802).replace(QStringLiteral("|1"), file));
            EXPECT_EQ(boxes[0].style, MsgBoxStyle::Exclamation);
        }
        EXPECT_EQ(RowCount(QStringLiteral("CounterProgrammi")), counters);
        EXPECT_EQ(RowCount(QStringLiteral("CModInstr")), models);
    }
}

// A file that cannot be written is told by the kind of its failure (here a
// folder that does not exist), then that nothing was exported; a cancelled
// dialog writes nothing and says nothing.
TEST_F(TransferCommandsTest, ExportThatCannotWriteTellsTheUser)
{
    const std::int32_t id = StoreListed(kModbusModules);
    const QString unwritable = m_Folder.File(QStringLiteral("no such folder/x.OXA"));
    for (const QString &answer : {unwritable, QString()}) {
        SCOPED_TRACE(answer.toStdString());
        boxes.clear();
        commands.SetFileDialog([&](QWidget *, const TransferCommands::FileDialogRequest &) { return answer; });
        EXPECT_FALSE(commands.Export(kName, id));
        if (answer.isEmpty()) {
            EXPECT_TRUE(boxes.empty()) << BoxTexts();
        } else {
            ASSERT_EQ(boxes.size(), 1u) << BoxTexts();
            EXPECT_EQ(boxes[0].text,
                      GetResourceText(1083, {unwritable}) + QStringLiteral("\n\r") + LoadResourceString(1070));
            EXPECT_EQ(boxes[0].style, MsgBoxStyle::Exclamation);
        }
    }
    EXPECT_FALSE(QFile::exists(unwritable));
}

// A value its field's rules refuse is told as such, in the user's words,
// on both file roads: a stored one on Export (not as a file that could not
// be written), one in the file on Import (with message 802's own words).
// Nothing is written or stored.
TEST_F(TransferCommandsTest, RefusedValuesAreNamedOnExportAndImport)
{
    const std::int32_t id = StoreListed(kModbusModules);
    const QString file = m_Folder.File(QStringLiteral("refused.OXA"));
    const QString password = GetResourceText(3160, {LoadResourceString(510)}); // "Password"
    const QString cause = GetResourceText(3156, {password, 9001, 0, 9000});
    commands.SetFileDialog([&](QWidget *, const TransferCommands::FileDialogRequest &) { return file; });

    ASSERT_TRUE(commands.Export(kName, id));
    QFile exported(file);
    ASSERT_TRUE(exported.open(QIODevice::ReadWrite));
    exported.seek(110 + 2 * 0);                  // map word 0: the password
    exported.write(QByteArray::fromHex("2923")); // 9001
    exported.close();
    const std::int32_t models = RowCount(QStringLiteral("CModInstr"));
    boxes.clear();
    EXPECT_FALSE(commands.Import().has_value());
    ASSERT_EQ(boxes.size(), 1u) << BoxTexts();
    EXPECT_EQ(boxes[0].text, GetResourceText(3166, {file, cause}));
    EXPECT_EQ(RowCount(QStringLiteral("CModInstr")), models);

    Exec(QStringLiteral("UPDATE \"CDisplay\" SET \"m_Password\" = 9001 WHERE IDProgramma = ?"), {id});
    ASSERT_TRUE(QFile::remove(file));
    boxes.clear();
    EXPECT_FALSE(commands.Export(kName, id));
    ASSERT_EQ(boxes.size(), 1u) << BoxTexts();
    EXPECT_EQ(boxes[0].text, GetResourceText(3165, {cause}));
    EXPECT_FALSE(QFile::exists(file));
}

TEST(TransferFileFilter, VbFiltersBecomeQtNameFilters)
{
    struct Case {
        const char *filter;
        const char *qt;
    };
    const Case cases[] = {
        {"File OXA (*.OXA)|*.OXA", "File OXA (*.OXA)"},
        {"Exchange files|*.OXA;*.oxa|All|*", "Exchange files (*.OXA *.oxa);;All (*)"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TransferCommands::QtFileFilter(QString::fromLatin1(c.filter)), QString::fromLatin1(c.qt)) << c.filter;
}

} // namespace
