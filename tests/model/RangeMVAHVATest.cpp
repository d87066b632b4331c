#include "CRangeMVAHVA.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <optional>

using namespace paramtest;

namespace {

struct Range : CRangeMVAHVA {
    Range(std::int16_t range, std::int16_t type, std::int16_t integration, std::int16_t intTime, std::int16_t command)
    {
        SetRange(range);
        SetMeasureType(type);
        SetIntegrationTime(integration);
        SetIntTime(intTime);
        SetDigitalInFunction(command);
    }
};

struct Values {
    std::int16_t range, type, integration, intTime, command;
};

Values ValuesOf(const CRangeMVAHVA &r)
{
    return {r.Range(), r.MeasureType(), r.IntegrationTime(), r.IntTime(), r.DigitalInFunction()};
}

void ExpectValues(const CRangeMVAHVA &r, const Values &v)
{
    EXPECT_EQ(r.Range(), v.range);
    EXPECT_EQ(r.MeasureType(), v.type);
    EXPECT_EQ(r.IntegrationTime(), v.integration);
    EXPECT_EQ(r.IntTime(), v.intTime);
    EXPECT_EQ(r.DigitalInFunction(), v.command);
}

} // namespace

TEST(RangeMVAHVA, WordsAndLinesBySlotARoundTrip)
{
    struct Case {
        std::int16_t model, slotA;
        Values written;
        const char *range, *type, *time, *command; // line values; nullptr: nothing written
        std::int16_t word3;
        Values read; // what both readers give back
    };
    const Case cases[] = {
        // Automatic: 999 and "99.9" whatever IntTime holds; it reads back as 1000.
        {1, 0, {0, 0, 0, 1500, 0}, "r1", "trnS", "99.9", "C1", 999, {0, 0, 0, 1000, 0}},
        {0, 1, {3, 1, 1, 1000, 1}, "r4", "dC", "100.0", "C2", 1000, {3, 1, 1, 1000, 1}},
        {2, 2, {5, 1, 1, 9999, 2}, "r6", "dC", "999.9", "C3", 9999, {5, 1, 1, 9999, 2}},
        // Any non-zero IntegrationTime is manual when writing.
        {1, 2, {2, 0, 2, 1234, 0}, "r3", "trnS", "123.4", "C1", 1234, {2, 0, 1, 1234, 0}},
        {1, 3, {2, 0, 1, 1234, 0}, nullptr, nullptr, nullptr, nullptr, 0, {}},
        {1, 4, {2, 0, 1, 1234, 0}, nullptr, nullptr, nullptr, nullptr, 0, {}},
        {1, 6, {2, 0, 1, 1234, 0}, nullptr, nullptr, nullptr, nullptr, 0, {}},
        {1, -1, {2, 0, 1, 1234, 0}, nullptr, nullptr, nullptr, nullptr, 0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " slot A " << c.slotA);
        const ModInstr mod(c.model, c.slotA);
        const Range written(c.written.range, c.written.type, c.written.integration, c.written.intTime,
                            c.written.command);
        const auto [map, lines] = MapAndLinesOf(written, mod);

        std::map<std::size_t, QString> expectedLines;
        if (c.range) {
            expectedLines = {{1, QStringLiteral("inP>rAnG=") + QLatin1String(c.range)},
                             {2, QStringLiteral("inP>tYPE=") + QLatin1String(c.type)},
                             {3, QStringLiteral("inP>int.t=") + QLatin1String(c.time)},
                             {88, QStringLiteral("Cnd>Cnd=") + QLatin1String(c.command)}};
            MemMapWords expectedMap{};
            expectedMap[1] = c.written.range;
            expectedMap[2] = c.written.type;
            expectedMap[3] = c.word3;
            expectedMap[88] = c.written.command;
            EXPECT_EQ(map, expectedMap);
        } else {
            EXPECT_EQ(map, MemMapWords{});
        }
        EXPECT_EQ(SentLines(lines), expectedLines);

        // Reading back; with another slot-A code the readers change nothing,
        // g_Scala included.
        MarkScales();
        Range fromMap(4, 1, 1, 4321, 2);
        const Values before = ValuesOf(fromMap);
        fromMap.SetUserSetup(mod, map);
        ExpectValues(fromMap, c.range ? c.read : before);
        EXPECT_EQ(g_Scala->Limiti(), c.range ? RangeOf(c.model, c.slotA, c.read.range, 0) : MarkedRange());

        MarkScales();
        Range fromLines(4, 1, 1, 4321, 2);
        fromLines.SetUserSetupAux(mod, lines);
        ExpectValues(fromLines, c.range ? c.read : before);
        EXPECT_EQ(g_Scala->Limiti(), c.range ? RangeOf(c.model, c.slotA, c.read.range, 0) : MarkedRange());
    }
}

TEST(RangeMVAHVA, IntegrationTimeWordReadsBack)
{
    struct Case {
        std::int16_t word;
        std::int16_t integration, intTime;
    };
    const Case cases[] = {{999, 0, 1000},  {0, 0, 1000},    {-1, 0, 1000},  {-32768, 0, 1000},
                          {1000, 1, 1000}, {1001, 1, 1001}, {9999, 1, 9999}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.word);
        MemMapWords map{};
        map[3] = c.word;
        Range r(0, 0, 1, 5555, 0);
        r.SetUserSetup(ModInstr(1, 0), map);
        EXPECT_EQ(r.IntegrationTime(), c.integration);
        EXPECT_EQ(r.IntTime(), c.intTime);
    }
}

TEST(RangeMVAHVA, ReadersTakeModelAndSlotFromTheModInstrPassed)
{
    // The object's own context says model 0 / HVA; the configuration is
    // model 1 with MVA: range 3 is then 0.0..200.0 mV of 2000 counts.
    const LimitiScalaElettrica expected = RangeOf(1, 0, 3, 0);
    ASSERT_EQ(expected.FineScalaElettrica, 2000);
    ASSERT_EQ(expected.UnitaMisuraScalaElettrica, QStringLiteral(" mV"));

    CRangeMVAHVA r;
    r.SetModelloStrumento(0);
    r.SetSlotA(2);
    MemMapWords map{};
    map[1] = 3;
    g_Scala->SetLimitiScalaElettrica(0, 2, 0, 0);
    r.SetUserSetup(ModInstr(1, 0), map);
    EXPECT_EQ(g_Scala->Limiti(), expected);

    g_Scala->SetLimitiScalaElettrica(0, 2, 0, 0);
    r.SetUserSetupAux(ModInstr(1, 0), ReplyLines({"inP>rAnG=r4", "inP>tYPE=dC", "inP>int.t=99.9", "Cnd>Cnd=C1"}));
    EXPECT_EQ(g_Scala->Limiti(), expected);

    // SetElettricScale uses the object's own context.
    r.SetElettricScale();
    EXPECT_EQ(g_Scala->Limiti(), RangeOf(0, 2, 3, 0));
}

TEST(RangeMVAHVA, LinesReadBack)
{
    struct Case {
        const char *what;
        QStringList reply;
        std::optional<Values> read;
        const char *failText; // the traced failed check
    };
    const QString type = QStringLiteral("inP>tYPE=trnS"), time = QStringLiteral("inP>int.t=99.9"),
                  cmd = QStringLiteral("Cnd>Cnd=C2");
    const Case cases[] = {
        {"any order and case",
         {"CND>cnd=C3", "INP>INT.T=250.0", "inp>type=dC", "inp>rang=r2"},
         Values{1, 1, 1, 2500, 2},
         nullptr},
        {"999.9 is manual", {"inP>rAnG=r1", type, "inP>int.t=999.9", cmd}, Values{0, 0, 1, 9999, 1}, nullptr},
        {"99.9 is automatic", {"inP>rAnG=r1", type, time, cmd}, Values{0, 0, 0, 1000, 1}, nullptr},
        {"only the last character of the range", {"inP>rAnG=r12", type, time, cmd}, Values{1, 0, 0, 1000, 1}, nullptr},
        {"measure type is case-sensitive",
         {"inP>rAnG=r1", "inP>tYPE=TRNS", time, cmd},
         Values{0, 1, 0, 1000, 1},
         nullptr},
        {"range without a digit",
         {"inP>rAnG=rX", type, time, cmd},
         std::nullopt,
         "Valore non valido per inP>rAnG=: \"rX\""},
        {"empty range", {"inP>rAnG=", type, time, cmd}, std::nullopt, "Valore non valido per inP>rAnG=: \"\""},
        {"range beyond r6", {"inP>rAnG=r7", type, time, cmd}, std::nullopt, "Valore fuori tabella per m_Range: 6"},
        {"command beyond C3",
         {"inP>rAnG=r1", type, time, "Cnd>Cnd=C4"},
         std::nullopt,
         "Valore fuori tabella per m_DigitalInFunction: 3"},
        {"time not a number",
         {"inP>rAnG=r1", type, "inP>int.t=1OO.0", cmd},
         std::nullopt,
         "Valore numerico non valido per inP>int.t=: \"1OO0\""},
        {"no time line", {"inP>rAnG=r1", type, cmd}, std::nullopt, "Non trovato comando inP>int.t="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        MarkScales();
        Range r(4, 1, 1, 4321, 2);
        const MemMapAuxLines lines = ReplyLines(c.reply);
        if (c.read) {
            r.SetUserSetupAux(ModInstr(1, 1), lines);
            ExpectValues(r, *c.read);
            continue;
        }
        EXPECT_THROW(r.SetUserSetupAux(ModInstr(1, 1), lines), SetupReadError);
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QString::fromUtf8(c.failText)});
        ExpectValues(r, {4, 1, 1, 4321, 2});
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
    }
}

TEST(RangeMVAHVA, MapCodesOutsideTheirTablesAreReadErrors)
{
    const std::pair<std::size_t, std::int16_t> bad[] = {{1, 6}, {1, -1}, {2, 2}, {88, 3}};
    for (const auto &[word, value] : bad) {
        SCOPED_TRACE(testing::Message() << "word " << word << " = " << value);
        MemMapWords map{};
        map[word] = value;
        MarkScales();
        Range r(4, 1, 1, 4321, 2);
        EXPECT_THROW(r.SetUserSetup(ModInstr(1, 0), map), SetupReadError);
        ExpectValues(r, {4, 1, 1, 4321, 2});
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
    }
}

TEST(RangeMVAHVA, ReportRows)
{
    struct Case {
        std::int16_t slotA;
        Values v;
        std::vector<Row> rows;
    };
    const QString mode = QStringLiteral("#SB#Measuring mode (tYPE)"),
                  time = QStringLiteral("#SB#Integration time (int.t)"),
                  range = QStringLiteral("#SB#Measuring range (rAnG)"),
                  cmd = QStringLiteral("#SB#External command (Cnd)");
    const QString manual = QStringLiteral("Manual 150") + QLocale().decimalPoint() + QStringLiteral("0 ms");
    const Case cases[] = {
        {0,
         {0, 0, 0, 1500, 0},
         {{mode, "TRMS measure (trnS)"},
          {time, "Automatic (Auto)"},
          {range, "200 uA (r1)"},
          {cmd, "Display hold function (C1)"}}},
        {1,
         {5, 1, 1, 1500, 1},
         {{mode, "DC measure (dC)"}, {time, manual}, {range, "20 V (r6)"}, {cmd, "Key-pad lock function (C2)"}}},
        {2,
         {2, 0, 0, 1000, 2},
         {{mode, "TRMS measure (trnS)"},
          {time, "Automatic (Auto)"},
          {range, "5 A (r3)"},
          {cmd, "Alarm with latch reset function"}}},
        // Only slot A 2 shows the high-signal ranges.
        {3,
         {2, 0, 0, 1000, 0},
         {{mode, "TRMS measure (trnS)"},
          {time, "Automatic (Auto)"},
          {range, "20 mA (r3)"},
          {cmd, "Display hold function (C1)"}}},
        // Codes outside the tables show as themselves.
        {2, {6, 2, 2, 1000, 3}, {{mode, "2"}, {time, "2"}, {range, "6"}, {cmd, "3"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.slotA);
        Range r(c.v.range, c.v.type, c.v.integration, c.v.intTime, c.v.command);
        r.SetSlotA(c.slotA);
        ReportRecordset report;
        r.SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }
}

TEST_F(ModelDatabase, RangeMVAHVARow)
{
    Range instrument(-1, -1, -1, -1, -1);
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    ExpectValues(instrument, {0, 0, 0, 1000, 0});

    Range saved(5, 1, 1, 2345, 2);
    saved.SetModelloStrumento(3); // context: never stored
    saved.SaveDataInADORS(NewRowCriterion(7));
    CRangeMVAHVA loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(7));
    ExpectValues(loaded, {5, 1, 1, 2345, 2});
    EXPECT_EQ(loaded.ModelloStrumento(), 0);

    CRangeMVAHVA copy;
    loaded.SetSlotA(2);
    loaded.GetData(copy);
    ExpectValues(copy, {5, 1, 1, 2345, 2});
    EXPECT_EQ(copy.SlotA(), 2);
}
