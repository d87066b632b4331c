#pragma once
#include <QString>
#include <QVariant>

// The per-user settings store: text values under application title, section
// and key, kept in QSettings' native format (~/.config/<title>.conf).
// Tests point XDG_CONFIG_HOME at a temporary folder before the first use.
inline constexpr const char *kApplicationTitle = "Pelvaro";

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue = QString());
void SaveSetting(const QString &appName, const QString &section, const QString &key, const QString &value);
void DeleteSetting(const QString &appName, const QString &section, const QString &key = QString());
bool HasSetting(const QString &appName, const QString &section, const QString &key);
