#include "CVersion.h"

#include "MBytes.h"
#include "MUtility.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#ifndef PELVARO_PROGRAM_VERSION
#error "the build passes PELVARO_PROGRAM_VERSION (major.minor.revision)"
#endif

namespace {

static_assert(sizeof(VersionFixedInfo) == 52, "the fixed version record is thirteen 32-bit fields");

constexpr std::int32_t kSignature = static_cast<std::int32_t>(0xFEEF04BDu);
constexpr std::int32_t kStrucVersion = 0x00010000;
constexpr std::int32_t kFlagsMask = 0x3F;
constexpr std::int32_t kFileTypeApplication = 1;
// US English, Unicode.
constexpr std::int32_t kTranslation = (0x04B0 << 16) | 0x0409;

std::uint16_t unsignedWord(std::int16_t word)
{
    return static_cast<std::uint16_t>(word);
}

QString fourParts(std::int32_t ms, std::int32_t ls)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(unsignedWord(HiWord(ms)))
        .arg(unsignedWord(LoWord(ms)))
        .arg(unsignedWord(HiWord(ls)))
        .arg(unsignedWord(LoWord(ls)));
}

QString stringPrefix(std::int32_t translation)
{
    return QStringLiteral("\\StringFileInfo\\") + FmtHex(LoWord(translation), 4) + FmtHex(HiWord(translation), 4) +
           QLatin1Char('\\');
}

QString textOr(std::int32_t id, const QString &fallback)
{
    return HasResourceString(id) ? LoadResourceString(id) : fallback;
}

VersionData buildProgramVersionData()
{
    // "major.minor.revision", as the version string of the program shows it;
    // the file version keeps the classic layout major, minor, 0, revision.
    const QStringList parts = QStringLiteral(PELVARO_PROGRAM_VERSION).split(QLatin1Char('.'));
    const auto part = [&parts](qsizetype i) {
        return i < parts.size() ? static_cast<std::int16_t>(parts.at(i).toUShort()) : std::int16_t{0};
    };
    VersionData data;
    VersionFixedInfo &f = data.Fixed;
    f.Signature = kSignature;
    f.StrucVersion = kStrucVersion;
    f.FileVersionMS = MakeLong(part(1), part(0));
    f.FileVersionLS = MakeLong(part(2), 0);
    f.ProductVersionMS = f.FileVersionMS;
    f.ProductVersionLS = f.FileVersionLS;
    f.FileFlagsMask = kFlagsMask;
    f.FileFlags = 0;
    f.FileOS = 0; // none of the Windows environments
    f.FileType = kFileTypeApplication;
    data.Translations.append(kTranslation);

    const QString prefix = stringPrefix(kTranslation);
    const QString version = QStringLiteral(PELVARO_PROGRAM_VERSION);
    const QString exe = ExecutableName();
    data.Strings.insert(prefix + QStringLiteral("ProductName"), textOr(301, QStringLiteral("Pelvaro")));
    data.Strings.insert(prefix + QStringLiteral("FileDescription"), textOr(302, QString()));
    data.Strings.insert(prefix + QStringLiteral("LegalCopyright"), textOr(304, QString()));
    data.Strings.insert(prefix + QStringLiteral("CompanyName"), textOr(306, QString()));
    data.Strings.insert(prefix + QStringLiteral("FileVersion"), version);
    data.Strings.insert(prefix + QStringLiteral("ProductVersion"), version);
    data.Strings.insert(prefix + QStringLiteral("InternalName"), exe);
    data.Strings.insert(prefix + QStringLiteral("OriginalFilename"), exe);
    return data;
}

} // namespace

const VersionData &CVersion::ProgramVersionData()
{
    static const VersionData data = buildProgramVersionData();
    return data;
}

bool CVersion::IsProgramFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const QFileInfo file(fileName);
    QStringList own;
    if (QCoreApplication::instance())
        own.append(QCoreApplication::applicationFilePath());
    own.append(ProgramFile(ExecutableName()));
    for (const QString &candidate : own) {
        const QFileInfo program(candidate);
        if (file.absoluteFilePath() == program.absoluteFilePath())
            return true;
        if (file.exists() && program.exists() && file.canonicalFilePath() == program.canonicalFilePath())
            return true;
    }
    return false;
}

void CVersion::clear()
{
    m_ExeName.clear();
    m_HasData = false;
    m_Data = VersionData();
    m_Fixed = VersionFixedInfo();
    m_StringPrefix.clear();
}

void CVersion::Create(const QString &fileName)
{
    clear();
    // Only the program itself has version data here; any other file has
    // none, which is no error.
    if (!IsProgramFile(fileName))
        return;
    CreateFrom(fileName, ProgramVersionData());
}

void CVersion::CreateFrom(const QString &fileName, const VersionData &data)
{
    clear();
    m_Data = data;
    m_Fixed = data.Fixed;
    if (data.Translations.isEmpty()) {
        clear();
        return;
    }
    m_StringPrefix = stringPrefix(data.Translations.first());
    m_ExeName = fileName;
    m_HasData = true;
}

QString CVersion::FullFileVersion() const
{
    if (!m_HasData)
        return QString();
    return fourParts(m_Fixed.FileVersionMS, m_Fixed.FileVersionLS);
}

QString CVersion::FullProductVersion() const
{
    if (!m_HasData)
        return QString();
    return fourParts(m_Fixed.ProductVersionMS, m_Fixed.ProductVersionLS);
}

QString CVersion::BuildString() const
{
    static const char *const words[] = {"Debug ",        "Prerelease ",   "Patched ",
                                        "PrivateBuild ", "InfoInferred ", "SpecialBuild "};
    QString text;
    for (int bit = 0; bit < 6; ++bit) {
        if (m_Fixed.FileFlags & (1 << bit))
            text += QLatin1String(words[bit]);
    }
    return text;
}

QString CVersion::Environment() const
{
    QString text;
    switch (LoWord(m_Fixed.FileOS)) {
    case 1: text = QStringLiteral("Windows (16-bit)"); break;
    case 2: text = QStringLiteral("PM (16-bit)"); break;
    case 3: text = QStringLiteral("PM (32-bit)"); break;
    case 4: text = QStringLiteral("Windows (32-bit)"); break;
    default: break;
    }
    switch (HiWord(m_Fixed.FileOS)) {
    case 1: text += QStringLiteral(" under MS-DOS"); break;
    case 2: text += QStringLiteral(" under OS/2 (16-bit)"); break;
    case 3: text += QStringLiteral(" under OS/2 (32-bit)"); break;
    case 4: text += QStringLiteral(" under Windows-NT"); break;
    default: break;
    }
    return text;
}

QString CVersion::ExeType() const
{
    if (!m_HasData)
        return QString();
    switch (m_Fixed.FileType) {
    case 1: return QStringLiteral("Application");
    case 2: return QStringLiteral("Dynamic Link Library");
    case 3: {
        static const char *const drivers[] = {":Printer", ":Keyboard", ":Language",    ":Display", ":Mouse",
                                              ":Network", ":System",   ":Installable", ":Sound",   ":Communications"};
        const std::int32_t sub = m_Fixed.FileSubtype;
        return QStringLiteral("Driver") + (sub >= 1 && sub <= 10 ? QLatin1String(drivers[sub - 1]) : QLatin1String());
    }
    case 4: {
        static const char *const fonts[] = {":Raster", ":Vector", ":TrueType"};
        const std::int32_t sub = m_Fixed.FileSubtype;
        return QStringLiteral("Font") + (sub >= 1 && sub <= 3 ? QLatin1String(fonts[sub - 1]) : QLatin1String());
    }
    case 5: return QStringLiteral("VXD");
    case 7: return QStringLiteral("Static Library");
    default: return QStringLiteral("Unknown");
    }
}

QDateTime CVersion::TimeStamp() const
{
    if (m_Fixed.FileDateMS == 0 && m_Fixed.FileDateLS == 0)
        return QDateTime();
    // A file time counts 100 ns steps from 1 January 1601 (UTC); one with
    // the top bit set cannot be converted.
    const std::uint64_t ticks = (std::uint64_t{static_cast<std::uint32_t>(m_Fixed.FileDateMS)} << 32) |
                                std::uint64_t{static_cast<std::uint32_t>(m_Fixed.FileDateLS)};
    if (ticks > 0x7FFFFFFFFFFFFFFFull)
        return QDateTime();
    constexpr qint64 kEpochOffsetMs = 11644473600000LL; // 1601-01-01 to 1970-01-01
    const qint64 ms = static_cast<qint64>(ticks / 10000) - kEpochOffsetMs;
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    if (!utc.isValid())
        return QDateTime();
    return utc.toLocalTime();
}

QString CVersion::Custom(const QString &key) const
{
    if (!m_HasData)
        return QString();
    return StrZToStr(m_Data.Strings.value(m_StringPrefix + key));
}
