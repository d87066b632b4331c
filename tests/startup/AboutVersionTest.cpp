#include "CVersion.h"
#include "FAbout.h"
#include "FormText.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void expectEmpty(const CVersion &v, const char *what)
{
    EXPECT_TRUE(v.ExeName().isEmpty()) << what;
    EXPECT_TRUE(v.FullFileVersion().isEmpty()) << what;
    EXPECT_TRUE(v.FullProductVersion().isEmpty()) << what;
    EXPECT_EQ(v.FileVersionMajor(), 0) << what;
    EXPECT_EQ(v.FileVersionMinor(), 0) << what;
    EXPECT_EQ(v.BuildOptions(), 0) << what;
    EXPECT_TRUE(v.BuildString().isEmpty()) << what;
    EXPECT_TRUE(v.Environment().isEmpty()) << what;
    EXPECT_TRUE(v.ExeType().isEmpty()) << what;
    EXPECT_FALSE(v.TimeStamp().isValid()) << what;
    EXPECT_TRUE(v.ProductName().isEmpty()) << what;
    EXPECT_TRUE(v.Company().isEmpty()) << what;
    EXPECT_TRUE(v.Custom(QStringLiteral("FileVersion")).isEmpty()) << what;
}

} // namespace

// The program's own version data is the version its texts show (string 303).
TEST(Version, ProgramOwnDataMatchesTheVersionText)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Version (\\d+)\\.(\\d+)\\.(\\d+)$")).match(LoadResourceString(303));
    ASSERT_TRUE(m.hasMatch()) << LoadResourceString(303).toStdString();
    const QString major = m.captured(1), minor = m.captured(2), revision = m.captured(3);

    for (const QString &file : {QCoreApplication::applicationFilePath(), ProgramFile(ExecutableName())}) {
        CVersion v;
        ASSERT_NO_THROW(v.Create(file));
        EXPECT_EQ(v.ExeName(), file);
        const QString full = major + QLatin1Char('.') + minor + QStringLiteral(".0.") + revision;
        EXPECT_EQ(v.FullFileVersion(), full);
        EXPECT_EQ(v.FullProductVersion(), full);
        EXPECT_EQ(v.FileVersionMajor(), (major.toInt() << 16) | minor.toInt());
        EXPECT_EQ(v.FileVersionMinor(), revision.toInt());
        EXPECT_EQ(v.FileVersionString(), major + QLatin1Char('.') + minor + QLatin1Char('.') + revision);
        EXPECT_EQ(v.ProductName(), LoadResourceString(301));
        EXPECT_EQ(v.Description(), LoadResourceString(302));
        EXPECT_EQ(v.ExeType(), QStringLiteral("Application"));
        EXPECT_EQ(v.BuildString(), QString());
        EXPECT_FALSE(v.TimeStamp().isValid());
        EXPECT_TRUE(v.Trademarks().isEmpty());
    }
}

// Any other file has no version data: everything stays empty, nothing is
// raised; a new file name clears what an earlier one gave.
TEST(Version, OtherFilesHaveNoDataAndClearTheObject)
{
    CVersion v;
    v.Create(QCoreApplication::applicationFilePath());
    ASSERT_FALSE(v.FullFileVersion().isEmpty());

    for (const char *file : {"/bin/sh", "/no/such/file.exe", ""}) {
        ASSERT_NO_THROW(v.SetExeName(QString::fromLatin1(file))) << file;
        expectEmpty(v, file);
    }
}

TEST(Version, FieldsDecodedFromTheFixedRecord)
{
    struct Case {
        const char *what;
        VersionFixedInfo fixed;
        const char *fullFile;
        const char *build;
        const char *environment;
        const char *exeType;
    };
    const auto rec = [](std::uint32_t ms, std::uint32_t ls, std::int32_t flags, std::uint32_t os, std::int32_t type,
                        std::int32_t subtype) {
        VersionFixedInfo f;
        f.FileVersionMS = static_cast<std::int32_t>(ms);
        f.FileVersionLS = static_cast<std::int32_t>(ls);
        f.FileFlags = flags;
        f.FileOS = static_cast<std::int32_t>(os);
        f.FileType = type;
        f.FileSubtype = subtype;
        return f;
    };
    const Case cases[] = {
        {"parts of 32768 and more", rec(0xFFFF8000u, 0x00010002u, 0, 4, 1, 0), "65535.32768.1.2", "",
         "Windows (32-bit)", "Application"},
        {"debug and patched", rec(0x00010000u, 0, 1 | 4, 0x00040004u, 2, 0), "1.0.0.0", "Debug Patched ",
         "Windows (32-bit) under Windows-NT", "Dynamic Link Library"},
        {"every flag", rec(0, 0, 0x3F, 0x00010001u, 3, 10), "0.0.0.0",
         "Debug Prerelease Patched PrivateBuild InfoInferred SpecialBuild ", "Windows (16-bit) under MS-DOS",
         "Driver:Communications"},
        {"font", rec(0, 0, 0, 0x00020003u, 4, 3), "0.0.0.0", "", "PM (32-bit) under OS/2 (16-bit)", "Font:TrueType"},
        {"driver without known subtype", rec(0, 0, 0, 0x00050000u, 3, 11), "0.0.0.0", "", "", "Driver"},
        {"unknown type", rec(0, 0, 0, 0, 6, 0), "0.0.0.0", "", "", "Unknown"},
        {"static library", rec(0, 0, 0, 0, 7, 0), "0.0.0.0", "", "", "Static Library"},
    };
    for (const Case &c : cases) {
        VersionData data;
        data.Fixed = c.fixed;
        data.Translations.append(0x04B00409);
        CVersion v;
        v.CreateFrom(QStringLiteral("x.exe"), data);
        EXPECT_EQ(v.FullFileVersion(), QString::fromLatin1(c.fullFile)) << c.what;
        EXPECT_EQ(v.BuildString(), QString::fromLatin1(c.build)) << c.what;
        EXPECT_EQ(v.Environment(), QString::fromLatin1(c.environment)) << c.what;
        EXPECT_EQ(v.ExeType(), QString::fromLatin1(c.exeType)) << c.what;
    }
}

TEST(Version, StringsFollowTheFirstTranslationAndTimeStampIsAFileTime)
{
    VersionData data;
    data.Translations = {0x04E40410, 0x04B00409};
    data.Strings.insert(QStringLiteral("\\StringFileInfo\\041004E4\\CompanyName"),
                        QStringLiteral("Maker") + QChar(0) + QStringLiteral("rest"));
    data.Strings.insert(QStringLiteral("\\StringFileInfo\\040904B0\\ProductName"), QStringLiteral("other"));
    // 2001-02-03 04:05:06 UTC as 100 ns steps since 1601.
    const QDateTime when(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    const std::uint64_t ticks = static_cast<std::uint64_t>(when.toMSecsSinceEpoch() + 11644473600000LL) * 10000u;
    data.Fixed.FileDateMS = static_cast<std::int32_t>(ticks >> 32);
    data.Fixed.FileDateLS = static_cast<std::int32_t>(ticks & 0xFFFFFFFFu);

    CVersion v;
    v.CreateFrom(QStringLiteral("x.exe"), data);
    EXPECT_EQ(v.Company(), QStringLiteral("Maker"));
    EXPECT_TRUE(v.ProductName().isEmpty());
    EXPECT_EQ(v.TimeStamp().toUTC(), when);
    EXPECT_EQ(v.TimeStamp().timeSpec(), Qt::LocalTime);

    // A top bit set is no file time.
    data.Fixed.FileDateMS = static_cast<std::int32_t>(0x80000000u);
    v.CreateFrom(QStringLiteral("x.exe"), data);
    EXPECT_FALSE(v.TimeStamp().isValid());

    // Without a translation the data is dropped.
    data.Translations.clear();
    v.CreateFrom(QStringLiteral("x.exe"), data);
    expectEmpty(v, "no translation");
}

// Every text of the about window comes from the string table; the program
// font is on the controls, the first title keeps its own size.
TEST(About, TextsFontsAndOwner)
{
    const QString oldName = g_FontName;
    const std::int16_t oldSize = g_FontSize;
    g_FontName = QStringLiteral("Sans");
    g_FontSize = 9;
    QWidget owner;
    FAbout about(&owner);
    g_FontName = oldName;
    g_FontSize = oldSize;

    EXPECT_EQ(about.parentWidget(), &owner);
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.windowTitle(), LoadResourceString(300));
    struct Case {
        const char *what;
        QString text;
        std::int32_t id;
    };
    const Case cases[] = {
        {"lblTitle(0)", about.lblTitle[0]->text(), 301},       {"lblTitle(1)", about.lblTitle[1]->text(), 302},
        {"lblVersion", about.lblVersion->text(), 303},         {"lblCopyright", about.lblCopyright->text(), 304},
        {"lblDescription", about.lblDescription->text(), 305}, {"lblSupporto", about.lblSupporto->text(), 306},
        {"lblDisclaimer", about.lblDisclaimer->text(), 307},   {"cmdOK", about.cmdOK->text(), 2004},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.text, LoadResourceString(c.id)) << c.what;

    EXPECT_EQ(about.lblTitle[0]->font().pointSize(), 14);
    EXPECT_EQ(about.lblTitle[1]->font().pointSize(), 9);
    EXPECT_EQ(about.lblDisclaimer->font().family(), QStringLiteral("Sans"));
    EXPECT_FALSE(about.picApplication->pixmap().isNull());
    EXPECT_FALSE(about.picDravello->pixmap().isNull());
}

TEST(About, OkClosesTheModalWindow)
{
    QWidget owner;
    FAbout about(&owner);
    bool clicked = false;
    QTimer::singleShot(0, &about, [&] {
        clicked = about.isVisible();
        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(about.isVisible());
}
