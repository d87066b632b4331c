#include "CRangeMVZ.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <array>
#include <optional>

using namespace paramtest;

namespace {

using Values = std::array<std::int16_t, 7>; // master, 1C, 2C, 3C, 1D, 2D, 3D

struct Mvz : CRangeMVZ {
    explicit Mvz(const Values &v)
    {
        SetRangeMasterMVZ(v[0]);
        SetInput1C(v[1]);
        SetInput2C(v[2]);
        SetInput3C(v[3]);
        SetInput1D(v[4]);
        SetInput2D(v[5]);
        SetInput3D(v[6]);
    }
};

Values ValuesOf(const CRangeMVZ &r)
{
    return {r.RangeMasterMVZ(), r.Input1C(), r.Input2C(), r.Input3C(), r.Input1D(), r.Input2D(), r.Input3D()};
}

const Values kOther{2, 1, 1, 1, 1, 1, 1};

} // namespace

TEST(RangeMVZ, WordsAndLinesBySlotARoundTrip)
{
    // All seven values travel whatever SlotC and SlotD hold.
    const Values v{1, 0, 1, 0, 1, 1, 0};
    for (std::int16_t slotA : {6, 0, 3, 4, 5}) {
        SCOPED_TRACE(slotA);
        for (std::int16_t model : {1, 3}) {
            const ModInstr mod(model, slotA);
            Mvz written(v);
            const auto [map, lines] = MapAndLinesOf(written, mod);

            MemMapWords expectedMap{};
            std::map<std::size_t, QString> expectedLines;
            if (slotA == 6) {
                expectedMap[1] = 1;
                expectedMap[129] = expectedMap[131] = expectedMap[132] = 1;
                expectedLines = {{1, "inSA>CH0=r2"},   {128, "inSC>CH1=r1"}, {129, "inSC>CH2=r2"}, {130, "inSC>CH3=r1"},
                                 {131, "inSd>CH4=r2"}, {132, "inSd>CH5=r2"}, {133, "inSd>CH6=r1"}};
            }
            EXPECT_EQ(map, expectedMap);
            EXPECT_EQ(SentLines(lines), expectedLines);

            // Reading back hands the master range on to g_Scala, from the MVZ
            // table whatever the model; another slot-A code changes nothing.
            const LimitiScalaElettrica scale = slotA == 6 ? RangeOf(2, 6, v[0], 0) : MarkedRange();
            MarkScales();
            Mvz fromMap(kOther);
            fromMap.SetUserSetup(mod, map);
            EXPECT_EQ(ValuesOf(fromMap), slotA == 6 ? v : kOther);
            EXPECT_EQ(g_Scala->Limiti(), scale);

            MarkScales();
            Mvz fromLines(kOther);
            fromLines.SetUserSetupAux(mod, lines);
            EXPECT_EQ(ValuesOf(fromLines), slotA == 6 ? v : kOther);
            EXPECT_EQ(g_Scala->Limiti(), scale);
            EXPECT_EQ(g_ScalaB->Limiti(), MarkedRange());
        }
    }
}

TEST(RangeMVZ, SetElettricScaleUsesTheMVZTableForAnyModel)
{
    Mvz r({2, 0, 0, 0, 0, 0, 0});
    MarkScales();
    r.SetElettricScale();
    EXPECT_EQ(g_Scala->InizioScalaElettrica(), -3000);
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 3000);
    EXPECT_EQ(g_Scala->UnitaMisuraScalaElettrica(), QStringLiteral(" V"));
    EXPECT_EQ(g_ScalaB->Limiti(), MarkedRange());
}

TEST(RangeMVZ, ReadErrors)
{
    struct Case {
        const char *what;
        QStringList reply;
        std::optional<Values> read;
        const char *failText;
    };
    const QStringList good{"inSA>CH0=r3", "inSC>CH1=r1", "inSC>CH2=r2", "inSC>CH3=r1",
                           "inSd>CH4=r2", "inSd>CH5=r1", "inSd>CH6=r12"};
    QStringList noDigit = good, masterR4 = good, inputR3 = good, missing = good;
    noDigit[2] = "inSC>CH2=r";
    masterR4[0] = "inSA>CH0=r4";
    inputR3[5] = "inSd>CH5=r3";
    missing.removeAt(6);
    const Case cases[] = {
        {"only the last character counts", good, Values{2, 0, 1, 0, 1, 0, 1}, nullptr},
        {"no digit", noDigit, std::nullopt, "Valore non valido per inSC>CH2=: \"r\""},
        {"master beyond r3", masterR4, std::nullopt, "Valore fuori tabella per m_RangeMasterMVZ: 3"},
        {"input beyond r2", inputR3, std::nullopt, "Valore fuori tabella per m_Input2D: 2"},
        {"line missing", missing, std::nullopt, "Non trovato comando inSd>CH6="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        MarkScales();
        Mvz r(kOther);
        if (c.read) {
            r.SetUserSetupAux(ModInstr(1, 6), ReplyLines(c.reply));
            EXPECT_EQ(ValuesOf(r), *c.read);
            continue;
        }
        EXPECT_THROW(r.SetUserSetupAux(ModInstr(1, 6), ReplyLines(c.reply)), SetupReadError);
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QString::fromUtf8(c.failText)});
        EXPECT_EQ(ValuesOf(r), kOther);
        EXPECT_EQ(g_Scala->Limiti(), MarkedRange());
    }

    MemMapWords map{};
    map[130] = 2;
    Mvz r(kOther);
    EXPECT_THROW(r.SetUserSetup(ModInstr(1, 6), map), SetupReadError);
    EXPECT_EQ(ValuesOf(r), kOther);
}

TEST(RangeMVZ, ReportSectionsBySlotCAndSlotD)
{
    const Row master{"#SB#MVZ measuring range (CH0)", "+-200 mV DC (r2)"};
    const Row in1{"#SB#Input 1 range", "Range 1 (r1)"}, in2{"#SB#Input 2 range", "Range 2 (r2)"},
        in3{"#SB#Input 3 range", "Range 1 (r1)"};
    // The section titles: the kind of the extra inputs and their slot.
    const Row type1C{"#SBAC#MVZ extra inputs, type 1 (Slot C)", ""};
    const Row type3C{"#SBAC#MVZ extra inputs, type 3 (Slot C)", ""};
    const Row type1D{"#SBAC#MVZ extra inputs, type 1 (Slot D)", ""};
    const Row type3D{"#SBAC#MVZ extra inputs, type 3 (Slot D)", ""};
    struct Case {
        std::int16_t slotC, slotD;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {0, 0, {master}},
        {4, 1, {master}}, // BN in slot C and slot D: no extra inputs
        {5, 0, {master, type1C, in1, in2, in3}},
        {7, 4, {master, type3C, in1, in2, in3, type3D, in1, in2, in3}},
        {3, 2, {master, type1D, in1, in2, in3}},
        {8, 5, {master}}, // codes that name no module kind
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "slot C " << c.slotC << " slot D " << c.slotD);
        Mvz r({1, 0, 1, 0, 0, 1, 0});
        r.SetSlotC(c.slotC);
        r.SetSlotD(c.slotD);
        ReportRecordset report;
        r.SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }

    // The range texts of slot C's kind 2 are 5676 and 5677, whatever was
    // written for the master; a value outside the table shows as itself.
    Mvz r({3, 0, 1, 2, 0, 0, 0});
    r.SetSlotC(7);
    ReportRecordset report;
    r.SetReport(report);
    const std::vector<Row> rows = Rows(report);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].second, QStringLiteral("3"));
    EXPECT_EQ(rows[3].second, QStringLiteral("Range 2 (r2)"));
    EXPECT_EQ(rows[4].second, QStringLiteral("2"));
}

TEST_F(ModelDatabase, RangeMVZRow)
{
    Mvz instrument({-1, -1, -1, -1, -1, -1, -1});
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(ValuesOf(instrument), (Values{0, 0, 0, 0, 0, 0, 0}));

    const Values v{2, 1, 0, 1, 0, 1, 1};
    Mvz(v).SaveDataInADORS(NewRowCriterion(10));
    CRangeMVZ loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(10));
    EXPECT_EQ(ValuesOf(loaded), v);

    CRangeMVZ copy;
    loaded.SetSlotC(6);
    loaded.SetSlotD(3);
    loaded.GetData(copy);
    EXPECT_EQ(ValuesOf(copy), v);
    EXPECT_EQ(copy.SlotC(), 6);
    EXPECT_EQ(copy.SlotD(), 3);
}
