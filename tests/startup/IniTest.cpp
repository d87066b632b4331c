#include "CINIManager.h"
#include "FileWriteFaults.h"
#include "MErrors.h"
#include "UnprivilegedFileAccess.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

class IniFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_Path = m_Dir.filePath(QStringLiteral("Settings.ini"));
        m_Ini.Create(m_Path);
    }

    void writeFile(const QByteArray &content) const
    {
        QFile f(m_Path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    QByteArray fileContent() const
    {
        QFile f(m_Path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_Dir;
    QString m_Path;
    CINIManager m_Ini;
};

const QByteArray kHandWritten = "; written by hand\r\n"
                                "[Comm]\r\n"
                                "  Baud = 9600 \r\n"
                                "Port=2\r\n"
                                "garbage without equals\r\n"
                                "Empty=\r\n"
                                "Word=abc\r\n"
                                "\r\n"
                                "; the printer\r\n"
                                "[Print]\r\n"
                                "Copies=3\r\n";

} // namespace

TEST_F(IniFile, ReadsNamesWithoutCaseAndGivesDefaultsForWhatIsMissing)
{
    writeFile(kHandWritten);
    EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("comm"), QStringLiteral("BAUD"), 1), 9600);
    EXPECT_EQ(m_Ini.INIGetString(QStringLiteral("COMM"), QStringLiteral("port"), QStringLiteral("x")),
              QStringLiteral("2"));
    EXPECT_TRUE(m_Ini.INIKeyExist(QStringLiteral("print"), QStringLiteral("copies")));

    // Part of a name is not the name.
    EXPECT_FALSE(m_Ini.INISectionExist(QStringLiteral("Com")));
    EXPECT_FALSE(m_Ini.INIKeyExist(QStringLiteral("Comm"), QStringLiteral("Bau")));
    EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Bau"), 7), 7);
    // A key of another section, an empty name, a missing section.
    EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Copies"), 7), 7);
    EXPECT_EQ(m_Ini.INIGetString(QString(), QStringLiteral("Port"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(m_Ini.INISectionExist(QString()));
    EXPECT_FALSE(m_Ini.INIDelSection(QString()));
    EXPECT_EQ(m_Ini.INIGetInt(QStringLiteral("Nowhere"), QStringLiteral("Port"), 5), 5);

    // Present but not a number: the Long reads 0, the converted types raise.
    EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Word"), 7), 0);
    EXPECT_EQ(m_Ini.INIGetString(QStringLiteral("Comm"), QStringLiteral("Empty"), QStringLiteral("d")), QString());
    try {
        m_Ini.INIGetInt(QStringLiteral("Comm"), QStringLiteral("Empty"), 5);
        FAIL() << "no conversion error";
    } catch (const ProgramError &e) {
        EXPECT_EQ(e.Number(), 13);
    }

    // No file at all.
    CINIManager missing;
    missing.Create(m_Dir.filePath(QStringLiteral("none.ini")));
    EXPECT_EQ(missing.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Baud"), 4800), 4800);
    EXPECT_FALSE(missing.INISectionExist(QStringLiteral("Comm")));
    EXPECT_FALSE(QFile::exists(missing.FileName()));
}

TEST_F(IniFile, WritesChangeOnlyTheirLineAndKeepTheRest)
{
    writeFile(kHandWritten);
    EXPECT_TRUE(m_Ini.INIAddKeyLong(QStringLiteral("COMM"), QStringLiteral("baud"), 19200));
    EXPECT_TRUE(m_Ini.INIAddKeyString(QStringLiteral("Comm"), QStringLiteral("Parity"), QStringLiteral("E")));
    EXPECT_TRUE(m_Ini.INIAddKeyBool(QStringLiteral("Network"), QStringLiteral("Enabled"), true));
    EXPECT_EQ(fileContent(), QByteArray("; written by hand\r\n"
                                        "[Comm]\r\n"
                                        "Baud=19200\r\n"
                                        "Port=2\r\n"
                                        "garbage without equals\r\n"
                                        "Empty=\r\n"
                                        "Word=abc\r\n"
                                        "Parity=E\r\n"
                                        "\r\n"
                                        "; the printer\r\n"
                                        "[Print]\r\n"
                                        "Copies=3\r\n"
                                        "\r\n"
                                        "[Network]\r\n"
                                        "Enabled=1\r\n"));
    // Nothing is left beside the file.
    EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Settings.ini")});
}

// A file edited with different tools keeps each line's own end; lines the
// program adds take the end of the file's first line. A last line without an
// end gets that one too.
TEST_F(IniFile, MixedLineEndsAreKeptLineByLine)
{
    const struct {
        const char *name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"CRLF first", "[Comm]\r\nBaud=9600\nPort=2\r\n; note\n[Print]\nCopies=3",
         "[Comm]\r\nBaud=19200\nPort=2\r\nParity=E\r\n; note\n[Print]\nCopies=3\r\n"},
        {"LF first", "[Comm]\nBaud=9600\r\nPort=2\n; note\r\n[Print]\r\nCopies=3\r\n",
         "[Comm]\nBaud=19200\r\nPort=2\nParity=E\n; note\r\n[Print]\r\nCopies=3\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(c.before);
        EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Port"), 0), 2);
        EXPECT_TRUE(m_Ini.INIAddKeyLong(QStringLiteral("Comm"), QStringLiteral("Baud"), 19200));
        EXPECT_TRUE(m_Ini.INIAddKeyString(QStringLiteral("Comm"), QStringLiteral("Parity"), QStringLiteral("E")));
        EXPECT_EQ(fileContent(), c.after);
        EXPECT_EQ(m_Ini.INIGetLong(QStringLiteral("Print"), QStringLiteral("Copies"), 0), 3);
    }
}

TEST_F(IniFile, DeletesKeysAndSectionsKeepingTheNextSectionsComments)
{
    writeFile(kHandWritten);
    EXPECT_TRUE(m_Ini.INIDelKey(QStringLiteral("comm"), QStringLiteral("PORT")));
    EXPECT_FALSE(m_Ini.INIDelKey(QStringLiteral("Comm"), QStringLiteral("Port")));
    EXPECT_FALSE(m_Ini.INIDelKey(QStringLiteral("Comm"), QStringLiteral("Po")));
    EXPECT_FALSE(m_Ini.INIDelSection(QStringLiteral("Missing")));
    EXPECT_TRUE(m_Ini.INIDelSection(QStringLiteral("COMM")));
    EXPECT_EQ(fileContent(), QByteArray("; written by hand\r\n"
                                        "\r\n"
                                        "; the printer\r\n"
                                        "[Print]\r\n"
                                        "Copies=3\r\n"));
    EXPECT_TRUE(m_Ini.INIDelSection(QStringLiteral("Print")));
    EXPECT_FALSE(m_Ini.INISectionExist(QStringLiteral("Print")));
}

TEST_F(IniFile, TypedValuesReadBackAsWritten)
{
    const QString s = QStringLiteral("Values");
    const std::int32_t longs[] = {0, -1, 123456789, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max()};
    for (std::int32_t v : longs) {
        ASSERT_TRUE(m_Ini.INIAddKeyLong(s, QStringLiteral("L"), v));
        EXPECT_EQ(m_Ini.INIGetLong(s, QStringLiteral("L"), 42), v);
    }
    const std::int16_t ints[] = {-1, -32768, 32767};
    for (std::int16_t v : ints) {
        ASSERT_TRUE(m_Ini.INIAddKeyInt(s, QStringLiteral("I"), v));
        EXPECT_EQ(m_Ini.INIGetInt(s, QStringLiteral("I"), 42), v);
    }
    ASSERT_TRUE(m_Ini.INIAddKeyInt(s, QStringLiteral("I"), -1));
    EXPECT_EQ(m_Ini.INIGetString(s, QStringLiteral("I"), QString()), QStringLiteral("-1"));
    EXPECT_FALSE(m_Ini.INIGetBool(s, QStringLiteral("I"), true)); // "-1" is not True

    ASSERT_TRUE(m_Ini.INIAddKeyBool(s, QStringLiteral("B"), true));
    EXPECT_TRUE(m_Ini.INIGetBool(s, QStringLiteral("B"), false));
    ASSERT_TRUE(m_Ini.INIAddKeyBool(s, QStringLiteral("B"), false));
    EXPECT_EQ(m_Ini.INIGetString(s, QStringLiteral("B"), QString()), QStringLiteral("0"));

    ASSERT_TRUE(m_Ini.INIAddKeyString(s, QStringLiteral("T"), QStringLiteral("a = b ; c")));
    EXPECT_EQ(m_Ini.INIGetString(s, QStringLiteral("T"), QString()), QStringLiteral("a = b ; c"));

    // Single and Date in the regional form, here an Italian one.
    struct LocaleGuard {
        QLocale previous;
        ~LocaleGuard() { QLocale::setDefault(previous); }
    } guard;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const float singles[] = {0.1f, -2.5f, 1e-7f, 3.4e38f, 100000.0f};
    for (float v : singles) {
        ASSERT_TRUE(m_Ini.INIAddKeySingle(s, QStringLiteral("F"), v));
        EXPECT_EQ(m_Ini.INIGetSingle(s, QStringLiteral("F"), 42.0f), v);
    }
    ASSERT_TRUE(m_Ini.INIAddKeySingle(s, QStringLiteral("F"), -2.5f));
    EXPECT_EQ(m_Ini.INIGetString(s, QStringLiteral("F"), QString()), QStringLiteral("-2,5"));
    const QDateTime dates[] = {QDateTime(QDate(2024, 2, 29), QTime(13, 5, 9)),
                               QDateTime(QDate(1999, 12, 31), QTime(0, 0))};
    for (const QDateTime &v : dates) {
        ASSERT_TRUE(m_Ini.INIAddKeyDate(s, QStringLiteral("D"), v));
        EXPECT_EQ(m_Ini.INIGetDate(s, QStringLiteral("D"), QDateTime()), v);
    }
    EXPECT_EQ(m_Ini.INIGetString(s, QStringLiteral("D"), QString()), QStringLiteral("31/12/1999"));
}

// A write that cannot happen says so and leaves the file as it was; a text
// that would add lines or sections to the file is refused.
TEST_F(IniFile, WriteFailuresAreReportedAndChangeNothing)
{
    const QString existing = m_Dir.filePath(QStringLiteral("plain-file"));
    QFile(existing).open(QIODevice::WriteOnly);
    const QString unwritable[] = {
        m_Dir.filePath(QStringLiteral("no-such-folder/Settings.ini")),
        existing + QStringLiteral("/Settings.ini"),
        QStringLiteral("/proc/pelvaro-settings.ini"), // refuses new files even for root
        QString(),
    };
    for (const QString &path : unwritable) {
        CINIManager ini;
        ini.Create(path);
        EXPECT_FALSE(ini.INIAddKeyLong(QStringLiteral("S"), QStringLiteral("K"), 1)) << path.toStdString();
    }

    writeFile(kHandWritten);
    EXPECT_FALSE(m_Ini.INIAddKeyString(QStringLiteral("Comm"), QStringLiteral("Port"), QStringLiteral("1\n[X]")));
    EXPECT_FALSE(m_Ini.INIAddKeyString(QStringLiteral("Comm"), QStringLiteral("A=B"), QStringLiteral("1")));
    EXPECT_FALSE(m_Ini.INIAddKeyString(QStringLiteral("Co]mm"), QStringLiteral("A"), QStringLiteral("1")));
    EXPECT_FALSE(m_Ini.INIAddKeyString(QString(), QStringLiteral("A"), QStringLiteral("1")));
    EXPECT_FALSE(m_Ini.INIAddKeyString(QStringLiteral("Comm"), QString(), QStringLiteral("1")));
    EXPECT_EQ(fileContent(), kHandWritten);

    // A read-only folder, checked as for an ordinary user also when the
    // tests run as root.
    ASSERT_TRUE(QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                        QFileDevice::ExeOther));
    const QString locked = m_Dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    CINIManager ini;
    ini.Create(locked + QStringLiteral("/Settings.ini"));
    ASSERT_TRUE(ini.INIAddKeyLong(QStringLiteral("Comm"), QStringLiteral("Baud"), 9600));
    const QFile::Permissions open = QFile::permissions(locked);
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));
    {
        UnprivilegedFileAccess asUser;
        EXPECT_FALSE(ini.INIAddKeyLong(QStringLiteral("Comm"), QStringLiteral("Baud"), 19200));
        EXPECT_FALSE(ini.INIDelKey(QStringLiteral("Comm"), QStringLiteral("Baud")));
    }
    EXPECT_EQ(ini.INIGetLong(QStringLiteral("Comm"), QStringLiteral("Baud"), 0), 9600);
    QFile::setPermissions(locked, open);
}
