#pragma once
#include "ProgramFolder.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class QApplication;
class QWidget;

// The start routine: the trace, the program font, the splash window, the
// database file, the main window. The services it uses live in their own
// headers: ResourceText.h (string-table texts), FormText.h (window captions,
// tool tips, menus and fonts), Pause.h.

// ---- Program-wide state -------------------------------------------------

// The main window, created by the start routine and shown by it.
extern QWidget *g_MainForm;
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
    // Tells the error being handled (called inside a catch block): the last
    // guard of the event loop, for an exception a handler let through.
    // Empty: only traced.
    std::function<void()> reportCurrentError;
};

// The start sequence on a running QApplication, up to the main window shown
// (the caller then runs the event loop). arguments are the program's
// arguments without its own path. False when the start ended early (the
// database template is missing): no window is left.
//
// In order: InitTrace with string 301 + " " + 303; "Inizio programma";
// LoadProgramFont; g_HelpFile; the wait cursor; "Mostra splash window" and
// the splash shown; initGlobalScale; "Verifica esistenza DB..." and, when
// the database is missing, the template copied to it whole or not at all
// (WriteWholeFile's way, platform/FileReplacement.h; the copy is
// owner-writable even when the template is read-only; a missing template
// shows message 231 and ends the start; a database file that cannot be
// written shows the text of its kind with 1084 and the start goes on; any
// other copy failure is left to the main window's open); "Crea oggetto connection."
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
