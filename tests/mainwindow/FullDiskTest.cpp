// Every road that writes a file, onto a full disk (a file-size limit below
// what the file needs): the earlier file keeps all its bytes, no temporary
// file is left, and the failure is told by its kind where the road tells the
// user, traced or answered where it does not.
#include "ADOConnection.h"
#include "Avvio.h"
#include "CCollDatiSetup.h"
#include "CCommConfig.h"
#include "CGestioneMemMap.h"
#include "CINIManager.h"
#include "CModInstr.h"
#include "CNetworkAddMsgSetup.h"
#include "COption.h"
#include "CPrintTable.h"
#include "CTemplateDatabase.h"
#include "CTraceCode.h"
#include "FMain.h"
#include "FileReplacement.h"
#include "FileWriteErrorText.h"
#include "FileWriteFaults.h"
#include "MsgBox.h"
#include "PrintCommands.h"
#include "ResourceText.h"
#include "StringTable.h"
#include "TestEnvironment.h"
#include "TraceCapture.h"
#include "TransferCommands.h"

#include "../model/ModelDatabase.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

constexpr std::int32_t kId = 51;
// Room for a trace line, not for any of the files.
constexpr rlim_t kRoom = 600;

class FullDiskTest : public ModelDatabase {
protected:
    void SetUp() override
    {
        ModelDatabase::SetUp();
        CCollDatiSetup setup;
        setup.ModInstr().SetNomeProgramma(QStringLiteral("Forno 3"));
        setup.SetIDProgramma(kId);
        setup.SaveDataInADORS(true);
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            m_Boxes.push_back(r.text);
            return MsgBoxResult::OK;
        });
    }
    void TearDown() override
    {
        SetMsgBoxHook(m_OldHook);
        ModelDatabase::TearDown();
    }
    static QByteArray Bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The program folder's files but the trace the start writes there.
    QStringList Entries() const
    {
        QStringList files = QDir(m_Folder.Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        files.removeAll(QStringLiteral("pelvaro.DBG"));
        return files;
    }

    bool Export(const QString &file)
    {
        CCommConfig comm;
        CNetworkAddMsgSetup network;
        TransferCommands commands(&m_Window, comm, network);
        commands.SetFileDialog([&](QWidget *, const TransferCommands::FileDialogRequest &) { return file; });
        return commands.Export(QStringLiteral("Forno 3"), kId);
    }
    bool Dump(const QString &file, bool aux)
    {
        CGestioneMemMap map;
        return aux ? map.SaveMemorySetupAux(file) : map.SaveMemorySetup(file);
    }
    static bool Profile(const QString &file)
    {
        CINIManager ini;
        ini.Create(file);
        return ini.INIAddKeyString(QStringLiteral("Print"), QStringLiteral("Note"), QString(kRoom, QLatin1Char('n')));
    }
    // The start with the database missing: the template is copied to it.
    bool Start()
    {
        g_Connection.Close();
        EXPECT_TRUE(QFile::remove(DatabaseFile()));
        StartHooks hooks;
        hooks.createMainForm = [] { return new FMain; };
        hooks.pause = [](float) {};
        const bool started = StartProgram({}, hooks);
        delete g_MainForm;
        g_MainForm = nullptr;
        g_Connection.Close();
        g_Trace = CTraceCode();
        return started && QFile::exists(DatabaseFile());
    }
    bool Print(const QString &file)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        CPrintTable table(&m_Window);
        table.SetPrinter(&printer);
        PrintCommands::SetUpPrintTable(table);
        PrintLayoutRecordset header;
        PrintLayoutRecordset layout;
        ReportRecordset report;
        QSignalSpy ended(&table, &CPrintTable::PrintEnd);
        if (!PrintCommands::PrintReport(&m_Window, table, kId, COption(), header, layout, report))
            return false;
        EXPECT_TRUE(ended.count() > 0 || ended.wait(30000));
        return table.PrintedPages() > 0;
    }

    MsgBoxHook m_OldHook;
    std::vector<QString> m_Boxes;
    QWidget m_Window;
};

TEST_F(FullDiskTest, NoRoadEmptiesAnEarlierFileAndEveryOneTellsIt)
{
    struct Site {
        const char *what;
        QString name;  // in the program folder
        bool replaces; // there can be an earlier file
        std::function<bool(const QString &)> write;
        std::optional<int> outcome; // the road's text after the kind; none: no box
    };
    const Site sites[] = {
        {"exchange file export", QStringLiteral("Forno 3.OXA"), true, [this](const QString &f) { return Export(f); },
         1070},
        {"memory dump", QStringLiteral("MemoryMap.mem"), true, [this](const QString &f) { return Dump(f, false); },
         std::nullopt},
        {"auxiliary dump", QStringLiteral("MemoryMapAux.mem"), true, [this](const QString &f) { return Dump(f, true); },
         std::nullopt},
        {"profile file", QStringLiteral("Pelvaro.ini"), true, [](const QString &f) { return Profile(f); },
         std::nullopt},
        {"PDF print", QStringLiteral("report.pdf"), true, [this](const QString &f) { return Print(f); }, 691},
        // Last: the database is gone after it.
        {"template copy", QString::fromLatin1(kProgramDatabaseFileName), false,
         [this](const QString &) { return Start(); }, 1084},
    };
    const QByteArray earlier = QByteArray("[Print]\nNote=earlier\n").leftJustified(1000, ';');
    for (const Site &site : sites) {
        for (const bool replaced : {false, true}) {
            if (replaced && !site.replaces)
                continue;
            SCOPED_TRACE(std::string(site.what) + (replaced ? ", file replaced" : ", new file"));
            const QString file = m_Folder.File(site.name);
            if (site.replaces)
                QFile::remove(file);
            if (replaced) {
                QFile f(file);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(earlier);
            }
            const QStringList before = Entries();
            m_Boxes.clear();
            TraceCapture trace;
            bool written = true;
            {
                ScopedFileSizeLimit full(kRoom);
                written = site.write(file);
            }

            EXPECT_FALSE(written);
            EXPECT_EQ(Bytes(file), replaced ? earlier : QByteArray());
            QStringList after = Entries();
            if (!site.replaces)
                after << site.name; // the database the case removed
            after.sort();
            EXPECT_EQ(after, before) << "a temporary file is left";
            if (site.outcome) {
                FileWriteError error;
                error.kind = FileWriteFailure::DiskFull;
                error.fileName = file;
                ASSERT_FALSE(m_Boxes.empty());
                EXPECT_EQ(m_Boxes.front(), FileWriteErrorText(error, LoadResourceString(*site.outcome)));
            } else {
                EXPECT_TRUE(m_Boxes.empty());
            }
            // The dumps are diagnostic only: their failure is traced.
            if (std::string(site.what).find("dump") != std::string::npos) {
                EXPECT_TRUE(trace.Lines().join('\n').contains(QStringLiteral("Impossibile scrivere il file ") + file));
            }
        }
    }
}

} // namespace
