#include "CInOutScale.h"
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

const QString kFailed = QStringLiteral("g_Trace.BugAssert fallito: ");

std::unique_ptr<CInOutScale> Scale(const QString &name = QStringLiteral("CInOutScale"))
{
    auto s = std::make_unique<CInOutScale>();
    s->SetClassName(name);
    return s;
}

// Distinct, non-zero values in every stored field.
std::unique_ptr<CInOutScale> FilledScale(const QString &name, std::int16_t wpxFunction = 0)
{
    auto s = Scale(name);
    s->SetElectricDigitalPoint(2);
    s->SetMinElectricScale(-70000);
    s->SetMaxElectricScale(100000);
    s->SetMeasureDigitalPoint(1);
    s->SetMinMeasureScale(1234);
    s->SetMaxMeasureScale(-1);
    s->SetLinearizzazione(1);
    s->SetWPxFunction(wpxFunction);
    return s;
}

struct Stored {
    std::int32_t edp, minE, maxE, mdp, minD, maxD;
    std::int16_t lin;
    friend bool operator==(const Stored &, const Stored &) = default;
};

Stored StoredOf(const CInOutScale &s)
{
    return {s.ElectricDigitalPoint(), s.MinElectricScale(), s.MaxElectricScale(), s.MeasureDigitalPoint(),
            s.MinMeasureScale(),      s.MaxMeasureScale(),  s.Linearizzazione()};
}

void PrintTo(const Stored &s, std::ostream *os)
{
    *os << "{" << s.edp << ", " << s.minE << ", " << s.maxE << ", " << s.mdp << ", " << s.minD << ", " << s.maxD << ", "
        << s.lin << "}";
}

// Both scale objects fresh before and after each test.
class InOutScaleTest : public FreshScales {};

} // namespace

TEST_F(InOutScaleTest, WordsAndLinesBySlotInstanceAndModel)
{
    struct Case {
        std::int16_t slotA;
        const char *name;
        std::int16_t model, wpx;
        std::set<std::size_t> words, lines;
    };
    const std::set<std::size_t> base{6, 7, 8, 9, 10, 11};
    const std::set<std::size_t> wordsA{14, 16, 17, 18, 19, 20, 22, 23, 24, 25, 42};
    const std::set<std::size_t> wordsF{30, 32, 33, 34, 35, 36, 38, 39, 40, 41, 110};
    const std::set<std::size_t> linesA{7, 8, 9, 10, 11, 12, 21};
    const Case cases[] = {
        {0, "CInOutScale", 1, 0, base, base},
        {1, "CInOutScaleB", 0, 0, base, base},
        {2, "CInOutScale", 2, 3, base, base},
        {6, "CInOutScale", 2, 0, base, base},
        {3, "CInOutScale", 1, 0, {6, 7, 8, 9, 10}, {6, 7, 8, 9, 10}},
        {4, "CInOutScale", 1, 2, wordsA, linesA},
        {5, "CInOutScale", 3, 9, wordsA, linesA},
        {5, "CInOutScaleB", 3, 0, wordsF, {15, 16, 17, 18, 19, 20, 55}},
        {4, "CInOutScaleB", 1, 2, wordsF, {18, 19, 20}},
        // Only the exact name is channel A.
        {4, "cinoutscale", 3, 0, wordsF, {15, 16, 17, 18, 19, 20, 55}},
        {7, "CInOutScale", 1, 0, {}, {}},
        {-1, "CInOutScaleB", 3, 0, {}, {}},
    };
    g_Scala->SetLimitiScalaElettrica(1, 0, 2, 0); // two decimals, as the base layout reads back
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.slotA << " " << c.name << " model " << c.model << " F" << c.wpx + 1);
        const auto mod = Mod(c.model, c.slotA);
        const auto written = FilledScale(QLatin1String(c.name), c.wpx);
        written->SetMinMeasureScale(-1234); // both words non-zero
        const auto [map, lines] = MapAndLinesOf(*written, *mod);
        EXPECT_EQ(Keys(SetWords(map)), c.words);
        EXPECT_EQ(Keys(SentLines(lines)), c.lines);

        // A reader of the same instance takes back what the layout carries;
        // with no layout it changes nothing.
        if (c.words.empty()) {
            const auto reader = Scale(QLatin1String(c.name));
            reader->SetUserSetup(*mod, map);
            reader->SetUserSetupAux(*mod, lines);
            EXPECT_EQ(StoredOf(*reader), StoredOf(*Scale()));
        }
    }
}

TEST_F(InOutScaleTest, LineTextsCarryAPointInAnyLocale)
{
    DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    g_Scala->SetLimitiScalaElettrica(1, 0, 2, 0);
    MemMapAuxLines lines = NoSendLines();
    FilledScale(QStringLiteral("CInOutScale"))->GetMemoryMapAux(*Mod(1, 0), lines);
    const std::map<std::size_t, QString> expected{
        {6, "SCAL>Lo.E=-700.00"}, {7, "SCAL>Hi.E=1000.00"}, {8, "SCAL>d.P=111.1"},
        {9, "SCAL>Lo.d=123.4"},   {10, "SCAL>Hi.d=-0.1"},   {11, "Lin>Lin=YES"},
    };
    EXPECT_EQ(SentLines(lines), expected);

    // The frequency layout with the six-digit family.
    auto f = FilledScale(QStringLiteral("CInOutScaleB"), 0);
    f->SetElectricDigitalPoint(0x10005);
    f->SetMeasureDigitalPoint(0x10000);
    f->SetLinearizzazione(0);
    lines = NoSendLines();
    f->GetMemoryMapAux(*Mod(3, 4), lines);
    const std::map<std::size_t, QString> expectedF{
        {15, "SCA.F>dP.E=1.11111"}, {16, "SCA.F>Lo.E=-0.70000"}, {17, "SCA.F>Hi.E=1.00000"}, {55, "Lin.F>Lin.F=nonE"},
        {18, "SCA.F>dP.d=111111"},  {19, "SCA.F>Lo.d=1234"},     {20, "SCA.F>Hi.d=-1"},
    };
    EXPECT_EQ(SentLines(lines), expectedF);

    // The largest frequency scale of model 3 comes out digit for digit and
    // reads back as written.
    f->SetMaxElectricScale(999999000);
    lines = NoSendLines();
    f->GetMemoryMapAux(*Mod(3, 4), lines);
    EXPECT_EQ(lines[17], QStringLiteral("SCA.F>Hi.E=9999.99000"));
    lines[2] = QStringLiteral("Func>Func=F.1");
    auto back = Scale(QStringLiteral("CInOutScaleB"));
    back->SetUserSetupAux(*Mod(3, 4), lines);
    EXPECT_EQ(back->MaxElectricScale(), 999999000);
}

TEST_F(InOutScaleTest, RoundTripsOfLargeAndNegativeValuesInBothLayouts)
{
    struct Case {
        std::int32_t value;
        std::int16_t low, high;   // the two frequency-layout words
        std::int32_t baseMapBack; // the base layout sends the low word only
        bool baseLinesBack;       // the base layout lines read 16-bit values
    };
    const Case cases[] = {
        {-70000, static_cast<std::int16_t>(0xEE90), static_cast<std::int16_t>(0xFFFE), -4464, false},
        {100000, static_cast<std::int16_t>(0x86A0), 1, -31072, false},
        {1234, 1234, 0, 1234, true},
    };
    g_Scala->SetLimitiScalaElettrica(1, 0, 1, 0); // three decimals, " mA"
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        for (const char *name : {"CInOutScale", "CInOutScaleB"}) {
            SCOPED_TRACE(name);
            const bool channelA = QLatin1String(name) == QLatin1String("CInOutScale");
            const FreqScaleWords &w = channelA ? kFreqScaleWordsA : kFreqScaleWordsF;
            auto written = Scale(QLatin1String(name));
            written->SetElectricDigitalPoint(0x10003);
            written->SetMeasureDigitalPoint(1);
            written->SetMinElectricScale(c.value);
            written->SetMaxMeasureScale(c.value);

            // Frequency layout, model 3 with F1: both channels carry their
            // electrical scale.
            const auto freq = Mod(3, 4);
            MemMapWords map{};
            written->GetMemoryMap(*freq, map);
            EXPECT_EQ(map[w.minElectricScale], c.low);
            EXPECT_EQ(map[w.minElectricScale + 1], c.high);
            EXPECT_EQ(map[w.maxMeasureScale], c.low);
            EXPECT_EQ(map[w.maxMeasureScale + 1], c.high);
            MemMapAuxLines lines = NoSendLines();
            written->GetMemoryMapAux(*freq, lines);
            lines[2] = QStringLiteral("Func>Func=F.1");
            auto fromMap = Scale(QLatin1String(name)), fromLines = Scale(QLatin1String(name));
            fromMap->SetUserSetup(*freq, map);
            fromLines->SetUserSetupAux(*freq, lines);
            for (const CInOutScale *read : {fromMap.get(), fromLines.get()}) {
                EXPECT_EQ(read->MinElectricScale(), c.value);
                EXPECT_EQ(read->MaxMeasureScale(), c.value);
                EXPECT_EQ(read->ElectricDigitalPoint(), 0x10003);
            }

            // Base layout.
            const auto base = Mod(1, 0);
            map = MemMapWords{};
            written->GetMemoryMap(*base, map);
            EXPECT_EQ(map[6], c.low);
            EXPECT_EQ(map[10], c.low);
            fromMap = Scale(QLatin1String(name));
            fromMap->SetUserSetup(*base, map);
            EXPECT_EQ(fromMap->MinElectricScale(), c.baseMapBack);
            EXPECT_EQ(fromMap->MaxMeasureScale(), c.baseMapBack);
            EXPECT_EQ(fromMap->ElectricDigitalPoint(), 3); // from g_Scala
            lines = NoSendLines();
            written->GetMemoryMapAux(*base, lines);
            fromLines = Scale(QLatin1String(name));
            if (c.baseLinesBack) {
                fromLines->SetUserSetupAux(*base, lines);
                EXPECT_EQ(fromLines->MinElectricScale(), c.value);
                EXPECT_EQ(fromLines->MaxMeasureScale(), c.value);
            } else {
                TraceCapture trace;
                EXPECT_THROW(fromLines->SetUserSetupAux(*base, lines), SetupReadError);
                EXPECT_EQ(StoredOf(*fromLines), StoredOf(*Scale()));
            }
        }
    }
}

TEST_F(InOutScaleTest, DecimalPointFamiliesOnReading)
{
    struct Case {
        const char *name;
        std::int16_t model;
        std::size_t word;
        std::int16_t value;
        bool electric; // ElectricDigitalPoint, else MeasureDigitalPoint
        std::int32_t expected;
    };
    const Case cases[] = {
        {"CInOutScale", 1, 14, 1, true, 1},        {"CInOutScale", 1, 20, 2, false, 2},
        {"CInOutScaleB", 1, 30, 1, true, 0x10001}, {"CInOutScaleB", 1, 36, 1, false, 1},
        {"CInOutScale", 3, 14, 1, true, 0x10001},  {"CInOutScale", 3, 20, 2, false, 0x10002},
        {"CInOutScaleB", 3, 30, 1, true, 0x10001}, {"CInOutScaleB", 3, 36, 1, false, 0x10001},
        {"CInOutScaleB", 0, 30, 0, true, 0x10000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " model " << c.model << " word " << c.word);
        MemMapWords map{};
        map[c.word] = c.value;
        auto s = Scale(QLatin1String(c.name));
        s->SetUserSetup(*Mod(c.model, 5), map);
        EXPECT_EQ(c.electric ? s->ElectricDigitalPoint() : s->MeasureDigitalPoint(), c.expected);
    }

    // Lines carry the family in their sample text.
    const MemMapAuxLines lines = ReplyLines({"SCA.A>dP.E=11111.1", "SCA.A>Lo.E=0", "SCA.A>Hi.E=1", "SCA.A>dP.d=11.11",
                                             "SCA.A>Lo.d=0", "SCA.A>Hi.d=1", "Lin.A>Lin.A=nonE"});
    auto a = Scale();
    a->SetUserSetupAux(*Mod(1, 4), lines);
    EXPECT_EQ(a->ElectricDigitalPoint(), 0x10001);
    EXPECT_EQ(a->MeasureDigitalPoint(), 2);

    // The base layout has no word and no line for it: it is the decimal
    // point of the range on g_Scala, whatever the map holds.
    g_Scala->SetLimitiScalaElettrica(0, 2, 2, 0); // 0.00 .. 5.00 A
    MemMapWords map{};
    map[8] = 1;
    auto b = Scale();
    b->SetElectricDigitalPoint(7);
    b->SetUserSetup(*Mod(0, 2), map);
    EXPECT_EQ(b->ElectricDigitalPoint(), 2);
    EXPECT_EQ(b->MeasureDigitalPoint(), 1);
}

TEST_F(InOutScaleTest, BaseLayoutRefusesARangeWithTwoDecimalPoints)
{
    // A frequency range left on g_Scala has a lowest and a highest decimal
    // point; reading a base-layout configuration must not pick one.
    g_Scala->SetLimitiScalaElettrica(1, 4, 100, 0);
    ASSERT_NE(g_Scala->DPScalaElettricaMin(), g_Scala->DPScalaElettricaMax());
    const auto mod = Mod(1, 0);
    MemMapWords map{};
    map[6] = 5;
    MemMapAuxLines lines = NoSendLines();
    FilledScale(QStringLiteral("CInOutScale"))->GetMemoryMapAux(*mod, lines);
    const QString text =
        kFailed + QStringLiteral("g_Scala.DPScalaElettricaMin e g_Scala.DPScalaElettricaMax devono essere uguali!!");
    {
        TraceCapture trace;
        auto s = Scale();
        EXPECT_THROW(s->SetUserSetup(*mod, map), SetupReadError);
        EXPECT_EQ(StoredOf(*s), StoredOf(*Scale()));
        EXPECT_EQ(trace.Lines(), QStringList{text});
    }
    {
        TraceCapture trace;
        auto s = Scale();
        EXPECT_THROW(s->SetUserSetupAux(*mod, lines), SetupReadError);
        EXPECT_EQ(StoredOf(*s), StoredOf(*Scale()));
        EXPECT_EQ(trace.Lines(), QStringList{text});
    }
}

TEST_F(InOutScaleTest, ChannelFReadsItsFunctionFromTheFunctionLine)
{
    struct Case {
        const char *functionLine; // nullptr: no function line
        std::int16_t model;
        bool electricRead;
    };
    const Case cases[] = {
        {"Func>Func=F.1", 3, true},  {"func>func=f.01", 3, true},  {"Func>Func=F.2", 3, false},
        {"Func>Func=F.1", 1, false}, {"Func>Func=F.11", 3, false}, {nullptr, 3, false},
        {"Func>Func=F.x", 3, false},
    };
    // Written as on F1, read by an object whose own context says F6: the
    // lines decide.
    MemMapAuxLines written = NoSendLines();
    FilledScale(QStringLiteral("CInOutScaleB"), 0)->GetMemoryMapAux(*Mod(3, 4), written);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.functionLine ? c.functionLine : "none");
        MemMapAuxLines lines = written;
        if (c.functionLine)
            lines[2] = QLatin1String(c.functionLine);
        auto s = Scale(QStringLiteral("CInOutScaleB"));
        s->SetWPxFunction(5);
        s->SetMinElectricScale(42);
        const bool parses = c.functionLine && QLatin1String(c.functionLine) != QLatin1String("Func>Func=F.x");
        if (!parses) {
            TraceCapture trace;
            EXPECT_THROW(s->SetUserSetupAux(*Mod(c.model, 4), lines), SetupReadError);
            EXPECT_EQ(s->MinElectricScale(), 42);
            continue;
        }
        s->SetUserSetupAux(*Mod(c.model, 4), lines);
        EXPECT_EQ(s->MinElectricScale(), c.electricRead ? -70000 : 42);
        EXPECT_EQ(s->Linearizzazione(), c.electricRead ? 1 : 0);
        EXPECT_EQ(s->MinMeasureScale(), 1234);
        EXPECT_EQ(s->WPxFunction(), 5);
    }
}

TEST_F(InOutScaleTest, LinearizationSwitchLine)
{
    EXPECT_EQ(LinearizationSwitchLine(0, true)->templateId, 1511);
    EXPECT_EQ(LinearizationSwitchLine(6, false)->index, 11u);
    EXPECT_FALSE(LinearizationSwitchLine(3, true));
    EXPECT_FALSE(LinearizationSwitchLine(7, true));
    EXPECT_EQ(LinearizationSwitchLine(4, true)->index, 21u);
    EXPECT_EQ(LinearizationSwitchLine(5, false)->templateId, 1751);
    EXPECT_EQ(LinearizationSwitchLineText(1717, false), QStringLiteral("Lin.A>Lin.A=nonE"));
    EXPECT_EQ(LinearizationSwitchLineText(1511, true), QStringLiteral("Lin>Lin=YES"));

    struct Case {
        const char *switchLine; // nullptr: the line is missing
        std::optional<std::int16_t> read;
    };
    const Case cases[] = {
        {"Lin>Lin=nonE", 0}, {"Lin>Lin=YES", 1},         {"LIN>LIN=yes", 1},
        {"Lin>Lin=NONE", 1}, {"Lin>Lin=", std::nullopt}, {nullptr, std::nullopt},
    };
    g_Scala->SetLimitiScalaElettrica(1, 0, 2, 0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.switchLine ? c.switchLine : "missing");
        QStringList given{"SCAL>Lo.E=0.00", "SCAL>Hi.E=20.00", "SCAL>d.P=1111", "SCAL>Lo.d=0", "SCAL>Hi.d=2000"};
        if (c.switchLine)
            given << QLatin1String(c.switchLine);
        auto s = Scale();
        s->SetLinearizzazione(7);
        TraceCapture trace;
        if (c.read) {
            s->SetUserSetupAux(*Mod(1, 0), ReplyLines(given));
            EXPECT_EQ(s->Linearizzazione(), *c.read);
        } else {
            // A switch not read is not a switch on.
            EXPECT_THROW(s->SetUserSetupAux(*Mod(1, 0), ReplyLines(given)), SetupReadError);
            EXPECT_EQ(s->Linearizzazione(), 7);
            EXPECT_EQ(s->MaxMeasureScale(), 0);
        }
        // The temperature module has no switch: no line is looked for.
        auto t = Scale();
        t->SetLinearizzazione(7);
        t->SetUserSetupAux(*Mod(1, 3), ReplyLines(given));
        EXPECT_EQ(t->Linearizzazione(), 0);
    }
    MemMapWords map{};
    map[11] = 1;
    auto t = Scale();
    t->SetUserSetup(*Mod(1, 3), map);
    EXPECT_EQ(t->Linearizzazione(), 0);
}

TEST_F(InOutScaleTest, ReportRowsBySlotModelAndInstance)
{
    DefaultLocale comma(QLocale(QLocale::Italian, QLocale::Italy));
    g_Scala->SetLimitiScalaElettrica(1, 0, 1, 0); // " mA"
    const std::vector<Row> electric{
        {"#SBAC#Electrical scale (SCAL)", ""},
        {"#SB#Minimum input range (Lo.E)", "-700,00  mA"},
        {"#SB#Maximum input range (Hi.E)", "1000,00  mA"},
    };
    const std::vector<Row> display{
        {"#SBADisplayed scale", ""},
        {"#SB#Decimal point position (dP)", "111.1"},
        {"#SB#Minimum display range (Lo.d)", "123,4"},
        {"#SB#Maximum  display range (Hi.d)", "-0,1"},
    };
    const Row linOn{"#SB#Linearization (Lin)", "Activate (YES)"};
    const auto concat = [](std::vector<Row> a, const std::vector<Row> &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Row> baseRows = concat(electric, display);
    const std::vector<Row> freqA{
        {"#SBAC#Electrical scale channel A (SCA.A)", ""},
        {"#SB#Decimal point position (dP.E)", "11.11"},
        {"#SB#Minimum input range (Lo.E)", "-700,00  mA"},
        {"#SB#Maximum input range (Hi.E)", "1000,00  mA"},
        {"#SBADisplayed scale channel A (SCA.A)", ""},
        {"#SB#Decimal point position (dP)", "111.1"},
        {"#SB#Minimum display range (Lo.d)", "123,4"},
        {"#SB#Maximum  display range (Hi.d)", "-0,1"},
        linOn,
    };
    const std::vector<Row> displayF{
        {"#SBADisplayed scale channel F (SCA.F)", ""},
        {"#SB#Decimal point position (dP)", "111.1"},
        {"#SB#Minimum display range (Lo.d)", "123,4"},
        {"#SB#Maximum  display range (Hi.d)", "-0,1"},
        linOn,
    };

    struct Case {
        std::int16_t slotA, model;
        const char *name;
        std::int16_t wpx;
        std::vector<Row> rows;
    };
    std::vector<Row> withLin = baseRows;
    withLin.push_back(linOn);
    const Case cases[] = {
        {0, 1, "CInOutScale", 0, withLin},  {1, 0, "CInOutScale", 0, baseRows}, // model 0: no linearisation row
        {3, 2, "CInOutScale", 0, baseRows},                                     // temperature: none either
        {7, 1, "CInOutScale", 0, withLin},                                      // no known module: as the base layout
        {4, 1, "CInOutScale", 3, freqA},    {5, 3, "CInOutScaleB", 2, displayF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.slotA << " model " << c.model << " " << c.name);
        auto s = FilledScale(QLatin1String(c.name), c.wpx);
        s->SetSlotA(c.slotA);
        s->SetModelloStrumento(c.model);
        ReportRecordset report;
        s->SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }

    // Channel F on F1 shows its electrical block with the unit of its own
    // input (g_ScalaB), not channel A's.
    g_ScalaB->SetLimitiScalaElettrica(3, 4, 100, 2); // rpm
    auto f = FilledScale(QStringLiteral("CInOutScaleB"), 0);
    f->SetSlotA(4);
    f->SetModelloStrumento(3);
    f->SetLinearizzazione(0);
    ReportRecordset report;
    f->SetReport(report);
    const auto rows = Rows(report);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].first, QStringLiteral("#SBAC#Electrical scale channel F (SCA.F)"));
    EXPECT_EQ(rows[4].first, QStringLiteral("#SBADisplayed scale channel F (SCA.F)"));
    EXPECT_EQ(rows[8].second, QStringLiteral("Deactivate (nonE)"));
}

TEST_F(InOutScaleTest, DisplayScaleAndCopyFollowTheInstanceName)
{
    auto a = FilledScale(QStringLiteral("CInOutScale"));
    auto f = FilledScale(QStringLiteral("CInOutScaleB"));
    f->SetMeasureDigitalPoint(0x10002);
    f->SetMinMeasureScale(-5);
    f->SetMaxMeasureScale(999999);
    a->SetDisplayScale();
    EXPECT_EQ(g_Scala->DigitalPointScalaDisplay(), 1);
    EXPECT_EQ(g_Scala->InizioScalaDisplay(), 1234);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), -1);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), 0);
    f->SetDisplayScale();
    EXPECT_EQ(g_ScalaB->DigitalPointScalaDisplay(), 0x10002);
    EXPECT_EQ(g_ScalaB->InizioScalaDisplay(), -5);
    EXPECT_EQ(g_ScalaB->FineScalaDisplay(), 999999);
    EXPECT_EQ(g_Scala->FineScalaDisplay(), -1);

    // A copy of channel F is a channel-F object, context values included.
    f->SetDisplayDigit(3);
    f->SetMeasureType(2);
    auto copy = Scale();
    f->GetData(*copy);
    EXPECT_EQ(copy->ClassName(), QStringLiteral("CInOutScaleB"));
    EXPECT_FALSE(copy->IsChannelA());
    EXPECT_EQ(StoredOf(*copy), StoredOf(*f));
    EXPECT_EQ(copy->DisplayDigit(), 3);
    EXPECT_EQ(copy->MeasureType(), 2);

    // A name differing in case only is not the same class.
    auto odd = Scale(QStringLiteral("cinoutscale"));
    odd->SetData(*a);
    EXPECT_EQ(StoredOf(*odd), StoredOf(*Scale()));
    EXPECT_FALSE(odd->IsChannelA());
}

namespace {
class InOutScaleDb : public ModelDatabase {};
} // namespace

TEST_F(InOutScaleDb, BothInstancesHaveTheirOwnRow)
{
    auto a = FilledScale(QStringLiteral("CInOutScale"));
    auto f = FilledScale(QStringLiteral("CInOutScaleB"));
    f->SetElectricDigitalPoint(0x10005);
    f->SetMaxElectricScale(999999000);
    f->SetLinearizzazione(0);
    a->SaveDataInADORS(NewRowCriterion(7));
    f->SaveDataInADORS(NewRowCriterion(7));

    auto loadedA = Scale(), loadedF = Scale(QStringLiteral("CInOutScaleB"));
    loadedA->LoadDataFromADORS(ExistingRowCriterion(7));
    loadedF->LoadDataFromADORS(ExistingRowCriterion(7));
    EXPECT_EQ(StoredOf(*loadedA), StoredOf(*a));
    EXPECT_EQ(StoredOf(*loadedF), StoredOf(*f));
    EXPECT_EQ(Column(QStringLiteral("CInOutScaleB"), 7, QStringLiteral("m_MaxElectricScale")).toInt(), 999999000);

    // The instrument row holds the defaults, all 0.
    loadedF->LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(StoredOf(*loadedF), StoredOf(*Scale()));
}
