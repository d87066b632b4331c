#include "WindowTimer.h"

WindowTimer::WindowTimer(QObject *parent) : QObject(parent)
{
    m_Timer.setTimerType(Qt::PreciseTimer);
    connect(&m_Timer, &QTimer::timeout, this, &WindowTimer::Timer);
}

bool WindowTimer::Enabled() const
{
    return m_Enabled;
}

void WindowTimer::SetEnabled(bool on)
{
    m_Enabled = on;
    apply();
}

std::int32_t WindowTimer::Interval() const
{
    return m_Interval;
}

void WindowTimer::SetInterval(std::int32_t ms)
{
    m_Interval = ms < 0 ? 0 : ms;
    apply();
}

// An interval of 0 keeps the timer silent even when enabled.
void WindowTimer::apply()
{
    if (m_Enabled && m_Interval > 0)
        m_Timer.start(m_Interval);
    else
        m_Timer.stop();
}
