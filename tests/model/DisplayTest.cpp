#include "CDisplay.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <optional>

using namespace paramtest;

namespace {

struct Values {
    std::int16_t digit, color, password;
};

struct Display : CDisplay {
    explicit Display(const Values &v)
    {
        SetDisplayDigit(v.digit);
        SetDisplayColor(v.color);
        SetPassword(v.password);
    }
};

void ExpectValues(const CDisplay &d, const Values &v)
{
    EXPECT_EQ(d.DisplayDigit(), v.digit);
    EXPECT_EQ(d.DisplayColor(), v.color);
    EXPECT_EQ(d.Password(), v.password);
}

const Values kOther{1, 1, 4444};

} // namespace

TEST(Display, WordsAndLinesBySlotAAndModelRoundTrip)
{
    struct Given {
        std::int16_t model, slotA;
        Values v;
    };
    struct ReadBack {
        Values fromMap, fromLines;
    };
    struct Case {
        Given given;
        std::map<std::size_t, std::int16_t> words;
        std::map<std::size_t, QString> lines;
        ReadBack read;
    };
    const Case cases[] = {
        // A fresh object: 1999, green.
        {{1, 0, {0, 2, 0}},
         {{5, 2}},
         {{0, "PASS>PASS=0000"}, {4, "diSP>diSP=1999"}, {5, "CoLr>CoLr=GrEn"}},
         {{0, 2, 0}, {0, 2, 0}}},
        {{0, 3, {1, 0, 7}},
         {{0, 7}, {4, 1}},
         {{0, "PASS>PASS=0007"}, {4, "diSP>diSP=9990"}, {5, "CoLr>CoLr=rEd"}},
         {{1, 0, 7}, {1, 0, 7}}},
        {{3, 2, {0, 1, 9000}},
         {{0, 9000}, {5, 1}},
         {{0, "PASS>PASS=9000"}, {4, "diSP>diSP=1999"}, {5, "CoLr>CoLr=orAn"}},
         {{0, 1, 9000}, {0, 1, 9000}}},
        // Frequency layout: the map read sets DisplayDigit to 0, the lines
        // keep it; the colour line only on model 1.
        {{1, 4, {1, 0, 123}},
         {{0, 123}},
         {{0, "PASS>PASS=0123"}, {1, "CoLr>CoLr=rEd"}},
         {{0, 0, 123}, {kOther.digit, 0, 123}}},
        {{3, 5, {1, 1, 12}},
         {{0, 12}, {2, 1}},
         {{0, "PASS>PASS=0012"}},
         {{0, 1, 12}, {kOther.digit, kOther.color, 12}}},
        {{0, 4, {0, 2, 5}}, {{0, 5}, {2, 2}}, {{0, "PASS>PASS=0005"}}, {{0, 2, 5}, {kOther.digit, kOther.color, 5}}},
        // Slot A 6 and unknown codes: nothing at all.
        {{1, 6, {1, 1, 1}}, {}, {}, {kOther, kOther}},
        {{1, 7, {1, 1, 1}}, {}, {}, {kOther, kOther}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.given.model << " slot A " << c.given.slotA);
        const ModInstr mod(c.given.model, c.given.slotA);
        const auto [map, lines] = MapAndLinesOf(Display(c.given.v), mod);
        EXPECT_EQ(SetWords(map), c.words);
        EXPECT_EQ(SentLines(lines), c.lines);

        Display fromMap(kOther), fromLines(kOther);
        fromMap.SetUserSetup(mod, map);
        fromLines.SetUserSetupAux(mod, lines);
        ExpectValues(fromMap, c.read.fromMap);
        ExpectValues(fromLines, c.read.fromLines);
    }
}

TEST(Display, LinesReadBack)
{
    struct Outcome {
        std::optional<Values> read; // nullopt: the read fails with failText traced
        const char *failText;
    };
    struct Case {
        const char *what;
        QStringList reply;
        Outcome outcome;
    };
    const Case cases[] = {
        {"password in decimal", {"CoLr>CoLr=GrEn", "diSP>diSP=1999", "PASS>PASS=0089"}, {Values{0, 2, 89}, nullptr}},
        {"any display text but 1999 is 9990",
         {"PASS>PASS=1", "diSP>diSP=1998", "CoLr>CoLr=rEd"},
         {Values{1, 0, 1}, nullptr}},
        {"colour is case-sensitive",
         {"PASS>PASS=1", "diSP>diSP=1999", "CoLr>CoLr=RED"},
         {std::nullopt, "Errore valore ConvDisplayColor"}},
        {"no colour nonE",
         {"PASS>PASS=1", "diSP>diSP=1999", "CoLr>CoLr=nonE"},
         {std::nullopt, "Errore valore ConvDisplayColor"}},
        {"password not a number",
         {"PASS>PASS=12a4", "diSP>diSP=1999", "CoLr>CoLr=rEd"},
         {std::nullopt, "Valore numerico non valido per PASS>PASS=: \"12a4\""}},
        {"empty password",
         {"PASS>PASS=", "diSP>diSP=1999", "CoLr>CoLr=rEd"},
         {std::nullopt, "Valore numerico non valido per PASS>PASS=: \"\""}},
        {"no display line", {"PASS>PASS=1", "CoLr>CoLr=rEd"}, {std::nullopt, "Non trovato comando diSP>diSP="}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TraceCapture trace;
        Display d(kOther);
        if (c.outcome.read) {
            d.SetUserSetupAux(ModInstr(0, 0), ReplyLines(c.reply));
            ExpectValues(d, *c.outcome.read);
            continue;
        }
        EXPECT_THROW(d.SetUserSetupAux(ModInstr(0, 0), ReplyLines(c.reply)), SetupReadError);
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: ") + QString::fromUtf8(c.outcome.failText)});
        ExpectValues(d, kOther);
    }
}

TEST(Display, CodesOutsideTheirTables)
{
    // A colour without a mnemonic is never sent as an empty "CoLr>CoLr=";
    // on the frequency layout of model 0 no colour line is sent at all.
    for (std::int16_t color : {-1, 3}) {
        SCOPED_TRACE(color);
        TraceCapture trace;
        MemMapAuxLines lines = NoSendLines();
        EXPECT_THROW(Display({0, color, 1}).GetMemoryMapAux(ModInstr(0, 0), lines), SetupReadError);
        EXPECT_EQ(lines, NoSendLines());
        EXPECT_EQ(trace.Lines(),
                  QStringList{QStringLiteral("g_Trace.BugAssert fallito: Errore valore ConvDisplayColor")});
        Display({0, color, 1}).GetMemoryMapAux(ModInstr(0, 4), lines);
        EXPECT_EQ(SentLines(lines), (std::map<std::size_t, QString>{{0, "PASS>PASS=0001"}}));
    }
    // From the map: a display choice or colour outside its table.
    const std::pair<std::size_t, std::int16_t> bad[] = {{4, 2}, {5, 3}, {5, -1}};
    for (const auto &[word, value] : bad) {
        MemMapWords map{};
        map[word] = value;
        Display d(kOther);
        EXPECT_THROW(d.SetUserSetup(ModInstr(1, 1), map), SetupReadError);
        ExpectValues(d, kOther);
    }
}

TEST(Display, ReportRows)
{
    const QString choice = QStringLiteral("#SB#Display choice (diSP)"),
                  color = QStringLiteral("#SB#Basic display colour (CoLr)"),
                  pass = QStringLiteral("#SB#Password (PASS)");
    struct Case {
        std::int16_t model, slotA;
        Values v;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {0, 3, {0, 2, 7}, {{choice, "1999 = 3½ digit (1999)"}, {pass, "7"}}},
        {0, 0, {1, 2, 9000}, {{choice, "9990 = 3 digit + fix 0 (9990)"}, {pass, "9000"}}},
        {0, 4, {1, 2, 0}, {{pass, "0"}}},
        {0, -1, {1, 2, 0}, {{choice, "9990 = 3 digit + fix 0 (9990)"}, {pass, "0"}}}, // signed comparison
        {1, 0, {0, 0, 12}, {{color, "Red (rEd)"}, {pass, "12"}}},
        {1, 6, {0, 1, 12}, {{color, "Amber (orAn)"}, {pass, "12"}}},
        {3, 0, {0, 2, 12}, {{pass, "12"}}},
        {1, 0, {0, 3, 12}, {{color, "3"}, {pass, "12"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " slot A " << c.slotA);
        Display d(c.v);
        d.SetModelloStrumento(c.model);
        d.SetSlotA(c.slotA);
        ReportRecordset report;
        d.SetReport(report);
        EXPECT_EQ(Rows(report), c.rows);
    }
}

TEST_F(ModelDatabase, DisplayRow)
{
    Display instrument({-1, -1, -1});
    instrument.LoadDataFromADORS(ExistingRowCriterion(2));
    ExpectValues(instrument, {0, 2, 0});

    Display({1, 0, 8765}).SaveDataInADORS(NewRowCriterion(11));
    CDisplay loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(11));
    ExpectValues(loaded, {1, 0, 8765});

    Display({0, 1, 42}).SaveDataInADORS(ExistingRowCriterion(11));
    loaded.LoadDataFromADORS(ExistingRowCriterion(11));
    ExpectValues(loaded, {0, 1, 42});

    CDisplay copy;
    loaded.SetModelloStrumento(1);
    loaded.SetSlotA(5);
    copy.SetData(loaded);
    ExpectValues(copy, {0, 1, 42});
    EXPECT_EQ(copy.ModelloStrumento(), 1);
    EXPECT_EQ(copy.SlotA(), 5);
}
