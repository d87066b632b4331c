#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>

// One settings file in the classic sectioned text format:
//
//   [Section]
//   Key=Value
//
// Our own reader and writer, not QSettings, whose INI format escapes keys
// and rewrites the whole file.
//
// Section and key names are compared without regard to case and without
// surrounding blanks; the first section and the first key of a name count.
// Values are read without surrounding blanks. Lines starting with ';' are
// comments. A missing or unreadable file reads as a file without sections.
// Every call reads the file anew; a write changes only the line concerned (a
// new key goes after the section's last key, a new section at the end) and
// keeps every other line (comments, blank and malformed lines, other
// sections) as it is, each line's own line end (CR LF or LF, so a file with
// mixed ends keeps them; an added line, and a last line without one, take
// the end of the file's first line) and the file's encoding (UTF-8, or
// Latin-1 for a file that is not valid UTF-8). The new content replaces the
// file through a temporary file in the same folder (WriteWholeFile,
// platform/FileReplacement.h), so an interrupted write or a full disk never
// leaves a truncated or empty file. A write changes nothing
// and answers false when the existing file cannot be read.
//
// Values are text: Long and Integer in plain decimal (negative Longs
// included), Single as the shortest text that reads back exactly and Date
// in the regional form of the locale (QLocale(), the system locale unless
// the program sets another), Boolean "1" or "0".
class CINIManager {
public:
    void Create(const QString &fileName) { m_FileName = fileName; }
    const QString &FileName() const { return m_FileName; }
    void SetFileName(const QString &fileName) { m_FileName = fileName; }

    // Getters give the default when the key is absent. INIGetLong reads the
    // leading decimal number of the text ("-" allowed) and gives 0 for a
    // text without one. INIGetInt, INIGetSingle, INIGetDate and INIGetBool
    // convert the text by the regional conversion and raise the conversion
    // error (13, type mismatch; 6, overflow) when it fails. INIGetBool is
    // True exactly when the number is 1. INIGetString gives at most 4095
    // characters.
    std::int32_t INIGetLong(const QString &section, const QString &key, std::int32_t defaultValue) const;
    QString INIGetString(const QString &section, const QString &key, const QString &defaultValue) const;
    float INIGetSingle(const QString &section, const QString &key, float defaultValue) const;
    std::int16_t INIGetInt(const QString &section, const QString &key, std::int16_t defaultValue) const;
    bool INIGetBool(const QString &section, const QString &key, bool defaultValue) const;
    QDateTime INIGetDate(const QString &section, const QString &key, const QDateTime &defaultValue) const;

    // True when the section (the key) existed and the file was rewritten.
    bool INIDelSection(const QString &section);
    bool INIDelKey(const QString &section, const QString &key);

    // Exact name matches, without regard to case; an empty name is never
    // found.
    bool INISectionExist(const QString &section) const;
    bool INIKeyExist(const QString &section, const QString &key) const;

    // Write the key into the section, creating the section or the file when
    // missing; True when the file was written. False (nothing written) when
    // the file name, section or key is empty, when a text would break the
    // file's line structure (a line break anywhere, "]" in the section, "="
    // in the key), or when the file or its folder cannot be written.
    bool INIAddKeyString(const QString &section, const QString &key, const QString &value);
    bool INIAddKeyLong(const QString &section, const QString &key, std::int32_t value);
    bool INIAddKeySingle(const QString &section, const QString &key, float value);
    bool INIAddKeyInt(const QString &section, const QString &key, std::int16_t value);
    bool INIAddKeyBool(const QString &section, const QString &key, bool value);
    bool INIAddKeyDate(const QString &section, const QString &key, const QDateTime &value);

private:
    QString m_FileName;
};
