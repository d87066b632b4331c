#include "CAnalogOut.h"
#include "CModInstr.h"
#include "ModelDatabase.h"
#include "ModelError.h"
#include "ParameterTestSupport.h"
#include "TraceCapture.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace paramtest;

namespace {

std::unique_ptr<CAnalogOut> Output(std::int16_t channel, std::int16_t minOut, std::int16_t maxOut, std::int16_t type)
{
    auto a = std::make_unique<CAnalogOut>();
    a->SetChannel(channel);
    a->SetMinOut(minOut);
    a->SetMaxOut(maxOut);
    a->SetTypeSignalOut(type);
    return a;
}

} // namespace

TEST(AnalogOut, WordsAndLinesByLayout)
{
    struct Place {
        std::optional<std::size_t> channelWord;
        std::size_t minWord, maxWord, typeWord;
        std::optional<std::size_t> channelLine;
        std::size_t minLine;
    };
    struct Case {
        std::int16_t slotA, model;
        std::optional<Place> place;
    };
    const Place base{std::nullopt, 83, 84, 85, std::nullopt, 83};
    const Place freq{258, 260, 262, 264, std::nullopt, 130};
    const Place freq3{258, 260, 262, 264, 129, 130};
    const Case cases[] = {
        {0, 1, base}, {3, 0, base},  {6, 3, base},  {2, 3, base},         {5, 1, freq},
        {4, 0, freq}, {4, 3, freq3}, {5, 3, freq3}, {7, 3, std::nullopt}, {-1, 1, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "slot A " << c.slotA << " model " << c.model);
        const ModInstr mod(c.model, c.slotA);
        const auto [map, lines] = MapAndLinesOf(*Output(1, 255, 1000, 7), mod);

        MemMapWords expectedMap{};
        MemMapAuxLines expectedLines = NoSendLines();
        if (c.place) {
            if (c.place->channelWord)
                expectedMap[*c.place->channelWord] = 1;
            expectedMap[c.place->minWord] = 255;
            expectedMap[c.place->maxWord] = 1000;
            expectedMap[c.place->typeWord] = 7;
            if (c.place->channelLine)
                expectedLines[*c.place->channelLine] = QStringLiteral("A.out>Ch=Ch.F");
            expectedLines[c.place->minLine] = QStringLiteral("A.out>Lo.A=25.5");
            expectedLines[c.place->minLine + 1] = QStringLiteral("A.out>Hi.A=100.0");
            expectedLines[c.place->minLine + 2] = QStringLiteral("A.out>tYPE=A");
        }
        EXPECT_EQ(map, expectedMap);
        EXPECT_EQ(lines, expectedLines);

        // Reading back: the channel only where it was written; type 7 went
        // out as current and comes back as 1.
        const auto fromMap = Output(-3, -3, -3, -3), fromLines = Output(-3, -3, -3, -3);
        fromMap->SetUserSetup(mod, map);
        fromLines->SetUserSetupAux(mod, lines);
        if (!c.place) {
            EXPECT_EQ(fromMap->MinOut(), -3);
            EXPECT_EQ(fromLines->MinOut(), -3);
            continue;
        }
        EXPECT_EQ(fromMap->Channel(), c.place->channelWord ? 1 : -3);
        EXPECT_EQ(fromMap->MinOut(), 255);
        EXPECT_EQ(fromMap->MaxOut(), 1000);
        EXPECT_EQ(fromMap->TypeSignalOut(), 7);
        EXPECT_EQ(fromLines->Channel(), c.place->channelLine ? 1 : -3);
        EXPECT_EQ(fromLines->MinOut(), 255);
        EXPECT_EQ(fromLines->MaxOut(), 1000);
        EXPECT_EQ(fromLines->TypeSignalOut(), 1);
    }
}

TEST(AnalogOut, PercentTexts)
{
    struct Case {
        std::int16_t tenths;
        const char *text;
    };
    const Case cases[] = {{0, "0.0"}, {255, "25.5"}, {1000, "100.0"}, {-5, "-0.5"}};
    const QString dp = QLocale().decimalPoint();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CAnalogOut::PercentText(c.tenths), QLatin1String(c.text));

        // The line, its reading back, and the report (locale separator).
        const auto written = Output(0, c.tenths, 0, 0);
        MemMapAuxLines lines = NoSendLines();
        written->GetMemoryMapAux(ModInstr(1, 1), lines);
        EXPECT_EQ(lines[83], QStringLiteral("A.out>Lo.A=") + QLatin1String(c.text));
        const auto read = Output(0, 99, 99, 0);
        read->SetUserSetupAux(ModInstr(1, 1), lines);
        EXPECT_EQ(read->MinOut(), c.tenths);

        ReportRecordset report;
        written->SetReport(report);
        ASSERT_EQ(report.Count(), 4u);
        EXPECT_EQ(report.Rows()[1].Column2, QString(QLatin1String(c.text)).replace('.', dp) + QStringLiteral(" %"));
    }
}

TEST(AnalogOut, ReadingLinesBack)
{
    struct Given {
        std::int16_t slotA, model;
        QStringList lines;
    };
    struct Expected {
        bool ok;
        std::int16_t type = 0, channel = 0;
    };
    struct Case {
        const char *what;
        Given given;
        Expected expected;
    };
    const Case cases[] = {
        {"lower-case u is current", {1, 1, {"A.out>Lo.A=0.0", "A.out>Hi.A=1.0", "A.out>tYPE=u"}}, {true, 1, 9}},
        {"U is voltage", {4, 1, {"A.out>tYPE=U", "A.out>Hi.A=1.0", "A.out>Lo.A=0.0"}}, {true, 0, 9}},
        {"Ch.A is channel A",
         {5, 3, {"A.out>Lo.A=0.0", "A.out>Hi.A=1.0", "A.out>tYPE=U", "A.out>Ch=Ch.A"}},
         {true, 0, 0}},
        {"any text but Ch.F is channel A",
         {4, 3, {"A.out>Lo.A=0.0", "A.out>Hi.A=1.0", "A.out>tYPE=U", "A.out>Ch=ch.f"}},
         {true, 0, 0}},
        // The writer sends no channel line on a base-layout module.
        {"model 3, base layout: no channel line needed",
         {0, 3, {"A.out>Lo.A=0.0", "A.out>Hi.A=1.0", "A.out>tYPE=U"}},
         {true, 0, 9}},
        {"model 3, frequency: channel line missing",
         {5, 3, {"A.out>Lo.A=0.0", "A.out>Hi.A=1.0", "A.out>tYPE=U"}},
         {false}},
        {"limit beyond 16 bits", {1, 1, {"A.out>Lo.A=4000.0", "A.out>Hi.A=1.0", "A.out>tYPE=U"}}, {false}},
        {"limit with a comma", {1, 1, {"A.out>Lo.A=0,5", "A.out>Hi.A=1.0", "A.out>tYPE=U"}}, {false}},
        {"type missing", {1, 1, {"A.out>Lo.A=0.5", "A.out>Hi.A=1.0"}}, {false}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MemMapAuxLines lines = NoSendLines();
        for (qsizetype i = 0; i < c.given.lines.size(); ++i)
            lines[static_cast<std::size_t>(i + 10)] = c.given.lines[i];
        const auto a = Output(9, 33, 44, 9);
        TraceCapture trace;
        if (!c.expected.ok) {
            EXPECT_THROW(a->SetUserSetupAux(ModInstr(c.given.model, c.given.slotA), lines), SetupReadError);
            EXPECT_EQ(a->MinOut(), 33);
            EXPECT_EQ(a->TypeSignalOut(), 9);
            continue;
        }
        a->SetUserSetupAux(ModInstr(c.given.model, c.given.slotA), lines);
        EXPECT_EQ(a->MaxOut(), 10);
        EXPECT_EQ(a->TypeSignalOut(), c.expected.type);
        EXPECT_EQ(a->Channel(), c.expected.channel);
    }
}

TEST(AnalogOut, ReportRows)
{
    const QString dp = QLocale().decimalPoint();
    struct Case {
        std::int16_t model, channel, type;
        const char *channelText; // nullptr: no channel row
        const char *typeText;
    };
    const Case cases[] = {
        {1, 0, 0, nullptr, "Voltage 0-10 V (U)"},
        {3, 1, 1, "Channel F (Ch.F)", "Current 0-20 mA (A)"},
        // Codes outside the texts show as the lines send them.
        {3, 4, 7, "Channel F (Ch.F)", "Current 0-20 mA (A)"},
        {3, 0, -1, "Channel A (Ch.A)", "Current 0-20 mA (A)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " " << c.channel << " " << c.type);
        const auto a = Output(c.channel, 5, 1000, c.type);
        a->SetModelloStrumento(c.model);
        ReportRecordset report;
        a->SetReport(report);
        std::vector<std::pair<QString, QString>> expected{{"#SBAC#% setting of output signal interval (A.out)", ""}};
        if (c.channelText)
            expected.emplace_back("#SB#Channel (Ch)", QLatin1String(c.channelText));
        expected.emplace_back("#SB#Setting of minimum output value (Lo.A)", "0" + dp + "5 %");
        expected.emplace_back("#SB#Setting of maximum output value (Hi.A)", "100" + dp + "0 %");
        expected.emplace_back("#SB#Output type (tYPE)", QLatin1String(c.typeText));
        ASSERT_EQ(report.Count(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(report.Rows()[i].nColumn, i == 0 ? 1 : 2);
            EXPECT_EQ(report.Rows()[i].Column1, expected[i].first);
            EXPECT_EQ(report.Rows()[i].Column2, expected[i].second);
        }
    }
}

TEST(AnalogOut, CopyKeepsTheName)
{
    const auto a = Output(1, 2, 3, 1);
    a->SetWPxFunction(4);
    a->SetModelloStrumento(3);
    CAnalogOut page;
    a->GetData(page);
    EXPECT_EQ(page.ClassName(), QStringLiteral("CAnalogOut"));
    EXPECT_EQ(page.Channel(), 1);
    EXPECT_EQ(page.MaxOut(), 3);
    EXPECT_EQ(page.MinOut(), 2);
    EXPECT_EQ(page.TypeSignalOut(), 1);
    EXPECT_EQ(page.WPxFunction(), 4);
    EXPECT_EQ(page.ModelloStrumento(), 3);
}

class AnalogOutDatabase : public ModelDatabase {};

TEST_F(AnalogOutDatabase, Row)
{
    CAnalogOut a;
    EXPECT_EQ(a.ColumnNames(), QStringList({"m_Channel", "m_MaxOut", "m_MinOut", "m_TypeSignalOut"}));
    const auto instrument = Output(5, 5, 5, 5);
    instrument->LoadDataFromADORS(ExistingRowCriterion(2));
    EXPECT_EQ(instrument->MaxOut(), 0);
    EXPECT_EQ(instrument->TypeSignalOut(), 0);

    Output(1, 0, 1000, 1)->SaveDataInADORS(NewRowCriterion(6));
    EXPECT_EQ(Column(QStringLiteral("CAnalogOut"), 6, QStringLiteral("m_MaxOut")).toInt(), 1000);
    CAnalogOut loaded;
    loaded.LoadDataFromADORS(ExistingRowCriterion(6));
    EXPECT_EQ(loaded.Channel(), 1);
    EXPECT_EQ(loaded.MinOut(), 0);
    EXPECT_EQ(loaded.MaxOut(), 1000);
    EXPECT_EQ(loaded.TypeSignalOut(), 1);
}
