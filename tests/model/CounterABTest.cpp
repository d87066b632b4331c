#include "CCounterAB.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ModelTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace paramtest;

namespace {

// Distinct values in every field, with words that are all non-zero.
std::unique_ptr<CCounterAB> FilledCounters(std::int16_t wpxFunction)
{
    auto c = std::make_unique<CCounterAB>();
    c->SetElectricDigitalPoint(0x10002);
    c->SetMinElectricScale(-70000);
    c->SetMaxElectricScale(100000);
    c->SetMeasureDigitalPointCounterA(0x10003);
    c->SetCounterAPulseWeight(100000);
    c->SetCounterADigitalPoint(0x10001);
    c->SetMeasureDigitalPointCounterB(0x10005);
    c->SetCounterBPulseWeight(-70000);
    c->SetCounterBDigitalPoint(0x10004);
    c->SetWPxFunction(wpxFunction);
    return c;
}

struct Stored {
    std::int32_t v[9];
    friend bool operator==(const Stored &a, const Stored &b)
    {
        return std::equal(std::begin(a.v), std::end(a.v), std::begin(b.v));
    }
};

Stored StoredOf(const CCounterAB &c)
{
    return {{c.ElectricDigitalPoint(), c.MinElectricScale(), c.MaxElectricScale(), c.MeasureDigitalPointCounterA(),
             c.CounterAPulseWeight(), c.CounterADigitalPoint(), c.MeasureDigitalPointCounterB(),
             c.CounterBPulseWeight(), c.CounterBDigitalPoint()}};
}

void PrintTo(const Stored &s, std::ostream *os)
{
    for (std::int32_t x : s.v)
        *os << x << " ";
}

class CounterABTest : public FreshScales {};

} // namespace

TEST_F(CounterABTest, FunctionsF1ToF11)
{
    const std::set<std::size_t> electricWords{14, 16, 17, 18, 19};
    const std::set<std::size_t> wordsA{26, 28, 29, 30};
    const std::set<std::size_t> wordsB{36, 38, 40, 41};
    const auto join = [](std::set<std::size_t> a, const std::set<std::size_t> &b) {
        a.insert(b.begin(), b.end());
        return a;
    };
    const QString electricTitle = QStringLiteral("#SBAC#Electrical range (SCA.A)");
    const QString titleA = QStringLiteral("#SBAC#Settings of channel A (Cnt.A)");
    const QString titleB = QStringLiteral("#SBAC#Settings of channel F (Cnt.F)");
    struct Case {
        std::int16_t wpx;
        std::set<std::size_t> words, lines;
        QStringList titles;
        bool scalaSet, scalaBSet;
        std::int32_t scalaBDigitalPoint;
    };
    const std::vector<Case> cases = [&] {
        std::vector<Case> v;
        for (std::int16_t f = 0; f <= 6; ++f)
            v.push_back({f, {}, {}, {}, false, false, 0});
        v.push_back({7, wordsA, {13, 14, 15}, {titleA}, false, true, 0x10003});
        v.push_back({8, wordsB, {18, 19, 20}, {titleB}, false, true, 0x10005});
        for (std::int16_t f : {9, 10})
            v.push_back({f,
                         join(join(electricWords, wordsA), wordsB),
                         {7, 8, 9, 13, 14, 15, 18, 19, 20},
                         {electricTitle, titleA, titleB},
                         true,
                         true,
                         0x10005});
        return v;
    }();
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "F" << c.wpx + 1);
        g_Scala.Reset();
        g_ScalaB.Reset();
        const auto counters = FilledCounters(c.wpx);
        for (std::int16_t slotA : {4, 5}) {
            const auto [map, lines] = MapAndLinesOf(*counters, *Mod(3, slotA));
            EXPECT_EQ(Keys(SetWords(map)), c.words);
            EXPECT_EQ(Keys(SentLines(lines)), c.lines);
        }
        ReportRecordset report;
        counters->SetReport(report);
        QStringList titles;
        for (const ReportRowRecord &r : report.Rows()) {
            if (r.nColumn == 1)
                titles << r.Column1;
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(report.Count(), static_cast<std::size_t>(4 * c.titles.size()));

        counters->SetDisplayScale();
        EXPECT_EQ(g_Scala->FineScalaDisplay(), c.scalaSet ? 999999 : 0);
        EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), c.scalaSet ? 0x10003 : 0);
        EXPECT_EQ(g_ScalaB->FineScalaDisplay(), c.scalaBSet ? 999999 : 0);
        EXPECT_EQ(g_ScalaB->InizioScalaDisplay(), 0);
        EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), c.scalaBDigitalPoint);
    }

    // Without a frequency/counter module the four map operations do nothing.
    for (std::int16_t slotA : {0, 1, 2, 3, 6, 7}) {
        SCOPED_TRACE(slotA);
        const auto counters = FilledCounters(9);
        auto [map, lines] = MapAndLinesOf(*counters, *Mod(3, slotA));
        EXPECT_EQ(map, MemMapWords{});
        EXPECT_EQ(lines, NoSendLines());
        CCounterAB reader;
        map.fill(1);
        reader.SetUserSetup(*Mod(3, slotA), map);
        reader.SetUserSetupAux(*Mod(3, slotA), lines);
        EXPECT_EQ(StoredOf(reader), StoredOf(CCounterAB()));
    }
}

TEST_F(CounterABTest, CountsTravelAsTwoWordsLowWordFirst)
{
    struct Case {
        std::int32_t value;
        std::int16_t low, high;
    };
    const Case cases[] = {
        {100000, static_cast<std::int16_t>(0x86A0), 1},
        {-70000, static_cast<std::int16_t>(0xEE90), static_cast<std::int16_t>(0xFFFE)},
        {1234, 1234, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        auto written = FilledCounters(10);
        written->SetMinElectricScale(c.value);
        written->SetCounterAPulseWeight(c.value);
        written->SetCounterBPulseWeight(c.value);
        MemMapWords map{};
        written->GetMemoryMap(*Mod(3, 4), map);
        for (std::size_t w : {16, 28, 40}) {
            EXPECT_EQ(map[w], c.low) << w;
            EXPECT_EQ(map[w + 1], c.high) << w;
        }
        MemMapAuxLines lines = NoSendLines();
        written->GetMemoryMapAux(*Mod(3, 4), lines);
        lines[2] = QStringLiteral("Func>Func=F.11");

        CCounterAB fromMap, fromLines;
        fromMap.SetUserSetup(*Mod(3, 4), map);
        fromLines.SetUserSetupAux(*Mod(3, 4), lines);
        EXPECT_EQ(StoredOf(fromMap), StoredOf(*written));
        EXPECT_EQ(StoredOf(fromLines), StoredOf(*written));
    }

    // A prescaler with one decimal: a point in the line whatever the locale.
    DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    auto c = FilledCounters(7);
    c->SetCounterAPulseWeight(1234);
    c->SetCounterADigitalPoint(1);
    MemMapAuxLines lines = NoSendLines();
    c->GetMemoryMapAux(*Mod(3, 5), lines);
    EXPECT_EQ(lines[14], QStringLiteral("Cnt.A>PrES=123.4"));
    EXPECT_EQ(lines[13], QStringLiteral("Cnt.A>dP.Pr=111.1"));
    EXPECT_EQ(lines[15], QStringLiteral("Cnt.A>dP.d=111.111"));
}

TEST_F(CounterABTest, DecimalPointFamiliesOnReading)
{
    struct Case {
        std::int16_t model;
        std::size_t word;
        std::int16_t value;
        std::int32_t (CCounterAB::*get)() const;
        std::int32_t expected;
    };
    const Case cases[] = {
        {1, 26, 2, &CCounterAB::CounterADigitalPoint, 0x10002},
        {3, 26, 2, &CCounterAB::CounterADigitalPoint, 0x10002},
        {0, 30, 0, &CCounterAB::MeasureDigitalPointCounterA, 0x10000},
        {1, 36, 5, &CCounterAB::MeasureDigitalPointCounterB, 0x10005},
        {1, 38, 3, &CCounterAB::CounterBDigitalPoint, 0x10003},
        {1, 14, 1, &CCounterAB::ElectricDigitalPoint, 1},
        {3, 14, 1, &CCounterAB::ElectricDigitalPoint, 0x10001},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " word " << c.word);
        MemMapWords map{};
        map[c.word] = c.value;
        CCounterAB counters;
        counters.SetUserSetup(*Mod(c.model, 4), map);
        EXPECT_EQ((counters.*c.get)(), c.expected);
    }
}

TEST_F(CounterABTest, LinesAreReadByTheFunctionLine)
{
    MemMapAuxLines written = NoSendLines();
    FilledCounters(10)->GetMemoryMapAux(*Mod(3, 4), written);
    struct Case {
        const char *functionLine; // nullptr: missing
        bool readA, readB;
    };
    const Case cases[] = {
        {"Func>Func=F.10", true, true},  {"Func>Func=F.8", true, false}, {"Func>Func=F.9", false, true},
        {"Func>Func=F.1", false, false}, {nullptr, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.functionLine ? c.functionLine : "missing");
        MemMapAuxLines lines = written;
        if (c.functionLine)
            lines[2] = QLatin1String(c.functionLine);
        CCounterAB reader;
        reader.SetWPxFunction(3);
        if (!c.functionLine) {
            TraceCapture trace;
            EXPECT_THROW(reader.SetUserSetupAux(*Mod(3, 4), lines), SetupReadError);
            EXPECT_EQ(StoredOf(reader), StoredOf(CCounterAB()));
            continue;
        }
        reader.SetUserSetupAux(*Mod(3, 4), lines);
        EXPECT_EQ(reader.WPxFunction(), 3);
        // The electrical scale is read whatever the function.
        EXPECT_EQ(reader.MaxElectricScale(), 100000);
        EXPECT_EQ(reader.CounterAPulseWeight(), c.readA ? 100000 : 0);
        EXPECT_EQ(reader.MeasureDigitalPointCounterA(), c.readA ? 0x10003 : 0);
        EXPECT_EQ(reader.CounterBPulseWeight(), c.readB ? -70000 : 0);
        EXPECT_EQ(reader.CounterBDigitalPoint(), c.readB ? 0x10004 : 0);
    }

    // A counter line missing, or a prescaler that is not a number: nothing
    // half-read.
    for (std::size_t drop : {14u, 19u}) {
        MemMapAuxLines lines = written;
        lines[2] = QStringLiteral("Func>Func=F.11");
        lines[drop] = drop == 14 ? QStringLiteral("Cnt.A>PrES=1,5") : QStringLiteral("NoSend");
        CCounterAB reader;
        TraceCapture trace;
        EXPECT_THROW(reader.SetUserSetupAux(*Mod(3, 4), lines), SetupReadError);
        EXPECT_EQ(StoredOf(reader), StoredOf(CCounterAB()));
    }
}

TEST_F(CounterABTest, ReportUsesTheLocaleSeparator)
{
    DefaultLocale comma(QLocale(QLocale::Italian, QLocale::Italy));
    g_Scala->SetLimitiScalaElettrica(3, 4, 100, 0); // Hz
    auto c = FilledCounters(9);
    c->SetCounterAPulseWeight(1234);
    c->SetCounterADigitalPoint(1);
    ReportRecordset report;
    c->SetReport(report);
    const std::vector<Row> expected{
        {"#SBAC#Electrical range (SCA.A)", ""},
        {"#SB#Decimal point position (dP.E)", "1111.11"},
        {"#SB#Minimum input value (Lo.E)", "-700,00 Hz"},
        {"#SB#Maximum input value (Hi.E)", "1000,00 Hz"},
        {"#SBAC#Settings of channel A (Cnt.A)", ""},
        {"#SB#Counter decimal point position (dP.d)", "111.111"},
        {"#SB#Decimal point position of the prescaler (dP.Pr)", "111.1"},
        {"#SB#Prescaler (PrES)", "123,4"},
        {"#SBAC#Settings of channel F (Cnt.F)", ""},
        {"#SB#Counter decimal point position (dP.d)", "1.11111"},
        {"#SB#Decimal point position of the prescaler (dP.Pr)", "11.1111"},
        {"#SB#Prescaler (PrES)", "-7,0000"},
    };
    EXPECT_EQ(Rows(report), expected);
}

TEST_F(CounterABTest, CopyLeavesTheNameAlone)
{
    auto from = FilledCounters(8);
    CCounterAB to;
    to.SetClassName(QStringLiteral("CCounterABx"));
    from->GetData(to);
    EXPECT_EQ(StoredOf(to), StoredOf(*from));
    EXPECT_EQ(to.WPxFunction(), 8);
    EXPECT_EQ(to.ClassName(), QStringLiteral("CCounterABx"));
}

namespace {
class CounterABDb : public ModelDatabase {};
} // namespace

TEST_F(CounterABDb, RowSaveAndLoad)
{
    auto written = FilledCounters(9);
    written->SaveDataInADORS(NewRowCriterion(9));
    CCounterAB loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(9));
    EXPECT_EQ(StoredOf(loaded), StoredOf(*written));
    EXPECT_EQ(loaded.WPxFunction(), 0); // context, not stored

    loaded.LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(StoredOf(loaded), StoredOf(CCounterAB()));
}
