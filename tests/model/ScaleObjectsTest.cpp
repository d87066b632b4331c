#include "CScaleMisuraDisplay.h"
#include "ModelError.h"

#include <gtest/gtest.h>

namespace {

struct Range {
    std::int32_t start;
    std::int32_t end;
    std::int32_t dpMin;
    std::int32_t dpMax;
    const char *unit;
};

void ExpectRange(const CScaleMisuraDisplay &s, const Range &r, const std::string &what)
{
    EXPECT_EQ(s.InizioScalaElettrica(), r.start) << what;
    EXPECT_EQ(s.FineScalaElettrica(), r.end) << what;
    EXPECT_EQ(s.DPScalaElettricaMin(), r.dpMin) << what;
    EXPECT_EQ(s.DPScalaElettricaMax(), r.dpMax) << what;
    EXPECT_EQ(s.UnitaMisuraScalaElettrica(), QString::fromUtf8(r.unit)) << what;
}

// Every case starts from this range, so a choice without a table shows up as
// this range left in place.
constexpr Range kPrevious{-1999, 1999, 1, 1, " °C"};

void SetPrevious(CScaleMisuraDisplay &s)
{
    s.SetLimitiScalaElettrica(0, 3, 1, 1);
}

} // namespace

TEST(ScaleObjects, ElectricalRangeByModelAndModule)
{
    struct Case {
        std::int32_t m, s, r, p;
        Range expected;
    };
    const Case cases[] = {
        {1, 0, 3, 0, {0, 2000, 1, 1, " mV"}},
        {0, 0, 3, 0, {0, 1999, 1, 1, " mV"}},
        {2, 1, 0, 0, {0, 2000, 1, 1, " uA"}},
        {0, 2, 5, 0, {0, 500, 0, 0, " V"}},
        {1, 3, 0, 1, {-200, 850, 0, 0, " °C"}},
        {0, 3, 2, 2, {0, 1999, 3, 3, " KOhm"}},
        {2, 3, 4, 0, {350, 1750, 0, 0, " °C"}},
        {1, 6, 2, 0, {-3000, 3000, 2, 2, " V"}},
        {1, 3, 0, 3, kPrevious}, // unknown probe
        {3, 0, 3, 0, kPrevious}, // model 3 has no low-signal table
        {0, 6, 0, 0, kPrevious}, // no 1999-count MVZ table
        {1, 7, 0, 0, kPrevious},
        {4, 0, 0, 0, kPrevious},
        // Frequency/counter modules: pulses and unit code.
        {1, 4, 100, 0, {0, 500000, 0, 3, "Hz"}},
        {1, 4, 1, 0, {0, 9999000, 0, 3, "Hz"}},              // capped
        {3, 5, 1, 0, {0, 50000000, 0x10000, 0x10005, "Hz"}}, // below the model-3 cap
        {0, 5, 60, 2, {0, 9999000, 0, 3, "rpm"}},
        {1, 4, 256, 0, {0, 195312, 0, 3, "Hz"}}, // 195312.5, half to even
        {1, 4, 32, 1, {0, 1563, 0, 3, "KHz"}},   // 0.001f x 1562500 lies above the half
        {3, 4, 3, 5, {0, 59999998, 0x10000, 0x10005, "krph"}},
        {3, 4, 1, 4, {0, 999999000, 0x10000, 0x10005, "rph"}},
    };
    CScaleMisuraDisplay scale;
    for (const Case &c : cases) {
        const std::string what = "(" + std::to_string(c.m) + "," + std::to_string(c.s) + "," + std::to_string(c.r) +
                                 "," + std::to_string(c.p) + ")";
        SetPrevious(scale);
        scale.SetLimitiScalaElettrica(c.m, c.s, c.r, c.p);
        ExpectRange(scale, c.expected, what);
    }
}

TEST(ScaleObjects, CodesOutsideTheTablesAreReadErrors)
{
    struct Case {
        std::int32_t m, s, r, p;
    };
    const Case cases[] = {
        {1, 0, 6, 0}, {1, 0, -1, 0}, {0, 2, 6, 0},   {1, 3, 6, 1},    {1, 6, 3, 0},
        {1, 4, 0, 0}, {3, 5, -5, 0}, {1, 4, 100, 6}, {0, 5, 100, -1},
    };
    CScaleMisuraDisplay scale;
    for (const Case &c : cases) {
        SetPrevious(scale);
        EXPECT_THROW(scale.SetLimitiScalaElettrica(c.m, c.s, c.r, c.p), SetupReadError)
            << c.m << "," << c.s << "," << c.r << "," << c.p;
        ExpectRange(scale, kPrevious, "range kept after a failed choice");
    }
}

TEST(ScaleObjects, DigitalPointInfoOfBothFamilies)
{
    struct Case {
        std::int32_t dp;
        float factor;
        const char *sample;
        const char *format;
    };
    const Case cases[] = {
        {0, 1.0f, "1111", "###0"},
        {2, 0.01f, "11.11", "#0.00"},
        {3, 0.001f, "1.111", "0.000"},
        {0x10000, 1.0f, "111111", "#####0"},
        {0x10002, 0.01f, "1111.11", "###0.00"},
        {0x10005, 0.00001f, "1.11111", "0.00000"},
        {0x20003, 0.001f, "111.111", "##0.000"}, // any high word selects six digits
    };
    for (const Case &c : cases) {
        const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(c.dp);
        EXPECT_EQ(info.Factor, c.factor) << c.dp;
        EXPECT_EQ(info.Sample, QLatin1String(c.sample)) << c.dp;
        EXPECT_EQ(info.NumberFormat, QLatin1String(c.format)) << c.dp;
        EXPECT_TRUE(info.Spare.isEmpty()) << c.dp;
    }
    for (const std::int32_t bad : {4, 0x10006, 0xFFFF, 0x1FFFF, -1, 0x7FFF})
        EXPECT_THROW(g_Scala->GetDigitalPointInfo(bad), SetupReadError) << bad;
}

TEST(ScaleObjects, GlobalInstancesAreCreatedOnFirstUseAndKept)
{
    g_Scala.Reset();
    g_ScalaB.Reset();
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 0);
    EXPECT_TRUE(g_Scala->UnitaMisuraScalaElettrica().isEmpty());
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 0);

    g_Scala->SetLimitiScalaElettrica(1, 0, 3, 0);
    g_Scala->SetScalaDisplay(0x10002, -500, 12345);
    g_ScalaB->SetScalaDisplay(1, 0, 999);
    EXPECT_EQ(&*g_Scala, &*g_Scala);
    EXPECT_NE(&*g_Scala, &*g_ScalaB);
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 2000);
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 0x10002);
    EXPECT_EQ(g_Scala->InizioScalaDisplay(), -500);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 12345);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), 999);
    EXPECT_EQ(g_ScalaB->FineScalaElettrica(), 0);

    g_Scala.Reset();
    g_ScalaB.Reset();
    EXPECT_EQ(g_Scala->FineScalaElettrica(), 0);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), 0);
}
