// The configuration archive at growing sizes. For each size it builds an
// archive in a temporary program folder (one configuration saved through
// the setup collection, its rows then copied under further ids), and a child
// process of this program measures on it:
//   trace   the start of the trace as the program starts it (the file in the
//           program folder emptied and begun with its header, system block
//           and version), once;
//   window  the main window's show (database opened, list filled with a
//           trace line for every configuration, first layout done), once;
//   open    loading one configuration through the setup collection;
//   save    saving it back (existing rows);
//   delete  the main window's Delete command (procedure, list requery,
//           the line removed and the neighbour found again);
//   peak    the child's peak resident memory (VmHWM).
// open, save and delete are medians over kRepeats configurations spread
// over the archive.
//
//   ArchiveBench [size ...]        default sizes: 0 10 1000 10000
#include "ADOConnection.h"
#include "Avvio.h"
#include "CCollDatiSetup.h"
#include "CModInstr.h"
#include "CTemplateDatabase.h"
#include "ConfigurationWizard.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "FMain.h"
#include "MsgBox.h"
#include "ParameterClassRegistry.h"
#include "ProgramExit.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kRepeats = 15;

void exec(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        throw DatabaseError(sql + QStringLiteral(": ") + q.lastError().text());
}

// The template and an archive of `size` configurations in the folder.
void buildArchive(const QString &folder, int size)
{
    SetProgramFolder(folder);
    const QString templ = QDir(folder).filePath(QString::fromLatin1(kTemplateFileName));
    const QString database = QDir(folder).filePath(QString::fromLatin1(kDatabaseFileName));
    CreateTemplateDatabase(templ);
    if (!QFile::copy(templ, database))
        throw std::runtime_error("cannot copy the template");
    if (size == 0)
        return;
    g_Connection.OpenFile(database);
    const std::int32_t first = ConfigurationWizard::DrawNewIDProgramma();
    {
        CCollDatiSetup setup;
        setup.SetIDProgramma(first);
        setup.ModInstr().SetNomeProgramma(QStringLiteral("Configuration %1").arg(first));
        setup.SaveDataInADORS(true);
    }
    if (size > 1) {
        QSqlQuery q(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
        exec(q, QStringLiteral("BEGIN"));
        const QString ids = QStringLiteral("WITH RECURSIVE ids(n) AS (SELECT %1 UNION ALL SELECT n + 1 FROM ids "
                                           "WHERE n < %2) ")
                                .arg(first + 1)
                                .arg(first + size - 1);
        exec(q, ids + QStringLiteral("INSERT INTO \"CounterProgrammi\" (\"IDProgramma\") SELECT n FROM ids"));
        for (const QString &table : ParameterClassRegistry::TableNames()) {
            QStringList columns;
            QSqlQuery info(QSqlDatabase::database(g_Connection.QtConnectionName(), false));
            exec(info, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            while (info.next()) {
                const QString c = info.value(1).toString();
                if (c != QLatin1String("IDProgramma"))
                    columns << QLatin1Char('"') + c + QLatin1Char('"');
            }
            exec(q, ids + QStringLiteral("INSERT INTO \"%1\" (\"IDProgramma\", %2) SELECT ids.n, %2 FROM ids, \"%1\" "
                                         "WHERE \"%1\".\"IDProgramma\" = %3")
                              .arg(table, columns.join(QLatin1Char(',')))
                              .arg(first));
        }
        exec(q, QStringLiteral("UPDATE \"CModInstr\" SET \"m_NomeProgramma\" = 'Configuration ' || \"IDProgramma\" "
                               "WHERE \"IDProgramma\" > %1")
                    .arg(first));
        exec(q, QStringLiteral("COMMIT"));
    }
    g_Connection.Close();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double ms(const QElapsedTimer &t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// The child: measures on the archive in the folder and prints one line.
int measure(const QString &folder)
{
    SetProgramFolder(folder);
    SetExecutableName(QStringLiteral("pelvaro"));
    SetMsgBoxHook([](const MsgBoxRequest &r) {
        if (r.style & MsgBoxStyle::YesNo)
            return MsgBoxResult::Yes;
        std::fprintf(stderr, "message box: %s\n", qPrintable(r.text));
        return MsgBoxResult::OK;
    });
    SetEndProgramHook([](int code) { throw std::runtime_error("program ended with code " + std::to_string(code)); });

    QElapsedTimer t;
    t.start();
    InitTrace(LoadResourceString(301) + QLatin1Char(' ') + LoadResourceString(303), {});
    const double trace = ms(t);

    FMain main;
    t.restart();
    main.show();
    QCoreApplication::processEvents();
    const double window = ms(t);
    const int lines = main.lvProgrammi->count();
    std::fprintf(stderr, "(trace file %s: %lld bytes after the window)\n", qPrintable(g_Trace.BugFileName()),
                 static_cast<long long>(QFileInfo(g_Trace.BugFileName()).size()));

    std::vector<double> open;
    std::vector<double> save;
    std::vector<double> del;
    std::vector<std::int32_t> ids;
    for (int k = 0; k < kRepeats && lines > 0; ++k) {
        const int row = static_cast<int>((static_cast<long>(lines - 1) * k) / std::max(1, kRepeats - 1));
        const std::int32_t id = main.lvProgrammi->item(row)->data(Qt::UserRole).toInt();
        if (ids.empty() || ids.back() != id)
            ids.push_back(id);
    }
    for (const std::int32_t id : ids) {
        CCollDatiSetup setup;
        setup.SetIDProgramma(id);
        t.restart();
        setup.LoadDataFromADORS();
        open.push_back(ms(t));
        t.restart();
        setup.SaveDataInADORS(false);
        save.push_back(ms(t));
    }
    // Deleted from the end so the rows chosen above stay where they were.
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        for (int row = 0; row < main.lvProgrammi->count(); ++row) {
            if (main.lvProgrammi->item(row)->data(Qt::UserRole).toInt() == *it) {
                main.lvProgrammi->setCurrentRow(row);
                break;
            }
        }
        t.restart();
        main.mnuDelProgramma->trigger();
        del.push_back(ms(t));
    }
    if (main.lvProgrammi->count() != lines - static_cast<int>(ids.size()))
        std::fprintf(stderr, "delete did not remove every line\n");
    std::printf("%d\t%.1f\t%.1f\t%.2f\t%.2f\t%.2f\t%ld\n", lines, trace, window, median(open), median(save),
                median(del), peakKilobytes());
    std::fflush(stdout);
    main.hide();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    if (!root.isValid())
        return 1;
    // Nothing of the user's own settings is read or written.
    if (qEnvironmentVariableIsEmpty("PELVARO_BENCH_CHILD")) {
        const QString config = QDir(root.path()).filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 2 && args[0] == QLatin1String("--measure"))
            return measure(args[1]);

        std::vector<int> sizes;
        for (const QString &a : args) {
            bool ok = false;
            const int n = a.toInt(&ok);
            if (!ok || n < 0) {
                std::fprintf(stderr, "usage: ArchiveBench [size ...]\n");
                return 2;
            }
            sizes.push_back(n);
        }
        if (sizes.empty())
            sizes = {0, 10, 1000, 10000};

        std::printf("configurations\ttrace ms\twindow ms\topen ms\tsave ms\tdelete ms\tpeak kB\n");
        std::fflush(stdout);
        for (const int size : sizes) {
            const QString folder = QDir(root.path()).filePath(QStringLiteral("archive-%1").arg(size));
            QDir().mkpath(folder);
            QElapsedTimer build;
            build.start();
            buildArchive(folder, size);
            const double built = ms(build);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PELVARO_BENCH_CHILD"), QStringLiteral("1"));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), folder});
            if (!child.waitForFinished(-1) || child.exitCode() != 0) {
                std::fprintf(stderr, "the measurement of %d configurations failed\n", size);
                return 1;
            }
            std::printf("%s", child.readAllStandardOutput().constData());
            std::fprintf(stderr, "(archive of %d built in %.0f ms)\n", size, built);
            std::fflush(stdout);
            QDir(folder).removeRecursively();
        }
    } catch (const DatabaseError &e) {
        std::fprintf(stderr, "ArchiveBench: %s\n", qPrintable(e.Description()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "ArchiveBench: %s\n", e.what());
        return 1;
    }
    return 0;
}
