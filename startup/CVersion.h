#pragma once
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>

// The fixed part of a file's version data: thirteen 32-bit fields.
struct VersionFixedInfo {
    std::int32_t Signature = 0;
    std::int32_t StrucVersion = 0;
    std::int32_t FileVersionMS = 0;
    std::int32_t FileVersionLS = 0;
    std::int32_t ProductVersionMS = 0;
    std::int32_t ProductVersionLS = 0;
    std::int32_t FileFlagsMask = 0;
    std::int32_t FileFlags = 0;
    std::int32_t FileOS = 0;
    std::int32_t FileType = 0;
    std::int32_t FileSubtype = 0;
    std::int32_t FileDateMS = 0;
    std::int32_t FileDateLS = 0;
};

// A file's version data as the reader takes it: the fixed record, the
// translations (low word language, high word code page) and the string
// values keyed by their full path, "\StringFileInfo\040904B0\ProductName".
struct VersionData {
    VersionFixedInfo Fixed;
    QList<std::int32_t> Translations;
    QHash<QString, QString> Strings;
};

// Reads the version data of an executable file. Linux programs carry no
// version resource: the data of the program's own executable is compiled
// in from the build (PELVARO_PROGRAM_VERSION in startup/CMakeLists.txt,
// major.minor.revision, the version string 303 shows; the file version is
// major.minor.0.revision); any other file has none, and every property stays
// empty without an error.
class CVersion {
public:
    CVersion() = default;

    void Create(const QString &fileName);
    QString ExeName() const { return m_ExeName; }
    // Clears the object and reads the given file.
    void SetExeName(const QString &fileName) { Create(fileName); }

    // Takes the given version data as that of fileName (the common part of
    // Create once the data is read).
    void CreateFrom(const QString &fileName, const VersionData &data);

    // The program's own version data.
    static const VersionData &ProgramVersionData();
    // True when fileName names the running program's executable.
    static bool IsProgramFile(const QString &fileName);

    QString FullFileVersion() const;
    QString FullProductVersion() const;
    std::int32_t FileVersionMajor() const { return m_Fixed.FileVersionMS; }
    std::int32_t FileVersionMinor() const { return m_Fixed.FileVersionLS; }
    std::int32_t ProductVersionMajor() const { return m_Fixed.ProductVersionMS; }
    std::int32_t ProductVersionMinor() const { return m_Fixed.ProductVersionLS; }
    std::int32_t BuildOptions() const { return m_Fixed.FileFlags; }
    QString BuildString() const;
    QString Environment() const;
    QString ExeType() const;
    // An invalid date while no version data is held or the date is 0.
    QDateTime TimeStamp() const;

    QString Company() const { return Custom(QStringLiteral("CompanyName")); }
    QString Comments() const { return Custom(QStringLiteral("Comments")); }
    QString Description() const { return Custom(QStringLiteral("FileDescription")); }
    QString ProductVersionString() const { return Custom(QStringLiteral("ProductVersion")); }
    QString FileVersionString() const { return Custom(QStringLiteral("FileVersion")); }
    QString InternalName() const { return Custom(QStringLiteral("InternalName")); }
    QString Copyright() const { return Custom(QStringLiteral("LegalCopyright")); }
    QString Trademarks() const { return Custom(QStringLiteral("LegalTradeMarks")); }
    QString OriginalFilename() const { return Custom(QStringLiteral("OriginalFilename")); }
    QString PrivateBuild() const { return Custom(QStringLiteral("PrivateBuild")); }
    QString ProductName() const { return Custom(QStringLiteral("ProductName")); }
    QString ProductVersion() const { return Custom(QStringLiteral("ProductVersion")); }
    QString SpecialBuild() const { return Custom(QStringLiteral("SpecialBuild")); }
    // The string value of any key, up to its first NUL; empty when absent.
    QString Custom(const QString &key) const;

private:
    void clear();

    QString m_ExeName;
    bool m_HasData = false;
    VersionData m_Data;
    VersionFixedInfo m_Fixed;
    QString m_StringPrefix;
};
