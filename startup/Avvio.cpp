#include "Avvio.h"

#include "ADOConnection.h"
#include "CTraceCode.h"
#include "ControlKinds.h"
#include "FSplash.h"
#include "MsgBox.h"
#include "ProgramFolder.h"
#include "SettingsStore.h"
#include "StringTable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QTimer>

#include <climits>
#include <cstdio>
#include <cmath>
#include <memory>
#include <optional>
#include <thread>

QWidget *g_MainForm = nullptr;
QMap<QString, std::int16_t> g_MenuCaptions;
QString g_FontName;
std::int16_t g_FontSize = 0;
QString g_HelpFile;

namespace {

// ---- number parsing of designed ids --------------------------------------

// A designed id written as a whole number in the 16-bit range ("  12 ").
std::optional<std::int16_t> wholeId(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(v);
}

// The leading number of a text (blanks first, an optional sign, digits, an
// optional fraction), rounded half to even into the 16-bit range. No leading
// number gives 0; a number out of range gives nothing.
std::optional<std::int16_t> leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
            ++i;
    }
    const QString number = text.mid(start, i - start);
    if (i == digits || number == QLatin1String(".") || number.endsWith(QLatin1String("+.")) ||
        number.endsWith(QLatin1String("-.")))
        return std::int16_t{0};
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok)
        return std::int16_t{0};
    const double r = std::nearbyint(v); // the default rounding mode is half to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

// The string-table text of the id held in a window's or control's Tag.
std::optional<QString> tagText(const QObject *object)
{
    const QVariant tag = ControlTag(object);
    if (!tag.isValid())
        return std::nullopt;
    const auto id = wholeId(tag.toString());
    if (!id || !HasResourceString(*id))
        return std::nullopt;
    return LoadResourceString(*id);
}

// ---- the database file ---------------------------------------------------

enum class CopyResult { Copied, TemplateMissing, Failed };

// Copies the template to the database file through a temporary file in the
// same folder that is renamed at the end, so an interrupted copy never
// leaves a truncated database behind that a later start would take as
// present. The copy is writable by its owner even if the template is not.
CopyResult copyTemplate(const QString &templatePath, const QString &databasePath)
{
    QFile source(templatePath);
    if (!source.exists())
        return CopyResult::TemplateMissing;
    if (!source.open(QIODevice::ReadOnly))
        return CopyResult::Failed;
    QSaveFile target(databasePath);
    if (!target.open(QIODevice::WriteOnly))
        return CopyResult::Failed;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0) {
            target.cancelWriting();
            return CopyResult::Failed;
        }
        if (n == 0)
            break;
        if (target.write(buffer, n) != n) {
            target.cancelWriting();
            return CopyResult::Failed;
        }
    }
    if (!target.commit())
        return CopyResult::Failed;
    QFile::setPermissions(databasePath, QFile::permissions(databasePath) | QFileDevice::ReadOwner |
                                            QFileDevice::WriteOwner);
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

// ---- GetResourceText -----------------------------------------------------

QString GetResourceText(std::int32_t id, const QVariantList &values)
{
    return SubstitutePlaceholders(LoadResourceString(id), values);
}

QString SubstitutePlaceholders(QString text, const QVariantList &values)
{
    int k = 1;
    for (const QVariant &v : values) {
        text.replace(QLatin1Char('|') + QString::number(k), v.toString());
        ++k;
    }
    return text;
}

// ---- loaders -------------------------------------------------------------

void LoadFormCaptions(QWidget *form)
{
    if (!form)
        return;
    g_Trace.BugMessage(QStringLiteral("Inizio caricamento dei caption dei controlli"));
    if (const auto caption = tagText(form))
        form->setWindowTitle(*caption);
    static const QStringList kinds = {QStringLiteral("Label"), QStringLiteral("Frame"),
                                      QStringLiteral("OptionButton"), QStringLiteral("CheckBox")};
    for (QObject *control : FormControls(form)) {
        if (!kinds.contains(ControlKind(control)))
            continue;
        if (const auto caption = tagText(control))
            SetControlCaption(control, *caption);
    }
    g_Trace.BugMessage(QStringLiteral("Fine caricamento delle risorse"));
}

void LoadFormToolTips(QWidget *form)
{
    if (!form)
        return;
    static const QStringList kinds = {QStringLiteral("TextBox"), QStringLiteral("ComboBox"),
                                      QStringLiteral("ToolBar"), QStringLiteral("Frame"),
                                      QStringLiteral("UpDown"),  QStringLiteral("OptionButton")};
    for (QObject *control : FormControls(form)) {
        if (!kinds.contains(ControlKind(control)))
            continue;
        const auto id = leadingNumber(ControlToolTip(control));
        if (!id || *id == 0 || !HasResourceString(*id))
            continue;
        SetControlToolTip(control, LoadResourceString(*id));
    }
}

void LoadMenuCaptions(QWidget *form)
{
    if (!form)
        return;
    g_Trace.BugMessage(QStringLiteral("Caricamento testi menu"));
    for (QObject *control : FormControls(form)) {
        if (ControlKind(control) != QLatin1String("Menu"))
            continue;
        const QString designed = ControlCaption(control);
        const auto id = wholeId(designed);
        if (!id || !HasResourceString(*id))
            continue; // a separator "-" or any other text keeps its caption
        const QString text = LoadResourceString(*id);
        g_Trace.BugMessage(QStringLiteral("Caricamento dalle risorse del testo del menu ") + designed +
                           QLatin1Char('=') + text);
        SetControlTag(control, *id);
        SetControlCaption(control, text);
        if (!g_MenuCaptions.contains(text))
            g_MenuCaptions.insert(text, static_cast<std::int16_t>(ControlTag(control).toInt()));
    }
}

void SetFormFont(QWidget *form)
{
    if (!form)
        return;
    for (QObject *control : FormControls(form)) {
        if (!control->isWidgetType())
            continue; // menu items keep the menu font
        auto *w = static_cast<QWidget *>(control);
        QFont f = w->font();
        if (!g_FontName.isEmpty())
            f.setFamily(g_FontName);
        if (g_FontSize > 0)
            f.setPointSize(g_FontSize);
        w->setFont(f);
    }
    g_Trace.BugMessage(QStringLiteral("Fine impostazione del font per i controlli del form"));
}

// ---- fonts -----------------------------------------------------------------

bool IsFontAvailable(const QString &family)
{
    // The font database lists the families installed; a family name may carry
    // its foundry ("Arial [Monotype]"). A request for a missing family is
    // quietly served by a substitute, so QFont itself cannot tell.
    for (const QString &f : QFontDatabase::families()) {
        const qsizetype bracket = f.indexOf(QLatin1String(" ["));
        if ((bracket < 0 ? f : f.left(bracket)) == family)
            return true;
    }
    return false;
}

void LoadProgramFont(const std::function<bool(const QString &)> &available, const QString &defaultFamily)
{
    g_Trace.BugMessage(QStringLiteral("Impostazione del font utilizzato nel programma."));
    const auto size = wholeId(LoadResourceString(1336));
    g_FontSize = size.value_or(8);
    const QString miss = QStringLiteral("Impossibile caricare il font ");
    const std::int32_t candidates[] = {1335, 1337, 1338};
    for (std::size_t i = 0; i < std::size(candidates); ++i) {
        g_FontName = LoadResourceString(candidates[i]);
        if (available(g_FontName))
            return;
        if (i + 1 < std::size(candidates)) {
            g_Trace.BugMessage(miss + g_FontName);
        } else {
            g_Trace.BugMessage(miss + g_FontName +
                               QStringLiteral(" Viene mantenuto il font di default dei controlli"));
        }
    }
    g_FontName = defaultFamily;
}

void LoadProgramFont()
{
    const QString defaultFamily =
        qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::font().family() : QString();
    LoadProgramFont(IsFontAvailable, defaultFamily);
}

// ---- Pause -----------------------------------------------------------------

void Pause(float seconds)
{
    const QString shown = QLocale().toString(static_cast<double>(seconds));
    g_Trace.BugMessage(QStringLiteral("Inizio pausa ") + shown + QStringLiteral(" sec."));
    if (std::isfinite(seconds) && seconds > 0.0f) {
        const qint64 total = static_cast<qint64>(std::ceil(static_cast<double>(seconds) * 1000.0));
        QElapsedTimer clock; // monotonic: a pause across midnight still lasts its time
        clock.start();
        qint64 remaining = total;
        while (remaining > 0) {
            const int step = static_cast<int>(std::min<qint64>(remaining, INT_MAX));
            if (QCoreApplication::instance()) {
                // Sleeps until the timer or another event: windows stay live.
                QEventLoop loop;
                QTimer::singleShot(step, Qt::PreciseTimer, &loop, &QEventLoop::quit);
                loop.exec();
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(step));
            }
            remaining = total - clock.elapsed();
        }
    }
    g_Trace.BugMessage(QStringLiteral("Fine pausa ") + shown + QStringLiteral(" sec."));
}

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
        if (copyTemplate(ProgramFile(templateName), database) == CopyResult::TemplateMissing) {
            MsgBox(GetResourceText(231, {templateName}), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly,
                   QString::fromLatin1(kApplicationTitle));
            splash.reset();
            return false;
        }
        // Any other failure of the copy: the main window's opening of the
        // database reports it.
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    if (!StartProgram(QApplication::arguments().mid(1), hooks))
        return 1; // the template is missing: nothing was started
    return app.exec();
}
