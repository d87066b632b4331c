#include "SettingsStore.h"

#include <QSettings>

namespace {
QString fullKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, appName);
    const QVariant v = s.value(fullKey(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

void SaveSetting(const QString &appName, const QString &section, const QString &key, const QString &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, appName);
    s.setValue(fullKey(section, key), value);
    s.sync();
}

void DeleteSetting(const QString &appName, const QString &section, const QString &key)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, appName);
    if (key.isEmpty())
        s.remove(section);
    else
        s.remove(fullKey(section, key));
    s.sync();
}

bool HasSetting(const QString &appName, const QString &section, const QString &key)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, appName);
    return s.contains(fullKey(section, key));
}
