#include "NumberText.h"

#include "ModelError.h"

#include <algorithm>
#include <limits>

namespace {

std::uint64_t Pow10(int n)
{
    std::uint64_t p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// Decimal counts beyond this would overflow the 64-bit magnitude; the
// program's formats have at most 5.
constexpr int kMaxDecimals = 9;

std::optional<std::int64_t> ParseBounded(QStringView text, std::int64_t min, std::int64_t max)
{
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-'))) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > max + 1) // beyond either bound; stops before any overflow
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

QString BadValueText(const QString &text, const QString &what)
{
    QString message = QStringLiteral("Valore numerico non valido");
    if (!what.isEmpty())
        message += QStringLiteral(" per ") + what;
    return message + QStringLiteral(": \"") + text + QLatin1Char('"');
}

} // namespace

int NumberFormatDecimals(QStringView numberFormat)
{
    const qsizetype dot = numberFormat.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    int n = 0;
    for (const QChar c : numberFormat.mid(dot + 1)) {
        if (c == QLatin1Char('0') || c == QLatin1Char('#'))
            ++n;
    }
    return n;
}

QString FormatScaledNumber(std::int64_t value, int decimals, QStringView numberFormat, QStringView separator)
{
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    const qsizetype dot = numberFormat.indexOf(QLatin1Char('.'));
    const QStringView integerPattern = dot < 0 ? numberFormat : numberFormat.left(dot);
    const int minIntegerDigits = static_cast<int>(integerPattern.count(QLatin1Char('0')));
    const int formatDecimals = std::min(NumberFormatDecimals(numberFormat), kMaxDecimals);

    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    if (formatDecimals > decimals) {
        magnitude *= Pow10(formatDecimals - decimals);
    } else if (formatDecimals < decimals) {
        const std::uint64_t divisor = Pow10(decimals - formatDecimals);
        const std::uint64_t rest = magnitude % divisor;
        magnitude /= divisor;
        if (rest >= divisor - rest) // a half or more: away from zero
            ++magnitude;
    }

    QString digits = QString::number(magnitude);
    if (digits.size() <= formatDecimals)
        digits = digits.rightJustified(formatDecimals + 1, QLatin1Char('0'));
    QString integerPart = digits.left(digits.size() - formatDecimals);
    const QString fraction = digits.right(formatDecimals);
    if (integerPart == QLatin1String("0") && minIntegerDigits == 0)
        integerPart.clear();
    else if (integerPart.size() < minIntegerDigits)
        integerPart = integerPart.rightJustified(minIntegerDigits, QLatin1Char('0'));

    QString text;
    if (negative && magnitude != 0)
        text += QLatin1Char('-');
    text += integerPart;
    if (formatDecimals > 0) {
        text += separator;
        text += fraction;
    }
    return text;
}

QString AuxNumberText(std::int64_t value, const DigitalPointInfo &info)
{
    return AuxNumberText(value, NumberFormatDecimals(info.NumberFormat), info.NumberFormat);
}

QString AuxNumberText(std::int64_t value, int decimals, QStringView numberFormat)
{
    return FormatScaledNumber(value, decimals, numberFormat, u".");
}

QString ReportNumberText(std::int64_t value, const DigitalPointInfo &info, const QLocale &locale)
{
    return ReportNumberText(value, NumberFormatDecimals(info.NumberFormat), info.NumberFormat, locale);
}

QString ReportNumberText(std::int64_t value, int decimals, QStringView numberFormat, const QLocale &locale)
{
    return FormatScaledNumber(value, decimals, numberFormat, locale.decimalPoint());
}

std::optional<std::int32_t> ParseDecimalLong(QStringView text)
{
    const auto v =
        ParseBounded(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
    if (!v)
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<std::int16_t> ParseDecimalInteger(QStringView text)
{
    const auto v =
        ParseBounded(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
    if (!v)
        return std::nullopt;
    return static_cast<std::int16_t>(*v);
}

std::int32_t ReadDecimalLong(const QString &text, const QString &what)
{
    const auto v = ParseDecimalLong(text);
    if (!v)
        RaiseSetupReadError(SetupReadError::LineError(BadValueText(text, what), what, text));
    return *v;
}

std::int16_t ReadDecimalInteger(const QString &text, const QString &what)
{
    const auto v = ParseDecimalInteger(text);
    if (!v)
        RaiseSetupReadError(SetupReadError::LineError(BadValueText(text, what), what, text));
    return *v;
}

std::optional<std::int16_t> FindMnemonicCode(QStringView text, const QStringList &mnemonics)
{
    for (qsizetype i = 0; i < mnemonics.size() && i <= std::numeric_limits<std::int16_t>::max(); ++i) {
        if (mnemonics[i] == text)
            return static_cast<std::int16_t>(i);
    }
    return std::nullopt;
}

std::int16_t MnemonicToCode(const QString &text, const QStringList &mnemonics, const QString &failText,
                            const QString &line)
{
    const auto code = FindMnemonicCode(text, mnemonics);
    if (!code && line.isEmpty())
        RaiseSetupReadError(failText);
    if (!code)
        RaiseSetupReadError(SetupReadError::LineError(failText, line, text));
    return *code;
}

QString CodeToMnemonic(std::int32_t code, const QStringList &mnemonics, const QString &failText)
{
    if (code < 0 || code >= mnemonics.size())
        RaiseSetupReadError(failText);
    return mnemonics[code];
}
