#include "ScaleTables.h"

namespace {

LimitiScalaElettrica Row(std::int32_t start, std::int32_t end, std::int32_t decimals, const char *unit)
{
    return {start, end, decimals, decimals, QString::fromUtf8(unit)};
}

// Low-signal ranges; the 1999-count table has 1999 wherever this one has 2000.
RangeTable6 MVAMVB(std::int32_t counts)
{
    return {Row(0, counts, 1, " uA"), Row(0, counts, 3, " mA"), Row(0, counts, 2, " mA"),
            Row(0, counts, 1, " mV"), Row(0, counts, 3, " V"),  Row(0, counts, 2, " V")};
}

RangeTable6 HVA2000()
{
    return {Row(0, 2000, 1, " mA"), Row(0, 2000, 3, " A"), Row(0, 5000, 3, " A"),
            Row(0, 2000, 2, " V"),  Row(0, 2000, 1, " V"), Row(0, 5000, 1, " V")};
}

// Ranges 2 and 5 of the 1999-count display are 5.00 A and 500 V: a 5000-count
// end does not fit in 1999 counts, so they lose one decimal instead.
RangeTable6 HVA1999()
{
    return {Row(0, 1999, 1, " mA"), Row(0, 1999, 3, " A"), Row(0, 500, 2, " A"),
            Row(0, 1999, 2, " V"),  Row(0, 1999, 1, " V"), Row(0, 500, 0, " V")};
}

// Thermocouple ranges are the same for both counts.
RangeTable6 TC()
{
    return {Row(-50, 760, 0, " °C"),   Row(-50, 760, 0, " °C"),  Row(-200, 1260, 0, " °C"),
            Row(-200, 1000, 0, " °C"), Row(350, 1750, 0, " °C"), Row(-200, 400, 0, " °C")};
}

RangeTable6 RTD(std::int32_t counts, std::int32_t start0)
{
    const LimitiScalaElettrica tenths = Row(-counts, counts, 1, " °C");
    return {Row(start0, 850, 0, " °C"), tenths, tenths, tenths, tenths, Row(-60, 180, 0, " °C")};
}

RangeTable6 RES(std::int32_t counts)
{
    return {Row(0, counts, 2, " Ohm"),  Row(0, counts, 1, " Ohm"),  Row(0, counts, 3, " KOhm"),
            Row(0, counts, 2, " KOhm"), Row(0, counts, 2, " KOhm"), Row(0, counts, 2, " KOhm")};
}

RangeTable3 MVZ2000()
{
    return {Row(-2000, 2000, 2, " mA"), Row(-2000, 2000, 1, " mV"), Row(-3000, 3000, 2, " V")};
}

DigitalPointInfo Point(float factor, const char *sample, const char *format)
{
    return {factor, QString::fromLatin1(sample), QString(), QString::fromLatin1(format)};
}

std::array<DigitalPointInfo, 4> DigitalPoint4()
{
    return {Point(1.0f, "1111", "###0"), Point(0.1f, "111.1", "##0.0"), Point(0.01f, "11.11", "#0.00"),
            Point(0.001f, "1.111", "0.000")};
}

std::array<DigitalPointInfo, 6> DigitalPoint6()
{
    return {Point(1.0f, "111111", "#####0"),      Point(0.1f, "11111.1", "####0.0"),
            Point(0.01f, "1111.11", "###0.00"),   Point(0.001f, "111.111", "##0.000"),
            Point(0.0001f, "11.1111", "#0.0000"), Point(0.00001f, "1.11111", "0.00000")};
}

// The storage behind the read-only references of the header.
RangeTable6 s_MVAMVB2000 = MVAMVB(2000);
RangeTable6 s_MVAMVB1999 = MVAMVB(1999);
RangeTable6 s_HVA2000 = HVA2000();
RangeTable6 s_HVA1999 = HVA1999();
RangeTable6 s_TC2000 = TC();
RangeTable6 s_TC1999 = TC();
RangeTable6 s_RTD2000 = RTD(2000, -200);
RangeTable6 s_RTD1999 = RTD(1999, -199);
RangeTable6 s_RES2000 = RES(2000);
RangeTable6 s_RES1999 = RES(1999);
RangeTable3 s_MVZ2000 = MVZ2000();
std::array<DigitalPointInfo, 4> s_DigitalPoint4 = DigitalPoint4();
std::array<DigitalPointInfo, 6> s_DigitalPoint6 = DigitalPoint6();

void InitScaleTables2000()
{
    s_MVAMVB2000 = MVAMVB(2000);
    s_HVA2000 = HVA2000();
    s_TC2000 = TC();
    s_RTD2000 = RTD(2000, -200);
    s_RES2000 = RES(2000);
    s_MVZ2000 = MVZ2000();
}

void InitScaleTables1999()
{
    s_MVAMVB1999 = MVAMVB(1999);
    s_HVA1999 = HVA1999();
    s_TC1999 = TC();
    s_RTD1999 = RTD(1999, -199);
    s_RES1999 = RES(1999);
}

} // namespace

const RangeTable6 &g_LimitiMVAMVB2000 = s_MVAMVB2000;
const RangeTable6 &g_LimitiMVAMVB1999 = s_MVAMVB1999;
const RangeTable6 &g_LimitiHVA2000 = s_HVA2000;
const RangeTable6 &g_LimitiHVA1999 = s_HVA1999;
const RangeTable6 &g_LimitiTC2000 = s_TC2000;
const RangeTable6 &g_LimitiTC1999 = s_TC1999;
const RangeTable6 &g_LimitiRTD2000 = s_RTD2000;
const RangeTable6 &g_LimitiRTD1999 = s_RTD1999;
const RangeTable6 &g_LimitiRES2000 = s_RES2000;
const RangeTable6 &g_LimitiRES1999 = s_RES1999;
const RangeTable3 &g_LimitiMVZ2000 = s_MVZ2000;
const std::array<DigitalPointInfo, 4> &g_DigitalPoint4 = s_DigitalPoint4;
const std::array<DigitalPointInfo, 6> &g_DigitalPoint6 = s_DigitalPoint6;

void InitGlobalScale()
{
    InitScaleTables2000();
    InitScaleTables1999();
    s_DigitalPoint4 = DigitalPoint4();
    s_DigitalPoint6 = DigitalPoint6();
}
