#include "GuardedApplication.h"
#include "TraceCapture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// Throws from its event handler whatever `raise` throws.
class ThrowingObject : public QObject {
public:
    explicit ThrowingObject(std::function<void()> raise) : m_Raise(std::move(raise)) {}
    bool event(QEvent *) override
    {
        m_Raise();
        return true;
    }

private:
    std::function<void()> m_Raise;
};

// Counts the events it is given and accepts each.
class CountingObject : public QObject {
public:
    bool event(QEvent *) override
    {
        ++received;
        return true;
    }
    int received = 0;
};

// The text of the exception being handled (called inside a catch block).
std::string currentExceptionText()
{
    try {
        throw;
    } catch (const std::exception &e) {
        return e.what();
    } catch (const int value) {
        return "int " + std::to_string(value);
    } catch (...) {
        return "unknown";
    }
}

bool sendUserEvent(QObject &receiver)
{
    QEvent event(QEvent::User);
    return QCoreApplication::sendEvent(&receiver, &event);
}

// The test executable's application object with a report of the test's own,
// which records what it was told; the harness's report comes back after.
class GuardedApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_App = GuardedApplication::Instance();
        ASSERT_NE(m_App, nullptr) << "the test executable's application object is not a GuardedApplication";
        m_Old = m_App->SetReport([this] {
            ++reports;
            reported = currentExceptionText();
        });
    }
    void TearDown() override
    {
        if (m_App)
            m_App->SetReport(m_Old);
    }

    GuardedApplication *m_App = nullptr;
    GuardedApplication::Report m_Old;
    int reports = 0;
    std::string reported;
};

// An exception a handler lets through is told once, inside the catch block
// (the report sees that very exception); the event counts as not handled
// and the next event is delivered as usual.
TEST_F(GuardedApplicationTest, AnExceptionFromAHandlerIsReportedAndTheProgramGoesOn)
{
    const struct {
        const char *name;
        std::function<void()> raise;
        std::string reported;
    } cases[] = {
        {"std::runtime_error", [] { throw std::runtime_error("handler failed"); }, "handler failed"},
        {"a value not derived from std::exception", [] { throw 42; }, "int 42"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        reports = 0;
        reported.clear();
        ThrowingObject throwing(c.raise);
        EXPECT_FALSE(sendUserEvent(throwing));
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(reported, c.reported);

        CountingObject counting;
        EXPECT_TRUE(sendUserEvent(counting));
        EXPECT_EQ(counting.received, 1);
        EXPECT_EQ(reports, 1);
    }
}

// The program's start gives no report function when it has none: the
// exception is then only traced.
TEST_F(GuardedApplicationTest, WithoutAReportTheExceptionIsTraced)
{
    m_App->SetReport({});
    TraceCapture trace;
    ThrowingObject throwing([] { throw std::runtime_error("handler failed"); });
    EXPECT_FALSE(sendUserEvent(throwing));
    EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("Errore interno: eccezione non gestita")});
    EXPECT_EQ(reports, 0);
}

// In the test executables an exception that reaches the application object
// fails the running test, so a handler that lets one through cannot pass
// unseen.
void sendToThrowingObject()
{
    ThrowingObject throwing([] { throw std::runtime_error("handler failed"); });
    sendUserEvent(throwing);
}

TEST(GuardedTestApplication, AnExceptionThatReachesItFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(sendToThrowingObject(),
                            "an exception reached the application object's notify: std::exception: handler failed");
}

} // namespace
