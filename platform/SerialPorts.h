#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

// Serial port numbers. Port N (1 is the first) is the N-th device of one list:
//   1. the environment variable PELVARO_SERIAL_PORTS, when set and not empty;
//   2. else the per-user setting "SerialPorts/Devices", when not empty;
//   3. else the system's serial devices (QSerialPortInfo: /dev/ttyS*,
//      /dev/ttyUSB*, /dev/ttyACM*, ...) sorted by name, numbers in numeric
//      order (ttyS2 before ttyS10).
// The variable and the setting hold device paths separated by ';', for
// example "/dev/ttyUSB0;/dev/ttyS0". A bare name ("ttyUSB0") means /dev/ttyUSB0.
// A stable name from /dev/serial/by-id/ works as well and survives
// re-plugging an adapter. Tests hand the program a pseudo-terminal this way.
inline constexpr const char *kSerialPortsVariable = "PELVARO_SERIAL_PORTS";
inline constexpr const char *kSerialPortsSection = "SerialPorts";
inline constexpr const char *kSerialPortsKey = "Devices";

// The numbered list (element 0 is port 1).
QStringList SerialPortDevices();
// The device path of port number portNumber; empty when there is none.
QString SerialPortDevice(std::int32_t portNumber);

// The pieces of the list, for the settings window and for tests.
QStringList SystemSerialDevices();
QStringList ParseSerialDeviceList(const QString &text);
QStringList SortSerialDevices(QStringList devices);
