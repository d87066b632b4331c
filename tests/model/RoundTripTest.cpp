// Whole configurations through the two roads to an instrument: every valid
// object of one collection writes its memory-map words (or auxiliary lines)
// in collection order, every object of a second collection reads them back,
// the second is stored and loaded again, and the loaded collection must then
// hold the configuration of the first.
#include "CAlarm.h"
#include "CAnalogOut.h"
#include "CCollDatiSetup.h"
#include "CCounterAB.h"
#include "CDisplay.h"
#include "CFiltroDigitale.h"
#include "CInOutScale.h"
#include "CLinearize.h"
#include "CModInstr.h"
#include "CRangeGKP.h"
#include "CRangeMVAHVA.h"
#include "CRangeMVZ.h"
#include "CRangeWP12.h"
#include "CScaleMisuraDisplay.h"
#include "CSerialComm.h"
#include "CollectionTestSupport.h"
#include "MErrors.h"
#include "MemMapLayout.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>
#include <cctype>
#include <functional>

using colltest::Modules;

namespace {

enum class Road { MemoryMap, AuxLines };

struct Configuration {
    const char *what;
    Modules modules;
    // Sets the values of the groups that apply to the modules; the others
    // keep the values of a new collection.
    std::function<void(CCollDatiSetup &)> set;
};

bool isFrequency(const Modules &m)
{
    return m.a == 4 || m.a == 5;
}

// A curve of n points rising from `in0`/`out0`.
void SetCurve(CLinearize &curve, int n, std::int32_t in0, std::int32_t inStep, std::int32_t out0, std::int32_t outStep)
{
    curve.SetNumSpezzate(static_cast<std::int16_t>(n));
    for (int i = 0; i < n; ++i) {
        curve.SetCoordinateIn(static_cast<std::int16_t>(i), in0 + i * inStep);
        curve.SetCoordinateOut(static_cast<std::int16_t>(i), out0 + i * outStep);
    }
}

void SetDisplayScale(CInOutScale &scale, std::int32_t dp, std::int32_t lo, std::int32_t hi, std::int16_t lin)
{
    scale.SetMeasureDigitalPoint(dp);
    scale.SetMinMeasureScale(lo);
    scale.SetMaxMeasureScale(hi);
    scale.SetLinearizzazione(lin);
}

void SetElectricScale(CInOutScale &scale, std::int32_t dp, std::int32_t lo, std::int32_t hi)
{
    scale.SetElectricDigitalPoint(dp);
    scale.SetMinElectricScale(lo);
    scale.SetMaxElectricScale(hi);
}

// The groups every configuration has, by its modules: display, the alarms
// of the relay module, the analogue output of a BN, the filter and the
// serial output of a QD or QE.
void SetCommonGroups(CCollDatiSetup &c, const Modules &m)
{
    const bool freq = isFrequency(m);
    c.ModInstr().SetNomeProgramma(QStringLiteral("Linea 3 forno"));
    if (m.model != 2) {
        c.Display().SetPassword(1234);
        c.Display().SetDisplayColor(m.model == 1 ? 1 : 2);
    }
    for (int n = 1; n <= 4; ++n) {
        if (!CAlarm::RelayFitted(m.c, static_cast<std::int16_t>(n)))
            continue;
        CAlarm &a = c.Alarm(n);
        const std::int32_t scale = freq ? 1000 : 1;
        a.SetMinAlarmScale(-150 * scale + n);
        a.SetMaxAlarmScale(1800 * scale + n);
        a.SetAlarmSetPoint((900 + 10 * n) * scale);
        a.SetIsteresi(5 + n);
        a.SetRitAttivazione(static_cast<std::int16_t>(10 + n));
        a.SetRitDisattivazione(static_cast<std::int16_t>(20 + n));
        a.SetAlarmType(static_cast<std::int16_t>(n));
        a.SetRelayStatus(static_cast<std::int16_t>(n % 2));
        // The alarm colour is a setting of model 1 (and not of the master input).
        if (m.model == 1 && m.a != 6)
            a.SetAlarmColor(static_cast<std::int16_t>(n - 1));
        if (freq && m.model == 3)
            a.SetChannel(static_cast<std::int16_t>(n % 2));
    }
    if (m.b == 3 || m.c == 4 || m.d == 1) {
        c.AnalogOut().SetMinOut(55);
        c.AnalogOut().SetMaxOut(955);
        c.AnalogOut().SetTypeSignalOut(1);
        if (freq && m.model == 3)
            c.AnalogOut().SetChannel(1);
    }
    c.FiltroDigitale().SetCampo(125);
    c.FiltroDigitale().SetCoeff(8);
    if (m.b == 1 || m.b == 2) {
        c.SerialComm().SetNetworkAdd(17);
        c.SerialComm().SetBaudRate(2);
    }
}

const std::vector<Configuration> &Configurations()
{
    static const std::vector<Configuration> configurations = {
        {"model 1, MVA r4 TRMS automatic, QD, Y2, no curve",
         {1, 0, 1, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeMVAHVA().SetRange(3);
             c.RangeMVAHVA().SetDigitalInFunction(1);
             SetDisplayScale(c.InOutScale(), 1, -1000, 1999, 0);
         }},
        {"model 0, MVB r2 DC manual time, curve of 5 points, BN in B, Y4/Y5",
         {0, 1, 3, 3, 0},
         [](CCollDatiSetup &c) {
             c.Display().SetDisplayDigit(1);
             c.RangeMVAHVA().SetRange(1);
             c.RangeMVAHVA().SetMeasureType(1);
             c.RangeMVAHVA().SetIntegrationTime(1);
             c.RangeMVAHVA().SetIntTime(2500);
             c.RangeMVAHVA().SetDigitalInFunction(2);
             SetDisplayScale(c.InOutScale(), 2, 0, 1990, 1);
             SetCurve(c.Linearize(), 5, 0, 400, 0, 350);
         }},
        {"model 1, HVA r6, curve of 16 points, QE, Y1",
         {1, 2, 2, 1, 0},
         [](CCollDatiSetup &c) {
             c.RangeMVAHVA().SetRange(5);
             SetDisplayScale(c.InOutScale(), 0, -500, 1500, 1);
             SetCurve(c.Linearize(), 16, -100, 130, -500, 125);
         }},
        {"model 1, GKP thermocouple manual cold junction, QD, BN in C",
         {1, 3, 1, 4, 0},
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(0);
             c.RangeGKP().SetCJC(1);
             c.RangeGKP().SetTempCJC(23);
             c.RangeGKP().SetRange(2);
             c.RangeGKP().SetDigitalInFunction(1);
             SetDisplayScale(c.InOutScale(), 0, 0, 1200, 0);
         }},
        {"model 0, GKP RTD, Y2",
         {0, 3, 0, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(1);
             c.RangeGKP().SetRange(1);
             SetDisplayScale(c.InOutScale(), 1, -1990, 1990, 0);
         }},
        {"model 2, MVZ r2 with extra inputs in C and D, BN, curve",
         {2, 6, 3, 6, 4},
         [](CCollDatiSetup &c) {
             c.RangeMVZ().SetRangeMasterMVZ(1);
             c.RangeMVZ().SetInput1C(1);
             c.RangeMVZ().SetInput3C(1);
             c.RangeMVZ().SetInput2D(1);
             c.RangeMVZ().SetInput3D(1);
             SetDisplayScale(c.InOutScale(), 1, 0, 1000, 1);
             SetCurve(c.Linearize(), 3, 0, 900, 0, 500);
         }},
        {"model 3, GKP resistance, QD, Y2",
         {3, 3, 1, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeGKP().SetProbeSelect(2);
             c.RangeGKP().SetRange(1);
             c.RangeGKP().SetDigitalInFunction(2);
             SetDisplayScale(c.InOutScale(), 1, 0, 1500, 0);
         }},
        // A configuration moved off the counter module keeps its old function,
        // counters and channel F curve in the database; none of them applies.
        {"model 3, MVA r1 with a leftover F10 and channel F curve, Y4/Y5",
         {3, 0, 0, 3, 0},
         [](CCollDatiSetup &c) {
             c.RangeMVAHVA().SetRange(0);
             SetDisplayScale(c.InOutScale(), 1, -1000, 1000, 1);
             SetCurve(c.Linearize(), 3, -500, 500, -1000, 1000);
             c.RangeWP12().SetWPxFunction(9);
             c.CounterAB().SetMeasureDigitalPointCounterA(0x10003);
             SetDisplayScale(c.InOutScaleB(), 0x10001, 0, 5000, 1);
             SetCurve(c.LinearizeB(), 2, 0, 100, 0, 100);
         }},
        {"model 2, MVA r3, BN in D, Y1",
         {2, 0, 0, 1, 1},
         [](CCollDatiSetup &c) {
             c.RangeMVAHVA().SetRange(2);
             SetDisplayScale(c.InOutScale(), 0, 0, 1999, 0);
         }},
        {"model 1, WP1 F1 in rpm, curve, QD, Y2",
         {1, 4, 1, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(0);
             c.RangeWP12().SetImpGiroA(60);
             c.RangeWP12().SetUnitaIngA(2);
             c.RangeWP12().SetDigitalInFunction(3);
             SetElectricScale(c.InOutScale(), 1, 0, 50000);
             SetDisplayScale(c.InOutScale(), 2, 0, 250000, 1);
             SetCurve(c.Linearize(), 4, 0, 12000, 0, 60000);
         }},
        {"model 1, WP2 F4 with channel F, Y1",
         {1, 5, 0, 1, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(3);
             c.RangeWP12().SetImpGiroA(4);
             c.RangeWP12().SetUnitaIngA(1);
             SetElectricScale(c.InOutScale(), 2, 0, 100000);
             SetDisplayScale(c.InOutScale(), 1, 0, 99990, 0);
             SetElectricScale(c.InOutScaleB(), 0x10001, 0, 20000);
             SetDisplayScale(c.InOutScaleB(), 0, -100, 9000, 0);
         }},
        {"model 1, WP1 F2 with channel F, BN in C",
         {1, 4, 0, 4, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(1);
             c.RangeWP12().SetImpGiroA(6);
             c.RangeWP12().SetUnitaIngA(2);
             SetElectricScale(c.InOutScale(), 1, 0, 30000);
             SetDisplayScale(c.InOutScale(), 0, 0, 9999, 0);
             SetElectricScale(c.InOutScaleB(), 0x10001, 0, 20000);
             SetDisplayScale(c.InOutScaleB(), 1, 0, 1999, 0);
         }},
        {"model 0, WP2 F7, curve, Y2",
         {0, 5, 0, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(6);
             c.RangeWP12().SetImpGiroA(3);
             c.RangeWP12().SetUnitaIngA(1);
             SetElectricScale(c.InOutScale(), 2, 0, 5000);
             SetDisplayScale(c.InOutScale(), 1, 0, 9990, 1);
             SetCurve(c.Linearize(), 2, 0, 5000, 0, 9990);
         }},
        {"model 3, WP1 F10 both counters with channel A curve",
         {3, 4, 0, 0, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(9);
             c.RangeWP12().SetImpGiroA(12);
             c.InOutScale().SetLinearizzazione(1);
             SetCurve(c.Linearize(), 3, 0, 1000, 0, 2000);
             c.CounterAB().SetElectricDigitalPoint(0x10001);
             c.CounterAB().SetMaxElectricScale(50000);
             c.CounterAB().SetMeasureDigitalPointCounterA(0x10001);
             c.CounterAB().SetCounterAPulseWeight(10);
             c.CounterAB().SetCounterADigitalPoint(0x10000);
             c.CounterAB().SetMeasureDigitalPointCounterB(0x10000);
             c.CounterAB().SetCounterBPulseWeight(25);
             c.CounterAB().SetCounterBDigitalPoint(0x10000);
         }},
        {"model 3, WP1 F1, both curves, BN in B, Y4/Y5",
         {3, 4, 3, 3, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(0);
             c.RangeWP12().SetImpGiroA(100);
             c.RangeWP12().SetUnitaIngA(0);
             c.RangeWP12().SetImpGiroB(30);
             c.RangeWP12().SetUnitaIngB(3);
             SetElectricScale(c.InOutScale(), 0x10002, 0, 5000000);
             SetDisplayScale(c.InOutScale(), 0x10001, -50000, 999999, 1);
             SetCurve(c.Linearize(), 6, 0, 800000, -50000, 200000);
             SetElectricScale(c.InOutScaleB(), 0x10001, 100, 700000);
             SetDisplayScale(c.InOutScaleB(), 0x10003, 0, 500000, 1);
             SetCurve(c.LinearizeB(), 3, 100, 300000, 0, 250000);
         }},
        {"model 3, WP2 F8 counter A, QE",
         {3, 5, 2, 0, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(7);
             c.RangeWP12().SetImpGiroA(1);
             SetElectricScale(c.InOutScale(), 0x10001, 0, 250000);
             SetDisplayScale(c.InOutScale(), 0x10000, 0, 25000, 0);
             c.CounterAB().SetMeasureDigitalPointCounterA(0x10002);
             c.CounterAB().SetCounterAPulseWeight(1234);
             c.CounterAB().SetCounterADigitalPoint(0x10001);
         }},
        {"model 3, WP2 F9 counter B, QD, Y1",
         {3, 5, 1, 1, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(8);
             c.RangeWP12().SetImpGiroA(500);
             c.RangeWP12().SetUnitaIngA(5);
             SetElectricScale(c.InOutScale(), 0x10003, 0, 2000000);
             SetDisplayScale(c.InOutScale(), 0x10002, 0, 999999, 0);
             c.CounterAB().SetMeasureDigitalPointCounterB(0x10001);
             c.CounterAB().SetCounterBPulseWeight(99999);
             c.CounterAB().SetCounterBDigitalPoint(0x10002);
         }},
        {"model 3, WP1 F10 both counters, Y2",
         {3, 4, 0, 2, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(9);
             c.RangeWP12().SetImpGiroA(12);
             c.RangeWP12().SetUnitaIngA(4);
             c.CounterAB().SetElectricDigitalPoint(0x10001);
             c.CounterAB().SetMinElectricScale(0);
             c.CounterAB().SetMaxElectricScale(99999);
             c.CounterAB().SetMeasureDigitalPointCounterA(0x10001);
             c.CounterAB().SetCounterAPulseWeight(100000);
             c.CounterAB().SetCounterADigitalPoint(0x10003);
             c.CounterAB().SetMeasureDigitalPointCounterB(0x10000);
             c.CounterAB().SetCounterBPulseWeight(25);
             c.CounterAB().SetCounterBDigitalPoint(0x10000);
         }},
        {"model 3, WP1 F11, BN in C",
         {3, 4, 0, 4, 0},
         [](CCollDatiSetup &c) {
             c.RangeWP12().SetWPxFunction(10);
             c.RangeWP12().SetImpGiroA(2);
             c.CounterAB().SetElectricDigitalPoint(0x10002);
             c.CounterAB().SetMaxElectricScale(1000000);
             c.CounterAB().SetMeasureDigitalPointCounterA(0x10000);
             c.CounterAB().SetCounterAPulseWeight(7);
             c.CounterAB().SetCounterADigitalPoint(0x10000);
             c.CounterAB().SetMeasureDigitalPointCounterB(0x10002);
             c.CounterAB().SetCounterBPulseWeight(150);
             c.CounterAB().SetCounterBDigitalPoint(0x10001);
         }},
    };
    return configurations;
}

// The collection of a configuration as the wizard leaves it: values set,
// context pushed and, on the modules with a range table, channel A's
// electrical scale being the chosen range.
void Build(CCollDatiSetup &c, const Configuration &cfg)
{
    SetCommonGroups(c, cfg.modules);
    cfg.set(c);
    c.SetCodificaModuli(colltest::Coding(cfg.modules));
    if (!isFrequency(cfg.modules)) {
        SetElectricScale(c.InOutScale(), g_Scala->DPScalaElettricaMin(), g_Scala->InizioScalaElettrica(),
                         g_Scala->FineScalaElettrica());
        c.SetCodificaModuli(c.CodificaModuli());
    }
}

// Stored values that the road does not carry, so that the instrument cannot
// give them back; everything else must come back exactly.
std::set<QString> NotCarried(Road road, const CCollDatiSetup &c)
{
    const CModInstr &m = c.ModInstr();
    const bool freq = MemMapLayoutForSlotA(m.SlotA()) == MemMapLayout::MemMapFreqLayout;
    const std::int16_t f = c.RangeWP12().WPxFunction();
    std::set<QString> skip{QStringLiteral("CModInstr.m_NomeProgramma")};
    const auto add = [&](const QString &table, std::initializer_list<const char *> columns) {
        for (const char *col : columns)
            skip.insert(table + QStringLiteral(".m_") + QLatin1String(col));
    };
    // The alarms' and the output's channel exist on the frequency layout of
    // model 3 only (the map carries it on every frequency layout).
    if (!freq || (road == Road::AuxLines && m.ModelloStrumento() != 3)) {
        for (int n = 1; n <= 4; ++n)
            add(QStringLiteral("CAlarm%1").arg(n), {"Channel"});
        add(QStringLiteral("CAnalogOut"), {"Channel"});
    }
    if (freq && road == Road::AuxLines) {
        if (m.ModelloStrumento() != 3)
            add(QStringLiteral("CRangeWP12"), {"ImpGiroB", "UnitaIngB"});
        // Channel F's electrical scale and curve switch go out on F1 only.
        if (f != 0)
            add(QStringLiteral("CInOutScaleB"),
                {"ElectricDigitalPoint", "MinElectricScale", "MaxElectricScale", "Linearizzazione"});
    }
    // On F8 and F9 the counters read channel A's electrical scale and the
    // unused counter from words and lines that belong to the channel scales.
    if (freq && (f == 7 || f == 8)) {
        add(QStringLiteral("CCounterAB"), {"ElectricDigitalPoint", "MinElectricScale", "MaxElectricScale"});
        if (f == 7)
            add(QStringLiteral("CCounterAB"),
                {"MeasureDigitalPointCounterB", "CounterBPulseWeight", "CounterBDigitalPoint"});
        else
            add(QStringLiteral("CCounterAB"),
                {"MeasureDigitalPointCounterA", "CounterAPulseWeight", "CounterADigitalPoint"});
    }
    return skip;
}

// The lines as an instrument's reply holds them: from index 0 in arrival
// order, the rest "NoSend".
MemMapAuxLines AsReply(const MemMapAuxLines &sent)
{
    MemMapAuxLines reply;
    reply.fill(QStringLiteral("NoSend"));
    std::size_t next = 0;
    for (const QString &line : sent) {
        if (line != QLatin1String("NoSend"))
            reply[next++] = line;
    }
    return reply;
}

// Writes `first` out by the road and reads it into `second` as the memory-map
// manager does: the module coding first, then every object.
void Transfer(Road road, const CCollDatiSetup &first, CCollDatiSetup &second)
{
    MemMapWords map{};
    MemMapAuxLines lines;
    lines.fill(QStringLiteral("NoSend"));
    if (road == Road::MemoryMap)
        first.GetMemoryMap(map);
    else
        first.GetMemoryMapAux(lines);
    // The reading side starts from scales of its own.
    g_Scala.Reset();
    g_ScalaB.Reset();
    second.SetCodificaModuli(first.CodificaModuli());
    const MemMapAuxLines reply = AsReply(lines);
    if (road == Road::MemoryMap)
        second.SetUserSetup(map);
    else
        second.SetUserSetupAux(reply);
}

struct RoundTripCase {
    Road road;
    std::size_t configuration;
};

std::vector<RoundTripCase> RoundTripCases()
{
    std::vector<RoundTripCase> cases;
    for (Road road : {Road::MemoryMap, Road::AuxLines}) {
        for (std::size_t k = 0; k < Configurations().size(); ++k)
            cases.push_back({road, k});
    }
    return cases;
}

void PrintTo(const RoundTripCase &c, std::ostream *os)
{
    *os << (c.road == Road::MemoryMap ? "memory map, " : "auxiliary lines, ") << Configurations()[c.configuration].what;
}

std::string CaseName(const ::testing::TestParamInfo<RoundTripCase> &info)
{
    std::string name = info.param.road == Road::MemoryMap ? "Map_" : "Lines_";
    for (const char *c = Configurations()[info.param.configuration].what; *c != '\0'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

// Each configuration goes out by one road, comes back into a second
// collection, is stored as a new configuration as the memory-map manager
// does, and is loaded into a third collection: that one must hold every
// value of the first that the road carries, with the same ValidData.
class RoundTrip : public paramtest::WithFreshScales<ModelDatabase>,
                  public ::testing::WithParamInterface<RoundTripCase> {};

} // namespace

TEST_P(RoundTrip, ThroughTheInstrumentAndTheDatabase)
{
    const Road road = GetParam().road;
    const Configuration &cfg = Configurations()[GetParam().configuration];

    CCollDatiSetup first;
    Build(first, cfg);
    CCollDatiSetup second;
    try {
        Transfer(road, first, second);
    } catch (const SetupReadError &e) {
        FAIL() << "reading back failed: " << e.Text().toStdString();
    } catch (const ProgramError &e) {
        FAIL() << "reading back failed: error " << e.Number() << " " << e.Description().toStdString();
    }

    constexpr std::int32_t kId = 1001;
    second.SetIDProgramma(kId);
    second.SaveDataInADORS(true);
    g_Scala.Reset();
    g_ScalaB.Reset();
    CCollDatiSetup third;
    third.SetIDProgramma(kId);
    third.LoadDataFromADORS();

    EXPECT_EQ(colltest::ValidPositions(third), colltest::ValidPositions(first));
    const QStringList diffs = colltest::Differences(
        first, third, [&](std::int16_t i) { return first.ValidData(i); }, NotCarried(road, first));
    EXPECT_EQ(colltest::Text(diffs), "");
}

INSTANTIATE_TEST_SUITE_P(Configurations, RoundTrip, ::testing::ValuesIn(RoundTripCases()), CaseName);
