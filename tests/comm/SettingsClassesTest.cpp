// The communication and network settings in the per-user settings store
// (real QSettings in the test run's temporary config folder).
#include "CCommConfig.h"
#include "CNetworkAddMsgSetup.h"
#include "MErrors.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const QString kApp = QString::fromLatin1(kApplicationTitle);
const QString kComm = QStringLiteral("CCommConfig");
const QString kNet = QStringLiteral("CNetworkAddMsgSetup");
const QStringList kCommKeys{QStringLiteral("m_ComPort"), QStringLiteral("m_InterfaceType")};
const QStringList kNetKeys{QStringLiteral("m_NetworkAdd"), QStringLiteral("m_ModeConfig"),
                           QStringLiteral("m_SelNetworkAdd"), QStringLiteral("m_TotalInstrNetwork")};

using State = std::vector<std::int16_t>;

// The persisted values, in key order.
State stored(const CCommConfig &c)
{
    return {c.ComPort(), c.InterfaceType()};
}
State stored(const CNetworkAddMsgSetup &n)
{
    return {n.NetworkAdd(), n.ModeConfig(), n.SelNetworkAdd(), n.TotalInstrNetwork()};
}

void set(CCommConfig &c, const State &s)
{
    c.SetComPort(s[0]);
    c.SetInterfaceType(s[1]);
}
void set(CNetworkAddMsgSetup &n, const State &s)
{
    n.SetNetworkAdd(s[0]);
    n.SetModeConfig(s[1]);
    n.SetSelNetworkAdd(s[2]);
    n.SetTotalInstrNetwork(s[3]);
}

void clearSections()
{
    DeleteSetting(kApp, kComm);
    DeleteSetting(kApp, kNet);
}

class SettingsClasses : public ::testing::Test {
protected:
    void SetUp() override { clearSections(); }
    void TearDown() override { clearSections(); }
};

// Each key alone in the store: only its property changes; none: nothing does.
template <class T>
void expectOnlyStoredKeysLoad(const QString &section, const QStringList &keys, const State &preset)
{
    for (int i = -1; i < keys.size(); ++i) {
        SCOPED_TRACE((i < 0 ? QStringLiteral("no key") : keys[i]).toStdString());
        DeleteSetting(kApp, section);
        State expected = preset;
        if (i >= 0) {
            SaveSetting(kApp, section, keys[i], QStringLiteral("7"));
            expected[i] = 7;
        }
        T obj;
        set(obj, preset);
        obj.LoadData(QString());
        EXPECT_EQ(stored(obj), expected);
    }
}

// Valid values under every key but the bad one: the load throws and takes
// none of them.
template <class T>
void expectLoadRefused(const QString &key, const QString &text, std::int32_t number)
{
    T writer;
    set(writer, State(stored(writer).size(), 9));
    writer.SaveData(QString());
    SaveSetting(kApp, writer.ClassName(), key, text);

    T obj;
    const State before = stored(obj);
    try {
        obj.LoadData(QString());
        ADD_FAILURE() << "no error";
    } catch (const ProgramError &e) {
        EXPECT_EQ(e.Number(), number);
    }
    EXPECT_EQ(stored(obj), before);
}

TEST_F(SettingsClasses, ConstructionIsTraced)
{
    TraceCapture trace;
    CCommConfig comm;
    CNetworkAddMsgSetup net;
    const QStringList lines = trace.Lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Class_Initialize() CCommConfig")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Class_Initialize() CNetworkAddMsgSetup")));
}

TEST_F(SettingsClasses, CommunicationSettingsComeBackAfterARestart)
{
    const State cases[] = {{0, 2}, {4, 1}, {-1, 0}};
    for (const State &values : cases) {
        SCOPED_TRACE(values[0]);
        {
            CCommConfig before;
            set(before, values);
            before.SaveData(QString());
        }
        EXPECT_EQ(GetSetting(kApp, kComm, QStringLiteral("m_ComPort")), QString::number(values[0]));
        EXPECT_EQ(GetSetting(kApp, kComm, QStringLiteral("m_InterfaceType")), QString::number(values[1]));

        CCommConfig after;
        EXPECT_EQ(stored(after), (State{1, 0}));
        after.LoadData(QString());
        EXPECT_EQ(stored(after), values);
        EXPECT_TRUE(after.FileName().isEmpty());
    }
}

TEST_F(SettingsClasses, NetworkSettingsComeBackAfterARestartWithoutTheInterface)
{
    {
        CNetworkAddMsgSetup before;
        set(before, {17, 1, 1, 32});
        before.SetInterfaceType(5);
        before.SaveData(QString());
    }
    EXPECT_EQ(GetSetting(kApp, kNet, QStringLiteral("m_TotalInstrNetwork")), QStringLiteral("32"));
    EXPECT_FALSE(HasSetting(kApp, kNet, QStringLiteral("m_InterfaceType")));

    CNetworkAddMsgSetup after;
    EXPECT_EQ(stored(after), (State{1, 0, 0, 255}));
    after.LoadData(QString());
    EXPECT_EQ(stored(after), (State{17, 1, 1, 32}));
    EXPECT_EQ(after.InterfaceType(), 0);

    // The interface the main window set for the run is not read back either.
    CNetworkAddMsgSetup running;
    running.SetInterfaceType(4);
    running.LoadData(QString());
    EXPECT_EQ(running.InterfaceType(), 4);
}

TEST_F(SettingsClasses, AMissingKeyKeepsTheCurrentValue)
{
    expectOnlyStoredKeysLoad<CCommConfig>(kComm, kCommKeys, {3, 1});
    expectOnlyStoredKeysLoad<CNetworkAddMsgSetup>(kNet, kNetKeys, {10, 20, 30, 40});
}

TEST_F(SettingsClasses, ACorruptStoredValueIsAnErrorAndChangesNothing)
{
    struct Case {
        bool comm;
        const char *key;
        const char *text;
        std::int32_t number;
    };
    const Case cases[] = {
        {true, "m_ComPort", "COM2", RunTimeError::TypeMismatch},
        {true, "m_InterfaceType", "1.5", RunTimeError::TypeMismatch},
        {false, "m_NetworkAdd", "", RunTimeError::TypeMismatch},
        {false, "m_SelNetworkAdd", "0x1", RunTimeError::TypeMismatch},
        {false, "m_TotalInstrNetwork", "70000", RunTimeError::Overflow},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.text);
        clearSections();
        const QString key = QString::fromLatin1(c.key);
        const QString text = QString::fromLatin1(c.text);
        if (c.comm)
            expectLoadRefused<CCommConfig>(key, text, c.number);
        else
            expectLoadRefused<CNetworkAddMsgSetup>(key, text, c.number);
    }
}

TEST_F(SettingsClasses, AFileNameSelectsThatFileInsteadOfTheStore)
{
    testenv::ScopedProgramFolder folder;
    const QString file = folder.File(QStringLiteral("comm.ini"));
    CCommConfig before;
    set(before, {0, 2});
    before.SaveData(file);
    EXPECT_EQ(before.FileName(), file);
    EXPECT_FALSE(HasSetting(kApp, kComm, QStringLiteral("m_ComPort")));

    CCommConfig after;
    after.LoadData(file);
    EXPECT_EQ(stored(after), (State{0, 2}));
}

// Answers a settings class's name without being one.
class Lookalike : public CICopyClassBase {
public:
    QString ClassName() const override { return QStringLiteral("CCommConfig"); }
};

TEST_F(SettingsClasses, GetDataAndSetDataCopyOnlyWithinTheClass)
{
    CCommConfig comm;
    set(comm, {0, 2});
    CNetworkAddMsgSetup net;
    set(net, {17, 1, 1, 32});
    net.SetInterfaceType(5);
    Lookalike lookalike;

    comm.GetData(net);
    comm.SetData(net);
    comm.GetData(lookalike);
    comm.SetData(lookalike);
    net.GetData(comm);
    net.SetData(comm);
    EXPECT_EQ(stored(comm), (State{0, 2}));
    EXPECT_EQ(stored(net), (State{17, 1, 1, 32}));
    EXPECT_EQ(net.InterfaceType(), 5);

    CCommConfig commCopy;
    comm.GetData(commCopy);
    EXPECT_EQ(stored(commCopy), stored(comm));
    CCommConfig commBack;
    commBack.SetData(comm);
    EXPECT_EQ(stored(commBack), stored(comm));

    CNetworkAddMsgSetup netCopy;
    net.GetData(netCopy);
    EXPECT_EQ(stored(netCopy), stored(net));
    EXPECT_EQ(netCopy.InterfaceType(), 5);
    CNetworkAddMsgSetup netBack;
    netBack.SetData(net);
    EXPECT_EQ(stored(netBack), stored(net));
    EXPECT_EQ(netBack.InterfaceType(), 5);
}

} // namespace
