#pragma once
#include <QApplication>

#include <functional>

// The program's application object. Every handler runs its work behind the
// command border; should one still let an exception through, notify() tells
// it through the report function (called inside the catch block, so it can
// look at the exception being handled) and returns false, and the program
// goes on instead of ending in the event loop. Without a report function it
// writes the trace line "Errore interno: eccezione non gestita".
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    using Report = std::function<void()>;

    GuardedApplication(int &argc, char **argv, Report report);

    // Installs report (empty: only the trace line) and returns the previous
    // one, so that a caller can put it back.
    Report SetReport(Report report);

    // The running application object when it is a GuardedApplication.
    static GuardedApplication *Instance();

    bool notify(QObject *receiver, QEvent *event) override;

private:
    Report m_Report;
};
