#include "CAlarm.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "MErrors.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ModelTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using paramtest::NoSendLines;

namespace {

std::unique_ptr<CModInstr> ModInstr(std::int16_t slotA, std::int16_t model = 1, std::int16_t slotC = 3)
{
    auto mod = std::make_unique<CModInstr>();
    mod->SetSlotA(slotA);
    mod->SetModelloStrumento(model);
    mod->SetSlotC(slotC);
    return mod;
}

// An alarm with a value of its own in every field (set point and hysteresis
// beyond 16 bits).
std::unique_ptr<CAlarm> Alarm(int n)
{
    auto a = std::make_unique<CAlarm>();
    a->SetClassName(QStringLiteral("CAlarm%1").arg(n));
    a->SetChannel(1);
    a->SetMinAlarmScale(-2);
    a->SetMaxAlarmScale(9999);
    a->SetAlarmSetPoint(40000);
    a->SetIsteresi(-70000);
    a->SetRitAttivazione(5);
    a->SetRitDisattivazione(7);
    a->SetAlarmType(4);
    a->SetRelayStatus(0);
    a->SetAlarmColor(2);
    return a;
}

std::int16_t Lo(std::int32_t v)
{
    return static_cast<std::int16_t>(v & 0xFFFF);
}

std::int16_t Hi(std::int32_t v)
{
    return static_cast<std::int16_t>(v >> 16);
}

class AlarmScales : public paramtest::FreshScales {};

} // namespace

TEST(Alarm, FreshObjectAndInstanceNumber)
{
    CAlarm a;
    EXPECT_EQ(a.ClassName(), QStringLiteral("CAlarm"));
    EXPECT_EQ(a.RelayStatus(), 1);
    EXPECT_EQ(a.AlarmColor(), 3);
    EXPECT_EQ(a.ColumnNames(),
              QStringList({"m_Channel", "m_MinAlarmScale", "m_MaxAlarmScale", "m_AlarmSetPoint", "m_Isteresi",
                           "m_RitAttivazione", "m_RitDisattivazione", "m_AlarmType", "m_RelayStatus", "m_AlarmColor"}));

    // Only the names ending in 1 to 4 number an alarm.
    for (const char *name : {"CAlarm", "CAlarm0", "CAlarm5", "", "CAlarmX"}) {
        SCOPED_TRACE(name);
        a.SetClassName(QLatin1String(name));
        MemMapWords map{};
        MemMapAuxLines lines = NoSendLines();
        ReportRecordset report;
        EXPECT_THROW(a.GetMemoryMap(*ModInstr(0), map), ProgramError);
        EXPECT_THROW(a.GetMemoryMapAux(*ModInstr(0), lines), ProgramError);
        EXPECT_THROW(a.SetReport(report), ProgramError);
        EXPECT_EQ(report.Count(), 0u);
    }
    for (int n = 1; n <= 4; ++n) {
        a.SetClassName(QStringLiteral("CAlarm%1").arg(n));
        EXPECT_EQ(a.AlarmNumber(), n);
    }
}

TEST(Alarm, WordsAtFirstAndLastAlarm)
{
    struct Case {
        std::int16_t slotA;
        int n;
    };
    const Case cases[] = {{0, 1}, {3, 4}, {6, 1}, {6, 4}, {4, 1}, {5, 4}, {7, 1}, {-1, 4}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "slot A " << c.slotA << " alarm " << c.n);
        const auto a = Alarm(c.n);
        const auto mod = ModInstr(c.slotA);
        MemMapWords map{};
        a->GetMemoryMap(*mod, map);

        const auto k = static_cast<std::size_t>(c.n - 1);
        MemMapWords expected{};
        const bool base = c.slotA >= 0 && (c.slotA <= 3 || c.slotA == 6);
        const bool freq = c.slotA == 4 || c.slotA == 5;
        if (base) {
            const std::size_t w = 45 + 9 * k;
            expected[w] = -2;
            expected[w + 1] = 9999;
            expected[w + 2] = Lo(40000);
            expected[w + 3] = Lo(-70000);
            expected[w + 4] = 7; // deactivation delay first
            expected[w + 5] = 5;
            expected[w + 6] = 0;
            expected[w + 7] = 4;
            if (c.slotA != 6)
                expected[w + 8] = 2;
        } else if (freq) {
            const std::size_t s = 178 + 6 * k, w = 202 + 14 * k;
            expected[s] = -2;
            expected[s + 1] = -1;
            expected[s + 2] = 9999;
            expected[s + 4] = Lo(40000);
            expected[s + 5] = Hi(40000);
            expected[w] = Lo(-70000);
            expected[w + 1] = Hi(-70000);
            expected[w + 2] = 1;
            expected[w + 4] = 7;
            expected[w + 6] = 5;
            expected[w + 8] = 0;
            expected[w + 10] = 4;
            expected[w + 12] = 2;
        }
        EXPECT_EQ(map, expected);

        // Reading back into a fresh alarm of the same number.
        CAlarm read;
        read.SetClassName(a->ClassName());
        read.SetUserSetup(*mod, map);
        EXPECT_EQ(read.Channel(), freq ? 1 : 0);
        EXPECT_EQ(read.MinAlarmScale(), base || freq ? -2 : 0);
        EXPECT_EQ(read.AlarmSetPoint(), freq ? 40000 : base ? Lo(40000) : 0);
        EXPECT_EQ(read.Isteresi(), freq ? -70000 : base ? Lo(-70000) : 0);
        EXPECT_EQ(read.RitDisattivazione(), base || freq ? 7 : 0);
        EXPECT_EQ(read.RitAttivazione(), base || freq ? 5 : 0);
        EXPECT_EQ(read.RelayStatus(), base || freq ? 0 : 1);
        EXPECT_EQ(read.AlarmType(), base || freq ? 4 : 0);
        EXPECT_EQ(read.AlarmColor(), (base && c.slotA != 6) || freq ? 2 : 3);
    }
}

TEST_F(AlarmScales, LinesOnlyForTheAlarmsOfTheFittedRelays)
{
    struct Case {
        std::int16_t slotC;
        bool fitted[4];
    };
    const Case cases[] = {
        {0, {false, false, false, false}}, {1, {true, false, false, false}},  {2, {true, true, false, false}},
        {3, {true, true, true, true}},     {4, {false, false, false, false}}, {5, {false, false, false, false}},
    };
    for (const Case &c : cases) {
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(testing::Message() << "slot C " << c.slotC << " alarm " << n);
            const bool fitted = c.fitted[n - 1];
            EXPECT_EQ(CAlarm::RelayFitted(c.slotC, static_cast<std::int16_t>(n)), fitted);
            for (std::int16_t slotA : {1, 5}) {
                const auto mod = ModInstr(slotA, 3, c.slotC);
                MemMapAuxLines lines = NoSendLines();
                Alarm(n)->GetMemoryMapAux(*mod, lines);
                int written = 0;
                for (const QString &l : lines)
                    written += l != QStringLiteral("NoSend");
                // Eight fields, plus the channel line on the frequency modules
                // of model 3 (no colour line off model 1).
                EXPECT_EQ(written, fitted ? (slotA == 5 ? 9 : 8) : 0);

                // Reading back an instrument's reply: the alarms of relays not
                // fitted have no lines and keep their values.
                const auto read = std::make_unique<CAlarm>();
                read->SetClassName(QStringLiteral("CAlarm%1").arg(n));
                read->SetAlarmSetPoint(-9);
                TraceCapture trace;
                read->SetUserSetupAux(*mod, lines);
                EXPECT_EQ(read->AlarmSetPoint(), fitted ? 40000 : -9);
                EXPECT_EQ(read->Channel(), fitted && slotA == 5 ? 1 : 0);
                EXPECT_EQ(read->RelayStatus(), fitted ? 0 : 1);
                EXPECT_TRUE(trace.Lines().isEmpty());
            }
        }
    }
}

TEST_F(AlarmScales, LineTextsAndDecimalPoints)
{
    g_Scala->SetScalaDisplay(1, 0, 1000);        // channel A: one decimal
    g_ScalaB->SetScalaDisplay(0x10002, 0, 1000); // channel F: six digits, two decimals

    struct Case {
        const char *what;
        std::int16_t slotA, model, channel;
        int n;
        const char *setPoint; // text of 1234
        std::size_t first;    // entry of field 0
    };
    const Case cases[] = {
        {"base layout: always channel A", 0, 3, 1, 1, "123.4", 45},
        {"base layout, last alarm", 6, 1, 0, 4, "123.4", 72},
        {"frequency, model 3, channel F", 4, 3, 1, 1, "12.34", 90},
        {"frequency, model 3, channel A", 5, 3, 0, 4, "123.4", 120},
        {"frequency, other model, channel F", 5, 1, 1, 2, "123.4", 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto a = Alarm(c.n);
        a->SetModelloStrumento(c.model);
        a->SetChannel(c.channel);
        a->SetAlarmSetPoint(1234);
        a->SetIsteresi(-5);
        a->SetRitAttivazione(255);
        a->SetRelayStatus(1);
        const auto mod = ModInstr(c.slotA, c.model);
        MemMapAuxLines lines = NoSendLines();
        a->GetMemoryMapAux(*mod, lines);

        const QString sp = QStringLiteral("SP.%1>").arg(c.n);
        const bool dpF = QLatin1String(c.setPoint) == QLatin1String("12.34");
        EXPECT_EQ(lines[c.first + 2], sp + QStringLiteral("SEt=") + QLatin1String(c.setPoint));
        EXPECT_EQ(lines[c.first + 3], sp + (dpF ? QStringLiteral("HYS=-0.05") : QStringLiteral("HYS=-0.5")));
        EXPECT_EQ(lines[c.first + 4], sp + QStringLiteral("oFF.d=7"));
        EXPECT_EQ(lines[c.first + 5], sp + QStringLiteral("on.d=255"));
        EXPECT_EQ(lines[c.first + 6], sp + QStringLiteral("rLY=nd"));
        EXPECT_EQ(lines[c.first + 7], sp + QStringLiteral("ALr=uP.L"));
        EXPECT_EQ(lines[c.first + 8], c.model == 1 ? sp + QStringLiteral("CoLr=GrEn") : QStringLiteral("NoSend"));
        const bool channelLine = (c.slotA == 4 || c.slotA == 5) && c.model == 3;
        EXPECT_EQ(lines[c.first - 1], !channelLine
                                          ? QStringLiteral("NoSend")
                                          : sp + (c.channel ? QStringLiteral("Ch=Ch.F") : QStringLiteral("Ch=Ch.A")));

        // Reading back: the digits without the point are display counts.
        CAlarm read;
        read.SetClassName(a->ClassName());
        read.SetChannel(5);
        read.SetUserSetupAux(*mod, lines);
        EXPECT_EQ(read.AlarmSetPoint(), 1234);
        EXPECT_EQ(read.Isteresi(), -5);
        EXPECT_EQ(read.MinAlarmScale(), -2);
        EXPECT_EQ(read.RitDisattivazione(), 7);
        EXPECT_EQ(read.RitAttivazione(), 255);
        EXPECT_EQ(read.RelayStatus(), 1);
        EXPECT_EQ(read.AlarmType(), 4);
        EXPECT_EQ(read.AlarmColor(), c.model == 1 ? 2 : 3);
        EXPECT_EQ(read.Channel(), channelLine ? c.channel : 5);
    }
}

TEST(Alarm, ConvertersBothWays)
{
    const QStringList types{"oFF", "do", "uP", "d.do", "uP.L", "do.L"};
    const QStringList colors{"rEd", "orAn", "GrEn", "nonE"};
    for (std::int16_t code = 0; code < 6; ++code) {
        EXPECT_EQ(CAlarm::ConvAlarmType(code), types[code]);
        EXPECT_EQ(CAlarm::ConvAlarmType(types[code]), code);
    }
    for (std::int16_t code = 0; code < 4; ++code) {
        EXPECT_EQ(CAlarm::ConvAlarmColor(code), colors[code]);
        EXPECT_EQ(CAlarm::ConvAlarmColor(colors[code]), code);
    }
    struct Bad {
        std::function<void()> call;
        const char *traced;
    };
    const Bad bad[] = {
        {[] { CAlarm::ConvAlarmType(std::int16_t{6}); }, "Errore valore ConvAlarmType"},
        {[] { CAlarm::ConvAlarmType(std::int16_t{-1}); }, "Errore valore ConvAlarmType"},
        {[] { CAlarm::ConvAlarmType(QStringLiteral("OFF")); }, "Errore valore ConvAlarmType"},
        {[] { CAlarm::ConvAlarmColor(std::int16_t{4}); }, "Errore valore ConvAlarmColor"},
        {[] { CAlarm::ConvAlarmColor(QString()); }, "Errore valore ConvAlarmColor"},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.traced);
        TraceCapture trace;
        EXPECT_THROW(b.call(), SetupReadError);
        EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QLatin1String(b.traced)});
    }
}

TEST(Alarm, BadLinesFailTheReadAndChangeNothing)
{
    const QStringList good{"SP.2>Lo.S=0", "SP.2>Hi.S=100.0", "SP.2>SEt=5",  "SP.2>HYS=1",   "SP.2>oFF.d=0",
                           "SP.2>on.d=0", "SP.2>rLY=nE",     "SP.2>ALr=do", "SP.2>CoLr=rEd"};
    struct Case {
        int field;
        const char *value; // replaces the value of that field
    };
    const Case cases[] = {{0, ""}, {2, "1,5"}, {4, "300000"}, {7, "Up"}, {8, "red"}, {3, "-"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        MemMapAuxLines lines = NoSendLines();
        for (qsizetype i = 0; i < good.size(); ++i)
            lines[static_cast<std::size_t>(i)] = good[i];
        lines[static_cast<std::size_t>(c.field)] =
            good[c.field].section(QLatin1Char('='), 0, 0) + QLatin1Char('=') + QLatin1String(c.value);
        const auto a = Alarm(2);
        TraceCapture trace;
        EXPECT_THROW(a->SetUserSetupAux(*ModInstr(0, 1, 2), lines), SetupReadError);
        EXPECT_EQ(a->MinAlarmScale(), -2);
        EXPECT_EQ(a->AlarmColor(), 2);
    }
    // The same lines without the faults read fine.
    MemMapAuxLines lines = NoSendLines();
    for (qsizetype i = 0; i < good.size(); ++i)
        lines[static_cast<std::size_t>(i)] = good[i];
    const auto a = Alarm(2);
    a->SetUserSetupAux(*ModInstr(0, 1, 2), lines);
    EXPECT_EQ(a->MaxAlarmScale(), 1000);
    EXPECT_EQ(a->AlarmColor(), 0);
}

TEST_F(AlarmScales, ReportRows)
{
    g_Scala->SetScalaDisplay(2, 0, 1000);
    g_ScalaB->SetScalaDisplay(0, 0, 1000);
    const QString dp = QLocale().decimalPoint();

    // A fresh alarm 3 on model 1.
    {
        CAlarm a;
        a.SetClassName(QStringLiteral("CAlarm3"));
        a.SetModelloStrumento(1);
        a.SetAlarmSetPoint(1234);
        a.SetRitDisattivazione(5);
        ReportRecordset report;
        a.SetReport(report);
        const std::vector<std::pair<QString, QString>> expected{
            {"#SBAC#3 alarm parameters setting (SP.3)", ""},
            {"#SB#Value of minimum set-point value (Lo.S)", "0" + dp + "00"},
            {"#SB#Value of maximum set-point value (Hi.S)", "0" + dp + "00"},
            {"#SB#Set-point setting (SEt)", "12" + dp + "34"},
            {"#SB#Hysteresis (HYS)", "0" + dp + "00"},
            {"#SB#Activation delay (on.d)", "0 s."},
            {"#SB#Deactivation delay (oFF.d)", "5 s."},
            {"#SB#Alarm type (ALr)", "None (oFF)"},
            {"#SB#Relay status (rLY)", "Normally de-energized (nd)"},
            {"#SB#Display colour for alarm (coLr)", "None (nonE)"},
        };
        ASSERT_EQ(report.Count(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(report.Rows()[i].nColumn, i == 0 ? 1 : 2);
            EXPECT_EQ(report.Rows()[i].Column1, expected[i].first);
            EXPECT_EQ(report.Rows()[i].Column2, expected[i].second);
        }
    }
    // Model 3, channel F: channel row and channel F's decimal point; codes
    // outside their texts show as the lines send them.
    {
        const auto a = Alarm(1);
        a->SetModelloStrumento(3);
        a->SetChannel(7);
        a->SetRelayStatus(5);
        a->SetAlarmSetPoint(1234);
        ReportRecordset report;
        a->SetReport(report);
        ASSERT_EQ(report.Count(), 10u);
        EXPECT_EQ(report.Rows()[1].Column1, QStringLiteral("#SB#Channel (Ch)"));
        EXPECT_EQ(report.Rows()[1].Column2, QStringLiteral("Channel F (Ch.F)"));
        EXPECT_EQ(report.Rows()[4].Column2, QStringLiteral("12") + dp + QStringLiteral("34"));
        EXPECT_EQ(report.Rows()[9].Column2, QStringLiteral("Normally de-energized (nd)"));
        a->SetChannel(0);
        report.Clear();
        a->SetReport(report);
        EXPECT_EQ(report.Rows()[1].Column2, QStringLiteral("Channel A (Ch.A)"));
        EXPECT_EQ(report.Rows()[4].Column2, QStringLiteral("12") + dp + QStringLiteral("34"));
        a->SetChannel(1);
        report.Clear();
        a->SetReport(report);
        EXPECT_EQ(report.Rows()[1].Column2, QStringLiteral("Channel F (Ch.F)"));
        EXPECT_EQ(report.Rows()[4].Column2, QStringLiteral("1234"));
    }
    // A type without a text: no row at all, never half a report.
    {
        const auto a = Alarm(2);
        a->SetAlarmType(6);
        ReportRecordset report;
        TraceCapture trace;
        EXPECT_THROW(a->SetReport(report), SetupReadError);
        EXPECT_EQ(report.Count(), 0u);
    }
}

TEST(Alarm, CopyCarriesTheInstanceName)
{
    const auto a = Alarm(4);
    a->SetWPxFunction(9);
    CAlarm page;
    a->GetData(page);
    EXPECT_EQ(page.ClassName(), QStringLiteral("CAlarm4"));
    EXPECT_EQ(page.AlarmSetPoint(), 40000);
    EXPECT_EQ(page.WPxFunction(), 9);
    // Alarm 1 and alarm 2 are not the same class: nothing is copied.
    const auto other = Alarm(2);
    other->SetAlarmSetPoint(1);
    other->GetData(page);
    EXPECT_EQ(page.AlarmSetPoint(), 40000);
}

class AlarmDatabase : public ModelDatabase {};

TEST_F(AlarmDatabase, RowOfEachInstance)
{
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const auto instrument = Alarm(n);
        instrument->LoadDataFromADORS(ExistingRowCriterion(2));
        EXPECT_EQ(instrument->AlarmSetPoint(), 0);
        EXPECT_EQ(instrument->RelayStatus(), 1);
        EXPECT_EQ(instrument->AlarmColor(), 3);

        const auto saved = Alarm(n);
        saved->SetAlarmSetPoint(100000 * n);
        saved->SaveDataInADORS(NewRowCriterion(7));
        CAlarm loaded;
        loaded.SetClassName(saved->ClassName());
        loaded.LoadDataFromADORS(ExistingRowCriterion(7));
        EXPECT_EQ(loaded.AlarmSetPoint(), 100000 * n);
        EXPECT_EQ(loaded.Isteresi(), -70000);
        EXPECT_EQ(loaded.Channel(), 1);
        EXPECT_EQ(loaded.RitDisattivazione(), 7);
        EXPECT_EQ(loaded.AlarmColor(), 2);
    }
}
