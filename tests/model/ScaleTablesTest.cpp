#include "MBytes.h"
#include "ScaleTables.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct NamedTable {
    const char *name;
    const LimitiScalaElettrica *rows;
    std::size_t size;
};

template <std::size_t N>
NamedTable Named(const char *name, const std::array<LimitiScalaElettrica, N> &t)
{
    return {name, t.data(), N};
}

std::vector<NamedTable> AllRangeTables()
{
    return {Named("MVAMVB2000", g_LimitiMVAMVB2000), Named("MVAMVB1999", g_LimitiMVAMVB1999),
            Named("HVA2000", g_LimitiHVA2000),       Named("HVA1999", g_LimitiHVA1999),
            Named("TC2000", g_LimitiTC2000),         Named("TC1999", g_LimitiTC1999),
            Named("RTD2000", g_LimitiRTD2000),       Named("RTD1999", g_LimitiRTD1999),
            Named("RES2000", g_LimitiRES2000),       Named("RES1999", g_LimitiRES1999),
            Named("MVZ2000", g_LimitiMVZ2000)};
}

LimitiScalaElettrica R(std::int32_t start, std::int32_t end, std::int32_t decimals, const char *unit)
{
    return {start, end, decimals, decimals, QString::fromUtf8(unit)};
}

} // namespace

// The rows that differ from the regular pattern of their table.
TEST(ScaleTables, RowsWithSpecialLimits)
{
    InitGlobalScale();
    struct Case {
        const char *what;
        const LimitiScalaElettrica &row;
        LimitiScalaElettrica expected;
    };
    const Case cases[] = {
        {"1999-count HVA range 2 is 5.00 A", g_LimitiHVA1999[2], R(0, 500, 2, " A")},
        {"1999-count HVA range 5 is 500 V", g_LimitiHVA1999[5], R(0, 500, 0, " V")},
        {"2000-count HVA range 2", g_LimitiHVA2000[2], R(0, 5000, 3, " A")},
        {"2000-count HVA range 5", g_LimitiHVA2000[5], R(0, 5000, 1, " V")},
        {"1999-count HVA range 0 keeps 1999", g_LimitiHVA1999[0], R(0, 1999, 1, " mA")},
        {"thermocouple range 0", g_LimitiTC2000[0], R(-50, 760, 0, " °C")},
        {"thermocouple range 1 equals range 0", g_LimitiTC1999[1], R(-50, 760, 0, " °C")},
        {"thermocouple range 4", g_LimitiTC1999[4], R(350, 1750, 0, " °C")},
        {"1999-count RTD range 0 starts at -199", g_LimitiRTD1999[0], R(-199, 850, 0, " °C")},
        {"2000-count RTD range 0", g_LimitiRTD2000[0], R(-200, 850, 0, " °C")},
        {"1999-count RTD range 3", g_LimitiRTD1999[3], R(-1999, 1999, 1, " °C")},
        {"RTD range 5 is the same for both counts", g_LimitiRTD1999[5], R(-60, 180, 0, " °C")},
        {"low-signal range 0", g_LimitiMVAMVB1999[0], R(0, 1999, 1, " uA")},
        {"low-signal range 3", g_LimitiMVAMVB2000[3], R(0, 2000, 1, " mV")},
        {"resistance range 2 in KOhm", g_LimitiRES2000[2], R(0, 2000, 3, " KOhm")},
        {"1999-count resistance range 0", g_LimitiRES1999[0], R(0, 1999, 2, " Ohm")},
        {"MVZ range 2", g_LimitiMVZ2000[2], R(-3000, 3000, 2, " V")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.row, c.expected) << c.what;

    EXPECT_EQ(g_LimitiTC1999, g_LimitiTC2000);
    EXPECT_EQ(g_LimitiMVZ2000.size(), 3u);
}

// Invariants every caller relies on: one decimal point per row, four-digit
// family, a unit with its leading blank.
TEST(ScaleTables, EveryRangeRowIsWellFormed)
{
    for (const NamedTable &t : AllRangeTables()) {
        for (std::size_t i = 0; i < t.size; ++i) {
            const LimitiScalaElettrica &r = t.rows[i];
            SCOPED_TRACE(std::string(t.name) + " row " + std::to_string(i));
            EXPECT_LT(r.InizioScalaElettrica, r.FineScalaElettrica);
            EXPECT_EQ(r.DPScalaElettricaMin, r.DPScalaElettricaMax);
            EXPECT_EQ(HiWord(r.DPScalaElettricaMin), 0);
            EXPECT_GE(r.DPScalaElettricaMin, 0);
            EXPECT_LE(r.DPScalaElettricaMin, 3);
            ASSERT_GE(r.UnitaMisuraScalaElettrica.size(), 2);
            EXPECT_EQ(r.UnitaMisuraScalaElettrica[0], QLatin1Char(' '));
            EXPECT_NE(r.UnitaMisuraScalaElettrica[1], QLatin1Char(' '));
        }
    }
}
