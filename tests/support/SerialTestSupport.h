#pragma once
#include "SerialPorts.h"
#include "WindowTimer.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Fixtures for tests that drive the serial layer on pseudo-terminals.
namespace serialtest {

// Port numbers name the devices listed here (";"-separated) while the object
// lives; the environment variable comes back as it was.
class ScopedSerialPorts {
public:
    explicit ScopedSerialPorts(const QString &devices)
        : m_Had(qEnvironmentVariableIsSet(kSerialPortsVariable)), m_Old(qgetenv(kSerialPortsVariable))
    {
        qputenv(kSerialPortsVariable, devices.toLocal8Bit());
    }
    ~ScopedSerialPorts()
    {
        if (m_Had)
            qputenv(kSerialPortsVariable, m_Old);
        else
            qunsetenv(kSerialPortsVariable);
    }
    ScopedSerialPorts(const ScopedSerialPorts &) = delete;
    ScopedSerialPorts &operator=(const ScopedSerialPorts &) = delete;

private:
    bool m_Had;
    QByteArray m_Old;
};

// The transport's pacing timer, ticking every millisecond instead of every
// 200 ms, so that a transfer of a few hundred exchanges takes a second.
class FastTimer : public WindowTimer {
public:
    void SetInterval(std::int32_t) override { WindowTimer::SetInterval(1); }
};

} // namespace serialtest
