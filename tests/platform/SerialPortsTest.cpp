// Port number to device: the override of the environment, the per-user
// setting, and the system's sorted list.
#include "SerialPorts.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

namespace {

class SerialPortsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_HadVariable = qEnvironmentVariableIsSet(kSerialPortsVariable);
        m_Variable = qgetenv(kSerialPortsVariable);
        qunsetenv(kSerialPortsVariable);
        DeleteSetting(kApplicationTitle, kSerialPortsSection, kSerialPortsKey);
    }
    void TearDown() override
    {
        if (m_HadVariable)
            qputenv(kSerialPortsVariable, m_Variable);
        else
            qunsetenv(kSerialPortsVariable);
        DeleteSetting(kApplicationTitle, kSerialPortsSection, kSerialPortsKey);
    }

    bool m_HadVariable = false;
    QByteArray m_Variable;
};

TEST_F(SerialPortsTest, OverridesNameThePortsInOrder)
{
    struct Case {
        const char *variable; // nullptr: not set
        const char *setting;  // nullptr: not stored
        QStringList devices;
    };
    const Case cases[] = {
        {nullptr, "/dev/ttyUSB0", {"/dev/ttyUSB0"}},
        {nullptr, " ttyUSB1 ; /dev/ttyS0 ;", {"/dev/ttyUSB1", "/dev/ttyS0"}},
        {"/dev/pts/7", "/dev/ttyUSB0", {"/dev/pts/7"}},
        {"", "/dev/ttyACM0", {"/dev/ttyACM0"}},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0",
         nullptr,
         {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "(no variable)");
        if (c.variable)
            qputenv(kSerialPortsVariable, c.variable);
        else
            qunsetenv(kSerialPortsVariable);
        DeleteSetting(kApplicationTitle, kSerialPortsSection, kSerialPortsKey);
        if (c.setting)
            SaveSetting(kApplicationTitle, kSerialPortsSection, kSerialPortsKey, QString::fromLatin1(c.setting));

        EXPECT_EQ(SerialPortDevices(), c.devices);
        for (int n = 1; n <= c.devices.size(); ++n)
            EXPECT_EQ(SerialPortDevice(n), c.devices.at(n - 1));
        EXPECT_TRUE(SerialPortDevice(0).isEmpty());
        EXPECT_TRUE(SerialPortDevice(static_cast<std::int32_t>(c.devices.size()) + 1).isEmpty());
    }
}

TEST_F(SerialPortsTest, WithoutOverrideTheSystemListIsUsed)
{
    EXPECT_EQ(SerialPortDevices(), SystemSerialDevices());
}

TEST(SortSerialDevices, NumbersInNumericOrderWithinEachKind)
{
    EXPECT_EQ(
        SortSerialDevices({"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyS2"}),
        QStringList({"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
}

} // namespace
