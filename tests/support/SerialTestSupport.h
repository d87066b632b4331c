#pragma once
#include "MsgBox.h"
#include "SerialPorts.h"
#include "WindowTimer.h"

#include <QByteArray>
#include <QObject>
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

// Stands in for the window an engine (ModbusTransfer, CAuxTransferEngine,
// CLiveView) reports to when a test drives the engine alone: each Warning
// becomes the box the window shows, so the test's box hook sees it.
template <class Engine>
void ShowWarnings(Engine &engine)
{
    QObject::connect(&engine, &Engine::Warning, &engine, [](const QString &text, const QString &title) {
        MsgBox(text, MsgBoxStyle::OKOnly | MsgBoxStyle::Exclamation, title);
    });
}

} // namespace serialtest
