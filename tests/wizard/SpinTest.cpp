// The numeric spin: limits, steps, acceleration, wrap-around, single-digit
// editing, refused keys, the text shown and the validation on leaving.
#include "CTextDigitSpin.h"
#include "TraceCapture.h"
#include "UpDownControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 120);
        box = new QLineEdit(&window);
        box->setGeometry(10, 10, 120, 24);
        upDown = new UpDownControl(&window);
        other = new QLineEdit(&window);
        other->setGeometry(10, 60, 120, 24);
        QObject::connect(&spin, &CTextDigitSpin::Change, [this] { ++changes; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void Create(std::int32_t min, std::int32_t max, std::int16_t step, bool singleDigitEdit = true)
    {
        spin.Create(box, upDown, min, max, step, true, singleDigitEdit);
        box->setFocus();
        changes = 0;
    }

    // A key held down as X11 reports it: each repeat is a release and a
    // press, both flagged as auto-repeat; the first press is a plain one.
    void HoldKey(int key, int presses, std::vector<std::int32_t> *deltas = nullptr)
    {
        for (int i = 0; i < presses; ++i) {
            const bool repeat = i > 0;
            if (repeat) {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(box, &release);
            }
            const std::int32_t before = spin.Value();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), repeat);
            QApplication::sendEvent(box, &press);
            if (deltas)
                deltas->push_back(spin.Value() - before);
        }
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(box, &release);
    }

    void Ctrl() { QTest::keyClick(box, Qt::Key_Control); }

    QPoint UpArrow() const { return upDown->UpButtonRect().center(); }
    QPoint DownArrow() const { return upDown->DownButtonRect().center(); }

    QWidget window;
    QLineEdit *box = nullptr;
    UpDownControl *upDown = nullptr;
    QLineEdit *other = nullptr;
    CTextDigitSpin spin;
    int changes = 0;
};

TEST_F(SpinTest, ValuesOutsideTheLimitsAreClampedSilently)
{
    struct Case {
        std::int32_t min, max, value, expected;
    };
    const std::vector<Case> cases = {
        {1000, 9999, 500, 1000},     {1000, 9999, 12000, 9999}, {1000, 9999, 4321, 4321},
        {-1999, 1999, -5000, -1999}, {0, 9000, 9001, 9000},
    };
    for (const Case &c : cases) {
        Create(c.min, c.max, 1);
        spin.SetValue(c.value);
        EXPECT_EQ(spin.Value(), c.expected) << c.min << ".." << c.max << " value " << c.value;
    }

    // Limits set after the value move it onto them.
    Create(0, 100, 1);
    spin.SetValue(50);
    changes = 0;
    spin.SetMax(40);
    EXPECT_EQ(spin.Value(), 40);
    spin.SetMin(45);
    EXPECT_EQ(spin.Value(), 45);
    EXPECT_EQ(changes, 2);
    spin.SetMax(60); // the value is inside: nothing moves
    EXPECT_EQ(spin.Value(), 45);
    EXPECT_EQ(changes, 2);
}

TEST_F(SpinTest, SettingTheCurrentValueChangesNothing)
{
    Create(0, 100, 1);
    spin.SetValue(7);
    changes = 0;
    box->setText(QStringLiteral("untouched"));
    spin.SetValue(7);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box->text(), QStringLiteral("untouched"));
}

TEST_F(SpinTest, StepsWrapAroundAtTheLimits)
{
    constexpr std::int32_t kLongMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kLongMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        std::int32_t min, max;
        std::int16_t step;
        std::int32_t start;
        int key;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {1, 255, 1, 255, Qt::Key_Up, 1},
        {1, 255, 1, 1, Qt::Key_Down, 255},
        {1, 255, 1, 100, Qt::Key_Up, 101},
        {1, 255, 1, 100, Qt::Key_Down, 99},
        {0, 10, 3, 9, Qt::Key_Up, 0},
        {0, 10, 3, 2, Qt::Key_Down, 10},
        {-9990, 9990, 10, 9990, Qt::Key_Up, -9990},
        {kLongMin, kLongMax, 1, kLongMax, Qt::Key_Up, kLongMin},
        {kLongMin, kLongMax, 1, kLongMin, Qt::Key_Down, kLongMax},
    };
    for (const Case &c : cases) {
        Create(c.min, c.max, c.step);
        spin.SetValue(c.start);
        changes = 0;
        QTest::keyClick(box, c.key);
        EXPECT_EQ(spin.Value(), c.expected) << c.min << ".." << c.max << " from " << c.start;
        EXPECT_EQ(changes, 1);
    }
}

TEST_F(SpinTest, ArrowsOfTheUpDownStepTheValue)
{
    Create(1000, 9999, 1);
    spin.SetMoltiplicatore(0.1f);
    spin.SetDataFormat(QStringLiteral("##0.0"));
    spin.SetUnitaMisura(QStringLiteral("ms"));
    EXPECT_EQ(box->text(), QStringLiteral("100.0 ms"));
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, DownArrow());
    EXPECT_EQ(box->text(), QStringLiteral("999.9 ms"));
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(spin.Value(), 1000);
    EXPECT_EQ(box->text(), QStringLiteral("100.0 ms"));

    // A press on the arrows brings the focus back to the text box.
    other->setFocus();
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(QApplication::focusWidget(), box);
}

TEST_F(SpinTest, HeldKeyAcceleratesWhileTheStepStaysBelowATenthOfTheRange)
{
    // 1..255: ten times the step at the 100th repeat (25.5 > 10), never a
    // hundred times (25.5 is not > 100).
    Create(1, 255, 1);
    std::vector<std::int32_t> deltas;
    HoldKey(Qt::Key_Up, 300, &deltas);
    EXPECT_EQ(deltas[98], 1);
    for (std::size_t i = 99; i < deltas.size(); ++i) {
        if (deltas[i] > 0) { // not the wrap-around
            EXPECT_EQ(deltas[i], 10) << "repeat " << i + 1;
        }
    }

    // A wider range keeps accelerating every hundred repeats.
    Create(-100000, 100000, 1);
    deltas.clear();
    HoldKey(Qt::Key_Up, 450, &deltas);
    EXPECT_EQ(deltas[98], 1);
    EXPECT_EQ(deltas[99], 10);
    EXPECT_EQ(deltas[199], 100);
    EXPECT_EQ(deltas[299], 1000);
    EXPECT_EQ(deltas[399], 1000); // 10000 is not > 10000

    // Separate key presses never accelerate: a real release ends the hold.
    Create(0, 100000, 1);
    for (int i = 0; i < 150; ++i)
        QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 150);
}

TEST_F(SpinTest, HeldMouseButtonAcceleratesEveryTenChanges)
{
    Create(0, 100000, 1);
    std::vector<std::int32_t> deltas;
    QTest::mousePress(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    deltas.push_back(spin.Value()); // the press's own step
    for (int i = 1; i < 25; ++i) {
        const std::int32_t before = spin.Value();
        upDown->stepBy(1); // an auto-repeat of the held arrow
        deltas.push_back(spin.Value() - before);
    }
    QTest::mouseRelease(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(deltas[0], 1);
    EXPECT_EQ(deltas[8], 1);
    EXPECT_EQ(deltas[9], 10);
    EXPECT_EQ(deltas[19], 100);

    // The next press starts again with the base step.
    const std::int32_t before = spin.Value();
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(spin.Value() - before, 1);

    // Leaving the text box with Shift+Tab: the Shift key goes up in the next
    // control. Holding an arrow on coming back still accelerates.
    Create(0, 100000, 1);
    QTest::keyPress(box, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyPress(box, Qt::Key_Backtab, Qt::ShiftModifier);
    other->setFocus(Qt::BacktabFocusReason);
    QTest::keyRelease(other, Qt::Key_Shift);
    QTest::mousePress(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    ASSERT_EQ(QApplication::focusWidget(), box);
    for (int i = 1; i < 10; ++i)
        upDown->stepBy(1);
    const std::int32_t beforeTenth = spin.Value();
    upDown->stepBy(1);
    QTest::mouseRelease(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(spin.Value() - beforeTenth, 10);
}

TEST_F(SpinTest, SingleDigitEditingWalksTheDigitsFromTheLeft)
{
    Create(0, 9999, 1);
    spin.SetMoltiplicatore(0.1f);
    spin.SetDataFormat(QStringLiteral("##0.0"));
    spin.SetValue(125);
    const QColor base = box->palette().color(QPalette::Base);

    Ctrl();
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("000.0"));
    EXPECT_EQ(box->text(), QStringLiteral("012.5"));
    EXPECT_EQ(box->selectionStart(), 0);
    EXPECT_EQ(box->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 0));

    struct Step {
        int key; // 0: Ctrl (next digit)
        QString text;
        int selectionStart;
    };
    const std::vector<Step> steps = {
        {Qt::Key_Up, QStringLiteral("112.5"), 0},   // digit 3 weighs 1000 counts
        {0, QStringLiteral("112.5"), 1},            // digit 2
        {Qt::Key_Down, QStringLiteral("102.5"), 1}, // - 100
        {0, QStringLiteral("102.5"), 2},            // digit 1
        {Qt::Key_Up, QStringLiteral("103.5"), 2},   // + 10
        {0, QStringLiteral("103.5"), 4},            // digit 0, after the point
        {Qt::Key_Down, QStringLiteral("103.4"), 4}, // - 1
    };
    for (const Step &s : steps) {
        if (s.key)
            QTest::keyClick(box, s.key);
        else
            Ctrl();
        EXPECT_EQ(box->text(), s.text);
        EXPECT_EQ(box->selectionStart(), s.selectionStart) << s.text.toStdString();
    }

    Ctrl(); // below digit 0: the mode ends
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("##0.0"));
    EXPECT_EQ(box->text(), QStringLiteral("103.4"));
    EXPECT_EQ(box->palette().color(QPalette::Base), base);
    QTest::keyClick(box, Qt::Key_Up); // back to the base step
    EXPECT_EQ(spin.Value(), 1035);
}

TEST_F(SpinTest, SingleDigitModeEndsAtTheBaseStepOnFocusLossAndOnlyWhenPermitted)
{
    // Base step 10: the digit of index 1 is the last one.
    Create(-9990, 9990, 10);
    spin.SetDataFormat(QStringLiteral("##0.0"));
    Ctrl();
    Ctrl();
    Ctrl();
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("000.0"));
    Ctrl();
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("##0.0"));

    // A right press on the arrows enters the mode too; leaving the text box
    // ends it.
    QTest::mouseClick(upDown, Qt::RightButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("000.0"));
    other->setFocus();
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("##0.0"));

    // Without single-digit editing Ctrl does nothing.
    Create(0, 9999, 1, false);
    spin.SetDataFormat(QStringLiteral("##0.0"));
    Ctrl();
    EXPECT_EQ(spin.DataFormat(), QStringLiteral("##0.0"));
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(spin.Value(), 1);
}

TEST_F(SpinTest, TypedKeysAreRefusedButFocusKeysStillWork)
{
    Create(0, 9999, 1, false); // Ctrl+V must not count as a digit step here
    spin.SetValue(42);
    QTest::keyClicks(box, QStringLiteral("7a-."));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); // paste
    EXPECT_EQ(box->text(), QStringLiteral("42"));
    EXPECT_EQ(spin.Value(), 42);

    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
}

TEST_F(SpinTest, TextIsTheValueTimesTheFactorInTheFormatAndUnit)
{
    struct Case {
        std::int32_t value;
        float factor;
        const char *format;
        const char *unit;
        const char *expected;
    };
    const std::vector<Case> cases = {
        {1000, 0.1f, "##0.0", "ms", "100.0 ms"},
        {9999, 0.1f, "##0.0", "ms", "999.9 ms"},
        {25, 1.0f, "#0", "\u00b0C", "25 \u00b0C"},
        {0, 1.0f, "###0", "", "0"},
        {-1999, 0.01f, "#0.00", "V", "-19.99 V"},
        {-5, 0.001f, "0.000", "", "-0.005"},
        {999999, 0.00001f, "0.00000", "", "9.99999"},
        {std::numeric_limits<std::int32_t>::max(), 0.001f, "##0.000", "", "2147483.647"},
        {125, 1.0f, "##0.0", "", "125.0"},
        {7, 10.0f, "###0", "", "70"},
        {3, 2.5f, "##0.0", "", "7.5"},
    };
    Create(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 1);
    for (const Case &c : cases) {
        spin.SetValue(c.value);
        spin.SetMoltiplicatore(c.factor);
        spin.SetDataFormat(QString::fromUtf8(c.format));
        spin.SetUnitaMisura(QString::fromUtf8(c.unit));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.expected)) << c.value << " " << c.format;
    }

    // The page may rewrite the text before it is shown.
    QObject::connect(&spin, &CTextDigitSpin::FormatText,
                     [](QString &text) { text = QStringLiteral("[") + text + QStringLiteral("]"); });
    spin.SetUnitaMisura(QStringLiteral("%"));
    EXPECT_EQ(box->text(), QStringLiteral("[7.5 %]"));
}

TEST_F(SpinTest, ValueIntIsTheLowWordOfTheValue)
{
    Create(-100000, 100000, 1);
    spin.SetValue(40000);
    EXPECT_EQ(spin.ValueInt(), -25536);
    spin.SetValueInt(-2);
    EXPECT_EQ(spin.Value(), -2);
}

TEST_F(SpinTest, WithoutEventsTheTextStillFollowsTheValue)
{
    int formats = 0;
    int validations = 0;
    QObject::connect(&spin, &CTextDigitSpin::FormatText, [&](QString &) { ++formats; });
    QObject::connect(&spin, &CTextDigitSpin::ChangeValidate, [&](bool &) { ++validations; });
    spin.SetEnableEvent(false);
    Create(0, 100, 1);
    QTest::keyClick(box, Qt::Key_Up);
    spin.SetValue(50);
    other->setFocus();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(formats, 0);
    EXPECT_EQ(validations, 0);
    EXPECT_EQ(box->text(), QStringLiteral("50"));
}

TEST_F(SpinTest, ARefusedValidationKeepsTheFocusInTheTextBox)
{
    TraceCapture trace;
    Create(0, 100, 1);
    bool refuse = true;
    int validations = 0;
    QObject::connect(&spin, &CTextDigitSpin::ChangeValidate, [&](bool &cancel) {
        ++validations;
        cancel = refuse;
    });

    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("TextBox validate")));
    EXPECT_TRUE(trace.Lines().contains(QStringLiteral("m_UpDown_ChangeValidate")));

    refuse = false;
    other->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(validations, 2);
    EXPECT_EQ(QApplication::focusWidget(), other);

    // Clicking the arrows is no focus change and validates nothing.
    box->setFocus();
    QTest::mouseClick(upDown, Qt::LeftButton, Qt::NoModifier, UpArrow());
    EXPECT_EQ(validations, 2);
}

TEST_F(SpinTest, UpDownSitsInsideTheRightEndOfTheTextBox)
{
    Create(0, 100, 1);
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    auto check = [&] {
        const QRect b = box->geometry();
        const QRect u = upDown->geometry();
        EXPECT_EQ(u.right(), b.right() - frame);
        EXPECT_EQ(u.top(), b.top() + frame);
        EXPECT_EQ(u.height(), b.height() - 2 * frame);
        EXPECT_GT(u.width(), 0);
        EXPECT_LT(u.width(), b.width());
    };
    check();
    box->setGeometry(40, 30, 200, 30);
    check();
}

} // namespace
