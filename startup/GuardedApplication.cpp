#include "GuardedApplication.h"

#include "CTraceCode.h"

#include <utility>

GuardedApplication::GuardedApplication(int &argc, char **argv, Report report)
    : QApplication(argc, argv), m_Report(std::move(report))
{
}

GuardedApplication::Report GuardedApplication::SetReport(Report report)
{
    std::swap(m_Report, report);
    return report;
}

GuardedApplication *GuardedApplication::Instance()
{
    return qobject_cast<GuardedApplication *>(QCoreApplication::instance());
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (m_Report) {
            m_Report();
        } else {
            g_Trace.BugMessage(QStringLiteral("Errore interno: eccezione non gestita"));
        }
        return false;
    }
}
