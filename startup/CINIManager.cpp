#include "CINIManager.h"

#include "FileReplacement.h"
#include "MErrors.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace {

// A value longer than this is cut when read (the size of the profile
// functions' value buffer less its terminator).
constexpr qsizetype kMaxValueLength = 4095;

// The file as lines split at each line feed, with what is needed to write it
// back byte for byte where nothing changed. A line of a CRLF end keeps its
// carriage return, so a file with mixed line ends keeps each line's own end;
// the parsing trims it away with the other blanks. Lines the program adds
// take the file's line end (that of its first line).
struct IniText {
    QStringList lines;
    QString eol = QStringLiteral("\n");

    // A new line's text with the file's line end.
    QString newLine(const QString &text) const { return eol.size() == 2 ? text + QLatin1Char('\r') : text; }
    // A changed line's new text with the line end that line had.
    static QString sameEnd(const QString &old, const QString &text)
    {
        return old.endsWith(QLatin1Char('\r')) ? text + QLatin1Char('\r') : text;
    }
    bool latin1 = false; // not valid UTF-8: read and written as Latin-1
    bool bom = false;
};

enum class ReadResult { Ok, Missing, Failed };

ReadResult readIni(const QString &path, IniText &ini)
{
    if (path.isEmpty())
        return ReadResult::Missing;
    QFile f(path);
    if (!f.exists())
        return ReadResult::Missing;
    if (!f.open(QIODevice::ReadOnly))
        return ReadResult::Failed;
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return ReadResult::Failed;

    static const QByteArray bom("\xEF\xBB\xBF");
    if (data.startsWith(bom)) {
        ini.bom = true;
        data.remove(0, bom.size());
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (utf8.hasError()) {
        ini.latin1 = true;
        text = QString::fromLatin1(data);
    }
    if (text.isEmpty())
        return ReadResult::Ok;
    ini.lines = text.split(QLatin1Char('\n'));
    const bool terminated = ini.lines.last().isEmpty();
    if (terminated)
        ini.lines.removeLast(); // the final line end
    if (!ini.lines.isEmpty() && ini.lines.first().endsWith(QLatin1Char('\r')))
        ini.eol = QStringLiteral("\r\n");
    // A last line without a line end gets the file's on writing.
    if (!terminated && !ini.lines.isEmpty() && !ini.lines.last().endsWith(QLatin1Char('\r')))
        ini.lines.last() = ini.newLine(ini.lines.last());
    return ReadResult::Ok;
}

// Replaces the file as a whole: the new content goes to a temporary file in
// the same folder, which is renamed over the old one only when all of it is
// on disk (a full disk leaves the old file as it was).
bool writeIni(const QString &path, const IniText &ini)
{
    QString text = ini.lines.join(QLatin1Char('\n'));
    if (!ini.lines.isEmpty())
        text += QLatin1Char('\n');
    QByteArray data = ini.latin1 ? text.toLatin1() : text.toUtf8();
    if (ini.bom)
        data.prepend("\xEF\xBB\xBF");
    FileWriteError error;
    return WriteWholeFile(path, data, error);
}

enum class LineKind { Other, Section, Key };

struct IniLine {
    LineKind kind = LineKind::Other;
    QString name;
    QString value;
};

IniLine classify(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close < 0)
            return {};
        return {LineKind::Section, t.mid(1, close - 1).trimmed(), QString()};
    }
    if (t.startsWith(QLatin1Char(';')))
        return {};
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return {};
    const QString key = t.left(eq).trimmed();
    if (key.isEmpty())
        return {};
    return {LineKind::Key, key, t.mid(eq + 1).trimmed()};
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool isBlankOrComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.isEmpty() || t.startsWith(QLatin1Char(';'));
}

// The first section of that name: its header line and the line after its
// last line (the next section's header or the end of the file).
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
    bool found() const { return header >= 0; }
};

SectionRange findSection(const QStringList &lines, const QString &section)
{
    SectionRange r;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const IniLine l = classify(lines.at(i));
        if (l.kind != LineKind::Section)
            continue;
        if (r.found()) {
            r.end = i;
            return r;
        }
        if (sameName(l.name, section))
            r.header = i;
    }
    if (r.found())
        r.end = lines.size();
    return r;
}

qsizetype findKey(const QStringList &lines, const SectionRange &r, const QString &key, IniLine *found = nullptr)
{
    for (qsizetype i = r.header + 1; i < r.end; ++i) {
        IniLine l = classify(lines.at(i));
        if (l.kind == LineKind::Key && sameName(l.name, key)) {
            if (found)
                *found = std::move(l);
            return i;
        }
    }
    return -1;
}

// A section, or a key of it, looked up for reading or deleting: the file's
// lines, the section's range and the key's line (-1 when not found). Nothing
// is found when a name is blank or the file is missing or cannot be read.
struct Lookup {
    IniText ini;
    SectionRange section;
    qsizetype keyLine = -1;
    IniLine key;
};

Lookup lookUpSection(const QString &path, const QString &section)
{
    Lookup l;
    if (!section.trimmed().isEmpty() && readIni(path, l.ini) == ReadResult::Ok)
        l.section = findSection(l.ini.lines, section.trimmed());
    return l;
}

Lookup lookUpKey(const QString &path, const QString &section, const QString &key)
{
    if (key.trimmed().isEmpty())
        return {};
    Lookup l = lookUpSection(path, section);
    if (l.section.found())
        l.keyLine = findKey(l.ini.lines, l.section, key.trimmed(), &l.key);
    return l;
}

// The key's value as INIGetString gives it; nothing when the key is absent.
std::optional<QString> storedValue(const QString &path, const QString &section, const QString &key)
{
    const Lookup l = lookUpKey(path, section, key);
    if (l.keyLine < 0)
        return std::nullopt;
    return l.key.value.left(kMaxValueLength);
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Names and values that would change the file's structure when written.
bool writable(const QString &section, const QString &key, const QString &value)
{
    if (section.isEmpty() || key.isEmpty())
        return false;
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    if (section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')))
        return false;
    return !key.startsWith(QLatin1Char('[')) && !key.startsWith(QLatin1Char(';'));
}

// Regional number conversion of a stored text; an unreadable text raises
// the type-mismatch error.
double regionalNumber(const QString &text)
{
    bool ok = false;
    const double d = QLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(d))
        RaiseProgramError(RunTimeError::TypeMismatch);
    return d;
}

// The regional date form: the locale's short date with a four-digit year,
// and the time when it is not midnight.
QString regionalDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

const QString kTimeFormat = QStringLiteral("HH:mm:ss");

} // namespace

bool CINIManager::INISectionExist(const QString &section) const
{
    return lookUpSection(m_FileName, section).section.found();
}

bool CINIManager::INIKeyExist(const QString &section, const QString &key) const
{
    return lookUpKey(m_FileName, section, key).keyLine >= 0;
}

QString CINIManager::INIGetString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return storedValue(m_FileName, section, key).value_or(defaultValue);
}

std::int32_t CINIManager::INIGetLong(const QString &section, const QString &key, std::int32_t defaultValue) const
{
    const std::optional<QString> stored = storedValue(m_FileName, section, key);
    if (!stored)
        return defaultValue;
    // The leading decimal number of the text; a text without one, or one
    // outside the Long range, reads as 0.
    const QString &text = *stored;
    qsizetype i = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        ++i;
    std::int64_t magnitude = 0;
    const qsizetype firstDigit = i;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        magnitude = magnitude * 10 + (text.at(i).unicode() - u'0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return 0;
    }
    if (i == firstDigit)
        return 0;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(value);
}

float CINIManager::INIGetSingle(const QString &section, const QString &key, float defaultValue) const
{
    const std::optional<QString> stored = storedValue(m_FileName, section, key);
    if (!stored)
        return defaultValue;
    const double d = regionalNumber(*stored);
    if (std::fabs(d) > double{std::numeric_limits<float>::max()})
        RaiseProgramError(RunTimeError::Overflow);
    return static_cast<float>(d);
}

std::int16_t CINIManager::INIGetInt(const QString &section, const QString &key, std::int16_t defaultValue) const
{
    const std::optional<QString> stored = storedValue(m_FileName, section, key);
    if (!stored)
        return defaultValue;
    // Rounded to the nearest integer, halves to the even one.
    const double d = std::nearbyint(regionalNumber(*stored));
    if (d < std::numeric_limits<std::int16_t>::min() || d > std::numeric_limits<std::int16_t>::max())
        RaiseProgramError(RunTimeError::Overflow);
    return static_cast<std::int16_t>(d);
}

bool CINIManager::INIGetBool(const QString &section, const QString &key, bool defaultValue) const
{
    const std::optional<QString> stored = storedValue(m_FileName, section, key);
    if (!stored)
        return defaultValue;
    return regionalNumber(*stored) == 1.0;
}

QDateTime CINIManager::INIGetDate(const QString &section, const QString &key, const QDateTime &defaultValue) const
{
    const std::optional<QString> stored = storedValue(m_FileName, section, key);
    if (!stored)
        return defaultValue;
    const QString &text = *stored;
    const QLocale locale = QLocale();
    const QString dateFormat = regionalDateFormat();
    QDateTime dt = locale.toDateTime(text, dateFormat + QLatin1Char(' ') + kTimeFormat);
    if (!dt.isValid()) {
        const QDate date = locale.toDate(text, dateFormat);
        if (date.isValid())
            dt = QDateTime(date, QTime(0, 0));
    }
    if (!dt.isValid())
        dt = QDateTime::fromString(text, Qt::ISODate);
    if (!dt.isValid())
        RaiseProgramError(RunTimeError::TypeMismatch);
    return dt;
}

bool CINIManager::INIDelSection(const QString &section)
{
    Lookup l = lookUpSection(m_FileName, section);
    const SectionRange &r = l.section;
    if (!r.found())
        return false;
    // Blank and comment lines just before the next section belong to that
    // section: they stay.
    qsizetype end = r.end;
    if (end < l.ini.lines.size()) {
        while (end > r.header + 1 && isBlankOrComment(l.ini.lines.at(end - 1)))
            --end;
    }
    l.ini.lines.remove(r.header, end - r.header);
    return writeIni(m_FileName, l.ini);
}

bool CINIManager::INIDelKey(const QString &section, const QString &key)
{
    Lookup l = lookUpKey(m_FileName, section, key);
    if (l.keyLine < 0)
        return false;
    l.ini.lines.removeAt(l.keyLine);
    return writeIni(m_FileName, l.ini);
}

bool CINIManager::INIAddKeyString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (m_FileName.isEmpty() || !writable(sectionName, keyName, value))
        return false;
    IniText ini;
    // A file that exists but cannot be read is never overwritten.
    if (readIni(m_FileName, ini) == ReadResult::Failed)
        return false;

    const SectionRange r = findSection(ini.lines, sectionName);
    if (!r.found()) {
        if (!ini.lines.isEmpty() && !ini.lines.last().trimmed().isEmpty())
            ini.lines.append(ini.newLine(QString()));
        ini.lines.append(ini.newLine(QLatin1Char('[') + sectionName + QLatin1Char(']')));
        ini.lines.append(ini.newLine(keyName + QLatin1Char('=') + value));
        return writeIni(m_FileName, ini);
    }
    IniLine existing;
    const qsizetype k = findKey(ini.lines, r, keyName, &existing);
    if (k >= 0) {
        // The key keeps its spelling in the file.
        ini.lines[k] = IniText::sameEnd(ini.lines.at(k), existing.name + QLatin1Char('=') + value);
        return writeIni(m_FileName, ini);
    }
    // A new key goes after the section's last key (or its header).
    qsizetype at = r.header + 1;
    for (qsizetype i = r.header + 1; i < r.end; ++i) {
        if (classify(ini.lines.at(i)).kind == LineKind::Key)
            at = i + 1;
    }
    ini.lines.insert(at, ini.newLine(keyName + QLatin1Char('=') + value));
    return writeIni(m_FileName, ini);
}

bool CINIManager::INIAddKeyLong(const QString &section, const QString &key, std::int32_t value)
{
    return INIAddKeyString(section, key, QString::number(value));
}

bool CINIManager::INIAddKeyInt(const QString &section, const QString &key, std::int16_t value)
{
    return INIAddKeyString(section, key, QString::number(value));
}

bool CINIManager::INIAddKeySingle(const QString &section, const QString &key, float value)
{
    if (!std::isfinite(value))
        return false;
    // The shortest plain decimal text that reads back as the same float
    // (no exponent), with the locale's decimal separator.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return false;
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return INIAddKeyString(section, key, text);
}

bool CINIManager::INIAddKeyBool(const QString &section, const QString &key, bool value)
{
    return INIAddKeyString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool CINIManager::INIAddKeyDate(const QString &section, const QString &key, const QDateTime &value)
{
    if (!value.isValid())
        return false;
    const QLocale locale = QLocale();
    QString text = locale.toString(value.date(), regionalDateFormat());
    if (value.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(value.time(), kTimeFormat);
    return INIAddKeyString(section, key, text);
}
