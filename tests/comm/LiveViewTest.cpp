// The live view: decoding of the instantaneous values into the display
// texts, live sessions against simulated instruments on a pseudo-terminal
// (one instrument over RS232, a network over RS485), cancel, and the window.
#include "SerialTestSupport.h"
#include "CCommConfig.h"
#include "CLiveView.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "CTapiComm.h"
#include "CTextDigitSpin.h"
#include "FViewInstrData.h"
#include "InstrumentSimulator.h"
#include "ModbusTransfer.h"
#include "MsgBox.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "StringTable.h"
#include "TraceCapture.h"
#include "WindowTimer.h"

#include "../model/CollectionTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using testsim::InstrumentSimulator;

namespace {

// ---------------------------------------------------------------------------
// Decoding

struct DecodeCase {
    const char *what;
    LiveReading reading;
    QString line1;
    QString line2;
    std::int32_t state1;
    std::int32_t state2;
    std::array<bool, 4> alarms;
};

LiveReading Base(std::int32_t value, std::int16_t dp, std::uint16_t status)
{
    LiveReading r;
    r.slotA = 0;
    r.modello = 1;
    r.valueA = value;
    r.dp1 = dp;
    r.status = status;
    return r;
}

LiveReading Freq(std::int16_t model, std::int16_t function, std::int32_t a, std::int32_t b, std::int16_t dp1,
                 std::int16_t dp2, std::uint16_t status)
{
    LiveReading r;
    r.slotA = 4;
    r.modello = model;
    r.function = function;
    r.valueA = a;
    r.valueB = b;
    r.dp1 = dp1;
    r.dp2 = dp2;
    r.status = status;
    return r;
}

constexpr std::array<bool, 4> kNoAlarm{false, false, false, false};
constexpr std::array<bool, 4> kAllAlarms{true, true, true, true};
const QString kNoView = QStringLiteral("NoView");

TEST(LiveDecoding, ValuesAndStatusBitsBecomeTheTextsStatesAndAlarmsOfTheDisplay)
{
    const QString error = LoadResourceString(600);
    // Every case starts from a display whose states are 3, so that the
    // states a case leaves alone show.
    const DecodeCase cases[] = {
        {"one decimal", Base(1234, 1, 0), "123.4", kNoView, 0, 0, kNoAlarm},
        {"no decimal, negative", Base(-5, 0, 0), "-5", kNoView, 0, 0, kNoAlarm},
        {"three decimals, negative below one", Base(-5, 3, 0), "-0.005", kNoView, 0, 0, kNoAlarm},
        {"largest 16-bit value", Base(32767, 2, 0), "327.67", kNoView, 0, 0, kNoAlarm},
        {"over-range", Base(100, 1, 0x0020), "EEEE", kNoView, 2, 0, kNoAlarm},
        {"negative over-range", Base(100, 1, 0x0060), "-EEEE", kNoView, 3, 0, kNoAlarm},
        {"bit 4 marks the value", Base(100, 1, 0x0010), "10.0", kNoView, 1, 0, kNoAlarm},
        {"bit 7 has no effect on other modules", Base(100, 1, 0x0080), "10.0", kNoView, 0, 0, kNoAlarm},
        {"alarms are bits 0 to 3", Base(7, 0, 0x000A), "7", kNoView, 0, 0, {false, true, false, true}},
        {"decimal point no table knows", Base(7, 4, 0x0001), error, kNoView, 0, 0, {true, false, false, false}},
        {"OXA 16 frequency: two lines, six-digit table", Freq(3, 0, 123456, -999999, 2, 5, 0), "1234.56", "-9.99999", 0,
         0, kNoAlarm},
        {"OXA 16 function 3: line 2 in percent", Freq(3, 3, 0, 555, 0, 1, 0x000F), "0", "55.5%", 0, 0, kAllAlarms},
        {"OXA 16 decimal point 4 exists only in the six-digit table", Freq(3, 0, 12345, 0, 4, 0, 0), "1.2345", "0", 0,
         0, kNoAlarm},
        {"line 2 over-range", Freq(3, 0, 1, 2, 0, 0, 0x2000), "1", "EEEE", 0, 2, kNoAlarm},
        {"line 2 negative over-range", Freq(3, 0, 1, 2, 0, 0, 0x6000), "1", "-EEEE", 0, 3, kNoAlarm},
        {"line 2 marked", Freq(3, 0, 1, 2, 0, 0, 0x1000), "1", "2", 0, 1, kNoAlarm},
        {"line 2 error", Freq(3, 0, 1, 2, 0, 0, 0x9000), "1", "Err", 0, 1, kNoAlarm},
        {"line 2 over-range wins over its error bit", Freq(3, 0, 1, 2, 0, 0, 0xA000), "1", "EEEE", 0, 2, kNoAlarm},
        // One-line frequency modules show value B; the line-2 state stays.
        {"function 0: decimal point 1", Freq(1, 0, 99, 1234, 1, 3, 0), "123.4", kNoView, 0, 3, kNoAlarm},
        {"function 6: decimal point 1", Freq(1, 6, 99, 1234, 1, 3, 0), "123.4", kNoView, 0, 3, kNoAlarm},
        {"function 2: decimal point 2", Freq(1, 2, 99, 1234, 1, 3, 0), "1.234", kNoView, 0, 3, kNoAlarm},
        {"function 3 in percent", Freq(1, 3, 99, 1234, 1, 2, 0), "12.34%", kNoView, 0, 3, kNoAlarm},
        {"function 5 in percent", Freq(1, 5, 99, -1234, 1, 2, 0), "-12.34%", kNoView, 0, 3, kNoAlarm},
        {"error bit", Freq(1, 0, 0, 1, 0, 0, 0x0080), "Err", kNoView, 0, 3, kNoAlarm},
        {"error bit with bit 4: marked", Freq(1, 0, 0, 1, 0, 0, 0x0090), "Err", kNoView, 1, 3, kNoAlarm},
        {"over-range wins over the error bit", Freq(1, 0, 0, 1, 0, 0, 0x00A0), "EEEE", kNoView, 2, 3, kNoAlarm},
    };
    for (const DecodeCase &c : cases) {
        LiveDisplay d;
        d.status = {3, 3};
        d.alarm.fill(true);
        DecodeInstrVariable(c.reading, d);
        EXPECT_EQ(d.text[0], c.line1) << c.what;
        EXPECT_EQ(d.text[1], c.line2) << c.what;
        EXPECT_EQ(d.status[0], c.state1) << c.what;
        EXPECT_EQ(d.status[1], c.state2) << c.what;
        EXPECT_EQ(d.alarm, c.alarms) << c.what;
    }
}

TEST(LiveDecoding, TypeCode56IsTheMvzModuleOfTheLiveView)
{
    CModInstr mod;
    mod.SetCodificaModuli(LiveViewCoding(56, 0, 2));
    EXPECT_EQ(mod.SlotA(), 6);
    mod.SetCodificaModuli(LiveViewCoding(59, 0, 1));
    EXPECT_EQ(mod.SlotA(), 0);
    // Everything else as the transfer identifies it.
    EXPECT_EQ(LiveViewCoding(54, static_cast<std::int16_t>(0xC00F), 1),
              IdentifiedCoding(54, static_cast<std::int16_t>(0xC00F), 1));
    EXPECT_EQ(LiveViewCoding(28, 0x0001, 2), IdentifiedCoding(28, 0x0001, 2));
}

// ---------------------------------------------------------------------------
// Live sessions

void SetLong(InstrumentSimulator &sim, int inst, std::uint16_t reg, std::int32_t value)
{
    sim.SetRegister(inst, reg, static_cast<std::int16_t>(value & 0xFFFF));
    sim.SetRegister(inst, static_cast<std::uint16_t>(reg + 1), static_cast<std::int16_t>(value >> 16));
}

// The registers of the requests the instrument at `address` answered.
std::vector<int> RegistersAsked(const InstrumentSimulator &sim, int address)
{
    std::vector<int> regs;
    for (const InstrumentSimulator::Request &r : sim.Requests()) {
        if (r.answered && r.bytes.size() == 8 && static_cast<std::uint8_t>(r.bytes.at(0)) == address) {
            EXPECT_EQ(r.bytes.at(1), 0x04) << "the live view only reads";
            regs.push_back((static_cast<std::uint8_t>(r.bytes.at(2)) << 8) | static_cast<std::uint8_t>(r.bytes.at(3)));
        }
    }
    return regs;
}

// The live view under test on a simulated line: its warnings become boxes,
// and while it searches for an instrument each address gets 40 ms to answer.
class LiveView : public ::testing::Test, protected serialtest::SimulatedLine {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pair.IsOpen());
        serialtest::ShowWarnings(view);
        view.SetScanTimeOutRx(serialtest::kScanTimeOutRx);
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            EXPECT_EQ(r.title, LoadResourceString(208));
            EXPECT_EQ(r.style, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation);
            boxes.push_back(r.text);
            return MsgBoxResult::OK;
        });
    }
    void TearDown() override { SetMsgBoxHook(m_OldHook); }

    QStringList Texts(const std::vector<std::int32_t> &ids) const
    {
        QStringList texts;
        for (std::int32_t id : ids)
            texts.push_back(LoadResourceString(id));
        return texts;
    }

    CLiveView view{comm, commConfig, network};
    QStringList boxes;

private:
    MsgBoxHook m_OldHook;
};

TEST_F(LiveView, Rs232ShowsEveryPollUntilTheInstrumentFallsSilent)
{
    // An OXA 16 with a WP1 module at address 7, 19200 baud, function 3.
    const int inst = sim.AddInstrument(7, colltest::Coding({3, 4, 1, 2, 0}), 19200);
    SetLong(sim, inst, 0x1000, 123456);
    SetLong(sim, inst, 0x1002, -2500);
    sim.SetRegister(inst, 0x100D, 0x0011); // alarm 1, line 1 marked
    sim.SetRegister(inst, 0x2004, 3);
    sim.SetRegister(inst, 0x2014, 2);
    sim.SetRegister(inst, 0x201E, 0x7777); // a decimal point this function does not use
    sim.SetRegister(inst, 0x2024, 1);
    constexpr int kPolls = 3;
    constexpr int kExchangesPerPoll = 7;
    sim.SetFault(inst, InstrumentSimulator::Fault::Silent, 1 + kPolls * kExchangesPerPoll); // the probe, 3 polls
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS232);
    UseAddress(7);
    TraceCapture trace;

    std::vector<LiveDisplay> shown;
    QObject::connect(&view, &CLiveView::SingleDisplayChanged, &view, [&] {
        shown.push_back(view.Display());
        // The next poll reads the instrument anew.
        sim.SetRegister(inst, 0x100D, static_cast<std::int16_t>(0x0062 + shown.size()));
    });
    QStringList captions;
    QObject::connect(&view, &CLiveView::CaptionChanged, &view, [&](const QString &t) { captions.push_back(t); });
    int zoomMax = 0;
    QObject::connect(&view, &CLiveView::ZoomLimitsChanged, &view, [&](int maximum, int) { zoomMax = maximum; });

    EXPECT_FALSE(view.Run());
    EXPECT_FALSE(view.ReturnValue());
    EXPECT_FALSE(control.PortOpen());
    EXPECT_EQ(boxes, Texts({207}));
    EXPECT_EQ(zoomMax, 255);
    EXPECT_EQ(captions.first(), LoadResourceString(229));
    EXPECT_EQ(captions.last(), QStringLiteral("Network address 7"));
    EXPECT_EQ(view.ModInstr().SlotA(), 4);
    EXPECT_EQ(view.ModInstr().ModelloStrumento(), 3);
    EXPECT_EQ(trace.Lines().count(QStringLiteral("Start ReadInstrVariable()")), kPolls + 1);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Tentativo connessione con RS232 a 19200 baud...")));

    ASSERT_EQ(shown.size(), std::size_t{kPolls});
    EXPECT_EQ(shown[0].text, (std::array<QString, 2>{"1234.56", "-250.0%"}));
    EXPECT_EQ(shown[0].status, (std::array<std::int32_t, 2>{1, 0}));
    EXPECT_EQ(shown[0].alarm, (std::array<bool, 4>{true, false, false, false}));
    // Status 0x63 then 0x64: negative over-range, alarms 1-2, then alarm 3.
    EXPECT_EQ(shown[1].text, (std::array<QString, 2>{"-EEEE", "-250.0%"}));
    EXPECT_EQ(shown[1].status, (std::array<std::int32_t, 2>{3, 0}));
    EXPECT_EQ(shown[1].alarm, (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(shown[2].alarm, (std::array<bool, 4>{false, false, true, false}));

    // One poll: identification, the value block, status, function and the
    // two decimal points of function 3.
    const std::vector<int> poll = {0x000B, 0x100C, 0x1000, 0x100D, 0x2004, 0x2014, 0x2024};
    const std::vector<int> asked = RegistersAsked(sim, 7);
    ASSERT_GE(asked.size(), 1 + poll.size());
    EXPECT_EQ(std::vector<int>(asked.begin() + 1, asked.begin() + 1 + static_cast<long>(poll.size())), poll);
}

TEST_F(LiveView, NetworkPollsEveryAddressInTurnShowsSilentOnesAsErrorAndStopsOnCancel)
{
    // Addresses 1 and 3 answer at 9600 baud, 2 stays silent.
    const int first = sim.AddInstrument(1, colltest::Coding({1, 0, 2, 0, 0}), 9600);
    sim.SetRegister(first, 0xE008, 1);
    sim.SetRegister(first, 0x3001, -123);
    sim.SetRegister(first, 0x3005, 0x0004);
    const int third = sim.AddInstrument(3, colltest::Coding({0, 2, 2, 1, 0}), 9600);
    sim.SetRegister(third, 0xE008, 0);
    sim.SetRegister(third, 0x3001, 1500);
    sim.SetRegister(third, 0x3005, 0x0021);
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    network.SetModeConfig(1);
    network.SetTotalInstrNetwork(3);
    TraceCapture trace;

    view.CreateStatusRecordset();
    view.ClearNetworkGrid();
    ASSERT_EQ(view.GridRowCount(), 3);
    EXPECT_EQ(view.Row(2).VariableValueA, QStringLiteral("----"));
    EXPECT_EQ(view.Row(2).NetworkAdd, QStringLiteral("2"));

    std::vector<int> polled;
    std::vector<QString> zoomed;
    // The single display follows address 3, as the address spin would.
    QObject::connect(&view, &CLiveView::ZoomLimitsChanged, &view, [&](int maximum, int value) {
        EXPECT_EQ(maximum, 3);
        EXPECT_EQ(value, 1) << "polling starts at the address the search found";
        view.SetZoomAddress(3);
    });
    QObject::connect(&view, &CLiveView::SingleDisplayChanged, &view, [&] { zoomed.push_back(view.Display().text[0]); });
    QObject::connect(&view, &CLiveView::GridRowChanged, &view, [&](int address) {
        polled.push_back(address);
        if (polled.size() == 6)
            view.Cancel();
    });

    EXPECT_FALSE(view.Run());
    EXPECT_FALSE(control.PortOpen());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(polled, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(zoomed, (std::vector<QString>{"EEEE", "EEEE"}));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Cancellata procedura TxRx")));

    const auto row = [&](int address) {
        const CLiveView::GridRow &r = view.Row(address);
        return QStringList{r.VariableValueA, r.VariableValueB, r.Alarm[0], r.Alarm[1], r.Alarm[2], r.Alarm[3]};
    };
    EXPECT_EQ(row(1), (QStringList{"-12.3", "----", "OFF", "OFF", "ON", "OFF"}));
    EXPECT_EQ(row(2), (QStringList{LoadResourceString(600), "----", "OFF", "OFF", "OFF", "OFF"}));
    EXPECT_EQ(row(3), (QStringList{"EEEE", "----", "ON", "OFF", "OFF", "OFF"}));
    // The cancel took the first exchange of the next poll: nothing after
    // the second poll of address 3 reached the line.
    EXPECT_EQ(RegistersAsked(sim, 3).size(), std::size_t{8});
}

// A cancel during the address search leaves NetworkAdd at the address
// being probed, so the next search resumes there.
TEST_F(LiveView, CancelDuringTheSearchKeepsTheAddressItStoppedAt)
{
    sim.AddInstrument(5, colltest::Coding({1, 0, 2, 0, 0}), 9600);
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS485);
    network.SetSelNetworkAdd(0);
    network.SetNetworkAdd(42);
    network.SetTotalInstrNetwork(3);
    TraceCapture trace;

    view.CreateStatusRecordset();
    QObject::connect(&view, &CLiveView::ProgressValueChanged, &view, [this](int value) {
        if (value == 3) // probing address 253
            view.Cancel();
    });

    EXPECT_FALSE(view.Run());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(network.NetworkAdd(), 253);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Operazione annullata !!!")));
}

// Only an RS485 network moves from address to address: on any other
// interface the live view keeps polling the instrument the search found.
TEST_F(LiveView, OnlyANetworkAdvancesTheAddress)
{
    const int inst = sim.AddInstrument(2, colltest::Coding({1, 0, 2, 0, 0}), 9600);
    sim.SetRegister(inst, 0xE008, 0);
    sim.SetRegister(inst, 0x3001, 42);
    commConfig.SetInterfaceType(CCommConfig::kInterfaceAux);
    UseAddress(2);
    network.SetTotalInstrNetwork(3);
    TraceCapture trace;

    view.CreateStatusRecordset();
    std::vector<int> polled;
    QObject::connect(&view, &CLiveView::GridRowChanged, &view, [&](int address) {
        polled.push_back(address);
        if (polled.size() == 3)
            view.Cancel();
    });

    EXPECT_FALSE(view.Run());
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(polled, (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(view.Row(2).VariableValueA, QStringLiteral("42"));
}

// ---------------------------------------------------------------------------
// The window

struct WindowCase {
    const char *what;
    std::int16_t interfaceType;
    QStringList tabs;
    bool spinEnabled;
};

TEST_F(LiveView, WindowCloseDuringTheSearchEndsWithoutAMessage)
{
    const WindowCase cases[] = {
        {"RS232: the single display only", CCommConfig::kInterfaceRS232, {"Single"}, false},
        {"RS485: grid and single display", CCommConfig::kInterfaceRS485, {"Network", "Single"}, true},
    };
    UseAddress(2);
    network.SetTotalInstrNetwork(2);
    for (const WindowCase &c : cases) {
        commConfig.SetInterfaceType(c.interfaceType);
        TraceCapture trace;
        // The window's own 200 ms pacing: the close comes before the first
        // frame leaves.
        FViewInstrData window;
        ASSERT_TRUE(window.Create(&commConfig, &network));
        EXPECT_EQ(window.cmdClose->text(), LoadResourceString(2005));
        EXPECT_EQ(window.dgInstrStatusData->horizontalHeaderItem(6)->text(), QStringLiteral("Al. 4"));
        EXPECT_EQ(window.LedAlarm[1]->toolTip(), QStringLiteral("Al. 2"));
        QTimer::singleShot(20, &window, [&] {
            QStringList tabs;
            for (int i = 0; i < window.TabStrip->count(); ++i)
                tabs.push_back(window.TabStrip->tabText(i));
            EXPECT_EQ(tabs, c.tabs) << c.what;
            EXPECT_EQ(window.CurrentZoom()->Enabled(), c.spinEnabled) << c.what;
            EXPECT_EQ(window.txtMeasureValue->text(), QStringLiteral("----"));
            EXPECT_EQ(window.LedAlarm[0]->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
            if (c.interfaceType == CCommConfig::kInterfaceRS485) {
                EXPECT_EQ(window.dgInstrStatusData->item(1, 0)->text(), QStringLiteral("2"));
                EXPECT_EQ(window.dgInstrStatusData->item(1, 2)->text(), QStringLiteral("----"));
                EXPECT_EQ(window.dgInstrStatusData->item(1, 3)->text(), QStringLiteral("OFF"));
            }
            EXPECT_EQ(window.windowTitle(), LoadResourceString(229));
            window.close();
            EXPECT_TRUE(window.isVisible()) << "the close box only cancels";
        });
        window.exec();
        EXPECT_FALSE(window.isVisible()) << c.what;
        EXPECT_FALSE(window.ReturnValue()) << c.what;
        EXPECT_TRUE(boxes.isEmpty()) << c.what;
        EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Operazione annullata !!!"))) << c.what;
    }
    EXPECT_TRUE(sim.Requests().isEmpty());
}

// The engine's failures reach the user through the window: a port that does
// not open at any speed gives message 228, and the window closes itself.
TEST_F(LiveView, WindowShowsTheEnginesFailure)
{
    commConfig.SetInterfaceType(CCommConfig::kInterfaceRS232);
    commConfig.SetComPort(5); // no such device
    FViewInstrData window;
    ASSERT_TRUE(window.Create(&commConfig, &network));
    window.exec();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.ReturnValue());
    EXPECT_EQ(boxes, Texts({228}));
}

} // namespace
