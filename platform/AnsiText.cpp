#include "AnsiText.h"

#include <array>
#include <cstdint>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

constexpr std::array<char16_t, 256> MakeTable()
{
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[static_cast<std::size_t>(b)] = (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
    return t;
}

// Byte to character, the whole code page.
constexpr std::array<char16_t, 256> kToUnicode = MakeTable();

// The byte of a character, or -1 when the code page has none.
int AnsiByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QByteArray AnsiFromText(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the code page
            bytes.append('?');
            continue;
        }
        const int b = c.isSurrogate() ? -1 : AnsiByte(c.unicode());
        bytes.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return bytes;
}

QString TextFromAnsi(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(kToUnicode[static_cast<std::uint8_t>(bytes[i])]);
    return text;
}
