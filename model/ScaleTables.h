#pragma once
#include <QString>
#include <array>
#include <cstdint>

// One electrical measuring range. Limits are in counts of the display: the
// shown value is counts x 10^-decimals, so (0, 2000, 1, 1, " mV") is the range
// 0.0 to 200.0 mV. The decimal-point fields are decimal-point values (low word
// the number of decimals, high word the display family).
struct LimitiScalaElettrica {
    std::int32_t InizioScalaElettrica = 0;
    std::int32_t FineScalaElettrica = 0;
    std::int32_t DPScalaElettricaMin = 0;
    std::int32_t DPScalaElettricaMax = 0;
    QString UnitaMisuraScalaElettrica; // with its leading blank (" mA")

    friend bool operator==(const LimitiScalaElettrica &, const LimitiScalaElettrica &) = default;
};

// One decimal-point format: the factor 10^-decimals, the widest display with
// that decimal point, and the number format of a value already multiplied by
// the factor.
struct DigitalPointInfo {
    float Factor = 0.0f;
    QString Sample;
    QString Spare;
    QString NumberFormat;
};

using RangeTable6 = std::array<LimitiScalaElettrica, 6>;
using RangeTable3 = std::array<LimitiScalaElettrica, 3>;

// Range tables, indexed by the range code. The 2000-count tables serve models
// 1 and 2, the 1999-count tables model 0.
extern const RangeTable6 &g_LimitiMVAMVB2000; // slot A 0 and 1 (MVA, MVB/MVC)
extern const RangeTable6 &g_LimitiMVAMVB1999;
extern const RangeTable6 &g_LimitiHVA2000; // slot A 2 (HVA)
extern const RangeTable6 &g_LimitiHVA1999;
extern const RangeTable6 &g_LimitiTC2000; // slot A 3 (GKP), probe 0, thermocouple
extern const RangeTable6 &g_LimitiTC1999;
extern const RangeTable6 &g_LimitiRTD2000; // slot A 3, probe 1, RTD
extern const RangeTable6 &g_LimitiRTD1999;
extern const RangeTable6 &g_LimitiRES2000; // slot A 3, probe 2, resistance
extern const RangeTable6 &g_LimitiRES1999;
extern const RangeTable3 &g_LimitiMVZ2000; // slot A 6 (MVZ)

// Decimal-point tables, indexed by the number of decimals.
extern const std::array<DigitalPointInfo, 4> &g_DigitalPoint4; // four digits, 0 to 3 decimals
extern const std::array<DigitalPointInfo, 6> &g_DigitalPoint6; // six digits (model 3), 0 to 5 decimals

// Fills every table above. The start routine calls it once before any window
// opens. The tables already hold the same contents from static
// initialisation, so code that runs without the start routine (tests, tools)
// never sees an empty table, and calling this again changes nothing.
void InitGlobalScale();
