#include "CScaleMisuraDisplay.h"
#include "ModelError.h"
#include "NumberText.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Sets the process's default locale for one test and restores it after.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_Old); }

private:
    QLocale m_Old;
};

} // namespace

TEST(NumberText, ScaledIntegersThroughTheirRecords)
{
    struct Case {
        std::int64_t value;
        std::int32_t dp;
        const char *expected;
    };
    const Case cases[] = {
        {1234, 0, "1234"},
        {0, 0, "0"},
        {12345, 1, "1234.5"},
        {-1999, 1, "-199.9"},
        {5, 2, "0.05"},
        {-5, 2, "-0.05"},
        {1999, 3, "1.999"},
        {0, 3, "0.000"},
        {-200, 0x10000, "-200"},
        {999999000, 0x10000, "999999000"},
        {1, 0x10001, "0.1"},
        {50000000, 0x10003, "50000.000"},
        {-123456, 0x10004, "-12.3456"},
        {999999000, 0x10005, "9999.99000"},
        {1, 0x10005, "0.00001"},
        {std::numeric_limits<std::int32_t>::min(), 0, "-2147483648"},
    };
    for (const Case &c : cases) {
        const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(c.dp);
        EXPECT_EQ(AuxNumberText(c.value, info), QLatin1String(c.expected)) << c.value << " dp " << c.dp;
    }
}

// Where the single-precision factor times the value is still exact to the
// shown decimals, the text is the one the float product gives.
TEST(NumberText, SameTextAsTheFloatProductForModerateValues)
{
    for (const std::int32_t dp : {0, 1, 2, 3, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005}) {
        const DigitalPointInfo info = CScaleMisuraDisplay::GetDigitalPointInfo(dp);
        const int decimals = NumberFormatDecimals(info.NumberFormat);
        for (std::int32_t v = -99999; v <= 99999; v += 37) {
            const double product = static_cast<double>(v) * static_cast<double>(info.Factor);
            const QString expected = QString::number(product, 'f', decimals);
            ASSERT_EQ(AuxNumberText(v, info), expected) << v << " dp " << dp;
        }
    }
}

TEST(NumberText, FixedFormatsRoundAndPad)
{
    struct Case {
        std::int64_t value;
        int decimals;
        const char *format;
        const char *expected;
    };
    const Case cases[] = {
        {1000, 1, "000.0", "100.0"}, // integration time 1000 -> "100.0"
        {5, 1, "000.0", "000.5"},       {255, 1, "##0.0", "25.5"},    {12, 0, "##0", "12"}, {-5, 0, "0000", "-0005"},
        {5, 0, "#0.00", "5.00"},        {12345, 2, "##0.0", "123.5"}, // a half away from zero
        {-12345, 2, "##0.0", "-123.5"}, {12344, 2, "##0.0", "123.4"}, {-4, 1, "#0", "0"},   {5, 1, "#.0", ".5"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AuxNumberText(c.value, c.decimals, QString::fromLatin1(c.format)), QLatin1String(c.expected))
            << c.value << " " << c.format;
}

TEST(NumberText, ReportsUseTheLocaleSeparatorAndNoGroups)
{
    DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    const DigitalPointInfo one = CScaleMisuraDisplay::GetDigitalPointInfo(1);
    const DigitalPointInfo six = CScaleMisuraDisplay::GetDigitalPointInfo(0x10000);
    EXPECT_EQ(ReportNumberText(12345, one), QStringLiteral("1234,5"));
    EXPECT_EQ(ReportNumberText(-5, CScaleMisuraDisplay::GetDigitalPointInfo(2)), QStringLiteral("-0,05"));
    EXPECT_EQ(ReportNumberText(999999000, six), QStringLiteral("999999000"));
    EXPECT_EQ(ReportNumberText(12345, one, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("1234.5"));
    // Auxiliary lines carry "." whatever the locale.
    EXPECT_EQ(AuxNumberText(12345, one), QStringLiteral("1234.5"));
}

TEST(NumberText, StrictDecimalParsing)
{
    struct Case {
        const char *text;
        std::optional<std::int32_t> asLong;
        std::optional<std::int16_t> asInteger;
    };
    const auto none = std::nullopt;
    const Case cases[] = {
        {"0089", 89, 89},
        {"+5", 5, 5},
        {"-0", 0, 0},
        {"32767", 32767, 32767},
        {"-32768", -32768, -32768},
        {"32768", 32768, none},
        {"-32769", -32769, none},
        {"2147483647", 2147483647, none},
        {"-2147483648", std::numeric_limits<std::int32_t>::min(), none},
        {"2147483648", none, none},
        {"-2147483649", none, none},
        {"000000000000000000000012", 12, 12},
        {"99999999999999999999999", none, none},
        {"", none, none},
        {"-", none, none},
        {"+", none, none},
        {"--5", none, none},
        {" 5", none, none},
        {"5 ", none, none},
        {"1.5", none, none},
        {"1,5", none, none},
        {"12a", none, none},
        {"0x10", none, none},
        {"\xd9\xa3", none, none}, // ARABIC-INDIC DIGIT THREE
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(ParseDecimalLong(text), c.asLong) << c.text;
        EXPECT_EQ(ParseDecimalInteger(text), c.asInteger) << c.text;
    }
}

TEST(NumberText, ReadersRaiseTheReadError)
{
    TraceCapture trace;
    EXPECT_EQ(ReadDecimalInteger(QStringLiteral("0089")), 89);
    EXPECT_EQ(ReadDecimalLong(QStringLiteral("-999999000")), -999999000);
    try {
        ReadDecimalInteger(QString(), QStringLiteral("S.out>Add="));
        FAIL() << "empty text parsed";
    } catch (const SetupReadError &e) {
        EXPECT_TRUE(e.Text().contains(QStringLiteral("S.out>Add="))) << e.what();
    }
    EXPECT_THROW(ReadDecimalLong(QStringLiteral("12.5")), SetupReadError);
    EXPECT_EQ(trace.Lines().size(), 2);
}

TEST(NumberText, MnemonicConverters)
{
    TraceCapture trace;
    const QStringList baud = {QStringLiteral("4.8"), QStringLiteral("9.6"), QStringLiteral("19.2"),
                              QStringLiteral("38.4")};
    const QString fail = QStringLiteral("Errore valore ConvBaudRate");
    EXPECT_EQ(MnemonicToCode(QStringLiteral("9.6"), baud, fail), 1);
    EXPECT_EQ(MnemonicToCode(QStringLiteral("38.4"), baud, fail), 3);
    EXPECT_EQ(CodeToMnemonic(0, baud, fail), QStringLiteral("4.8"));
    EXPECT_EQ(CodeToMnemonic(3, baud, fail), QStringLiteral("38.4"));

    const QStringList lin = {QStringLiteral("nonE"), QStringLiteral("Lin")};
    for (const char *bad : {"none", "9.60", "", " Lin"})
        EXPECT_FALSE(FindMnemonicCode(QString::fromLatin1(bad), bad[0] == '9' ? baud : lin)) << bad;

    EXPECT_THROW(MnemonicToCode(QStringLiteral("57.6"), baud, fail), SetupReadError);
    EXPECT_THROW(CodeToMnemonic(4, baud, fail), SetupReadError);
    EXPECT_THROW(CodeToMnemonic(-1, baud, fail), SetupReadError);
    const QStringList written = trace.Lines();
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written.front(), QStringLiteral("g_Trace.BugAssert fallito: Errore valore ConvBaudRate"));
}
