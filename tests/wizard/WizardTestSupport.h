#pragma once
#include "CTextDigitSpin.h"
#include "FWizardPage.h"
#include "MsgBox.h"
#include "StringTable.h"
#include "UpDownControl.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

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

// Fixtures of the tests of single wizard pages: controls found by name, a
// page shown once through a script, the boxes a page shows, the verdict of a
// page's check on a button, and a page shown without waiting.
namespace pagetest {

// The control of the page with that object name; a missing one ends the
// test with its name.
template <class T>
T &Child(QObject &page, const char *name)
{
    T *child = page.findChild<T *>(QString::fromLatin1(name));
    if (child == nullptr)
        throw std::runtime_error(std::string("no control ") + name);
    return *child;
}

inline CTextDigitSpin &Spin(QObject &page, const char *name)
{
    return Child<CTextDigitSpin>(page, name);
}

inline QString Text(QObject &page, const char *textBox)
{
    return Child<QLineEdit>(page, textBox).text();
}

// One click on the up or the down arrow of the named arrow pair.
inline void ClickArrow(QObject &page, const char *upDownName, bool up)
{
    auto &upDown = Child<UpDownControl>(page, upDownName);
    QTest::mouseClick(&upDown, Qt::LeftButton, Qt::NoModifier,
                      (up ? upDown.UpButtonRect() : upDown.DownButtonRect()).center());
}

// Shows the page once with `source` handed in through SetData, lets `look`
// see it, leaves with Next and returns what the page hands back. The copy of
// a parameter object takes the source's class name first (an alarm's number,
// a channel's letter), as the wizard's own copies do. (The data classes are
// not copied: the result comes by pointer.)
template <class Data>
std::unique_ptr<Data> ShowAndStore(FWizardDataPage<Data> &page, const Data &source,
                                   const std::function<void(FWizardPage &)> &look)
{
    page.SetData(source);
    PageScript script;
    script.Then([&](FWizardPage &p) {
        look(p);
        PageScript::Press(p, "cmdNext");
    });
    page.Show(1);
    EXPECT_EQ(page.ButtonRet(), FWizardPage::kButtonNext);
    auto stored = std::make_unique<Data>();
    if constexpr (std::is_base_of_v<IParameterObject, Data>)
        stored->SetClassName(source.ClassName());
    page.GetData(*stored);
    return stored;
}

// Records the message boxes shown while it lives (each answered OK).
class BoxRecorder {
public:
    BoxRecorder()
        : m_Old(SetMsgBoxHook([this](const MsgBoxRequest &r) {
              texts.push_back(r.text);
              styles.push_back(r.style);
              return MsgBoxResult::OK;
          }))
    {
    }
    ~BoxRecorder() { SetMsgBoxHook(m_Old); }
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    std::vector<QString> texts;
    std::vector<int> styles;

private:
    MsgBoxHook m_Old;
};

// Shows the page without waiting with `data` handed in, as the wizard's last
// page when `button` is End (End is enabled on the last page only).
template <class Data>
void ShowToPress(FWizardDataPage<Data> &page, const Data &data, const char *button)
{
    page.SetLastTab(std::string(button) == "cmdEnd");
    page.SetData(data);
    page.Show(0);
}

// Presses `button` on a page shown without waiting and checks the verdict
// of the page's check: a refusal shows the one box with string `message` and
// leaves the page open, a pass shows no box and closes the page. Call it
// under ASSERT_NO_FATAL_FAILURE: a refusal without its box ends the test.
inline void PressForVerdict(FWizardPage &page, const char *button, bool refused, std::int32_t message,
                            const BoxRecorder &boxes)
{
    PageScript::Press(page, button);
    if (refused) {
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], LoadResourceString(message));
        EXPECT_TRUE(page.isVisible());
    } else {
        EXPECT_TRUE(boxes.texts.empty());
        EXPECT_FALSE(page.isVisible());
    }
}

// One page shown without waiting, as the wizard driver fills it, on a
// fixture base (::testing::Test, or one that also resets shared state).
template <class Page, class Data, class Base = ::testing::Test>
class ShownPage : public Base {
protected:
    void Open(const Data &data)
    {
        page.SetData(data);
        page.Show(0);
    }
    std::unique_ptr<Data> Leave(const char *button)
    {
        PageScript::Press(page, button);
        EXPECT_FALSE(page.isVisible()) << button;
        auto out = std::make_unique<Data>();
        page.GetData(*out);
        return out;
    }
    template <class Widget>
    Widget *Find(const QString &name)
    {
        auto *w = page.template findChild<Widget *>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QRadioButton *Option(const char *group, int i)
    {
        return this->template Find<QRadioButton>(QString::fromLatin1(group) + QString::number(i));
    }
    // The index of the button of the group that is on, -1 for none.
    int Checked(const char *group, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (Option(group, i)->isChecked())
                return i;
        }
        return -1;
    }
    QStringList Items(const char *combo)
    {
        QStringList items;
        auto *c = this->template Find<QComboBox>(QString::fromLatin1(combo));
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        return items;
    }
    QString Title() { return this->template Find<QLabel>(QStringLiteral("lblTitle"))->text(); }

    Page page;
};

} // namespace pagetest
