#include "CSystem.h"
#include "CTraceCode.h"
#include "MsgBox.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace {

const QDateTime kFixedTime(QDate(2024, 3, 5), QTime(7, 8, 9));
const QString kStamp = QStringLiteral("05-03-24 07:08:09");

// A trace object on a file of its own, with the start routine's settings
// and a fixed clock.
class TraceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_OldClock = CTraceCode::SetClock([] { return kFixedTime; });
        m_File = m_Dir.filePath(QStringLiteral("pelvaro.DBG"));
        m_Trace.SetBugFileName(m_File);
        m_Trace.SetBugProgramVersion(QStringLiteral("Pelvaro Version 1.301.1"));
        m_Trace.SetBugFileCreateMode(0);
        m_Trace.SetBugMode(0);
        m_Trace.SetBugTraceMode(1);
    }
    void TearDown() override { CTraceCode::SetClock(m_OldClock); }

    QByteArray Bytes() const
    {
        QFile f(m_File);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Lines() const
    {
        QStringList lines = QString::fromLocal8Bit(Bytes()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    void WriteFile(const QByteArray &bytes) const
    {
        QFile f(m_File);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // The header line, the twelve system lines, the empty line, the version.
    void ExpectBegun(const QStringList &lines, const QString &header) const
    {
        ASSERT_GE(lines.size(), 15);
        EXPECT_EQ(lines[0], header + kStamp);
        static const char *const prefixes[] = {"Memoria fisica libera: ",
                                               "Memoria fisica disponibile: ",
                                               "Memoria virtuale libera: ",
                                               "Memoria virtuale disponibile: ",
                                               "Memoria caricata: ",
                                               "Processore: ",
                                               "Nome sistema operativo: ",
                                               "Windows Version: ",
                                               "Windows Directory: ",
                                               "System Directory: ",
                                               "Nome utente: ",
                                               "Nome macchina: "};
        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(lines[1 + i].startsWith(QLatin1String(prefixes[i]))) << lines[1 + i].toStdString();
        EXPECT_TRUE(lines[1].endsWith(QLatin1String(" KB")));
        EXPECT_TRUE(lines[5].endsWith(QLatin1String("%")));
        EXPECT_EQ(lines[13], QString());
        EXPECT_EQ(lines[14], QStringLiteral("Pelvaro Version 1.301.1"));
    }

    QTemporaryDir m_Dir;
    QString m_File;
    CTraceCode m_Trace;
    CTraceCode::Clock m_OldClock;
};

} // namespace

TEST(Trace, ProcessCommandLineFindsTheSwitchesAnywhere)
{
    struct Case {
        const char *commandLine;
        bool found;
        std::int32_t traceMode; // expected when found
    };
    const Case cases[] = {
        {"", false, 0},
        {"   ", false, 0},
        {"/debug_all", true, 2},
        {"  /Debug_All  ", true, 2},
        {"/Debug", true, 1},
        {"file.oxa /DEBUG", true, 1},
        {"x/DEBUGGERy", true, 1}, // inside a longer word
        {"/DEBUG /DEBUG_ALL", true, 2},
        {"-debug", false, 0},
        {"/DEBU", false, 0},
    };
    for (const Case &c : cases) {
        CTraceCode t;
        t.SetBugFileCreateMode(7);
        t.SetBugMode(5);
        t.SetBugTraceMode(9);
        EXPECT_EQ(t.ProcessCommandLine(QString::fromLatin1(c.commandLine)), c.found) << c.commandLine;
        if (c.found) {
            EXPECT_EQ(t.BugFileCreateMode(), 0) << c.commandLine;
            EXPECT_EQ(t.BugMode(), 0) << c.commandLine;
            EXPECT_EQ(t.BugTraceMode(), c.traceMode) << c.commandLine;
        } else {
            EXPECT_EQ(t.BugFileCreateMode(), 7) << c.commandLine;
            EXPECT_EQ(t.BugMode(), 5) << c.commandLine;
            EXPECT_EQ(t.BugTraceMode(), 9) << c.commandLine;
        }
    }
}

TEST_F(TraceFile, StartWritesHeaderSystemBlockAndVersionOnceWithCrLf)
{
    WriteFile("left over from the last run\r\n");
    m_Trace.BugStartTrace();
    m_Trace.BugMessage(QStringLiteral("Inizio programma"));
    m_Trace.BugStartTrace(); // a second start neither empties nor writes a header
    m_Trace.BugMessage(QStringLiteral("Crea form"));

    const QStringList lines = Lines();
    ExpectBegun(lines, QStringLiteral("Effettuata nuova esecuzione: "));
    EXPECT_EQ(lines.mid(15), (QStringList{QStringLiteral("Inizio programma"), QStringLiteral("Crea form")}));
    // Every line ends with CR LF: no bare line feed anywhere.
    const QByteArray bytes = Bytes();
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_TRUE(bytes.endsWith("Crea form\r\n"));
}

TEST_F(TraceFile, CreateModeDecidesWhetherTheFileIsEmptied)
{
    struct Case {
        std::int32_t createMode;
        bool fileExists;
        bool fullStart; // emptied, with system block and version
    };
    const Case cases[] = {{0, true, true}, {1, true, false}, {1, false, true}, {2, true, false}};
    for (const Case &c : cases) {
        QFile::remove(m_File);
        if (c.fileExists)
            WriteFile("old\r\n");
        CTraceCode t;
        t.SetBugFileName(m_File);
        t.SetBugProgramVersion(QStringLiteral("Pelvaro Version 1.301.1"));
        t.SetBugFileCreateMode(c.createMode);
        t.SetBugMode(0);
        t.SetBugTraceMode(1);
        t.BugStartTrace();
        const QStringList lines = Lines();
        if (c.fullStart) {
            ExpectBegun(lines, QStringLiteral("Effettuata nuova esecuzione: "));
            EXPECT_EQ(lines.size(), 15) << "mode " << c.createMode;
        } else {
            EXPECT_EQ(lines,
                      (QStringList{QStringLiteral("old"), QStringLiteral("Effettuata nuova esecuzione: ") + kStamp}))
                << "mode " << c.createMode;
        }
    }
}

TEST_F(TraceFile, TraceModeFiltersDisabledLines)
{
    struct Case {
        std::int32_t traceMode;
        std::optional<QStringList> lines; // nothing: no file at all
    };
    const Case cases[] = {
        {0, std::nullopt},
        {1, QStringList{QStringLiteral("a"), QStringLiteral("c")}},
        {2, QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
    };
    for (const Case &c : cases) {
        QFile::remove(m_File);
        CTraceCode t;
        t.SetBugFileName(m_File);
        t.SetBugIdentifySystem(false);
        t.SetBugMode(0);
        t.SetBugTraceMode(c.traceMode);
        t.BugStartTrace();
        t.BugMessage(QStringLiteral("a"));
        t.BugTraceDisable();
        t.BugMessage(QStringLiteral("b"));
        t.BugTraceEnable();
        t.BugMessage(QStringLiteral("c"));
        t.BugStopTrace();
        t.BugMessage(QStringLiteral("after stop"));
        if (!c.lines) {
            EXPECT_FALSE(QFile::exists(m_File)) << "mode " << c.traceMode;
            continue;
        }
        const QStringList lines = Lines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.mid(1), *c.lines) << "mode " << c.traceMode;
    }
}

TEST_F(TraceFile, FileRestartsFromItsSizeLimitOn)
{
    m_Trace.BugStartTrace();
    for (const qint64 size : {CTraceCode::kSizeLimit - 1, CTraceCode::kSizeLimit}) {
        const QByteArray filler(size, 'x');
        WriteFile(filler);
        m_Trace.BugMessage(QStringLiteral("next line"));
        const QByteArray bytes = Bytes();
        if (size < CTraceCode::kSizeLimit) {
            EXPECT_EQ(bytes, filler + "next line\r\n");
        } else {
            const QStringList lines = Lines();
            ExpectBegun(lines, QStringLiteral("Reinizializzato file per raggiunto limite dimensioni: "));
            EXPECT_EQ(lines.mid(15), QStringList{QStringLiteral("next line")});
        }
    }

    // Grown to the limit by the trace's own lines: the line that reaches it
    // is still appended, the one after it begins the file again.
    const qsizetype begun = Bytes().size();
    m_Trace.BugMessage(QString(CTraceCode::kSizeLimit - 1 - begun - 2, QLatin1Char('y')));
    ASSERT_EQ(Bytes().size(), CTraceCode::kSizeLimit - 1);
    m_Trace.BugMessage(QStringLiteral("at the limit"));
    EXPECT_EQ(Lines().last(), QStringLiteral("at the limit"));
    EXPECT_EQ(Bytes().size(), CTraceCode::kSizeLimit + 13);
    m_Trace.BugMessage(QStringLiteral("after it"));
    QStringList lines = Lines();
    ExpectBegun(lines, QStringLiteral("Reinizializzato file per raggiunto limite dimensioni: "));
    EXPECT_EQ(lines.mid(15), QStringList{QStringLiteral("after it")});

    // Grown to the limit by another writer since the trace's last line: the
    // next line already begins the file again.
    {
        QFile f(m_File);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(CTraceCode::kSizeLimit - f.size(), 'z'));
    }
    ASSERT_EQ(Bytes().size(), CTraceCode::kSizeLimit);
    m_Trace.BugMessage(QStringLiteral("after the other writer"));
    lines = Lines();
    ExpectBegun(lines, QStringLiteral("Reinizializzato file per raggiunto limite dimensioni: "));
    EXPECT_EQ(lines.mid(15), QStringList{QStringLiteral("after the other writer")});
}

// The file named after the program folder and the executable follows both
// when they change during the run.
TEST_F(TraceFile, DefaultFileFollowsTheProgramFolderAndName)
{
    const QString oldFolder = ProgramFolder();
    const QString oldName = ExecutableName();
    CTraceCode t;
    t.SetBugMode(0);
    t.SetBugTraceMode(1);
    const struct {
        const char *folder;
        const char *name;
    } cases[] = {{"one", "pelvaro"}, {"two", "pelvaro"}, {"two", "other"}};
    for (const auto &c : cases) {
        const QString folder = m_Dir.filePath(QString::fromLatin1(c.folder));
        ASSERT_TRUE(QDir().mkpath(folder));
        SetProgramFolder(folder);
        SetExecutableName(QString::fromLatin1(c.name));
        t.BugMessage(QStringLiteral("line for ") + QString::fromLatin1(c.name));
    }
    SetProgramFolder(oldFolder);
    SetExecutableName(oldName);
    const auto lines = [this](const char *file) {
        QFile f(m_Dir.filePath(QString::fromLatin1(file)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(lines("one/pelvaro.DBG"), QByteArray("line for pelvaro\r\n"));
    EXPECT_EQ(lines("two/pelvaro.DBG"), QByteArray("line for pelvaro\r\n"));
    EXPECT_EQ(lines("two/other.DBG"), QByteArray("line for other\r\n"));
}

TEST_F(TraceFile, DebuggerModeWritesNoFile)
{
    static QStringList captured;
    captured.clear();
    const QtMessageHandler old =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &m) {
            if (type == QtDebugMsg)
                captured << m;
        });
    m_Trace.SetBugMode(1);
    m_Trace.BugStartTrace();
    m_Trace.BugMessage(QStringLiteral("to the debugger"));
    qInstallMessageHandler(old);
    EXPECT_FALSE(QFile::exists(m_File));
    EXPECT_EQ(captured, QStringList{QStringLiteral("to the debugger")});
}

TEST_F(TraceFile, BugAssertEndsOnlyWithAText)
{
    m_Trace.SetBugIdentifySystem(false);
    m_Trace.SetBugProgramVersion(QString());
    m_Trace.BugStartTrace();

    m_Trace.BugAssert(true, QStringLiteral("never"));
    m_Trace.BugAssert(false); // writes its line and returns
    EXPECT_EQ(Lines().mid(1), QStringList{QStringLiteral("g_Trace.BugAssert fallito: ")});

    std::optional<MsgBoxRequest> shown;
    const MsgBoxHook oldHook = SetMsgBoxHook([&](const MsgBoxRequest &r) {
        shown = r;
        return MsgBoxResult::OK;
    });
    EXPECT_THROW(m_Trace.BugAssert(false, QStringLiteral("Programma non trovato")), std::runtime_error);
    SetMsgBoxHook(oldHook);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->text, QStringLiteral("Programma non trovato"));
    EXPECT_EQ(shown->title, QStringLiteral("g_Trace.BugAssert fallito: "));
    EXPECT_EQ(shown->style, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly);
    EXPECT_EQ(Lines().last(), QStringLiteral("g_Trace.BugAssert fallito: Programma non trovato"));
}

TEST_F(TraceFile, UnwritableOrRemovedFileDoesNotStopTheProgram)
{
    // A path below a plain file can be created by nobody, not even root.
    const QString plainFile = m_Dir.filePath(QStringLiteral("plain"));
    {
        QFile f(plainFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    CTraceCode t;
    t.SetBugFileName(plainFile + QStringLiteral("/pelvaro.DBG"));
    t.SetBugMode(0);
    t.SetBugTraceMode(1);
    t.BugStartTrace();
    t.BugMessage(QStringLiteral("lost"));
    EXPECT_FALSE(QFile::exists(t.BugFileName()));

    // A file removed during the run begins again with the next line.
    m_Trace.SetBugIdentifySystem(false);
    m_Trace.BugStartTrace();
    ASSERT_TRUE(QFile::remove(m_File));
    m_Trace.BugMessage(QStringLiteral("still tracing"));
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("still tracing")});
}

TEST(SystemInfo, KernelFilesAreParsedAndFiguresClamped)
{
    const QByteArray meminfo =
        "MemTotal:       24682296 kB\nMemFree:  100 kB\nMemAvailable:   2000 kB\nHugePages_Total:       0\n";
    EXPECT_EQ(csystem_detail::MemInfoKB(meminfo, "MemTotal"), 24682296);
    EXPECT_EQ(csystem_detail::MemInfoKB(meminfo, "MemAvailable"), 2000);
    EXPECT_EQ(csystem_detail::MemInfoKB(meminfo, "Mem"), -1);             // a prefix is not a key
    EXPECT_EQ(csystem_detail::MemInfoKB(meminfo, "HugePages_Total"), -1); // a count, not kB
    EXPECT_EQ(csystem_detail::ClampKB(std::int64_t{1} << 37), INT32_MAX);
    EXPECT_EQ(csystem_detail::ClampKB(-5), 0);

    EXPECT_EQ(csystem_detail::ProcessorModel("processor\t: 0\nmodel name\t: Intel(R) Xeon(R) CPU\n"),
              QStringLiteral("Intel(R) Xeon(R) CPU"));
    EXPECT_EQ(csystem_detail::ProcessorModel("processor\t: 0\nBogoMIPS\t: 50.00\nHardware\t: BCM2835\n"),
              QStringLiteral("BCM2835"));

    const CSystem s;
    EXPECT_FALSE(s.IsWindows9x());
    EXPECT_GT(s.TotalPhysicalMemory(), 0);
    EXPECT_LE(s.FreePhysicalMemory(), s.TotalPhysicalMemory());
    EXPECT_GE(s.MemoryLoad(), 0);
    EXPECT_LE(s.MemoryLoad(), 100);
    EXPECT_FALSE(s.Processor().isEmpty());
}
