#pragma once
#include "ProgramFolder.h"
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <functional>
#include <vector>

class QApplication;
class QWidget;

// The start routine and the text services every window and class uses.

// ---- Program-wide state -------------------------------------------------

// The main window, created by the start routine and shown by it.
extern QWidget *g_MainForm;
// Menu texts loaded so far: text -> string id (filled by LoadMenuCaptions).
extern QMap<QString, std::int16_t> g_MenuCaptions;
// The program font chosen by LoadProgramFont and applied by SetFormFont.
extern QString g_FontName;
extern std::int16_t g_FontSize;
// The help file in the program folder.
extern QString g_HelpFile;

// Files of the program folder the start routine looks after.
inline constexpr const char *kHelpFileName = "IvrPelvaro.hlp";

// ---- Start routine -------------------------------------------------------

// What the start routine needs from the layers above it: the scale tables of
// the configuration model and the main window. The pause is replaceable so
// that a test of the start does not wait three seconds.
struct StartHooks {
    std::function<void()> initGlobalScale;
    std::function<QWidget *()> createMainForm;
    std::function<void(float)> pause; // empty: Pause
};

// The start sequence on a running QApplication, up to the main window shown
// (the caller then runs the event loop). arguments are the program's
// arguments without its own path. False when the start ended early (the
// database template is missing): no window is left.
//
// In order: InitTrace with string 301 + " " + 303; "Inizio programma";
// LoadProgramFont; g_HelpFile; the wait cursor; "Mostra splash window" and
// the splash shown; initGlobalScale; "Verifica esistenza DB..." and, when
// the database is missing, the template copied to it through a QSaveFile
// (the copy is owner-writable even when the template is read-only; a
// missing template shows message 231 and ends the start, any other copy
// failure is left to the main window's open); "Crea oggetto connection."
// (g_Connection exists, closed, for the whole run); "Crea form";
// CheckComponentRegistration; the pause; the splash deleted; "Visualizza
// form main" and the main window shown (its load opens the database);
// "Sub Main() step 1", the cursor restored; "End Sub Main()".
bool StartProgram(const QStringList &arguments, const StartHooks &hooks);

// Creates the application, runs the start sequence and then the event loop;
// returns the program's exit code. Without DISPLAY, WAYLAND_DISPLAY,
// QT_QPA_PLATFORM or "-platform" it says that the program needs a display
// (or xvfb-run -a) and returns 1.
int Main(int argc, char **argv, const StartHooks &hooks);

// Creates g_Trace with the version text and starts it: the trace switches
// are read from the arguments; with none the trace file is written as with
// "/DEBUG". Without arguments given, the application's arguments are used.
void InitTrace(const QString &version);
void InitTrace(const QString &version, const QStringList &arguments);

// Waits the given seconds on the event loop (windows stay responsive; no
// busy waiting): a local QEventLoop on a precise single-shot timer, measured
// with QElapsedTimer (monotonic, so midnight does not matter).
void Pause(float seconds);

// One component the program needs at run time and how to tell whether it is
// there.
struct RequiredComponent {
    QString text; // as traced after "Non trovata la registrazione del componente "
    std::function<bool()> present;
};
// The components that stand in here for the registered type libraries.
std::vector<RequiredComponent> RequiredComponents();
// Traces a line for each missing component; the start goes on in any case.
void CheckComponentRegistration();
void CheckComponentRegistration(const std::vector<RequiredComponent> &components);

// ---- Text services -------------------------------------------------------

// The string-table text of id with "|1", "|2", ... replaced by the values in
// order (every occurrence; surplus values ignored; missing ones left in place).
// An id the table lacks raises a ProgramError.
QString GetResourceText(std::int32_t id, const QVariantList &values = {QVariant(QString())});
// The replacement itself: "|k" by the k-th value, for k = 1, 2, ... in turn.
QString SubstitutePlaceholders(QString text, const QVariantList &values);

// Window caption and Label/Frame/OptionButton/CheckBox captions from the ids
// in their Tag.
void LoadFormCaptions(QWidget *form);
// Tool tips of TextBox/ComboBox/ToolBar/Frame/UpDown/OptionButton controls
// from the id that is their designed tool tip.
void LoadFormToolTips(QWidget *form);
// Menu texts from the ids that are their designed texts; the id is kept in
// the item's Tag.
void LoadMenuCaptions(QWidget *form);
// The program font on every control of the window (not on the window).
void SetFormFont(QWidget *form);

// Chooses g_FontName and g_FontSize: "Arial", else "MS Sans Serif", else
// "Curier New", else the controls' default font.
void LoadProgramFont();
// The same with a given availability test and default family.
void LoadProgramFont(const std::function<bool(const QString &)> &available, const QString &defaultFamily);
// True when the font database holds exactly that family (a substituted
// family does not count: fontconfig would otherwise serve "Arial" by a
// look-alike).
bool IsFontAvailable(const QString &family);
