#include "CRangeGKP.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <optional>

using namespace paramtest;

namespace {

struct Values {
    std::int16_t probe, cjc, temp, range, command;
};

struct Gkp : CRangeGKP {
    explicit Gkp(const Values &v)
    {
        SetProbeSelect(v.probe);
        SetCJC(v.cjc);
        SetTempCJC(v.temp);
        SetRange(v.range);
        SetDigitalInFunction(v.command);
    }
};

void ExpectValues(const CRangeGKP &r, const Values &v)
{
    EXPECT_EQ(r.ProbeSelect(), v.probe);
    EXPECT_EQ(r.CJC(), v.cjc);
    EXPECT_EQ(r.TempCJC(), v.temp);
    EXPECT_EQ(r.Range(), v.range);
    EXPECT_EQ(r.DigitalInFunction(), v.command);
}

const Values kOther{2, 1, 33, 4, 2};

} // namespace

TEST(RangeGKP, WordsAndLinesBySlotARoundTrip)
{
    struct Case {
        std::int16_t model, slotA;
        Values v;
        const char *probe, *cjc; // line values; nullptr: nothing written
    };
    const Case cases[] = {
        {1, 3, {0, 1, 23, 2, 0}, "tc", "nAn"},
        // Automatic compensation still sends and reads back the temperature.
        {0, 3, {0, 0, 40, 5, 1}, "tc", "Auto"},
        {2, 3, {1, 0, 0, 0, 2}, "rtd", "Auto"},
        {1, 3, {2, 1, 50, 3, 0}, "rESi", "nAn"},
        {1, 0, {1, 0, 7, 1, 1}, nullptr, nullptr},
        {1, 2, {1, 0, 7, 1, 1}, nullptr, nullptr},
        {1, 4, {1, 0, 7, 1, 1}, nullptr, nullptr},
        {1, 6, {1, 0, 7, 1, 1}, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " slot A " << c.slotA << " probe " << c.v.probe);
        const ModInstr mod(c.model, c.slotA);
        const Gkp written(c.v);
        const auto [map, lines] = MapAndLinesOf(written, mod);

        MemMapWords expectedMap{};
        std::map<std::size_t, QString> expectedLines;
        if (c.probe) {
            expectedMap[1] = c.v.range;
            expectedMap[2] = c.v.probe;
            expectedMap[3] = c.v.cjc;
            expectedMap[88] = c.v.command;
            expectedMap[108] = c.v.temp;
            expectedLines = {{1, QStringLiteral("inP>rAnG=r%1").arg(c.v.range + 1)},
                             {2, QStringLiteral("inP>Prob=") + QLatin1String(c.probe)},
                             {3, QStringLiteral("CJC>CJC=") + QLatin1String(c.cjc)},
                             {88, QStringLiteral("Cnd>Cnd=C%1").arg(c.v.command + 1)},
                             {108, QStringLiteral("CJC>nAn=%1").arg(c.v.temp)}};
        }
        EXPECT_EQ(map, expectedMap);
        EXPECT_EQ(SentLines(lines), expectedLines);

        // The readers set g_Scala from the configuration's model and slot A
        // with the probe as selector; with another slot-A code nothing moves.
        const LimitiScalaElettrica scale = c.probe ? RangeOf(c.model, c.slotA, c.v.range, c.v.probe) : MarkedRange();
        MarkScales();
        Gkp fromMap(kOther);
        fromMap.SetModelloStrumento(3); // the object's own context plays no part
        fromMap.SetUserSetup(mod, map);
        ExpectValues(fromMap, c.probe ? c.v : kOther);
        EXPECT_EQ(g_Scala->Limiti(), scale);

        MarkScales();
        Gkp fromLines(kOther);
        fromLines.SetUserSetupAux(mod, lines);
        ExpectValues(fromLines, c.probe ? c.v : kOther);
        EXPECT_EQ(g_Scala->Limiti(), scale);
    }
}

TEST(RangeGKP, SetElettricScaleUsesTheProbeAsSelector)
{
    Gkp r({1, 0, 0, 1, 0});
    r.SetModelloStrumento(0);
    r.SetSlotA(3);
    r.SetElettricScale();
    EXPECT_EQ(g_Scala->Limiti(), RangeOf(0, 3, 1, 1));
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 1999); // RTD, 1999 counts
}

TEST(RangeGKP, LinesReadBack)
{
    struct Case {
        const char *what;
        QStringList reply;
        std::optional<Values> read;
        const char *failText;
    };
    const QString range = QStringLiteral("inP>rAnG=r2"), probe = QStringLiteral("inP>Prob=tc"),
                  cjc = QStringLiteral("CJC>CJC=Auto"), cmd = QStringLiteral("Cnd>Cnd=C1"),
                  temp = QStringLiteral("CJC>nAn=25");
    const Case cases[] = {
        {"any order", {temp, cmd, cjc, probe, range}, Values{0, 0, 25, 1, 0}, nullptr},
        {"auto in lower case is manual", {range, probe, "CJC>CJC=auto", cmd, temp}, Values{0, 1, 25, 1, 0}, nullptr},
        {"only the last character of the range",
         {"inP>rAnG=r12", probe, cjc, cmd, temp},
         Values{0, 0, 25, 1, 0},
         nullptr},
        {"probe mnemonic is case-sensitive",
         {range, "inP>Prob=RTD", cjc, cmd, temp},
         std::nullopt,
         "Errore valore ConvProbeSelect"},
        {"resistance is rESi", {range, "inP>Prob=rES", cjc, cmd, temp}, std::nullopt, "Errore valore ConvProbeSelect"},
        {"range without a digit",
         {"inP>rAnG=r", probe, cjc, cmd, temp},
         std::nullopt,
         "Valore non valido per inP>rAnG=: \"r\""},
        {"command beyond C3",
         {range, probe, cjc, "Cnd>Cnd=C9", temp},
         std::nullopt,
         "Valore fuori tabella per m_DigitalInFunction: 8"},
        {"temperature not an integer",
         {range, probe, cjc, cmd, "CJC>nAn=2.5"},
         std::nullopt,
         "Valore numerico non valido per CJC>nAn=: \"2.5\""},
        {"no temperature line", {range, probe, cjc, cmd}, std::nullopt, "Non trovato comando CJC>nAn="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        MarkScales();
        Gkp r(kOther);
        const MemMapAuxLines lines = ReplyLines(c.reply);
        if (c.read) {
            r.SetUserSetupAux(ModInstr(1, 3), lines);
            ExpectValues(r, *c.read);
            continue;
        }
        EXPECT_THROW(r.SetUserSetupAux(ModInstr(1, 3), lines), SetupReadError);
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QString::fromUtf8(c.failText)});
        ExpectValues(r, kOther);
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
    }
}

TEST(RangeGKP, CodesOutsideTheirTables)
{
    // From the map: a read error, nothing changed.
    const std::pair<std::size_t, std::int16_t> bad[] = {{1, 6}, {2, 3}, {2, -1}, {3, 2}, {88, 3}};
    for (const auto &[word, value] : bad) {
        SCOPED_TRACE(testing::Message() << "word " << word << " = " << value);
        MemMapWords map{};
        map[word] = value;
        Gkp r(kOther);
        EXPECT_THROW(r.SetUserSetup(ModInstr(1, 3), map), SetupReadError);
        ExpectValues(r, kOther);
    }
    // A probe without a mnemonic is never sent as an empty "inP>Prob=".
    TraceCapture trace;
    MemMapAuxLines lines = NoSendLines();
    EXPECT_THROW(Gkp({3, 0, 0, 0, 0}).GetMemoryMapAux(ModInstr(1, 3), lines), SetupReadError);
    EXPECT_EQ(lines, NoSendLines());
    EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("g_Trace.BugAssert fallito: Errore valore ConvProbeSelect")});
}

TEST(RangeGKP, ReportRows)
{
    const QString probe = QStringLiteral("#SB#Probe selection (Prob)"),
                  cjc = QStringLiteral("#SB#Cold junction compensation (CJC)"),
                  cmd = QStringLiteral("#SB#External command function (Cnd)");
    struct Case {
        Values v;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {{0, 1, 23, 2, 0},
         {{probe, "Thermocouple (tc)"},
          {cjc, "Manual (nAn) 23 °C"},
          {"#SB#Thermocouple range (tc)", "K -200÷+1260 °C (r3)"},
          {cmd, "Display hold (C1)"}}},
        {{0, 0, 40, 0, 1},
         {{probe, "Thermocouple (tc)"},
          {cjc, "Automatic (Auto)"},
          {"#SB#Thermocouple range (tc)", "J -50÷+760 °C (r1)"},
          {cmd, "Keypad lock (C2)"}}},
        {{1, 1, 23, 5, 2},
         {{probe, "RTD (rtd)"},
          {"#SB#RTD Range (rtd)", "Ni100 -60÷+180 °C (r6)"},
          {cmd, "Alarm reset with latch (C3)"}}},
        {{2, 0, 0, 2, 0},
         {{probe, "Resistance (rES)"}, {"#SB#Resistance range (rtd)", "2 KOhm (r3)"}, {cmd, "Display hold (C1)"}}},
        {{3, 0, 0, 2, 3}, {{probe, "3"}, {cmd, "3"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.v.probe);
        ReportRecordset report;
        Gkp(c.v).SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }
}

TEST_F(ModelDatabase, RangeGKPRow)
{
    Gkp instrument({-1, -1, -1, -1, -1});
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    ExpectValues(instrument, {0, 0, 0, 0, 0});

    Gkp({2, 1, 45, 5, 2}).SaveDataInADORS(NewRowCriterion(8));
    CRangeGKP loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(8));
    ExpectValues(loaded, {2, 1, 45, 5, 2});

    CRangeGKP copy;
    loaded.SetSlotA(3);
    copy.SetData(loaded);
    ExpectValues(copy, {2, 1, 45, 5, 2});
    EXPECT_EQ(copy.SlotA(), 3);
}
