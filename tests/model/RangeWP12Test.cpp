#include "CCollDatiSetup.h"
#include "CRangeWP12.h"
#include "CollectionTestSupport.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <optional>

using namespace paramtest;

namespace {

struct Values {
    std::int16_t function, pulsesA, unitA, pulsesB, unitB, command;
};

struct Wp12 : CRangeWP12 {
    explicit Wp12(const Values &v)
    {
        SetWPxFunction(v.function);
        SetImpGiroA(v.pulsesA);
        SetUnitaIngA(v.unitA);
        SetImpGiroB(v.pulsesB);
        SetUnitaIngB(v.unitB);
        SetDigitalInFunction(v.command);
    }
};

void ExpectValues(const CRangeWP12 &r, const Values &v)
{
    EXPECT_EQ(r.WPxFunction(), v.function);
    EXPECT_EQ(r.ImpGiroA(), v.pulsesA);
    EXPECT_EQ(r.UnitaIngA(), v.unitA);
    EXPECT_EQ(r.ImpGiroB(), v.pulsesB);
    EXPECT_EQ(r.UnitaIngB(), v.unitB);
    EXPECT_EQ(r.DigitalInFunction(), v.command);
}

const Values kOther{6, 77, 5, 88, 4, 3};

} // namespace

TEST(RangeWP12, WordsAndLinesBySlotAndModelRoundTrip)
{
    struct Case {
        std::int16_t model, slotA;
        Values v;
        bool written;     // slot A 4 or 5
        bool inputBLines; // model 3
    };
    const Case cases[] = {
        {1, 4, {2, 60, 2, 500, 1, 0}, true, false}, // F3 on model 1: input B in the map only
        {0, 5, {0, 1, 0, 9999, 5, 4}, true, false},
        {3, 4, {4, 100, 3, 200, 4, 1}, true, true}, // F5 on model 3: lines 5 and 6 too
        {3, 5, {10, 9999, 5, 1, 0, 2}, true, true}, // F11: Func>Func=F.11
        {3, 3, {1, 10, 1, 10, 1, 1}, false, false},
        {3, 6, {1, 10, 1, 10, 1, 1}, false, false},
        {3, 0, {1, 10, 1, 10, 1, 1}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " slot A " << c.slotA << " F" << c.v.function + 1);
        const ModInstr mod(c.model, c.slotA);
        const Wp12 written(c.v);
        MemMapWords map{};
        map[5] = map[7] = map[9] = map[11] = map[13] = map[275] = -2; // second words of the pairs
        MemMapAuxLines lines = NoSendLines();
        written.GetMemoryMap(mod, map);
        written.GetMemoryMapAux(mod, lines);

        MemMapWords expectedMap{};
        expectedMap[5] = expectedMap[7] = expectedMap[9] = expectedMap[11] = expectedMap[13] = expectedMap[275] = -2;
        std::map<std::size_t, QString> expectedLines;
        if (c.written) {
            expectedMap[4] = c.v.function;
            expectedMap[6] = c.v.pulsesA;
            expectedMap[8] = c.v.unitA;
            expectedMap[10] = c.v.pulsesB;
            expectedMap[12] = c.v.unitB;
            expectedMap[274] = c.v.command;
            expectedLines = {{2, QStringLiteral("Func>Func=F.%1").arg(c.v.function + 1)},
                             {3, QStringLiteral("InP.A>PU.A=%1").arg(c.v.pulsesA)},
                             {4, QStringLiteral("InP.A>EnG.A=r%1").arg(c.v.unitA + 1)},
                             {137, QStringLiteral("Cnd>Cnd=C%1").arg(c.v.command + 1)}};
            if (c.inputBLines) {
                expectedLines[5] = QStringLiteral("InP.F>PU.F=%1").arg(c.v.pulsesB);
                expectedLines[6] = QStringLiteral("InP.F>EnG.F=r%1").arg(c.v.unitB + 1);
            }
        }
        EXPECT_EQ(map, expectedMap);
        EXPECT_EQ(SentLines(lines), expectedLines);

        // Reading back never touches the scale objects; input B comes back
        // from the lines on model 3 only.
        MarkScales();
        Wp12 fromMap(kOther);
        fromMap.SetUserSetup(mod, map);
        ExpectValues(fromMap, c.written ? c.v : kOther);

        Wp12 fromLines(kOther);
        fromLines.SetUserSetupAux(mod, lines);
        Values fromLinesExpected = c.written ? c.v : kOther;
        if (c.written && !c.inputBLines) {
            fromLinesExpected.pulsesB = kOther.pulsesB;
            fromLinesExpected.unitB = kOther.unitB;
        }
        ExpectValues(fromLines, fromLinesExpected);
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
        EXPECT_EQ(g_ScalaB->Limiti(), MarkedRange());
    }
}

TEST(RangeWP12, SetElettricScaleSetsBothChannelsForEveryFunction)
{
    Wp12 r({2, 100, 0, 60, 2, 0}); // F3 uses input A alone
    r.SetModelloStrumento(1);
    r.SetSlotA(4);
    r.SetElettricScale();
    EXPECT_EQ(g_Scala->Limiti(), RangeOf(1, 4, 100, 0));
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 500000);
    EXPECT_EQ(g_ScalaB->Limiti(), RangeOf(1, 4, 60, 2));

    // Input-B words of an unused input that give no range: g_ScalaB is left
    // alone on a model without input B; on model 3 they are refused naming
    // the field, before either scale changes.
    for (const Values &unused : {Values{2, 100, 0, 0, 2, 0}, Values{2, 100, 0, 60, -1, 0}}) {
        Wp12 w(unused);
        w.SetSlotA(5);
        w.SetModelloStrumento(0);
        MarkScales();
        ASSERT_NO_THROW(w.SetElettricScale());
        EXPECT_EQ(g_Scala->Limiti(), RangeOf(0, 5, 100, 0));
        EXPECT_EQ(g_ScalaB->Limiti(), MarkedRange());
        w.SetModelloStrumento(3);
        MarkScales();
        try {
            w.SetElettricScale();
            ADD_FAILURE() << "taken";
        } catch (const SetupReadError &e) {
            EXPECT_EQ(e.Field(), unused.pulsesB == 0 ? QStringLiteral("m_ImpGiroB") : QStringLiteral("m_UnitaIngB"));
            EXPECT_EQ(e.Table(), QStringLiteral("CRangeWP12"));
            EXPECT_TRUE(e.UserText().contains(QStringLiteral("Input B"))) << e.UserText().toStdString();
        }
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
    }
}

TEST(RangeWP12, LinesReadBack)
{
    struct Case {
        const char *what;
        std::int16_t model;
        QStringList reply;
        std::optional<Values> read;
        const char *failText;
    };
    const QString func = QStringLiteral("Func>Func=F.3"), puA = QStringLiteral("InP.A>PU.A=60"),
                  engA = QStringLiteral("InP.A>EnG.A=r3"), cmd = QStringLiteral("Cnd>Cnd=C2"),
                  puB = QStringLiteral("InP.F>PU.F=0089"), engB = QStringLiteral("InP.F>EnG.F=r12");
    const Case cases[] = {
        {"model 3, any order; function read whole, unit from its last character",
         3,
         {engB, puB, cmd, engA, puA, "Func>Func=F.11"},
         Values{10, 60, 2, 89, 1, 1},
         nullptr},
        {"model 1 needs no input-B lines", 1, {func, puA, engA, cmd}, Values{2, 60, 2, 88, 4, 1}, nullptr},
        {"model 3 without input B", 3, {func, puA, engA, cmd}, std::nullopt, "Non trovato comando InP.F>PU.F="},
        {"pulses of 0",
         1,
         {func, "InP.A>PU.A=0", engA, cmd},
         std::nullopt,
         "Valore fuori dai limiti per m_ImpGiroA: 0 (da 1 a 9999)"},
        {"input-B pulses of 0",
         3,
         {func, puA, engA, cmd, "InP.F>PU.F=0", engB},
         std::nullopt,
         "Valore fuori dai limiti per m_ImpGiroB: 0 (da 1 a 9999)"},
        {"unit beyond r6",
         1,
         {func, puA, "InP.A>EnG.A=r7", cmd},
         std::nullopt,
         "Valore fuori tabella per m_UnitaIngA: 6"},
        {"function F12",
         1,
         {"Func>Func=F.12", puA, engA, cmd},
         std::nullopt,
         "Valore fuori tabella per m_WPxFunction: 11"},
        {"function F0",
         1,
         {"Func>Func=F.0", puA, engA, cmd},
         std::nullopt,
         "Valore fuori tabella per m_WPxFunction: -1"},
        {"function beyond 16 bits",
         1,
         {"Func>Func=F.32768", puA, engA, cmd},
         std::nullopt,
         "Valore fuori tabella per m_WPxFunction: 32767"},
        {"function not a number",
         1,
         {"Func>Func=F.3a", puA, engA, cmd},
         std::nullopt,
         "Valore non valido per m_WPxFunction: \"3a\""},
        {"command beyond C5",
         1,
         {func, puA, engA, "Cnd>Cnd=C6"},
         std::nullopt,
         "Valore fuori tabella per m_DigitalInFunction: 5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        Wp12 r(kOther);
        const MemMapAuxLines lines = ReplyLines(c.reply);
        if (c.read) {
            r.SetUserSetupAux(ModInstr(c.model, 5), lines);
            ExpectValues(r, *c.read);
            continue;
        }
        EXPECT_THROW(r.SetUserSetupAux(ModInstr(c.model, 5), lines), SetupReadError);
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QString::fromUtf8(c.failText)});
        ExpectValues(r, kOther);
    }
}

TEST(RangeWP12, MapValuesOutsideTheirTablesAreReadErrors)
{
    const std::pair<std::size_t, std::int16_t> bad[] = {{4, 11}, {6, 0}, {6, -5}, {8, 6}, {10, 0}, {12, -1}, {274, 5}};
    for (const auto &[word, value] : bad) {
        SCOPED_TRACE(testing::Message() << "word " << word << " = " << value);
        MemMapWords map{};
        map[6] = map[10] = 1;
        map[word] = value;
        Wp12 r(kOther);
        EXPECT_THROW(r.SetUserSetup(ModInstr(3, 4), map), SetupReadError);
        ExpectValues(r, kOther);
    }
}

// Input B exists on model 3 only: on the other models its words are kept as
// the instrument holds them, so an unused input cannot fail a read.
TEST(RangeWP12, UnusedInputBWordsAreKeptAsTheyAre)
{
    MemMapWords map{};
    map[6] = 1;
    map[10] = 0;
    map[12] = -1;
    for (const std::int16_t model : {std::int16_t(0), std::int16_t(1)}) {
        Wp12 r(kOther);
        ASSERT_NO_THROW(r.SetUserSetup(ModInstr(model, 4), map)) << "model " << model;
        EXPECT_EQ(r.ImpGiroB(), 0);
        EXPECT_EQ(r.UnitaIngB(), -1);
    }
}

TEST(RangeWP12, ReportRows)
{
    const QString func = QStringLiteral("#SB#Function (Func)"),
                  inA = QStringLiteral("#SB#Pulse for revolution Input A (InP.A)"),
                  inB = QStringLiteral("#SB#Pulse for revolution Input B (InP.F)"),
                  cmd = QStringLiteral("#SB#Digital input");
    struct Case {
        std::int16_t model;
        Values v;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {3,
         {0, 60, 2, 1000, 5, 0},
         {{func, "F1=Stepped values of channels A and B"},
          {inA, "60 rpm (r3)"},
          {inB, "1000 krph (r6)"},
          {cmd, "Display hold function (C1)"}}},
        {0,
         {0, 60, 2, 1000, 5, 1},
         {{func, "F1=Stepped value of channel A"}, {inA, "60 rpm (r3)"}, {cmd, "Key-pad lock function (C2)"}}},
        {3,
         {4, 1, 0, 7, 1, 4},
         {{func, "F5=A/B"}, {inA, "1 Hz (r1)"}, {cmd, "Alarms with latch reset and reset counters function (C5)"}}},
        {1,
         {6, 9999, 1, 7, 1, 3},
         {{func, "F7=Rotation direction: channel B replicates channel A with a difference in  phase"},
          {inA, "9999 KHz (r2)"},
          {cmd, "Reset counters function (C4)"}}},
        {3, {11, 5, 6, 5, 0, 5}, {{func, "11"}, {inA, "5 6"}, {cmd, "5"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " F" << c.v.function + 1);
        Wp12 r(c.v);
        r.SetModelloStrumento(c.model);
        ReportRecordset report;
        r.SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }
}

TEST_F(ModelDatabase, RangeWP12Row)
{
    Wp12 instrument({-1, -1, -1, -1, -1, -1});
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    ExpectValues(instrument, {0, 1, 0, 1, 0, 0});

    Wp12({9, 1234, 4, 4321, 3, 4}).SaveDataInADORS(NewRowCriterion(9));
    CRangeWP12 loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(9));
    ExpectValues(loaded, {9, 1234, 4, 4321, 3, 4});

    CRangeWP12 copy;
    loaded.SetModelloStrumento(3);
    loaded.GetData(copy);
    ExpectValues(copy, {9, 1234, 4, 4321, 3, 4});
    EXPECT_EQ(copy.ModelloStrumento(), 3);
}

// The same words through a whole configuration: the setup collection hands
// the frequency ranges to the scale objects after every object it reads, so
// an unused input B must not make that step fail either.
TEST(RangeWP12, UnusedInputBDoesNotFailAnInstrumentRead)
{
    for (const std::int16_t model : {std::int16_t(0), std::int16_t(1)}) {
        SCOPED_TRACE(testing::Message() << "model " << model);
        CCollDatiSetup source;
        source.SetCodificaModuli(colltest::Coding({model, 4, 0, 0, 0}));
        source.RangeWP12().SetImpGiroA(60);
        source.RangeWP12().SetUnitaIngA(2);
        MemMapWords map{};
        for (std::int16_t i = 1; i <= CCollDatiSetup::kObjects; ++i)
            if (source.ValidData(i))
                source.SetupObjects().Item(i).GetMemoryMap(source.ModInstr(), map);
        map[10] = 0;
        map[12] = -1;

        CCollDatiSetup read;
        read.SetCodificaModuli(colltest::Coding({model, 4, 0, 0, 0}));
        ASSERT_NO_THROW(read.SetUserSetup(map));
        ExpectValues(read.RangeWP12(), {0, 60, 2, 0, -1, 0});
        EXPECT_EQ(g_Scala->Limiti(), RangeOf(model, 4, 60, 2));

        // Sending it back gives the instrument the words it held.
        MemMapWords again{};
        read.RangeWP12().GetMemoryMap(read.ModInstr(), again);
        EXPECT_EQ(again[10], 0);
        EXPECT_EQ(again[12], -1);
    }
}
