#include "CLinearize.h"
#include "CModInstr.h"
#include "CScaleMisuraDisplay.h"
#include "MErrors.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ModelTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using paramtest::NoSendLines;

namespace {

std::unique_ptr<CModInstr> ModInstr(std::int16_t slotA, std::int16_t model = 1)
{
    auto mod = std::make_unique<CModInstr>();
    mod->SetSlotA(slotA);
    mod->SetModelloStrumento(model);
    return mod;
}

std::unique_ptr<CLinearize> Curve(const char *name, std::int16_t points)
{
    auto lin = std::make_unique<CLinearize>();
    lin->SetClassName(QLatin1String(name));
    lin->SetNumSpezzate(points);
    return lin;
}

// Display scales of both channels, put back to fresh objects after the test.
class LinearizeScales : public paramtest::FreshScales {};

// The words of one channel's curve.
struct Words {
    std::size_t num, in, out, stride;
    bool wide;
};

// The lines of one channel's curve.
struct Lines {
    std::size_t switchLine, num, in;
    const char *prefix; // menu of the commands
    const char *switchCommand;
};

const Lines kBaseLines{11, 12, 13, "Lin", "Lin>Lin="};
const Lines kLinesA{21, 22, 23, "Lin.A", "Lin.A>Lin.A="};
const Lines kLinesF{55, 56, 57, "Lin.F", "Lin.F>Lin.F="};

QString PointLine(const Lines &l, bool input, int i, const QString &value)
{
    return QStringLiteral("%1>%2.%3=%4")
        .arg(QLatin1String(l.prefix), input ? QStringLiteral("in") : QStringLiteral("ou"))
        .arg(i + 1, 2, 10, QLatin1Char('0'))
        .arg(value);
}

} // namespace

TEST(Linearize, FreshObjectAndColumns)
{
    CLinearize lin;
    EXPECT_EQ(lin.ClassName(), QStringLiteral("CLinearize"));
    EXPECT_EQ(lin.NumSpezzate(), 2);
    for (std::int16_t i = 0; i < 16; ++i) {
        EXPECT_EQ(lin.CoordinateIn(i), 0);
        EXPECT_EQ(lin.CoordinateOut(i), 0);
    }
    const QStringList columns = lin.ColumnNames();
    ASSERT_EQ(columns.size(), 33);
    EXPECT_EQ(columns[0], QStringLiteral("m_NumSpezzate"));
    EXPECT_EQ(columns[1], QStringLiteral("m_CoordinateIn00"));
    EXPECT_EQ(columns[2], QStringLiteral("m_CoordinateOut00"));
    EXPECT_EQ(columns[32], QStringLiteral("m_CoordinateOut15"));

    for (std::int16_t bad : {-1, 16}) {
        EXPECT_THROW(lin.CoordinateIn(bad), ProgramError);
        EXPECT_THROW(lin.SetCoordinateOut(bad, 1), ProgramError);
    }
    lin.SetNumSpezzate(40);
    EXPECT_EQ(lin.NumSpezzate(), 40);
}

TEST(Linearize, WordsByLayoutAndChannel)
{
    struct Case {
        std::int16_t slotA;
        const char *name;
        std::optional<Words> words;
    };
    const Words base{12, 13, 14, 2, false};
    const Words freqA{44, 46, 48, 4, true};
    const Words freqF{112, 114, 116, 4, true};
    const Case cases[] = {
        {0, "CLinearize", base},
        {1, "CLinearizeB", base},
        {2, "CLinearize", base},
        {6, "CLinearizeB", base},
        {4, "CLinearize", freqA},
        {5, "CLinearize", freqA},
        {4, "CLinearizeB", freqF},
        {5, "CLinearizeB", freqF},
        // The name alone tells the channel: a different letter case is F.
        {4, "clinearize", freqF},
        {3, "CLinearize", std::nullopt},
        {7, "CLinearize", std::nullopt},
        {-1, "CLinearizeB", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.slotA << " " << c.name);
        const auto mod = ModInstr(c.slotA);
        // Two points in use, but all 16 travel; values beyond 16 bits.
        const auto written = Curve(c.name, 2);
        for (std::int16_t i = 0; i < 16; ++i) {
            written->SetCoordinateIn(i, 100000 + i);
            written->SetCoordinateOut(i, -70000 - i);
        }
        MemMapWords map{};
        written->GetMemoryMap(*mod, map);

        MemMapWords expected{};
        if (c.words) {
            expected[c.words->num] = 2;
            for (std::size_t i = 0; i < 16; ++i) {
                const std::int32_t in = 100000 + static_cast<std::int32_t>(i);
                const std::int32_t out = -70000 - static_cast<std::int32_t>(i);
                const std::size_t wi = c.words->in + c.words->stride * i;
                const std::size_t wo = c.words->out + c.words->stride * i;
                expected[wi] = static_cast<std::int16_t>(in & 0xFFFF);
                expected[wo] = static_cast<std::int16_t>(out & 0xFFFF);
                if (c.words->wide) {
                    expected[wi + 1] = static_cast<std::int16_t>(in >> 16);
                    expected[wo + 1] = static_cast<std::int16_t>(out >> 16);
                }
            }
        }
        EXPECT_EQ(map, expected);

        // Reading back: 32-bit values whole, 16-bit ones as their sign-extended
        // low word; no layout, nothing read.
        const auto read = Curve(c.name, 9);
        read->SetCoordinateIn(15, 77);
        read->SetUserSetup(*mod, map);
        if (!c.words) {
            EXPECT_EQ(read->NumSpezzate(), 9);
            EXPECT_EQ(read->CoordinateIn(15), 77);
            continue;
        }
        EXPECT_EQ(read->NumSpezzate(), 2);
        for (std::int16_t i = 0; i < 16; ++i) {
            const std::int32_t in = 100000 + i, out = -70000 - i;
            EXPECT_EQ(read->CoordinateIn(i), c.words->wide ? in : static_cast<std::int16_t>(in & 0xFFFF));
            EXPECT_EQ(read->CoordinateOut(i), c.words->wide ? out : static_cast<std::int16_t>(out & 0xFFFF));
        }
    }
}

TEST_F(LinearizeScales, SwitchLineGatesTheLines)
{
    struct Case {
        const char *what;
        std::int16_t slotA;
        const char *name;
        const Lines *lines;
        const char *switchValue; // nullptr: the switch line stays "NoSend"
        std::int16_t points;
        bool written;
    };
    const Case cases[] = {
        {"base on", 1, "CLinearize", &kBaseLines, "YES", 3, true},
        {"base off", 1, "CLinearize", &kBaseLines, "nonE", 3, false},
        {"base off in another case does not stop", 1, "CLinearize", &kBaseLines, "NONE", 3, true},
        {"switch line not written", 0, "CLinearize", &kBaseLines, nullptr, 3, true},
        {"channel A on", 4, "CLinearize", &kLinesA, "YES", 2, true},
        {"channel A off", 5, "CLinearize", &kLinesA, "nonE", 16, false},
        {"channel F on", 5, "CLinearizeB", &kLinesF, "YES", 16, true},
        {"channel F off", 4, "CLinearizeB", &kLinesF, "nonE", 2, false},
        {"no points", 6, "CLinearize", &kBaseLines, "YES", 0, true},
        {"negative count", 6, "CLinearize", &kBaseLines, "YES", -4, true},
        {"more than 16 stops at 16", 4, "CLinearizeB", &kLinesF, "YES", 40, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto lin = Curve(c.name, c.points);
        for (std::int16_t i = 0; i < 16; ++i) {
            lin->SetCoordinateIn(i, 10 * (i + 1));
            lin->SetCoordinateOut(i, i + 1);
        }
        MemMapAuxLines lines = NoSendLines();
        if (c.switchValue)
            lines[c.lines->switchLine] = QLatin1String(c.lines->switchCommand) + QLatin1String(c.switchValue);
        MemMapAuxLines expected = lines;
        lin->GetMemoryMapAux(*ModInstr(c.slotA), lines);

        if (c.written) {
            expected[c.lines->num] = QStringLiteral("%1>Lin.P=%2").arg(QLatin1String(c.lines->prefix)).arg(c.points);
            const int used = std::clamp<int>(c.points, 0, 16);
            for (int i = 0; i < used; ++i) {
                const auto k = static_cast<std::size_t>(i);
                expected[c.lines->in + 2 * k] = PointLine(*c.lines, true, i, QString::number(10 * (i + 1)));
                expected[c.lines->in + 2 * k + 1] = PointLine(*c.lines, false, i, QString::number(i + 1));
            }
        }
        EXPECT_EQ(lines, expected);
    }

    // Temperature module and codes without a layout: no line at all.
    for (std::int16_t slotA : {3, 7}) {
        MemMapAuxLines lines = NoSendLines();
        Curve("CLinearize", 3)->GetMemoryMapAux(*ModInstr(slotA), lines);
        EXPECT_EQ(lines, NoSendLines());
    }
}

TEST_F(LinearizeScales, ScaledLinesRoundTrip)
{
    // Channel A's display with one decimal, channel F's with six digits and
    // three decimals.
    g_Scala->SetScalaDisplay(1, 0, 1000);
    g_ScalaB->SetScalaDisplay(0x10003, 0, 100000);
    struct Case {
        const char *what;
        std::int16_t slotA;
        const char *name;
        const Lines *lines;
        std::int32_t electricDp;
        std::int32_t in0, out0;
        const char *inText, *outText;
    };
    const Case cases[] = {
        {"1234 with 2 decimals, channel A", 4, "CLinearize", &kLinesA, 2, 1234, -5, "12.34", "-0.5"},
        {"100000, channel F (32-bit)", 5, "CLinearizeB", &kLinesF, 0, 100000, 123456, "100000", "123.456"},
        {"six-digit input, channel F", 4, "CLinearizeB", &kLinesF, 0x10005, -999999, 0, "-9.99999", "0.000"},
        {"base layout uses channel A's display", 0, "CLinearizeB", &kBaseLines, 1, -32768, 32767, "-3276.8", "3276.7"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto mod = ModInstr(c.slotA, 3);
        // All 16 points in use, each with a value of its own, so a command
        // shared by two points would show.
        const auto written = Curve(c.name, 16);
        written->SetElectricDigitalPoint(c.electricDp);
        written->SetCoordinateIn(0, c.in0);
        written->SetCoordinateOut(0, c.out0);
        for (std::int16_t i = 1; i < 16; ++i) {
            written->SetCoordinateIn(i, 100 + i);
            written->SetCoordinateOut(i, 200 + i);
        }
        MemMapAuxLines lines = NoSendLines();
        written->GetMemoryMapAux(*mod, lines);
        EXPECT_EQ(lines[c.lines->in], PointLine(*c.lines, true, 0, QLatin1String(c.inText)));
        EXPECT_EQ(lines[c.lines->in + 1], PointLine(*c.lines, false, 0, QLatin1String(c.outText)));
        // Every point line carries its own command.
        QStringList commands;
        for (std::size_t k = 0; k < 32; ++k)
            commands << lines[c.lines->in + k].section(QLatin1Char('='), 0, 0);
        commands.removeDuplicates();
        EXPECT_EQ(commands.size(), 32);

        const auto read = Curve(c.name, 2);
        read->SetUserSetupAux(*mod, lines);
        EXPECT_EQ(read->NumSpezzate(), 16);
        EXPECT_EQ(read->CoordinateIn(0), c.in0);
        EXPECT_EQ(read->CoordinateOut(0), c.out0);
        for (std::int16_t i = 1; i < 16; ++i) {
            EXPECT_EQ(read->CoordinateIn(i), 100 + i);
            EXPECT_EQ(read->CoordinateOut(i), 200 + i);
        }
    }
}

TEST(Linearize, ReadingLinesBack)
{
    struct Given {
        std::int16_t slotA;
        const char *name;
        QStringList lines;
    };
    struct Expected {
        std::optional<std::int16_t> num; // nullopt: the read fails, nothing changes
        std::int32_t in0 = 0, in1 = 0;   // read values (when the read succeeds)
    };
    struct Case {
        const char *what;
        Given given;
        Expected expected;
    };
    const Case cases[] = {
        {"only the points in use need lines",
         {1, "CLinearize", {"Lin>Lin.P=1", "Lin>ou.01=7", "Lin>in.01=1.2"}},
         {1, 12, -1}},
        {"no point in use", {2, "CLinearize", {"Lin>Lin.P=0"}}, {0, -1, -1}},
        {"more than 16: all 16 are read", {4, "CLinearize", {}}, {40, 5, 6}},
        {"base layout is 16-bit",
         {0, "CLinearize", {"Lin>Lin.P=1", "Lin>in.01=100000", "Lin>ou.01=0"}},
         {std::nullopt}},
        {"frequency layout is 32-bit",
         {5, "CLinearizeB", {"Lin.F>Lin.P=1", "Lin.F>in.01=-100.000", "Lin.F>ou.01=0"}},
         {1, -100000, -1}},
        {"missing point in use",
         {6, "CLinearize", {"Lin>Lin.P=2", "Lin>in.01=1", "Lin>ou.01=1", "Lin>in.02=1"}},
         {std::nullopt}},
        {"not a number", {4, "CLinearize", {"Lin.A>Lin.P=1", "Lin.A>in.01=1,5", "Lin.A>ou.01=0"}}, {std::nullopt}},
        {"missing count", {4, "CLinearizeB", {"Lin.F>in.01=1"}}, {std::nullopt}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MemMapAuxLines lines = NoSendLines();
        QStringList given = c.given.lines;
        if (given.isEmpty()) {
            given << QStringLiteral("Lin.A>Lin.P=40");
            for (int i = 0; i < 16; ++i) {
                given << PointLine(kLinesA, true, i, QString::number(5 + i));
                given << PointLine(kLinesA, false, i, QString::number(i));
            }
        }
        for (qsizetype i = 0; i < given.size(); ++i)
            lines[static_cast<std::size_t>(143 - i)] = given[i];

        TraceCapture trace;
        const auto lin = Curve(c.given.name, 3);
        for (std::int16_t i = 0; i < 16; ++i)
            lin->SetCoordinateIn(i, -1);
        if (!c.expected.num) {
            EXPECT_THROW(lin->SetUserSetupAux(*ModInstr(c.given.slotA), lines), SetupReadError);
            EXPECT_EQ(lin->NumSpezzate(), 3);
            EXPECT_EQ(lin->CoordinateIn(0), -1);
            continue;
        }
        lin->SetUserSetupAux(*ModInstr(c.given.slotA), lines);
        EXPECT_EQ(lin->NumSpezzate(), *c.expected.num);
        EXPECT_EQ(lin->CoordinateIn(0), c.expected.in0);
        EXPECT_EQ(lin->CoordinateIn(1), c.expected.in1);
        EXPECT_EQ(lin->CoordinateIn(15), *c.expected.num >= 16 ? 20 : -1);
    }

    // Slot-A 3: nothing is looked for.
    const auto lin = Curve("CLinearize", 3);
    lin->SetUserSetupAux(*ModInstr(3), NoSendLines());
    EXPECT_EQ(lin->NumSpezzate(), 3);
}

TEST_F(LinearizeScales, ReportRowsAndInvertedScale)
{
    g_Scala->SetLimitiScalaElettrica(1, 0, 0, 0);
    g_Scala->SetScalaDisplay(0, 0, 100);
    g_ScalaB->SetScalaDisplay(2, 100, 0);
    const QString unit = g_Scala->UnitaMisuraScalaElettrica();

    struct Case {
        std::int16_t slotA;
        const char *name;
        const char *header;
        const char *out0; // CoordinateOut(0) = 1234 through the output record
        bool inverted;
    };
    const Case cases[] = {
        {4, "CLinearizeB", "#SB#Number of points (Lin.F)", "12.34", true},
        {5, "CLinearize", "#SB#Number of points (Lin.A)", "1234", false},
        {0, "CLinearizeB", "#SB#Number of points (Lin.P)", "1234", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto lin = Curve(c.name, 2);
        lin->SetSlotA(c.slotA);
        lin->SetElectricDigitalPoint(1);
        lin->SetCoordinateIn(0, 25);
        lin->SetCoordinateOut(0, 1234);
        lin->SetCoordinateIn(1, -3);
        EXPECT_EQ(lin->ScalaInvertita(), c.inverted);

        ReportRecordset report;
        lin->SetReport(report);
        ASSERT_EQ(report.Count(), 5u);
        const auto &rows = report.Rows();
        EXPECT_EQ(rows[0].Column1, QLatin1String(c.header));
        EXPECT_EQ(rows[0].Column2, QStringLiteral("2"));
        // Points are labelled from the zero-based index.
        EXPECT_EQ(rows[1].Column1, QStringLiteral("#SB#Input 0 (in.00)"));
        EXPECT_EQ(rows[1].Column2, QStringLiteral("2") + QLocale().decimalPoint() + QStringLiteral("5 ") + unit);
        EXPECT_EQ(rows[2].Column1, QStringLiteral("#SB#Output 0 (ou.00)"));
        EXPECT_EQ(rows[2].Column2, QString(QLatin1String(c.out0)).replace(QLatin1Char('.'), QLocale().decimalPoint()));
        EXPECT_EQ(rows[3].Column1, QStringLiteral("#SB#Input 1 (in.01)"));
        EXPECT_EQ(rows[3].Column2, QStringLiteral("-0") + QLocale().decimalPoint() + QStringLiteral("3 ") + unit);
        for (const auto &row : rows)
            EXPECT_EQ(row.nColumn, 2);
    }

    // More than 16 points: the report stops at 16.
    ReportRecordset report;
    Curve("CLinearize", 40)->SetReport(report);
    EXPECT_EQ(report.Count(), 33u);
}

TEST(Linearize, CopyCarriesTheInstanceName)
{
    const auto b = Curve("CLinearizeB", 7);
    b->SetCoordinateOut(15, 99);
    b->SetMaxElectricScale(5000);
    b->SetSlotA(4);
    CLinearize page;
    b->GetData(page);
    EXPECT_EQ(page.ClassName(), QStringLiteral("CLinearizeB"));
    EXPECT_EQ(page.NumSpezzate(), 7);
    EXPECT_EQ(page.CoordinateOut(15), 99);
    EXPECT_EQ(page.MaxElectricScale(), 5000);
    EXPECT_EQ(page.SlotA(), 4);
}

class LinearizeDatabase : public ModelDatabase {};

TEST_F(LinearizeDatabase, RowOfEachInstance)
{
    for (const char *name : {"CLinearize", "CLinearizeB"}) {
        SCOPED_TRACE(name);
        const auto instrument = Curve(name, 9);
        instrument->LoadDataFromADORS(ExistingRowCriterion(2));
        EXPECT_EQ(instrument->NumSpezzate(), 2);

        const auto saved = Curve(name, 16);
        for (std::int16_t i = 0; i < 16; ++i) {
            saved->SetCoordinateIn(i, -100000 * i);
            saved->SetCoordinateOut(i, 2147483647 - i);
        }
        saved->SaveDataInADORS(NewRowCriterion(5));
        const auto loaded = Curve(name, 0);
        loaded->LoadDataFromADORS(ExistingRowCriterion(5));
        EXPECT_EQ(loaded->NumSpezzate(), 16);
        for (std::int16_t i = 0; i < 16; ++i) {
            EXPECT_EQ(loaded->CoordinateIn(i), -100000 * i);
            EXPECT_EQ(loaded->CoordinateOut(i), 2147483647 - i);
        }
    }
    EXPECT_EQ(Column(QStringLiteral("CLinearizeB"), 5, QStringLiteral("m_CoordinateOut15")).toInt(), 2147483632);
}
