#include "MBytes.h"

#include "CTraceCode.h"

#include <array>

// Every function works on the bit patterns through unsigned types, so no
// signed shift or overflow is ever evaluated.

namespace {

// A bit count outside its range is a programming error of the caller: it is
// traced as a failed check and the function gives 0 (false).
bool countInRange(std::int16_t count, std::int16_t highest)
{
    const bool ok = count >= 0 && count <= highest;
    if (!ok)
        g_Trace.BugAssert(false, QString());
    return ok;
}

} // namespace

std::int16_t LoWord(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

std::int16_t HiWord(std::int32_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) >> 16));
}

std::uint8_t LoByte(std::int16_t value)
{
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFFu);
}

std::uint8_t HiByte(std::int16_t value)
{
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
}

std::int16_t MakeWord(std::uint8_t low, std::uint8_t high)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((unsigned{high} << 8) | unsigned{low}));
}

std::int32_t MakeLong(std::int16_t low, std::int16_t high)
{
    const std::uint32_t bits =
        (std::uint32_t{static_cast<std::uint16_t>(high)} << 16) | std::uint32_t{static_cast<std::uint16_t>(low)};
    return static_cast<std::int32_t>(bits);
}

std::int16_t LShiftWord(std::int16_t value, std::int16_t bits)
{
    if (!countInRange(bits, 15))
        return 0;
    const std::uint32_t product = static_cast<std::uint32_t>(static_cast<std::uint16_t>(value)) << bits;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(product & 0xFFFFu));
}

std::int16_t RShiftWord(std::int16_t value, std::int16_t bits)
{
    if (!countInRange(bits, 15))
        return 0;
    if (bits == 0)
        return value;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value) >> bits);
}

bool TestBit(std::int32_t value, std::int16_t bit)
{
    if (!countInRange(bit, 31))
        return false;
    return ((static_cast<std::uint32_t>(value) >> bit) & 1u) != 0;
}

std::int32_t Pow2(std::int16_t n)
{
    // Filled on the first call and kept for the run; entry 31 is the bit
    // pattern 0x80000000, the most negative Long.
    static const std::array<std::int32_t, 32> table = [] {
        std::array<std::int32_t, 32> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = static_cast<std::int32_t>(std::uint32_t{1} << i);
        return t;
    }();
    if (!countInRange(n, 31))
        return 0;
    return table[static_cast<std::size_t>(n)];
}

// The 8-bit form is Latin-1: one byte per character, so byte counts match
// character counts as with an 8-bit code page; a character Latin-1 lacks
// becomes '?'.
void StrToBytes(QByteArray &bytes, QString &text)
{
    if (bytes.isEmpty()) {
        bytes = text.toLatin1();
        return;
    }
    const qsizetype n = bytes.size();
    if (text.size() < n)
        text.append(QString(n - text.size(), QChar(0)));
    const QByteArray eight = text.toLatin1();
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = eight.at(i);
    text = QString::fromLatin1(eight);
}

QString BytesToStr(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}
