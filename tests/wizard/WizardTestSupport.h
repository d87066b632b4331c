#pragma once
#include "FWizardPage.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

// Answers modal wizard pages in place of a person: every time a page window
// is shown, the next step runs on it once the page's modal loop is running.
// A step typically edits controls and presses a button. A page shown with no
// step left fails the test and is cancelled, so a test never hangs.
//
//   PageScript script;
//   script.Then([](FWizardPage &p) { PageScript::Press(p, "cmdNext"); });
//   driver.Start();   // or page.Show(1)
class PageScript : public QObject {
public:
    using Step = std::function<void(FWizardPage &)>;

    PageScript() { qApp->installEventFilter(this); }
    ~PageScript() override
    {
        qApp->removeEventFilter(this);
        EXPECT_TRUE(m_Steps.empty()) << m_Steps.size() << " step(s) of the script were not used";
    }

    PageScript &Then(Step step)
    {
        m_Steps.push_back(std::move(step));
        return *this;
    }

    // Clicks the named button of the page (as the user does: a disabled or
    // hidden button does nothing, so the page stays open).
    static void Press(FWizardPage &page, const char *button)
    {
        auto *b = page.findChild<QPushButton *>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        if (b->isEnabled() && b->isVisibleTo(&page))
            b->click();
    }

    int PagesShown() const { return m_Shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *page = qobject_cast<FWizardPage *>(watched); page && page->isWindow()) {
                ++m_Shown;
                QPointer<FWizardPage> guard(page);
                QTimer::singleShot(0, page, [this, guard] {
                    if (guard)
                        RunNext(*guard);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void RunNext(FWizardPage &page)
    {
        if (m_Steps.empty()) {
            ADD_FAILURE() << "page " << page.objectName().toStdString() << " open with no step left";
            // Cancel ends any run.
            auto *cancel = page.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
            if (cancel == nullptr || !cancel->isVisibleTo(&page))
                cancel = page.findChild<QPushButton *>(QStringLiteral("cmdDialogCancel"));
            if (cancel != nullptr && cancel->isVisibleTo(&page))
                cancel->click();
            else
                page.reject();
            return;
        }
        Step step = std::move(m_Steps.front());
        m_Steps.pop_front();
        step(page);
        if (page.isVisible()) {
            // The step left the page open (a refused check, a disabled
            // button): the next step answers the same showing.
            QPointer<FWizardPage> guard(&page);
            QTimer::singleShot(0, &page, [this, guard] {
                if (guard && guard->isVisible())
                    RunNext(*guard);
            });
        }
    }

    std::deque<Step> m_Steps;
    int m_Shown = 0;
};
