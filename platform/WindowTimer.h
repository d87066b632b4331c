#pragma once
#include <QObject>
#include <QTimer>
#include <cstdint>

// A window timer: Enabled and Interval (milliseconds), and a Timer signal at
// every interval while enabled. Switching it on (re)starts the interval.
// The setters are virtual so tests can drive the ticks by hand.
class WindowTimer : public QObject {
    Q_OBJECT
public:
    explicit WindowTimer(QObject *parent = nullptr);
    ~WindowTimer() override = default;

    virtual bool Enabled() const;
    virtual void SetEnabled(bool on);
    virtual std::int32_t Interval() const;
    virtual void SetInterval(std::int32_t ms);

signals:
    void Timer();

private:
    void apply();

    QTimer m_Timer;
    bool m_Enabled = false;
    std::int32_t m_Interval = 0;
};
