#include "StringTable.h"

#include "MErrors.h"
#include "ProgramFolder.h"

#include <QFile>
#include <QHash>
#include <QTextStream>

namespace {

QString unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text[++i];
            if (n == QLatin1Char('n'))
                out += QLatin1Char('\n');
            else if (n == QLatin1Char('r'))
                out += QLatin1Char('\r');
            else if (n == QLatin1Char('t'))
                out += QLatin1Char('\t');
            else if (n == QLatin1Char('\\'))
                out += QLatin1Char('\\');
            else {
                out += c;
                out += n;
            }
        } else {
            out += c;
        }
    }
    return out;
}

const QHash<std::int32_t, QString> &table()
{
    static const QHash<std::int32_t, QString> strings = [] {
        QHash<std::int32_t, QString> t;
        QFile f(QStringLiteral(":/strings.txt"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return t;
        const QString all = QString::fromUtf8(f.readAll());
        const auto lines = QStringView(all).split(QLatin1Char('\n'));
        for (QStringView line : lines) {
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const qsizetype tab = line.indexOf(QLatin1Char('\t'));
            if (tab <= 0)
                continue;
            bool ok = false;
            const int id = line.left(tab).toInt(&ok);
            if (!ok)
                continue;
            t.insert(id, unescape(line.mid(tab + 1)));
        }
        return t;
    }();
    return strings;
}

} // namespace

QString LoadResourceString(std::int32_t id)
{
    const auto &t = table();
    const auto it = t.constFind(id);
    if (it == t.constEnd())
        throw ProgramError(326, ExecutableName() + QStringLiteral(".VBError"),
                           QStringLiteral("Resource with identifier '%1' not found").arg(id));
    return *it;
}

bool HasResourceString(std::int32_t id)
{
    return table().contains(id);
}
