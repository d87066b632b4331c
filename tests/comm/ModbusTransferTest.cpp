// The Modbus transfer against simulated instruments on a pseudo-terminal:
// configurations written and read back through the database, speed and
// address detection, the module check, the failures of the line, cancel,
// and a network of instruments.
#include "ResourceText.h"
#include "SerialTestSupport.h"
#include "CAlarm.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "CTapiComm.h"
#include "FSerialProgSetup.h"
#include "InstrumentSimulator.h"
#include "ModbusTransfer.h"
#include "MsgBox.h"
#include "SettingsStore.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "StringTable.h"
#include "TraceCapture.h"
#include "WindowTimer.h"

#include "../model/CollectionTestSupport.h"
#include "../model/ModelDatabase.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using colltest::Modules;
using testsim::InstrumentSimulator;

namespace {

constexpr std::int32_t kConfigId = 10;

// A configuration as the wizard leaves it: values set, and on the modules
// with a range table channel A's electrical scale being the chosen range.
struct Configuration {
    const char *what;
    Modules modules;
    std::function<void(CCollDatiSetup &)> set;
};

void PrintTo(const Configuration &c, std::ostream *os)
{
    *os << c.what;
}

void SetDisplayScale(CInOutScale &scale, std::int32_t dp, std::int32_t lo, std::int32_t hi, std::int16_t lin)
{
    scale.SetMeasureDigitalPoint(dp);
    scale.SetMinMeasureScale(lo);
    scale.SetMaxMeasureScale(hi);
    scale.SetLinearizzazione(lin);
}

void SetCurve(CLinearize &curve, int n, std::int32_t inStep, std::int32_t outStep)
{
    curve.SetNumSpezzate(static_cast<std::int16_t>(n));
    for (int i = 0; i < n; ++i) {
        curve.SetCoordinateIn(static_cast<std::int16_t>(i), i * inStep);
        curve.SetCoordinateOut(static_cast<std::int16_t>(i), i * outStep);
    }
}

// Every configuration carries a serial module QE (slot B 2), the module an
// RS232 connection identifies, and asks for address 17 at 19200 baud.
const Configuration kMVA{"MVA, Y2", {1, 0, 2, 2, 0}, [](CCollDatiSetup &c) {
                             c.RangeMVAHVA().SetRange(3);
                             c.RangeMVAHVA().SetDigitalInFunction(1);
                             SetDisplayScale(c.InOutScale(), 1, -1000, 1999, 0);
                             c.Alarm(1).SetAlarmSetPoint(950);
                             c.Alarm(2).SetAlarmType(3);
                         }};

const std::vector<Configuration> &Configurations()
{
    static const std::vector<Configuration> configurations = {
        kMVA,
        {"GKP thermocouple, manual cold junction",
         {1, 3, 2, 1, 0},
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(0);
             c.RangeGKP().SetCJC(1);
             c.RangeGKP().SetTempCJC(23);
             c.RangeGKP().SetRange(2);
             SetDisplayScale(c.InOutScale(), 0, 0, 1200, 0);
         }},
        {"MVZ with extra inputs in C and D, curve",
         {2, 6, 2, 6, 4},
         [](CCollDatiSetup &c) {
             c.RangeMVZ().SetRangeMasterMVZ(1);
             c.RangeMVZ().SetInput1C(1);
             c.RangeMVZ().SetInput3D(1);
             SetDisplayScale(c.InOutScale(), 1, 0, 1000, 1);
             SetCurve(c.Linearize(), 3, 900, 500);
         }},
        {"WP1 F1 in rpm, curve, Y2",
         {1, 4, 2, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(0);
             c.RangeWP12().SetImpGiroA(60);
             c.RangeWP12().SetUnitaIngA(2);
             c.InOutScale().SetElectricDigitalPoint(1);
             c.InOutScale().SetMinElectricScale(0);
             c.InOutScale().SetMaxElectricScale(50000);
             SetDisplayScale(c.InOutScale(), 2, 0, 250000, 1);
             SetCurve(c.Linearize(), 4, 12000, 60000);
             c.Alarm(1).SetAlarmSetPoint(120000);
         }},
    };
    return configurations;
}

void Build(CCollDatiSetup &c, const Configuration &cfg)
{
    c.ModInstr().SetNomeProgramma(QStringLiteral("Linea 2 essiccatoio"));
    c.Display().SetPassword(1234);
    c.FiltroDigitale().SetCampo(125);
    c.FiltroDigitale().SetCoeff(8);
    c.SerialComm().SetNetworkAdd(17);
    c.SerialComm().SetBaudRate(2);
    cfg.set(c);
    c.SetCodificaModuli(colltest::Coding(cfg.modules));
    const bool freq = cfg.modules.a == 4 || cfg.modules.a == 5;
    if (!freq) {
        c.InOutScale().SetElectricDigitalPoint(g_Scala->DPScalaElettricaMin());
        c.InOutScale().SetMinElectricScale(g_Scala->InizioScalaElettrica());
        c.InOutScale().SetMaxElectricScale(g_Scala->FineScalaElettrica());
        c.SetCodificaModuli(c.CodificaModuli());
    }
}

class ModbusTransferTest : public ModelDatabase, protected serialtest::SimulatedLine {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        ASSERT_TRUE(pair.IsOpen());
        commConfig.SetInterfaceType(CCommConfig::kInterfaceRS232);
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            boxes.push_back(r);
            return MsgBoxResult::OK;
        });
        // The dump files go to the current folder.
        m_OldCurrent = QDir::currentPath();
        QDir::setCurrent(m_Folder.Path());
    }
    void TearDown() override
    {
        QDir::setCurrent(m_OldCurrent);
        SetMsgBoxHook(m_OldHook);
        ModelDatabase::TearDown();
    }

    // Stores a configuration under kConfigId and returns its module coding.
    std::int32_t Store(const Configuration &cfg, std::int32_t id = kConfigId)
    {
        CCollDatiSetup c;
        Build(c, cfg);
        c.SetIDProgramma(id);
        c.SaveDataInADORS(true);
        return c.CodificaModuli();
    }

    bool Run(std::int32_t action, std::int32_t id, const std::function<void(ModbusTransfer &)> &arrange = {})
    {
        ModbusTransfer transfer(comm, commConfig, network);
        serialtest::ShowWarnings(transfer);
        transfer.SetScanTimeOutRx(serialtest::kScanTimeOutRx);
        transfer.SetAction(action);
        transfer.SetIDProgramma(id);
        if (arrange)
            arrange(transfer);
        const bool result = transfer.StartTransfer();
        EXPECT_EQ(result, transfer.ReturnValue());
        EXPECT_FALSE(control.PortOpen()) << "the port is closed after every transfer";
        foundBaudIndex = transfer.FoundBaudIndex();
        return result;
    }

    // The texts of the boxes shown, each checked to be a communication box.
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const MsgBoxRequest &b : boxes) {
            EXPECT_EQ(b.title, LoadResourceString(208));
            EXPECT_EQ(b.style, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation);
            texts.push_back(b.text.toStdString());
        }
        return texts;
    }

    static std::vector<std::string> Texts(const std::vector<std::int32_t> &ids)
    {
        std::vector<std::string> texts;
        for (std::int32_t id : ids)
            texts.push_back(LoadResourceString(id).toStdString());
        return texts;
    }

    std::vector<MsgBoxRequest> boxes;
    std::int32_t foundBaudIndex = -1;

private:
    MsgBoxHook m_OldHook;
    QString m_OldCurrent;
};

// ---------------------------------------------------------------------------
// Frames and identification

TEST(ModbusFrames, CrcIsModbusCrc16OverAllButTheLastTwoBytes)
{
    struct Case {
        QByteArray frame;
        std::uint16_t crc;
    };
    const Case cases[] = {
        {QByteArray("123456789\0\0", 11), 0x4B37},
        {QByteArray("\x01\x04\x00\x00\x00\x01\x31\xCA", 8), 0xCA31},
        {QByteArray("\x11\x03\x00\x6B\x00\x03\x76\x87", 8), 0x8776},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CalcCRC(c.frame), c.crc) << c.frame.toHex().toStdString();
        QByteArray frame = c.frame;
        frame[frame.size() - 2] = static_cast<char>(c.crc & 0xFF);
        frame[frame.size() - 1] = static_cast<char>(c.crc >> 8);
        EXPECT_TRUE(CheckCRC(frame));
        frame[0] = static_cast<char>(frame.at(0) ^ 1);
        EXPECT_FALSE(CheckCRC(frame));
    }
    EXPECT_FALSE(CheckCRC(QByteArray("\xFF\xFF", 2)));
    const QByteArray read = ReadRegistersFrame(0x11, 0xE008, 8);
    EXPECT_EQ(read.left(6).toHex(), QByteArray("1104e0080008"));
    EXPECT_TRUE(CheckCRC(read));
    const QByteArray write = WriteRegisterFrame(250, 0x210E, 0x01, 0x02);
    EXPECT_EQ(write.left(6).toHex(), QByteArray("fa06210e0102"));
    EXPECT_TRUE(CheckCRC(write));
}

TEST(ModbusFrames, IdentifiedCodingFromTypeCodeModuleWordAndInterface)
{
    struct Case {
        std::int16_t type;
        std::uint16_t modules;
        std::int16_t interfaceType;
        std::uint32_t coding;
    };
    const Case cases[] = {
        {20, 0x8003, 1, 0x00008103}, // MVA, model 1, Y2, RS232
        {27, 0x0001, 2, 0x00000A01}, // HVA, model 0, Y1, RS485
        {28, 0x4010, 2, 0x00004E10}, // GKP, model 3, BN
        {54, 0x800F, 1, 0x0000910F}, // WP1
        {55, 0xC000, 0, 0x0000D400}, // WP2, no interface bits
        {59, 0xC240, 1, 0x0009D900}, // MVZ: bits 6-11 become the extra inputs
        {56, 0x0000, 0, 0x00000000}, // a code the transfer does not know: MVA
        {0, 0xFFFF, 0, 0x003FC01F},  // bits 5 and 12-13 of the module word are not used
    };
    for (const Case &c : cases) {
        EXPECT_EQ(
            static_cast<std::uint32_t>(IdentifiedCoding(c.type, static_cast<std::int16_t>(c.modules), c.interfaceType)),
            c.coding)
            << "type " << c.type;
    }
    EXPECT_EQ(ModuleRegisterOfType(54), 0x100C);
    EXPECT_EQ(ModuleRegisterOfType(55), 0x100C);
    EXPECT_EQ(ModuleRegisterOfType(59), 0x3004);
}

// ---------------------------------------------------------------------------
// Write and read back

class ModbusRoundTrip : public ModbusTransferTest, public ::testing::WithParamInterface<Configuration> {};

TEST_P(ModbusRoundTrip, WrittenConfigurationReadsBackAsConfiguration2)
{
    const Configuration &cfg = GetParam();
    const std::int32_t coding = Store(cfg);
    const int inst = sim.AddInstrument(5, coding, 38400);
    UseAddress(5);

    ASSERT_TRUE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({}));
    // RS232: the instrument took the configuration's address and speed.
    EXPECT_EQ(sim.Address(inst), 17);
    EXPECT_EQ(sim.Baud(inst), 19200);
    EXPECT_TRUE(QFile::exists(QStringLiteral("MemoryUser.mem")));

    UseAddress(17);
    ASSERT_TRUE(Run(ModbusTransfer::kActionRead, ModbusTransfer::kInstrumentSetupId));
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_EQ(foundBaudIndex, 5); // 19200
    EXPECT_TRUE(QFile::exists(QStringLiteral("MemoryMap.mem")));

    CCollDatiSetup original;
    original.SetIDProgramma(kConfigId);
    original.LoadDataFromADORS();
    CCollDatiSetup readBack;
    readBack.SetIDProgramma(ModbusTransfer::kInstrumentSetupId);
    readBack.LoadDataFromADORS();
    EXPECT_EQ(readBack.ModInstr().NomeProgramma(), LoadResourceString(617));
    EXPECT_EQ(readBack.CodificaModuli(), coding);
    const QStringList diffs =
        colltest::Differences(original, readBack, [&](std::int16_t i) { return original.ValidData(i); },
                              {QStringLiteral("CModInstr.m_NomeProgramma")});
    EXPECT_TRUE(diffs.isEmpty()) << colltest::Text(diffs);
}

INSTANTIATE_TEST_SUITE_P(Families, ModbusRoundTrip, ::testing::ValuesIn(Configurations()));

// The registers of the function-6 requests that reached the line (from
// request `from` on), and the first register and count of the function-4
// requests answered.
std::vector<std::uint16_t> WrittenRegisters(const InstrumentSimulator &sim, qsizetype from = 0)
{
    std::vector<std::uint16_t> written;
    for (const auto &r : sim.Requests().mid(from)) {
        if (r.bytes.size() == 8 && static_cast<std::uint8_t>(r.bytes.at(1)) == 0x06)
            written.push_back(static_cast<std::uint16_t>((static_cast<std::uint8_t>(r.bytes.at(2)) << 8) |
                                                         static_cast<std::uint8_t>(r.bytes.at(3))));
    }
    return written;
}

std::vector<std::pair<std::uint16_t, int>> ReadRequests(const InstrumentSimulator &sim)
{
    std::vector<std::pair<std::uint16_t, int>> reads;
    for (const auto &r : sim.Requests()) {
        if (r.answered && r.bytes.size() == 8 && static_cast<std::uint8_t>(r.bytes.at(1)) == 0x04)
            reads.emplace_back(static_cast<std::uint16_t>((static_cast<std::uint8_t>(r.bytes.at(2)) << 8) |
                                                          static_cast<std::uint8_t>(r.bytes.at(3))),
                               static_cast<std::uint8_t>(r.bytes.at(5)));
    }
    return reads;
}

// Over RS232 the window's registers go out in order without the address
// and speed registers, which follow last (the speed at the new address
// 17); in the 0x2000 window the words between them, 0x210F and 0x2111, are
// never written.
struct WriteOrderCase {
    const char *what;
    const Configuration &(*cfg)();
    std::uint16_t start, end;
    std::vector<std::uint16_t> skipped;
    std::uint16_t address, speed;
};

void PrintTo(const WriteOrderCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusWriteOrder : public ModbusTransferTest, public ::testing::WithParamInterface<WriteOrderCase> {};

TEST_P(ModbusWriteOrder, SkipsTheAddressAndSpeedWordsAndSendsThemLast)
{
    const WriteOrderCase &c = GetParam();
    sim.AddInstrument(5, Store(c.cfg()), 38400);
    UseAddress(5);
    ASSERT_TRUE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({}));

    std::vector<std::uint16_t> expected;
    for (std::uint32_t reg = c.start; reg <= c.end; ++reg) {
        if (std::find(c.skipped.begin(), c.skipped.end(), reg) == c.skipped.end())
            expected.push_back(static_cast<std::uint16_t>(reg));
    }
    expected.push_back(c.address);
    expected.push_back(c.speed);
    EXPECT_EQ(WrittenRegisters(sim), expected);
    EXPECT_EQ(static_cast<std::uint8_t>(sim.Requests().last().bytes.at(0)), 17);
}

const Configuration &MvaConfiguration()
{
    return kMVA;
}

const Configuration &Wp1Configuration()
{
    return Configurations()[3];
}

const WriteOrderCase kWriteOrderCases[] = {
    {"0xE000 window", MvaConfiguration, 0xE000, 0xE058, {0xE056, 0xE057}, 0xE056, 0xE057},
    {"0x2000 window", Wp1Configuration, 0x2000, 0x2113, {0x210E, 0x210F, 0x2110, 0x2111}, 0x210E, 0x2110},
};

INSTANTIATE_TEST_SUITE_P(Windows, ModbusWriteOrder, ::testing::ValuesIn(kWriteOrderCases));

// The answer to the speed register of the 0xE000 window is not looked at:
// the instrument may already be at its new speed when it answers.
TEST_F(ModbusTransferTest, TheAnswerOfTheSpeedRegisterIsNotChecked)
{
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    const std::int32_t coding = Store(kMVA);
    int address = 3;
    for (const auto fault : {InstrumentSimulator::Fault::Silent, InstrumentSimulator::Fault::BadCRC}) {
        boxes.clear();
        const int inst = sim.AddInstrument(address, coding, 38400);
        // The probe, the identification and the 87 registers before it.
        sim.SetFault(inst, fault, 3 + 87);
        UseAddress(static_cast<std::int16_t>(address++));
        const qsizetype before = sim.Requests().size();
        EXPECT_TRUE(Run(ModbusTransfer::kActionWrite, kConfigId));
        EXPECT_EQ(BoxTexts(), Texts({}));
        const std::vector<std::uint16_t> written = WrittenRegisters(sim, before);
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back(), 0xE057);
        EXPECT_EQ(std::count(written.begin(), written.end(), 0xE058), 1);
    }
}

// An 88-word window (MVZ) is read in 11 blocks of 8 registers, then the six
// registers at 0xE080.
TEST_F(ModbusTransferTest, ReadOfAn88WordWindowGoesInBlocksOfEight)
{
    sim.AddInstrument(5, colltest::Coding(Configurations()[2].modules), 38400);
    UseAddress(5);
    Run(ModbusTransfer::kActionRead, ModbusTransfer::kInstrumentSetupId);
    std::vector<std::pair<std::uint16_t, int>> expected{{0x000B, 1}, {0x000B, 1}, {0x3004, 1}};
    for (int k = 0; k < 11; ++k)
        expected.emplace_back(static_cast<std::uint16_t>(0xE000 + 8 * k), 8);
    expected.emplace_back(0xE080, 6);
    EXPECT_EQ(ReadRequests(sim), expected);
}

// ---------------------------------------------------------------------------
// Detection

struct DetectionCase {
    const char *what;
    int baud;
    int address;
    std::int16_t selNetworkAdd; // 0: search
    std::int16_t networkAdd;
    std::int16_t modeConfig;
    std::int32_t baudIndex;
    int probes; // requests before the instrument answered
};

void PrintTo(const DetectionCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusDetection : public ModbusTransferTest, public ::testing::WithParamInterface<DetectionCase> {};

TEST_P(ModbusDetection, FindsSpeedAndAddress)
{
    const DetectionCase &c = GetParam();
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    const int inst = sim.AddInstrument(c.address, Store(kMVA), c.baud);
    network.SetSelNetworkAdd(c.selNetworkAdd);
    network.SetNetworkAdd(c.networkAdd);
    network.SetModeConfig(c.modeConfig);
    network.SetTotalInstrNetwork(1);

    ASSERT_TRUE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_EQ(foundBaudIndex, c.baudIndex);
    EXPECT_EQ(network.NetworkAdd(), c.address);
    // The scan gives the time-out and the attempts back as it found them.
    EXPECT_EQ(comm.TimeOutRx(), 150);
    EXPECT_EQ(comm.MaxErrorTimeOut(), 3);
    const auto requests = sim.Requests();
    ASSERT_GT(requests.size(), c.probes);
    for (int i = 0; i < c.probes; ++i)
        EXPECT_FALSE(requests[i].answered) << "probe " << i;
    EXPECT_TRUE(requests[c.probes].answered);
    // RS485: every register of the window but the address is written.
    EXPECT_EQ(sim.WriteRequests(inst), 88);
}

const DetectionCase kDetectionCases[] = {
    {"9600 baud, address given", 9600, 7, 1, 7, 0, 3, 2},
    {"38400 baud, address 250 searched", 38400, 250, 0, 1, 0, 4, 5},
    {"4800 baud, whole network probes address 1", 4800, 1, 0, 99, 1, 2, 3},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModbusDetection, ::testing::ValuesIn(kDetectionCases));

// ---------------------------------------------------------------------------
// The module check

struct FittingCase {
    const char *what;
    Modules instrument; // what the instrument reports
    bool written;
};

void PrintTo(const FittingCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusFitting : public ModbusTransferTest, public ::testing::WithParamInterface<FittingCase> {};

TEST_P(ModbusFitting, DifferentModelOrMeasuringModuleIsRefusedBeforeAnyWrite)
{
    const FittingCase &c = GetParam();
    const std::int32_t stored = Store(kMVA);
    const std::int32_t reported = colltest::Coding(c.instrument);
    const int inst = sim.AddInstrument(5, reported, 38400);
    UseAddress(5);
    TraceCapture trace;

    EXPECT_EQ(Run(ModbusTransfer::kActionWrite, kConfigId), c.written);
    if (c.written) {
        EXPECT_EQ(BoxTexts(), Texts({}));
        EXPECT_GT(sim.WriteRequests(inst), 80);
    } else {
        EXPECT_EQ(BoxTexts(), Texts({230}));
        EXPECT_EQ(sim.WriteRequests(inst), 0);
        const QString line = QStringLiteral("m_CodificaModuli=&h") + QString::number(reported | 0x100, 16).toUpper() +
                             QStringLiteral(" ProgCodificaModuli=0x") + QString::number(stored, 16).toUpper();
        EXPECT_TRUE(trace.Lines().contains(line)) << line.toStdString();
    }
}

const FittingCase kFittingCases[] = {
    {"GKP instead of MVA", {1, 3, 2, 2, 0}, false},
    {"model 0 instead of model 1", {0, 0, 2, 2, 0}, false},
    {"other relays and serial module", {1, 0, 1, 1, 0}, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModbusFitting, ::testing::ValuesIn(kFittingCases));

TEST_F(ModbusTransferTest, ConfigurationOfSlotACode1CanNeverBeWritten)
{
    // No type code identifies as MVB/MVC: the instrument reports MVA.
    const Configuration mvb{"MVB", {1, 1, 2, 2, 0}, [](CCollDatiSetup &c) { c.RangeMVAHVA().SetRange(1); }};
    Store(mvb);
    const int inst = sim.AddInstrument(5, colltest::Coding({1, 0, 2, 2, 0}), 38400);
    UseAddress(5);
    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({230}));
    EXPECT_EQ(sim.WriteRequests(inst), 0);
}

// ---------------------------------------------------------------------------
// Configurations that cannot go to an instrument

struct RefusalCase {
    const char *what;
    std::int16_t interfaceType;
    Configuration cfg;
    std::int32_t cause; // 0: message 3152; else the text in message 3151
    int value;          // the value the cause names
};

void PrintTo(const RefusalCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusRefusal : public ModbusTransferTest, public ::testing::WithParamInterface<RefusalCase> {};

// Each refusal names its cause; no register of the instrument is written.
TEST_P(ModbusRefusal, IsShownWithItsCauseAndWritesNothing)
{
    const RefusalCase &c = GetParam();
    commConfig.SetInterfaceType(c.interfaceType);
    const int inst = sim.AddInstrument(5, Store(c.cfg), 38400);
    UseAddress(5);

    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId));
    ASSERT_EQ(boxes.size(), 1u);
    const QString box =
        c.cause == 0 ? LoadResourceString(3152) : GetResourceText(3151, {GetResourceText(c.cause, {c.value})});
    EXPECT_EQ(boxes[0].text, box);
    // Nothing was sent: the program's title, not a communication error's.
    EXPECT_EQ(boxes[0].title, QString::fromLatin1(kApplicationTitle));
    // Refused before the line speed is searched: not a frame leaves.
    EXPECT_TRUE(sim.Requests().isEmpty());
    EXPECT_EQ(sim.WriteRequests(inst), 0);
}

const Configuration kNoSerialModule{"MVA, Y2, no serial module", {1, 0, 0, 2, 0}, [](CCollDatiSetup &) {}};

const RefusalCase kRefusalCases[] = {
    {"RS232, no serial module", CCommConfig::kInterfaceRS232, kNoSerialModule, 0, 0},
    {"RS485, no serial module (it would switch the instrument to 4800 baud)", CCommConfig::kInterfaceRS485,
     kNoSerialModule, 0, 0},
    {"RS232, address 0",
     CCommConfig::kInterfaceRS232,
     {"MVA, address 0", kMVA.modules, [](CCollDatiSetup &c) { c.SerialComm().SetNetworkAdd(0); }},
     3153,
     0},
    {"RS485, baud-rate code 7",
     CCommConfig::kInterfaceRS485,
     {"MVA, baud-rate code 7", kMVA.modules, [](CCollDatiSetup &c) { c.SerialComm().SetBaudRate(7); }},
     3154,
     7},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModbusRefusal, ::testing::ValuesIn(kRefusalCases));

// ---------------------------------------------------------------------------
// Failures of the line

struct FailureCase {
    const char *what;
    InstrumentSimulator::Fault fault;
    int afterAnswers;
    std::int32_t message;
    bool writesReached; // some register write reached the instrument
};

void PrintTo(const FailureCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusFailure : public ModbusTransferTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ModbusFailure, EndsWithTheMessageOfTheFailure)
{
    const FailureCase &c = GetParam();
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    const int inst = sim.AddInstrument(3, Store(kMVA), 38400);
    sim.SetFault(inst, c.fault, c.afterAnswers);
    UseAddress(3);

    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({c.message}));
    // The probe and the identification take three answers.
    EXPECT_EQ(sim.WriteRequests(inst) > 0, c.writesReached);
}

const FailureCase kFailureCases[] = {
    {"no instrument answers at any speed", InstrumentSimulator::Fault::Silent, 0, 228, false},
    {"wrong CRC from the first write on", InstrumentSimulator::Fault::BadCRC, 3, 215, true},
    {"silent in the middle of the write", InstrumentSimulator::Fault::Silent, 20, 207, true},
    {"silent during the identification", InstrumentSimulator::Fault::Silent, 2, 207, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModbusFailure, ::testing::ValuesIn(kFailureCases));

TEST_F(ModbusTransferTest, PortThatDoesNotExistEndsInDetectionMessage)
{
    Store(kMVA);
    commConfig.SetComPort(4); // port 5: no such device
    UseAddress(3);
    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId));
    EXPECT_EQ(BoxTexts(), Texts({228}));
}

TEST_F(ModbusTransferTest, ReadOfDataTheObjectsRefuseSavesNothing)
{
    // An instrument whose memory holds a display decimal point no table
    // knows: the read is refused and configuration 2 keeps its rows.
    const int inst = sim.AddInstrument(5, colltest::Coding({1, 0, 2, 2, 0}), 38400);
    for (std::uint16_t reg = 0xE000; reg <= 0xE058; ++reg)
        sim.SetRegister(inst, reg, 0x7777);
    UseAddress(5);
    const QVariant nameBefore = Column(QStringLiteral("CModInstr"), 2, QStringLiteral("m_NomeProgramma"));
    const QVariant rangeBefore = Column(QStringLiteral("CRangeMVAHVA"), 2, QStringLiteral("m_Range"));

    EXPECT_FALSE(Run(ModbusTransfer::kActionRead, ModbusTransfer::kInstrumentSetupId));
    // The first word the objects refuse is named as its page names it.
    const QString range = GetResourceText(3160, {LoadResourceString(441)}); // "Measuring range"
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{GetResourceText(3167, {GetResourceText(3155, {range, 0x7777})}).toStdString()});
    EXPECT_EQ(Column(QStringLiteral("CModInstr"), 2, QStringLiteral("m_NomeProgramma")), nameBefore);
    EXPECT_EQ(Column(QStringLiteral("CRangeMVAHVA"), 2, QStringLiteral("m_Range")), rangeBefore);
}

// ---------------------------------------------------------------------------
// Cancel

// The address being probed when the cancel came becomes NetworkAdd, so the
// next scan resumes there.
TEST_F(ModbusTransferTest, CancelDuringTheScanEndsSilentlyAndKeepsTheAddressItStoppedAt)
{
    Store(kMVA);
    sim.AddInstrument(5, colltest::Coding(kMVA.modules), 9600);
    network.SetSelNetworkAdd(0);
    network.SetNetworkAdd(42);
    TraceCapture trace;

    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId, [](ModbusTransfer &t) {
        QObject::connect(&t, &ModbusTransfer::ProgressValueChanged, &t, [&t](int value) {
            if (value == 3) // probing address 253
                t.Cancel();
        });
    }));
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_EQ(network.NetworkAdd(), 253);
    // The scan's own time-out and single attempt were undone.
    EXPECT_EQ(comm.TimeOutRx(), 150);
    EXPECT_EQ(comm.MaxErrorTimeOut(), 3);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Operazione annullata !!!")));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Cancellata procedura TxRx")));
}

TEST_F(ModbusTransferTest, CancelDuringTheWriteStopsItSilently)
{
    const int inst = sim.AddInstrument(5, Store(kMVA), 38400);
    UseAddress(5);
    bool writing = false;
    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId, [&](ModbusTransfer &t) {
        QObject::connect(&t, &ModbusTransfer::Label5Changed, &t,
                         [&](const QString &text) { writing = text == LoadResourceString(201); });
        QObject::connect(&t, &ModbusTransfer::ProgressValueChanged, &t, [&](int value) {
            if (writing && value == 20)
                t.Cancel();
        });
    }));
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_EQ(sim.WriteRequests(inst), 21);
    EXPECT_EQ(sim.Address(inst), 5);
}

TEST_F(ModbusTransferTest, CancelDuringTheSpeedWriteStopsTheNetworkWrite)
{
    // The speed register's answer is not checked, but a cancel while it is
    // under way must still stop the instruments after it.
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    const std::int32_t coding = Store(kMVA);
    std::vector<int> instruments;
    for (int address : {1, 2, 3})
        instruments.push_back(sim.AddInstrument(address, coding, 19200));
    network.SetModeConfig(1);
    network.SetTotalInstrNetwork(3);
    bool writing = false;
    EXPECT_FALSE(Run(ModbusTransfer::kActionWrite, kConfigId, [&](ModbusTransfer &t) {
        QObject::connect(&t, &ModbusTransfer::Label5Changed, &t,
                         [&](const QString &text) { writing = text == LoadResourceString(201); });
        QObject::connect(&t, &ModbusTransfer::ProgressValueChanged, &t, [&](int value) {
            if (writing && value == 88) // the last register before the speed
                t.Cancel();
        });
    }));
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_EQ(sim.WriteRequests(instruments[0]), 87);
    EXPECT_EQ(sim.WriteRequests(instruments[1]), 0);
    EXPECT_EQ(sim.WriteRequests(instruments[2]), 0);
}

// ---------------------------------------------------------------------------
// Networks

struct NetworkCase {
    const char *what;
    std::int16_t interfaceType;
    std::vector<int> present; // addresses of the instruments on the line
    bool result;
    std::vector<int> writes; // function-6 requests per instrument
    std::vector<std::int32_t> messages;
};

void PrintTo(const NetworkCase &c, std::ostream *os)
{
    *os << c.what;
}

class ModbusNetwork : public ModbusTransferTest, public ::testing::WithParamInterface<NetworkCase> {};

TEST_P(ModbusNetwork, WritesEveryInstrumentInTurn)
{
    const NetworkCase &c = GetParam();
    commConfig.SetInterfaceType(c.interfaceType);
    const std::int32_t coding = Store(kMVA);
    std::vector<int> instruments;
    for (int address : c.present)
        instruments.push_back(sim.AddInstrument(address, coding, 19200));
    network.SetModeConfig(1);
    network.SetTotalInstrNetwork(3);

    EXPECT_EQ(Run(ModbusTransfer::kActionWrite, kConfigId), c.result);
    EXPECT_EQ(BoxTexts(), Texts(c.messages));
    for (std::size_t i = 0; i < instruments.size(); ++i)
        EXPECT_EQ(sim.WriteRequests(instruments[i]), c.writes[i]) << "instrument at " << c.present[i];
    if (c.result && c.interfaceType == CCommConfig::kInterfaceRS485) {
        // Every instrument holds the same map; none got a new address.
        for (int inst : instruments) {
            EXPECT_EQ(sim.Registers(inst, 0xE000, 86), sim.Registers(instruments[0], 0xE000, 86));
            EXPECT_EQ(sim.Register(inst, 0xE056), 0);
        }
    }
}

const NetworkCase kNetworkCases[] = {
    {"RS485, three instruments", CCommConfig::kInterfaceRS485, {1, 2, 3}, true, {88, 88, 88}, {}},
    {"RS485, instrument 2 missing", CCommConfig::kInterfaceRS485, {1, 3}, false, {88, 0}, {207}},
    {"RS232 writes address 1 only", CCommConfig::kInterfaceRS232, {1, 2, 3}, true, {89, 0, 0}, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModbusNetwork, ::testing::ValuesIn(kNetworkCases));

// ---------------------------------------------------------------------------
// The window

TEST_F(ModbusTransferTest, WindowCloseBoxCancelsTheTransferAndTheWindowClosesItself)
{
    // The window's own 200 ms pacing: the close box comes before the
    // first frame leaves.
    Store(kMVA);
    FSerialProgSetup window;
    window.SetAction(1);
    window.SetIDProgramma(kConfigId);
    ASSERT_TRUE(window.Create(&commConfig, nullptr, &network));
    EXPECT_EQ(window.windowTitle(), LoadResourceString(204));
    EXPECT_EQ(window.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->text(), LoadResourceString(2001));
    QTimer::singleShot(20, &window, [&] {
        EXPECT_EQ(window.Label1->text(), LoadResourceString(229));
        window.close();
        EXPECT_TRUE(window.isVisible()) << "the close box only cancels";
    });
    window.exec();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.ReturnValue());
    EXPECT_EQ(BoxTexts(), Texts({}));
    EXPECT_TRUE(sim.Requests().isEmpty());
}

} // namespace
