#include "AuxLineFunctions.h"
#include "CScaleMisuraDisplay.h"
#include "ModelError.h"
#include "ResourceText.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

namespace {

QString Line(std::int32_t templateId, const QString &value)
{
    return GetResourceText(templateId, {value});
}

} // namespace

TEST(AuxFunctions, FindCmdAuxValueFindsTheLineByItsCommand)
{
    struct Case {
        const char *what;
        QStringList lines;
        std::int16_t id;
        const char *expected;
    };
    const Case cases[] = {
        {"second line", {kAuxNoSend, Line(1586, "12"), Line(1587, "9.6")}, 1586, "12"},
        {"third line", {kAuxNoSend, Line(1586, "12"), Line(1587, "9.6")}, 1587, "9.6"},
        {"order plays no part", {Line(1587, "4.8"), kAuxNoSend, kAuxNoSend, Line(1586, "7")}, 1586, "7"},
        {"lower-case line", {QStringLiteral("s.out>add=247")}, 1586, "247"},
        {"value keeps its case", {QStringLiteral("S.OUT>BDR=nonE")}, 1587, "nonE"},
        {"first match wins", {Line(1586, "1"), Line(1586, "2")}, 1586, "1"},
        {"empty value", {Line(1586, "")}, 1586, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FindCmdAuxValue(c.id, c.lines), QLatin1String(c.expected)) << c.what;
}

TEST(AuxFunctions, MissingCommandIsTracedAndReported)
{
    TraceCapture trace;
    const QStringList cases[] = {
        {},
        {kAuxNoSend, kAuxNoSend},
        {Line(1587, "9.6")},
        // The command inside another line is not a line of that command.
        {QStringLiteral("xS.out>Add=5")},
        {QStringLiteral("S.out>Ad=5")},
    };
    for (const QStringList &lines : cases)
        EXPECT_THROW(FindCmdAuxValue(1586, lines), SetupReadError) << lines.join(QLatin1Char('|')).toStdString();
    const QStringList written = trace.Lines();
    ASSERT_EQ(written.size(), static_cast<qsizetype>(std::size(cases)));
    EXPECT_EQ(written.front(), QStringLiteral("g_Trace.BugAssert fallito: Non trovato comando S.out>Add="));
}

TEST(AuxFunctions, PointAndCommaTexts)
{
    struct Case {
        const char *in;
        const char *removed;
        const char *pointed;
    };
    const Case cases[] = {
        {"1.2.3", "123", "1.2.3"},   {"", "", ""},          {"12.5", "125", "12.5"}, {"12,50", "12,50", "12.50"},
        {"-0,5,", "-0,5,", "-0.5."}, {"999", "999", "999"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RemovePoints(QString::fromLatin1(c.in)), QLatin1String(c.removed)) << c.in;
        EXPECT_EQ(CommaToPoint(QString::fromLatin1(c.in)), QLatin1String(c.pointed)) << c.in;
    }
}

TEST(AuxFunctions, DigitalPointCodeOfEverySample)
{
    struct Case {
        const char *sample;
        std::int32_t code;
    };
    const Case cases[] = {
        {"1111", 0},          {"111.1", 1},         {"11.11", 2},         {"1.111", 3},         {"111111", 0x10000},
        {"11111.1", 0x10001}, {"1111.11", 0x10002}, {"111.111", 0x10003}, {"11.1111", 0x10004}, {"1.11111", 0x10005},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(GetDigitalPointCode(QString::fromLatin1(c.sample)), c.code) << c.sample;
        // The sample of a code's record leads back to the code.
        EXPECT_EQ(CScaleMisuraDisplay::GetDigitalPointInfo(c.code).Sample, QLatin1String(c.sample));
    }
}

TEST(AuxFunctions, UnknownDigitalPointSampleIsTracedAndReported)
{
    TraceCapture trace;
    for (const char *bad : {"", "11,11", "1111 ", "1.1111", "0.000", "1111111"})
        EXPECT_THROW(GetDigitalPointCode(QString::fromLatin1(bad)), SetupReadError) << bad;
    const QStringList written = trace.Lines();
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written.front(), QStringLiteral("g_Trace.BugAssert fallito: Errore valore MeasureDigitalPoint"));
}
