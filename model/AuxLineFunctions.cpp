#include "AuxLineFunctions.h"

#include "ModelError.h"
#include "ScaleTables.h"
#include "StringTable.h"

#include <algorithm>

QString FindCmdAuxValue(std::int16_t templateId, std::span<const QString> lines)
{
    const QString text = LoadResourceString(templateId);
    const QString prefix = text.left(std::max<qsizetype>(0, text.size() - 2));
    for (const QString &line : lines) {
        if (line == kAuxNoSend)
            continue;
        // Only a line that begins with the command counts: the prefix found
        // further inside a line would make its tail pass for the value.
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size());
    }
    RaiseSetupReadError(
        SetupReadError::LineError(QStringLiteral("Non trovato comando ") + prefix, prefix, QString(), true));
}

QString RemovePoints(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c != QLatin1Char('.'))
            out += c;
    }
    return out;
}

QString CommaToPoint(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}

std::int32_t GetDigitalPointCode(const QString &sample)
{
    for (std::size_t i = 0; i < g_DigitalPoint4.size(); ++i) {
        if (g_DigitalPoint4[i].Sample == sample)
            return static_cast<std::int32_t>(i);
    }
    for (std::size_t i = 0; i < g_DigitalPoint6.size(); ++i) {
        if (g_DigitalPoint6[i].Sample == sample)
            return 0x10000 + static_cast<std::int32_t>(i);
    }
    RaiseSetupReadError(QStringLiteral("Errore valore MeasureDigitalPoint"));
}
