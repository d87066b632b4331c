#pragma once
#include "CCommConfig.h"
#include "CNetworkAddMsgSetup.h"
#include "CTapiComm.h"
#include "InstrumentSimulator.h"
#include "MsgBox.h"
#include "PtyPair.h"
#include "SerialControl.h"
#include "SerialPorts.h"
#include "WindowTimer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>
#include <cstdint>

// Fixtures for tests that drive the serial layer on pseudo-terminals.
namespace serialtest {

// The address-probe time-out the engines get in tests instead of 500 ms. The
// simulator's thread must answer within it, so it is kept well above what a
// loaded machine (a parallel or sanitizer run) can delay a thread by.
inline constexpr std::int32_t kScanTimeOutRx = 150;

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
    using WindowTimer::WindowTimer;
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

// The line the Modbus engines (ModbusTransfer, CLiveView) talk over in a
// test: a pseudo-terminal named as port 0, simulated instruments on its far
// end and the transport on its near end, which gives up on an exchange after
// 3 x 150 ms instead of 3 x 3 s. A fixture takes it as a second base and
// checks pair.IsOpen() in its SetUp.
struct SimulatedLine {
    SimulatedLine()
    {
        comm.Create(&timer, &control, -1);
        comm.SetTimeOutRx(150);
        commConfig.SetComPort(0);
    }

    // The instrument at `address` is the one to talk to: no search.
    void UseAddress(std::int16_t address)
    {
        network.SetSelNetworkAdd(1);
        network.SetNetworkAdd(address);
    }

    testpty::PtyPair pair;
    ScopedSerialPorts ports{pair.SlavePath()};
    testsim::InstrumentSimulator sim{pair};
    FastTimer timer;
    SerialControl control;
    CTapiComm comm;
    CCommConfig commConfig;
    CNetworkAddMsgSetup network;
};

} // namespace serialtest
