#include "SerialPorts.h"

#include "SettingsStore.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace {

// "/dev/ttyUSB10" -> ("/dev/ttyUSB", 10); a name without trailing digits
// has number -1 so it sorts before the numbered ones of the same stem.
std::pair<QString, qlonglong> splitTrailingNumber(const QString &path)
{
    qsizetype i = path.size();
    while (i > 0 && path.at(i - 1).isDigit())
        --i;
    if (i == path.size())
        return {path, -1};
    return {path.left(i), path.mid(i).toLongLong()};
}

} // namespace

QStringList SortSerialDevices(QStringList devices)
{
    std::sort(devices.begin(), devices.end(), [](const QString &a, const QString &b) {
        const auto [stemA, numA] = splitTrailingNumber(a);
        const auto [stemB, numB] = splitTrailingNumber(b);
        if (stemA != stemB)
            return stemA < stemB;
        if (numA != numB)
            return numA < numB;
        return a < b;
    });
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

QStringList ParseSerialDeviceList(const QString &text)
{
    QStringList devices;
    for (const QString &part : text.split(QLatin1Char(';'))) {
        const QString entry = part.trimmed();
        if (entry.isEmpty())
            continue;
        devices.append(entry.contains(QLatin1Char('/')) ? entry : QStringLiteral("/dev/") + entry);
    }
    return devices;
}

QStringList SystemSerialDevices()
{
    QStringList devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    return SortSerialDevices(devices);
}

QStringList SerialPortDevices()
{
    const QStringList fromEnvironment = ParseSerialDeviceList(qEnvironmentVariable(kSerialPortsVariable));
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QStringList fromSetting = ParseSerialDeviceList(GetSetting(QString::fromLatin1(kApplicationTitle),
                                                                     QString::fromLatin1(kSerialPortsSection),
                                                                     QString::fromLatin1(kSerialPortsKey)));
    if (!fromSetting.isEmpty())
        return fromSetting;
    return SystemSerialDevices();
}

QString SerialPortDevice(std::int32_t portNumber)
{
    if (portNumber < 1)
        return QString();
    const QStringList devices = SerialPortDevices();
    if (portNumber > devices.size())
        return QString();
    return devices.at(portNumber - 1);
}
