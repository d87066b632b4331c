#include "Avvio.h"

#include "ADOConnection.h"
#include "CTraceCode.h"
#include "FSplash.h"
#include "FileReplacement.h"
#include "FileWriteErrorText.h"
#include "FormText.h"
#include "GuardedApplication.h"
#include "MsgBox.h"
#include "Pause.h"
#include "ProgramFolder.h"
#include "ResourceText.h"
#include "SettingsStore.h"
#include "StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSqlDatabase>

#include <cstdio>
#include <memory>

QWidget *g_MainForm = nullptr;
QString g_HelpFile;

namespace {

// After a failed write of the database file: the copy was not made.
constexpr std::int32_t kTextDatabaseNotMade = 1084;

// ---- the database file ---------------------------------------------------

// Failed: the template could not be read; NotWritten: the database file
// could not be written.
enum class CopyResult { Copied, TemplateMissing, Failed, NotWritten };

// Copies the template to the database file through a temporary file in the
// same folder that is renamed at the end, only when all of it is on disk, so
// an interrupted copy or a full disk never leaves a truncated or empty
// database behind that a later start would take as present. The copy is
// writable by its owner even if the template is not. A copy that could not
// be written gives the reason in `failure`.
CopyResult copyTemplate(const QString &templatePath, const QString &databasePath, FileWriteError &failure)
{
    QFile source(templatePath);
    if (!source.exists())
        return CopyResult::TemplateMissing;
    if (!source.open(QIODevice::ReadOnly))
        return CopyResult::Failed;
    FileReplacement target(databasePath);
    if (!target.Open(failure))
        return CopyResult::NotWritten;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0)
            return CopyResult::Failed;
        if (n == 0)
            break;
        if (!target.Write(buffer, n, failure))
            return CopyResult::NotWritten;
    }
    if (!target.Commit(failure))
        return CopyResult::NotWritten;
    QFile::setPermissions(databasePath,
                          QFile::permissions(databasePath) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return CopyResult::Copied;
}

struct OverrideCursor {
    OverrideCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~OverrideCursor() { restore(); }
    void restore()
    {
        if (active) {
            QApplication::restoreOverrideCursor();
            active = false;
        }
    }
    bool active = true;
};

QString argumentsText(const QStringList &arguments)
{
    return arguments.join(QLatin1Char(' '));
}

} // namespace

// ---- trace start -----------------------------------------------------------

void InitTrace(const QString &version, const QStringList &arguments)
{
    g_Trace = CTraceCode();
    g_Trace.SetBugProgramVersion(version);
    g_Trace.SetBugIdentifySystem(true);
    if (!g_Trace.ProcessCommandLine(argumentsText(arguments))) {
        g_Trace.SetBugFileCreateMode(0);
        g_Trace.SetBugTraceMode(1);
        g_Trace.SetBugMode(0);
    }
    g_Trace.BugStartTrace();
}

void InitTrace(const QString &version)
{
    QStringList arguments;
    if (QCoreApplication::instance())
        arguments = QCoreApplication::arguments().mid(1); // never the program's own path
    InitTrace(version, arguments);
}

// ---- components ------------------------------------------------------------

namespace {
bool pluginPresent(const QString &kind)
{
    QStringList folders = QCoreApplication::libraryPaths();
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    for (const QString &folder : folders) {
        const QDir dir(QDir(folder).filePath(kind));
        if (!dir.entryList({QStringLiteral("*.so")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}
} // namespace

std::vector<RequiredComponent> RequiredComponents()
{
    return {
        {QStringLiteral("QSQLITE (the SQLite driver of Qt SQL)."),
         [] { return QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")); }},
        // Qt Serial Port finds the serial devices through the kernel's tty class.
        {QStringLiteral("Qt Serial Port (the serial devices of /sys/class/tty)."),
         [] { return QDir(QStringLiteral("/sys/class/tty")).exists(); }},
        {QStringLiteral("Qt Print Support (a print-system plugin)."),
         [] { return pluginPresent(QStringLiteral("printsupport")); }},
        {QStringLiteral("Qt platform plugin (the window system)."),
         [] { return !QGuiApplication::platformName().isEmpty(); }},
    };
}

void CheckComponentRegistration(const std::vector<RequiredComponent> &components)
{
    for (const RequiredComponent &c : components) {
        bool present = false;
        try {
            present = c.present && c.present();
        } catch (...) {
            present = false;
        }
        if (!present)
            g_Trace.BugMessage(QStringLiteral("Non trovata la registrazione del componente ") + c.text);
    }
}

void CheckComponentRegistration()
{
    CheckComponentRegistration(RequiredComponents());
}

// ---- Main ------------------------------------------------------------------

bool StartProgram(const QStringList &arguments, const StartHooks &hooks)
{
    // 1. Qt's widgets need no common-controls initialisation.
    // 2. The trace, with the program's name and version.
    InitTrace(LoadResourceString(301) + QLatin1Char(' ') + LoadResourceString(303), arguments);
    // 3.
    g_Trace.BugMessage(QStringLiteral("Inizio programma"));
    // 4.
    LoadProgramFont();
    // 5.
    g_HelpFile = ProgramFile(QString::fromLatin1(kHelpFileName));
    // 6. The hourglass until the main window is up.
    OverrideCursor hourglass;
    // 7.
    g_Trace.BugMessage(QStringLiteral("Mostra splash window"));
    auto splash = std::make_unique<FSplash>();
    splash->show();
    splash->repaint();
    // 8.
    if (hooks.initGlobalScale)
        hooks.initGlobalScale();
    // 9.
    g_Trace.BugMessage(QStringLiteral("Verifica esistenza DB..."));
    const QString database = ProgramFile(QString::fromLatin1(kDatabaseFileName));
    // 10. A missing database is made from the empty template.
    if (!QFileInfo::exists(database)) {
        const QString templateName = QString::fromLatin1(kTemplateFileName);
        FileWriteError failure;
        const CopyResult copied = copyTemplate(ProgramFile(templateName), database, failure);
        if (copied == CopyResult::TemplateMissing) {
            MsgBox(GetResourceText(231, {templateName}), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly,
                   QString::fromLatin1(kApplicationTitle));
            splash.reset();
            return false;
        }
        // A database file that could not be written is told by the kind of
        // its failure (a full disk, a read-only folder); the start goes on,
        // and the main window's opening of the database reports that there
        // is none, as it reports a template that could not be read.
        if (copied == CopyResult::NotWritten) {
            g_Trace.BugMessage(QStringLiteral("Impossibile creare il database ") + database + QStringLiteral(": ") +
                               failure.description);
            MsgBox(FileWriteErrorText(failure, LoadResourceString(kTextDatabaseNotMade)),
                   MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString::fromLatin1(kApplicationTitle));
        }
    }
    // 11. The connection object exists (closed) for the whole run; the main
    // window's load opens it.
    g_Trace.BugMessage(QStringLiteral("Crea oggetto connection."));
    g_Connection.Close();
    // 12.
    g_Trace.BugMessage(QStringLiteral("Crea form"));
    g_MainForm = hooks.createMainForm ? hooks.createMainForm() : nullptr;
    // 13.
    CheckComponentRegistration();
    // 14. The splash stays on the screen meanwhile.
    if (hooks.pause)
        hooks.pause(3.0f);
    else
        Pause(3.0f);
    // 15.
    splash.reset();
    // 16.
    g_Trace.BugMessage(QStringLiteral("Visualizza form main"));
    if (g_MainForm)
        g_MainForm->show();
    // 17.
    g_Trace.BugMessage(QStringLiteral("Sub Main() step 1"));
    hourglass.restore();
    // 18.
    g_Trace.BugMessage(QStringLiteral("End Sub Main()"));
    return true;
}

namespace {
// Without a window system Qt would stop with a message of its own; say
// plainly what is needed instead.
bool displayAvailable(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    return false;
}
} // namespace

int Main(int argc, char **argv, const StartHooks &hooks)
{
    if (!displayAvailable(argc, argv)) {
        std::fprintf(stderr,
                     "Pelvaro needs a display: start it from a desktop session. On a machine without one,\n"
                     "run it on a virtual display: xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "pelvaro");
        return 1;
    }
    GuardedApplication app(argc, argv, hooks.reportCurrentError);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    if (!StartProgram(QApplication::arguments().mid(1), hooks))
        return 1; // the template is missing: nothing was started
    return app.exec();
}
