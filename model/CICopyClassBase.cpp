#include "CICopyClassBase.h"

#include "MErrors.h"
#include "SettingsStore.h"

#include <QDateTime>
#include <charconv>
#include <limits>

namespace {

// Strict decimal integer: optional sign, digits only.
qint64 parseInteger(const QString &text, qint64 min, qint64 max)
{
    const QString t = text.trimmed();
    qsizetype start = (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (t.size() == start)
        RaiseProgramError(RunTimeError::TypeMismatch);
    for (qsizetype i = start; i < t.size(); ++i) {
        if (!t[i].isDigit() || t[i].unicode() > '9')
            RaiseProgramError(RunTimeError::TypeMismatch);
    }
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    if (!ok || v < min || v > max)
        RaiseProgramError(RunTimeError::Overflow);
    return v;
}

// The shortest decimal text that reads back as the same float: 0.1f is
// "0.1", and 1234567.0f keeps its seventh digit.
QString floatText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

bool CICopyClassBase::VerifySameClass(const ICopyClass &first, const ICopyClass &second) const
{
    return first.ClassName() == second.ClassName();
}

void CICopyClassBase::LoadData(const QString &fileName)
{
    if (!fileName.isEmpty())
        SetFileName(fileName);
}

void CICopyClassBase::SaveData(const QString &fileName)
{
    if (!fileName.isEmpty())
        SetFileName(fileName);
}

void CICopyClassBase::SaveVariable(const QString &name, const QVariant &value, const QString &section)
{
    const int type = value.typeId();
    if (!FileName().isEmpty()) {
        switch (type) {
        case QMetaType::Short: m_INI.INIAddKeyInt(section, name, value.value<std::int16_t>()); break;
        case QMetaType::Int: m_INI.INIAddKeyLong(section, name, value.value<std::int32_t>()); break;
        case QMetaType::Float: m_INI.INIAddKeySingle(section, name, value.value<float>()); break;
        case QMetaType::QDateTime: m_INI.INIAddKeyDate(section, name, value.toDateTime()); break;
        case QMetaType::QString: m_INI.INIAddKeyString(section, name, value.toString()); break;
        case QMetaType::Bool: m_INI.INIAddKeyBool(section, name, value.toBool()); break;
        default: break;
        }
        return;
    }
    QString text;
    switch (type) {
    case QMetaType::Short: text = QString::number(value.value<std::int16_t>()); break;
    case QMetaType::Int: text = QString::number(value.value<std::int32_t>()); break;
    case QMetaType::Float: text = floatText(value.value<float>()); break;
    case QMetaType::QDateTime: text = value.toDateTime().toString(Qt::ISODate); break;
    case QMetaType::QString: text = value.toString(); break;
    case QMetaType::Bool: text = value.toBool() ? QStringLiteral("1") : QStringLiteral("0"); break;
    default: return;
    }
    SaveSetting(QString::fromLatin1(kApplicationTitle), section, name, text);
}

void CICopyClassBase::LoadVariable(const QString &name, QVariant &value, const QString &section)
{
    const int type = value.typeId();
    if (!FileName().isEmpty()) {
        switch (type) {
        case QMetaType::Short:
            value = QVariant::fromValue(m_INI.INIGetInt(section, name, value.value<std::int16_t>()));
            break;
        case QMetaType::Int:
            value = QVariant::fromValue(m_INI.INIGetLong(section, name, value.value<std::int32_t>()));
            break;
        case QMetaType::Float:
            value = QVariant::fromValue(m_INI.INIGetSingle(section, name, value.value<float>()));
            break;
        case QMetaType::QDateTime: value = QVariant(m_INI.INIGetDate(section, name, value.toDateTime())); break;
        case QMetaType::QString: value = QVariant(m_INI.INIGetString(section, name, value.toString())); break;
        case QMetaType::Bool: value = QVariant(m_INI.INIGetBool(section, name, value.toBool())); break;
        default: break;
        }
        return;
    }
    switch (type) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Float:
    case QMetaType::QDateTime:
    case QMetaType::QString:
    case QMetaType::Bool: break;
    default: return;
    }
    const QString app = QString::fromLatin1(kApplicationTitle);
    if (!HasSetting(app, section, name))
        return;
    const QString text = GetSetting(app, section, name);
    switch (type) {
    case QMetaType::Short:
        value = QVariant::fromValue(static_cast<std::int16_t>(
            parseInteger(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max())));
        break;
    case QMetaType::Int:
        value = QVariant::fromValue(static_cast<std::int32_t>(
            parseInteger(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
        break;
    case QMetaType::Float: {
        bool ok = false;
        const float f = text.trimmed().toFloat(&ok);
        if (!ok)
            RaiseProgramError(RunTimeError::TypeMismatch);
        value = QVariant::fromValue(f);
        break;
    }
    case QMetaType::QDateTime: {
        const QDateTime d = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (!d.isValid())
            RaiseProgramError(RunTimeError::TypeMismatch);
        value = QVariant(d);
        break;
    }
    case QMetaType::QString: value = QVariant(text); break;
    case QMetaType::Bool: {
        const QString t = text.trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            value = QVariant(true);
        else if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            value = QVariant(false);
        else
            value = QVariant(
                parseInteger(t, std::numeric_limits<qint64>::min() / 2, std::numeric_limits<qint64>::max() / 2) != 0);
        break;
    }
    default: break;
    }
}
