// A file is replaced whole or not at all: every failure leaves the earlier
// file with all its bytes and no temporary file, and names its kind.
#include "FileReplacement.h"
#include "FileWriteFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        // Others may pass through to the folders of the read-only cases.
        ASSERT_TRUE(QFile::setPermissions(m_Dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner | QFileDevice::ExeOther));
    }

    QString File(const QString &name) const { return m_Dir.filePath(name); }
    static QByteArray Bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void Put(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QStringList Entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    QTemporaryDir m_Dir;
};

TEST_F(FileReplacementTest, EveryFailureKeepsTheEarlierFileAndNamesItsKind)
{
    enum class Fault { None, DiskFull, ReadOnlyFile, ReadOnlyFolder, MissingFolder };
    struct Case {
        const char *what;
        std::optional<QByteArray> earlier; // the file before; none: a new file
        Fault fault;
        std::optional<FileWriteFailure> kind; // none: written
    };
    const QByteArray earlier(1000, 'e');
    const Case cases[] = {
        {"new file", std::nullopt, Fault::None, std::nullopt},
        {"file replaced", earlier, Fault::None, std::nullopt},
        {"new file, disk full", std::nullopt, Fault::DiskFull, FileWriteFailure::DiskFull},
        {"file replaced, disk full", earlier, Fault::DiskFull, FileWriteFailure::DiskFull},
        {"read-only file", earlier, Fault::ReadOnlyFile, FileWriteFailure::ReadOnly},
        {"read-only folder", earlier, Fault::ReadOnlyFolder, FileWriteFailure::ReadOnly},
        {"missing folder", std::nullopt, Fault::MissingFolder, FileWriteFailure::Other},
    };
    const QByteArray bytes(662, 'n');
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = File(QString::fromLatin1(c.what).replace(' ', '_').remove(','));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString target =
            c.fault == Fault::MissingFolder ? folder + QStringLiteral("/missing/x.OXA") : folder + "/x.OXA";
        if (c.earlier)
            Put(target, *c.earlier);
        // The read-only cases are checked as for an ordinary user also when
        // the tests run as root: the file in a folder anyone may write, the
        // folder that no one may.
        const QFile::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        const QFile::Permissions other = QFileDevice::ReadOther | QFileDevice::ExeOther;
        if (c.fault == Fault::ReadOnlyFile) {
            ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadOther));
            ASSERT_TRUE(QFile::setPermissions(folder, open | other | QFileDevice::WriteOther));
        }
        if (c.fault == Fault::ReadOnlyFolder) {
            ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | other));
        }

        FileWriteError error;
        bool written = false;
        {
            std::optional<UnprivilegedFileAccess> asUser;
            if (c.fault == Fault::ReadOnlyFile || c.fault == Fault::ReadOnlyFolder)
                asUser.emplace();
            std::optional<ScopedFileSizeLimit> full;
            if (c.fault == Fault::DiskFull)
                full.emplace(100);
            written = WriteWholeFile(target, bytes, error);
        }
        QFile::setPermissions(folder, open);

        EXPECT_EQ(written, !c.kind.has_value());
        if (c.kind) {
            EXPECT_EQ(error.kind, *c.kind) << error.description.toStdString();
            EXPECT_EQ(error.fileName, target);
            EXPECT_FALSE(error.description.isEmpty());
        }
        EXPECT_EQ(Bytes(target), written ? bytes : c.earlier.value_or(QByteArray()));
        EXPECT_EQ(QFile::exists(target), written || c.earlier.has_value());
        // No temporary file is left beside it.
        EXPECT_EQ(Entries(folder), QFile::exists(target) ? QStringList{QStringLiteral("x.OXA")} : QStringList{});
    }
}

// A replaced file keeps its permissions; through a symbolic link the file it
// points to is replaced and the link stays.
TEST_F(FileReplacementTest, ReplacementKeepsPermissionsAndLinks)
{
    const QString target = File(QStringLiteral("kept.ini"));
    Put(target, "old");
    const QFile::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, mode));
    const QString link = File(QStringLiteral("link.ini"));
    ASSERT_TRUE(QFile::link(target, link));

    FileWriteError error;
    ASSERT_TRUE(WriteWholeFile(link, "new", error)) << error.description.toStdString();
    EXPECT_EQ(Bytes(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target) & ~QFile::Permissions(0x0700), mode);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(Entries(m_Dir.path()), (QStringList{QStringLiteral("kept.ini"), QStringLiteral("link.ini")}));
}

// Through a chain of symbolic links, a relative one read from its own
// folder, the file at the chain's end is replaced, or made when the last
// link points to no file yet; the links stay as they were. A loop of links
// writes nothing.
TEST_F(FileReplacementTest, ThroughAChainOfLinksTheFileAtItsEndIsWritten)
{
    struct Link {
        const char *path; // in the case's folder
        const char *target;
    };
    struct Case {
        const char *what;
        std::vector<Link> links;
        const char *written; // the file the bytes reach; nullptr: none (a failure)
        bool earlier;        // that file is there before
    };
    const Case cases[] = {
        {"two links", {{"a/first.ini", "../b/second.ini"}, {"b/second.ini", "real.ini"}}, "b/real.ini", true},
        {"two links to no file yet",
         {{"a/first.ini", "../b/second.ini"}, {"b/second.ini", "made.ini"}},
         "b/made.ini",
         false},
        {"a loop", {{"a/first.ini", "second.ini"}, {"a/second.ini", "first.ini"}}, nullptr, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QDir folder(File(QString::fromLatin1(c.what).replace(' ', '_')));
        ASSERT_TRUE(folder.mkpath(QStringLiteral("a")) && folder.mkpath(QStringLiteral("b")));
        for (const Link &l : c.links)
            ASSERT_EQ(::symlink(l.target, QFile::encodeName(folder.filePath(QString::fromLatin1(l.path))).constData()),
                      0);
        if (c.earlier)
            Put(folder.filePath(QString::fromLatin1(c.written)), "old");

        FileWriteError error;
        const QString through = folder.filePath(QStringLiteral("a/first.ini"));
        const bool written = WriteWholeFile(through, "new", error);

        EXPECT_EQ(written, c.written != nullptr) << error.description.toStdString();
        QStringList expected[2]; // the entries of a and b
        for (const Link &l : c.links) {
            const QString path = folder.filePath(QString::fromLatin1(l.path));
            char target[256] = {};
            EXPECT_GT(::readlink(QFile::encodeName(path).constData(), target, sizeof target - 1), 0) << l.path;
            EXPECT_STREQ(target, l.target);
            expected[l.path[0] == 'b'] << QFileInfo(path).fileName();
        }
        if (c.written) {
            EXPECT_EQ(Bytes(folder.filePath(QString::fromLatin1(c.written))), QByteArray("new"));
            expected[1] << QFileInfo(QString::fromLatin1(c.written)).fileName();
        } else {
            EXPECT_EQ(error.kind, FileWriteFailure::Other);
            EXPECT_EQ(error.fileName, through);
        }
        // No temporary file is left in either folder.
        for (int i = 0; i < 2; ++i) {
            expected[i].sort();
            EXPECT_EQ(Entries(folder.filePath(QString::fromLatin1(i == 0 ? "a" : "b"))), expected[i]);
        }
    }
}

// A name of up to 255 bytes, as long as a folder's entry may be, is written
// new and replaced: the temporary name is cut to fit, never inside a letter.
TEST_F(FileReplacementTest, ANameOfUpTo255BytesIsWritten)
{
    const QString names[] = {
        QString(249, QLatin1Char('n')),
        QString(251, QLatin1Char('n')) + QStringLiteral(".pdf"),
        // Two bytes a letter: cut at 248 bytes, the cut would fall inside one.
        QStringLiteral("n") + QString(127, QChar(0xE8)),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(QFile::encodeName(name).size());
        ASSERT_LE(QFile::encodeName(name).size(), 255);
        const QString target = File(name);
        for (const bool replaced : {false, true}) {
            SCOPED_TRACE(replaced ? "replaced" : "new");
            if (replaced)
                Put(target, "old");
            FileWriteError error;
            EXPECT_TRUE(WriteWholeFile(target, replaced ? "newer" : "new", error)) << error.description.toStdString();
            EXPECT_EQ(Bytes(target), QByteArray(replaced ? "newer" : "new"));
            EXPECT_EQ(Entries(m_Dir.path()), QStringList{name});
        }
        QFile::remove(target);
    }
}

// A file another writer fills at the temporary path (the PDF printer) and
// leaves incomplete: the reason is found on the same file, the temporary
// file goes, the target stays.
TEST_F(FileReplacementTest, AnIncompleteFileOfAnotherWriterIsToldByItsKind)
{
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "disk full" : "disk not full");
        const QString target = File(QStringLiteral("report.pdf"));
        Put(target, "%PDF-1.4 earlier");
        FileReplacement pdf(target);
        FileWriteError error;
        ASSERT_TRUE(pdf.Open(error));
        Put(pdf.TemporaryPath(), "%PDF-1.4 cut");
        {
            std::optional<ScopedFileSizeLimit> limit;
            if (full)
                limit.emplace(4096);
            pdf.Incomplete(error);
        }
        EXPECT_EQ(error.kind, full ? FileWriteFailure::DiskFull : FileWriteFailure::Other);
        EXPECT_EQ(Bytes(target), QByteArray("%PDF-1.4 earlier"));
        EXPECT_EQ(Entries(m_Dir.path()), QStringList{QStringLiteral("report.pdf")});
    }
}

TEST(FileWriteFailure, KindOfTheSystemsErrorNumber)
{
    for (const int e : {ENOSPC, EDQUOT, EFBIG})
        EXPECT_EQ(FileWriteFailureOf(e), FileWriteFailure::DiskFull) << e;
    for (const int e : {EACCES, EPERM, EROFS, ETXTBSY})
        EXPECT_EQ(FileWriteFailureOf(e), FileWriteFailure::ReadOnly) << e;
    for (const int e : {ENOENT, EIO, EISDIR})
        EXPECT_EQ(FileWriteFailureOf(e), FileWriteFailure::Other) << e;
}

} // namespace
