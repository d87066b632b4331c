// The combo and option-group wrappers: choices by code (item data) and by
// position, change events, refused changes, enabling.
#include "CComboBox.h"
#include "COptionButton.h"
#include "TraceCapture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

class WrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        other = new QLineEdit(&window);
        other->setGeometry(200, 250, 100, 24);
    }
    void ShowWindow()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    QLineEdit *other = nullptr;
};

class ComboTest : public WrapperTest {
protected:
    void SetUp() override
    {
        WrapperTest::SetUp();
        box = new QComboBox(&window);
        box->setGeometry(10, 10, 150, 24);
        combo.Create(box);
    }
    void FillThree()
    {
        combo.AddText(QStringLiteral("five"), 5);
        combo.AddText(QStringLiteral("none"));
        combo.AddText(QStringLiteral("seven"), 7);
    }

    QComboBox *box = nullptr;
    CComboBox combo;
};

TEST_F(ComboTest, ItemsAreSelectedByTheirCodes)
{
    FillThree();
    EXPECT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.Value(), -1); // a filled list starts without a selection

    combo.SetItemData(7);
    EXPECT_EQ(combo.Value(), 2);
    EXPECT_EQ(combo.ItemData(), 7);
    EXPECT_EQ(combo.Text(), QStringLiteral("seven"));

    combo.SetItemData(6); // no item carries it
    EXPECT_EQ(combo.Value(), -1);
    EXPECT_EQ(combo.ItemData(), -1);
    EXPECT_EQ(combo.Text(), QString());

    combo.SetValue(1); // an item added without a code reads 0
    EXPECT_EQ(combo.ItemData(), 0);

    // A refilled list numbers its items from 0 again.
    combo.ClearAllItem();
    EXPECT_EQ(combo.ListCount(), 0);
    combo.AddText(QStringLiteral("1111"), 0x10000);
    combo.AddText(QStringLiteral("11111.1"), 0x10001);
    combo.SetItemData(0x10001);
    EXPECT_EQ(combo.Value(), 1);
    combo.SetItemData(0x10000);
    EXPECT_EQ(combo.Value(), 0);
}

TEST_F(ComboTest, TextSelectsAnItemOrClearsTheSelection)
{
    FillThree();
    combo.SetText(QStringLiteral("SEVEN"));
    EXPECT_EQ(combo.Value(), 2);
    combo.SetText(QStringLiteral("eight"));
    EXPECT_EQ(combo.Value(), -1);
}

TEST(ComboChangeTest, ChangeEvents)
{
    // Each case on a fresh list of three items and a fresh wrapper, which has
    // seen index 0 last.
    struct Case {
        const char *what;
        std::function<void(QComboBox &, CComboBox &, int &changes)> action;
        int changes;
    };
    const std::vector<Case> cases = {
        {"new index by Value", [](QComboBox &, CComboBox &w, int &) { w.SetValue(1); }, 2},
        {"index already selected", [](QComboBox &, CComboBox &w, int &) { w.SetValue(-1); }, 1},
        {"index beyond the list", [](QComboBox &, CComboBox &w, int &) { w.SetValue(3); }, 0},
        {"first user choice of item 0", [](QComboBox &b, CComboBox &, int &) { QTest::keyClick(&b, Qt::Key_Down); }, 0},
        {"user choice of item 1",
         [](QComboBox &b, CComboBox &, int &changes) {
             QTest::keyClick(&b, Qt::Key_Down);
             changes = 0;
             QTest::keyClick(&b, Qt::Key_Down);
         },
         1},
        {"events off",
         [](QComboBox &b, CComboBox &w, int &) {
             w.SetEnableEvent(false);
             w.SetValue(2);
             QTest::keyClick(&b, Qt::Key_Up);
         },
         0},
        {"refill",
         [](QComboBox &, CComboBox &w, int &) {
             w.ClearAllItem();
             w.AddText(QStringLiteral("a"));
         },
         0},
    };
    for (const Case &c : cases) {
        QComboBox box;
        CComboBox combo;
        combo.Create(&box);
        combo.AddText(QStringLiteral("five"), 5);
        combo.AddText(QStringLiteral("none"));
        combo.AddText(QStringLiteral("seven"), 7);
        int changes = 0;
        QObject::connect(&combo, &CComboBox::Change, [&changes] { ++changes; });
        c.action(box, combo, changes);
        EXPECT_EQ(changes, c.changes) << c.what;
    }
}

TEST_F(ComboTest, ARefusedChangeKeepsTheFocus)
{
    FillThree();
    combo.SetValue(0);
    ShowWindow();
    bool refuse = true;
    int validations = 0;
    QObject::connect(&combo, &CComboBox::ChangeValidate, [&](bool &cancel) {
        ++validations;
        cancel = refuse;
    });

    box->setFocus();
    other->setFocus(); // nothing changed: no validation
    EXPECT_EQ(validations, 0);

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.Value(), 1);
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(QApplication::focusWidget(), box);

    // The focus never really left: the next attempt asks again.
    refuse = false;
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

class OptionTest : public WrapperTest {
protected:
    void SetUp() override
    {
        WrapperTest::SetUp();
        frame = new QGroupBox(&window);
        frame->setGeometry(10, 10, 180, 200);
        for (int i = 0; i < 4; ++i) {
            buttons.push_back(new QRadioButton(QStringLiteral("option %1").arg(i), frame));
            buttons.back()->setGeometry(10, 20 + 30 * i, 150, 24);
        }
        group.Create(frame);
        QObject::connect(&group, &COptionButton::Change, [this] { ++changes; });
    }
    void AddAll(const std::vector<std::int16_t> &codes)
    {
        for (std::size_t i = 0; i < codes.size(); ++i)
            group.AddOptionButton(buttons[i], codes[i]);
    }
    int Checked() const
    {
        for (std::size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i]->isChecked())
                return static_cast<int>(i);
        return -1;
    }
    void Click(int i) { QTest::mouseClick(buttons[i], Qt::LeftButton, Qt::NoModifier, QPoint(8, 12)); }

    QGroupBox *frame = nullptr;
    std::vector<QRadioButton *> buttons;
    COptionButton group;
    int changes = 0;
};

TEST_F(OptionTest, MembersAreSelectedByCode)
{
    TraceCapture trace;
    AddAll({0, 1, 4, 5}); // codes that are not positions
    EXPECT_TRUE(group.SetItemData(4));
    EXPECT_EQ(Checked(), 2);
    EXPECT_EQ(group.Value(), 2);
    EXPECT_EQ(group.ItemData(), 4);
    EXPECT_EQ(changes, 1);

    // A code from stored data that no member carries: nothing changes, the
    // failure is traced and reported to the caller.
    EXPECT_FALSE(group.SetItemData(6));
    EXPECT_EQ(Checked(), 2);
    EXPECT_EQ(group.ItemData(), 4);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("g_Trace.BugAssert fallito: ItemData 6 non presente !!!")));
}

TEST_F(OptionTest, MembersAreSelectedByPosition)
{
    TraceCapture trace;
    AddAll({COptionButton::kNoItemData, COptionButton::kNoItemData, COptionButton::kNoItemData});
    group.SetValue(2);
    EXPECT_EQ(Checked(), 2);
    EXPECT_EQ(changes, 1);
    group.SetValue(2); // already on: no click
    EXPECT_EQ(changes, 1);

    // The selection is read back from the buttons.
    buttons[0]->setChecked(true);
    EXPECT_EQ(group.Value(), 0);

    group.SetValue(3); // no such member
    EXPECT_EQ(group.Value(), 0);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("g_Trace.BugAssert fallito: ")));
}

TEST_F(OptionTest, DisabledMembersAndFrames)
{
    AddAll({COptionButton::kNoItemData, COptionButton::kNoItemData, COptionButton::kNoItemData,
            COptionButton::kNoItemData});
    group.SetValue(1);

    // An enabled frame keeps a disabled member from being selected ...
    group.Activate(3, false);
    group.SetValue(3);
    EXPECT_EQ(group.Value(), 1);
    // ... a disabled frame does not.
    group.ActivateGroup(false);
    EXPECT_FALSE(group.EnabledGroup());
    group.SetValue(3);
    EXPECT_EQ(group.Value(), 3);
    group.SetEnabledGroup(true);
    EXPECT_TRUE(group.EnabledGroup());

    // Disabling the selected member hands the selection to the first
    // enabled one; disabling another moves nothing.
    group.Activate(0, false);
    group.Activate(3, false);
    EXPECT_EQ(group.Value(), 1);
    group.Activate(2, false);
    EXPECT_EQ(group.Value(), 1);
    changes = 0;
    group.Activate(1, false);
    EXPECT_EQ(group.Value(), 1); // no member left enabled: stays
    EXPECT_EQ(changes, 0);
    group.Activate(2, true);
    group.Activate(1, false); // the selected member again: member 2 takes over
    EXPECT_EQ(Checked(), 2);
    EXPECT_EQ(changes, 1);
}

TEST_F(OptionTest, ClicksAndFocusWithinTheGroup)
{
    AddAll({COptionButton::kNoItemData, COptionButton::kNoItemData, COptionButton::kNoItemData});
    group.SetValue(0);
    ShowWindow();
    bool refuse = true;
    int validations = 0;
    QObject::connect(&group, &COptionButton::ChangeValidate, [&](bool &cancel) {
        ++validations;
        cancel = refuse;
    });

    changes = 0;
    Click(0); // the selected one again
    EXPECT_EQ(changes, 1);
    Click(1); // the focus moves within the group
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(QApplication::focusWidget(), buttons[1]);
    EXPECT_EQ(validations, 0);

    // Leaving the group with a new selection asks the page; a refusal puts
    // the focus back on the member selected before, the new choice stays.
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(QApplication::focusWidget(), buttons[0]);
    EXPECT_EQ(Checked(), 1);

    // The selection read back is now the one known: leaving again asks
    // nothing.
    refuse = false;
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(OptionTest, AGroupHoldsAtMostSixteenMembers)
{
    TraceCapture trace;
    for (int i = 0; i < 17; ++i)
        group.AddOptionButton(new QRadioButton(frame), static_cast<std::int16_t>(100 + i));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("g_Trace.BugAssert fallito: ")));
    EXPECT_TRUE(group.SetItemData(115));
    EXPECT_EQ(group.Value(), 15);
    EXPECT_FALSE(group.SetItemData(116)); // the seventeenth was refused
    group.SetValue(16);
    EXPECT_EQ(group.Value(), 15);
}

} // namespace
