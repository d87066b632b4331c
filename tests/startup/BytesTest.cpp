#include "CTraceCode.h"
#include "MBytes.h"
#include "MUtility.h"

#include <QFile>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct WordCase {
    const char *what;
    std::int64_t got;
    std::int64_t expected;
};

} // namespace

// The bit patterns of negative words and longs survive every split, join and
// shift; an out-of-range count gives 0 without ending the program.
TEST(Bytes, WordAndByteFunctionsKeepBitPatterns)
{
    const WordCase cases[] = {
        {"LoWord 0x00018000", LoWord(0x00018000), -32768},
        {"LoWord -1", LoWord(-1), -1},
        {"HiWord -65536", HiWord(-65536), -1},
        {"HiWord 0x7FFF0000", HiWord(0x7FFF0000), 32767},
        {"HiWord 0x80000000", HiWord(std::numeric_limits<std::int32_t>::min()), -32768},
        {"HiWord -1", HiWord(-1), -1},
        {"LoByte 0x1234", LoByte(0x1234), 0x34},
        {"HiByte -1", HiByte(-1), 255},
        {"HiByte -32768", HiByte(-32768), 128},
        {"MakeWord 34 12", MakeWord(0x34, 0x12), 0x1234},
        {"MakeWord FF FF", MakeWord(0xFF, 0xFF), -1},
        {"MakeWord 00 80", MakeWord(0x00, 0x80), -32768},
        {"MakeLong -1 0", MakeLong(-1, 0), 65535},
        {"MakeLong 0 -1", MakeLong(0, -1), -65536},
        {"MakeLong -1 -1", MakeLong(-1, -1), -1},
        {"MakeLong 0 -32768", MakeLong(0, -32768), std::numeric_limits<std::int32_t>::min()},
        {"MakeLong of the split of -123456", MakeLong(LoWord(-123456), HiWord(-123456)), -123456},
        {"LShiftWord 1 by 15", LShiftWord(1, 15), -32768},
        {"LShiftWord 3 by 15", LShiftWord(3, 15), -32768},
        {"LShiftWord -1 by 0", LShiftWord(-1, 0), -1},
        {"LShiftWord 0x4001 by 1", LShiftWord(0x4001, 1), -32766},
        {"RShiftWord -32768 by 1", RShiftWord(-32768, 1), 16384},
        {"RShiftWord -32768 by 0", RShiftWord(-32768, 0), -32768},
        {"RShiftWord -1 by 15", RShiftWord(-1, 15), 1},
        {"TestBit 0x80000000 bit 31", TestBit(std::numeric_limits<std::int32_t>::min(), 31), 1},
        {"TestBit 0x80000000 bit 30", TestBit(std::numeric_limits<std::int32_t>::min(), 30), 0},
        {"TestBit 1 bit 0", TestBit(1, 0), 1},
        {"Pow2 0", Pow2(0), 1},
        {"Pow2 15", Pow2(15), 32768},
        {"Pow2 31", Pow2(31), std::numeric_limits<std::int32_t>::min()},
        // Counts outside their range: a traced failed check and 0.
        {"LShiftWord by 16", LShiftWord(1, 16), 0},
        {"LShiftWord by -1", LShiftWord(1, -1), 0},
        {"RShiftWord by 16", RShiftWord(-1, 16), 0},
        {"TestBit bit 32", TestBit(-1, 32), 0},
        {"TestBit bit -1", TestBit(-1, -1), 0},
        {"Pow2 32", Pow2(32), 0},
        {"Pow2 -1", Pow2(-1), 0},
    };
    for (const WordCase &c : cases)
        EXPECT_EQ(c.got, c.expected) << c.what;
}

TEST(Bytes, OutOfRangeCountIsTracedAsFailedCheck)
{
    QTemporaryDir dir;
    const QString traceFile = dir.filePath(QStringLiteral("trace.DBG"));
    const auto oldMode = g_Trace.BugMode();
    const auto oldTraceMode = g_Trace.BugTraceMode();
    g_Trace.SetBugFileName(traceFile);
    g_Trace.SetBugMode(0);
    g_Trace.SetBugTraceMode(1);

    EXPECT_EQ(Pow2(40), 0);

    g_Trace.SetBugMode(oldMode);
    g_Trace.SetBugTraceMode(oldTraceMode);
    g_Trace.SetBugFileName(QString());
    QFile f(traceFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("g_Trace.BugAssert fallito: \r\n"));
}

TEST(Bytes, TextAndHexFunctions)
{
    struct HexCase {
        std::int32_t value;
        std::int16_t digits;
        const char *expected;
    };
    const HexCase hex[] = {
        {255, 4, "00FF"},    {0x12345, 4, "2345"},   {0xABC, 3, "ABC"}, {-1, 4, "FFFF"},
        {-2, 8, "FFFFFFFE"}, {-1, 10, "00FFFFFFFF"}, {0, 2, "00"},      {0x409, 0, ""},
    };
    for (const HexCase &c : hex)
        EXPECT_EQ(FmtHex(c.value, c.digits), QString::fromLatin1(c.expected)) << c.value << " " << c.digits;

    EXPECT_EQ(StrZToStr(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
    EXPECT_EQ(StrZToStr(QStringLiteral("abc")), QStringLiteral("abc"));

    EXPECT_TRUE(IsArrayEmpty(QVariant()));
    EXPECT_TRUE(IsArrayEmpty(QVariant(5)));
    EXPECT_TRUE(IsArrayEmpty(QVariantList{}));
    EXPECT_FALSE(IsArrayEmpty(QVariantList{1}));
    EXPECT_FALSE(IsArrayEmpty(QByteArray("x")));
}

TEST(Bytes, StrToBytesFillsTheArrayExactly)
{
    // A short text is NUL-padded to the array's size, the caller's text too.
    QByteArray tip(4, '\x7F');
    QString text = QStringLiteral("AB");
    StrToBytes(tip, text);
    EXPECT_EQ(tip, QByteArray("AB\0\0", 4));
    EXPECT_EQ(text, QStringLiteral("AB") + QChar(0) + QChar(0));

    // A long text is cut at the array's size; the array keeps its size.
    QByteArray four(4, '\0');
    QString longText = QStringLiteral("ABCDEF");
    StrToBytes(four, longText);
    EXPECT_EQ(four, QByteArray("ABCD"));

    // An empty array takes the whole text, one byte per character.
    QByteArray whole;
    QString accented = QStringLiteral("H\u00e9");
    StrToBytes(whole, accented);
    EXPECT_EQ(whole, QByteArray("H\xE9"));
    EXPECT_EQ(BytesToStr(whole), accented);
}
