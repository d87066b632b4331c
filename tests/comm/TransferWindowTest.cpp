// The frame of the windows that talk to an instrument: the job runs once
// after the first show, its result (or its error) becomes ReturnValue, the
// window's button, Escape and the close box only ask the job to cancel
// while it runs, and the window closes itself when the job ends.
#include "MsgBox.h"
#include "TraceCapture.h"
#include "TransferWindow.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

enum class Outcome { Succeeds, Fails, Throws };

// A window whose job waits, as an exchange does, while `during` acts as the
// user, and then ends as `outcome` says; a cancel ends the wait and the job
// fails, as the engines' jobs do.
class ScriptedWindow : public TransferWindow {
public:
    ScriptedWindow() : TransferWindow(nullptr, QStringLiteral("FScripted"), QStringLiteral("Prova: "))
    {
        cmdCancel = new QPushButton(this);
        connect(cmdCancel, &QPushButton::clicked, this, &ScriptedWindow::RequestCancel);
    }

    QPushButton *cmdCancel = nullptr;
    Outcome outcome = Outcome::Succeeds;
    std::function<void(ScriptedWindow &)> during;
    int runs = 0;
    int cancels = 0;
    bool openAfterAction = false;

protected:
    bool RunTransfer(std::int32_t) override
    {
        ++runs;
        bool cancelled = false;
        if (during) {
            QEventLoop exchange;
            m_Exchange = &exchange;
            QTimer::singleShot(0, this, [this] {
                during(*this);
                openAfterAction = isVisible();
            });
            // A job that is not cancelled ends on its own.
            QTimer::singleShot(200, &exchange, &QEventLoop::quit);
            exchange.exec();
            m_Exchange = nullptr;
            cancelled = cancels > 0;
        }
        switch (outcome) {
        case Outcome::Succeeds: return !cancelled;
        case Outcome::Fails: return false;
        case Outcome::Throws: throw std::runtime_error("guasto di prova");
        }
        return false;
    }
    void CancelTransfer() override
    {
        ++cancels;
        if (m_Exchange)
            m_Exchange->quit();
    }

private:
    QEventLoop *m_Exchange = nullptr;
};

class TransferWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_OldHook = SetMsgBoxHook([this](const MsgBoxRequest &r) {
            boxes << r.text;
            return MsgBoxResult::OK;
        });
    }
    void TearDown() override { SetMsgBoxHook(m_OldHook); }

    QStringList boxes;

private:
    MsgBoxHook m_OldHook;
};

struct JobCase {
    const char *what;
    Outcome outcome;
    std::function<void(ScriptedWindow &)> during; // what the user does while the job runs
    bool returnValue;
    int cancels;
    int boxes;
};

const JobCase kJobCases[] = {
    {"a job that succeeds", Outcome::Succeeds, nullptr, true, 0, 0},
    {"a job that fails", Outcome::Fails, nullptr, false, 0, 0},
    {"a job that throws has failed and says why", Outcome::Throws, nullptr, false, 0, 1},
    {"the close box cancels", Outcome::Succeeds, [](ScriptedWindow &w) { w.close(); }, false, 1, 0},
    {"Escape cancels", Outcome::Succeeds, [](ScriptedWindow &w) { QTest::keyClick(&w, Qt::Key_Escape); }, false, 1, 0},
    {"the window's button cancels", Outcome::Succeeds,
     [](ScriptedWindow &w) { QTest::mouseClick(w.cmdCancel, Qt::LeftButton); }, false, 1, 0},
    {"a cancelled job that throws", Outcome::Throws, [](ScriptedWindow &w) { w.close(); }, false, 1, 1},
};

TEST_F(TransferWindowTest, TheJobRunsOnceItsResultIsReturnedAndCancelsComeOnlyWhileItRuns)
{
    for (const JobCase &c : kJobCases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        TraceCapture trace;
        ScriptedWindow window;
        window.outcome = c.outcome;
        window.during = c.during;
        const int result = window.exec();

        EXPECT_EQ(window.runs, 1);
        EXPECT_EQ(window.ReturnValue(), c.returnValue);
        EXPECT_EQ(result, c.returnValue ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(window.cancels, c.cancels);
        EXPECT_FALSE(window.isVisible()) << "the window closes itself";
        if (c.during) {
            EXPECT_TRUE(window.openAfterAction) << "a cancel leaves the window open until the job ends";
        }
        EXPECT_EQ(boxes.size(), c.boxes) << boxes.join(QLatin1Char('\n')).toStdString();
        if (c.outcome == Outcome::Throws) {
            EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Prova: Errore interno: guasto di prova")));
        }

        // Once the job has ended nothing cancels it, and showing the window
        // again does not run it again.
        window.cmdCancel->click();
        window.show();
        QCoreApplication::processEvents();
        window.close();
        EXPECT_EQ(window.cancels, c.cancels);
        EXPECT_EQ(window.runs, 1);
        EXPECT_EQ(window.ReturnValue(), c.returnValue);
        EXPECT_FALSE(window.isVisible());
    }
}

// A window not yet shown has no job to cancel: it closes as any dialog, and
// a later showing runs the job.
TEST_F(TransferWindowTest, BeforeTheFirstShowClosingDoesNotCancel)
{
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "reject" : "close");
        ScriptedWindow window;
        if (escape)
            static_cast<QDialog &>(window).reject();
        else
            window.close();
        EXPECT_EQ(window.cancels, 0);
        EXPECT_EQ(window.runs, 0);
        EXPECT_EQ(window.exec(), QDialog::Accepted);
        EXPECT_EQ(window.runs, 1);
        EXPECT_TRUE(window.ReturnValue());
    }
}

} // namespace
