#include "Pause.h"

#include "CTraceCode.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

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
