#include "CUpDownDigitSpin.h"

#include "CTraceCode.h"
#include "ControlFocus.h"
#include "StringTable.h"
#include "UpDownControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr std::int32_t kKeyRepeatThreshold = 100;
constexpr std::int32_t kMouseRepeatThreshold = 10;
constexpr std::int32_t kUpDownToolTipId = 2010;

// 10 to the power of a digit index, as a step: 1 below index 0, the largest
// Long beyond the Long range.
std::int32_t DigitWeight(std::int16_t index)
{
    std::int64_t weight = 1;
    for (int i = 0; i < index; ++i) {
        weight *= 10;
        if (weight > std::numeric_limits<std::int32_t>::max())
            return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(weight);
}

// Exactly Ctrl among the modifiers that make a shift state (the keypad flag
// of the arrow keys does not count). The Ctrl key itself counts as Ctrl even
// where the platform reports its own press without the modifier.
bool IsCtrlOnly(const QKeyEvent *event)
{
    constexpr Qt::KeyboardModifiers shiftState =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    Qt::KeyboardModifiers modifiers = event->modifiers() & shiftState;
    if (event->key() == Qt::Key_Control)
        modifiers |= Qt::ControlModifier;
    return modifiers == Qt::ControlModifier;
}

} // namespace

CUpDownDigitSpin::CUpDownDigitSpin(QObject *parent) : QObject(parent) {}

void CUpDownDigitSpin::Create(QLineEdit *TextBox, UpDownControl *UpDown, std::int32_t Min, std::int32_t Max,
                              std::int32_t IncrementoMinimo, bool Wrap, bool SingleDigitEdit)
{
    if (m_TextBox)
        m_TextBox->removeEventFilter(this);
    if (m_UpDown)
        disconnect(m_UpDown, nullptr, this, nullptr);
    m_TextBox = TextBox;
    m_UpDown = UpDown;

    if (m_TextBox) {
        // Values change only through the spin: nothing typed, pasted or
        // dropped reaches the text.
        m_TextBox->setReadOnly(true);
        m_TextBox->installEventFilter(this);
    }
    if (m_UpDown) {
        m_UpDown->setFocusPolicy(Qt::NoFocus);
        m_UpDown->SetMin(std::numeric_limits<std::int32_t>::min());
        m_UpDown->SetMax(std::numeric_limits<std::int32_t>::max());
        m_UpDown->SetWrap(true);
        m_UpDown->SetIncrement(1);
        m_UpDown->setToolTip(LoadResourceString(kUpDownToolTipId));
        m_LastUpDownPosition = m_UpDown->Value();
        connect(m_UpDown, &UpDownControl::MouseDown, this, &CUpDownDigitSpin::upDownMouseDown);
        connect(m_UpDown, &UpDownControl::Change, this, &CUpDownDigitSpin::upDownChange);
    }

    m_IncrementoMinimo = IncrementoMinimo;
    m_Step = IncrementoMinimo;
    m_Wrap = Wrap;
    m_SingleDigitEdit = SingleDigitEdit;
    m_Value = Min;
    m_MinValue = Min;
    m_MaxValue = Max;
    m_KeyHeld = false;
    m_SingleDigitMode = false;
}

void CUpDownDigitSpin::SetEnabled(bool value)
{
    if (m_UpDown)
        m_UpDown->setEnabled(value);
}

bool CUpDownDigitSpin::Enabled() const
{
    return OwnEnabled(m_UpDown);
}

void CUpDownDigitSpin::SetValue(std::int32_t value)
{
    if (value > m_MaxValue)
        value = m_MaxValue;
    if (value < m_MinValue)
        value = m_MinValue;
    if (value == m_Value)
        return;
    m_Value = value;
    emit Change();
}

void CUpDownDigitSpin::SetMaxValue(std::int32_t value)
{
    m_MaxValue = value;
    if (m_Value > m_MaxValue) {
        m_Value = m_MaxValue;
        emit Change();
    }
}

void CUpDownDigitSpin::SetMinValue(std::int32_t value)
{
    m_MinValue = value;
    if (m_Value < m_MinValue) {
        m_Value = m_MinValue;
        emit Change();
    }
}

bool CUpDownDigitSpin::eventFilter(QObject *watched, QEvent *event)
{
    // A text box being destroyed is no longer a QLineEdit: its last focus
    // loss is not a user's and is left alone. The type check comes first, so
    // the guarded pointer never downcasts a half-destroyed object.
    if (!qobject_cast<QLineEdit *>(watched) || watched != m_TextBox)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: return keyDown(static_cast<QKeyEvent *>(event));
    case QEvent::KeyRelease:
        // X11 reports auto-repeat as release and press pairs: only a real
        // release ends the hold.
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            m_KeyHeld = false;
        return true;
    case QEvent::InputMethod: return true;
    case QEvent::FocusOut: focusOut(static_cast<QFocusEvent *>(event)); return false;
    default: return false;
    }
}

bool CUpDownDigitSpin::keyDown(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false; // focus navigation

    if (IsCtrlOnly(event))
        singleDigitStep();
    if (!m_SingleDigitMode) {
        if (!m_KeyHeld) {
            m_RepeatCount = 0;
            m_RepeatThreshold = kKeyRepeatThreshold;
            m_Step = m_IncrementoMinimo;
        }
        m_KeyHeld = true;
        ++m_RepeatCount;
        if (m_RepeatCount == m_RepeatThreshold)
            accelerate(kKeyRepeatThreshold);
    }
    if (key == Qt::Key_Up)
        stepUp();
    else if (key == Qt::Key_Down)
        stepDown();

    // Default and cancel buttons of the window still see these; the
    // read-only text box passes them on.
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        return false;
    return true;
}

void CUpDownDigitSpin::focusOut(QFocusEvent *event)
{
    // A key held when the focus leaves (Shift of Shift+Tab, Alt of a window
    // switch) goes up elsewhere: the hold ends here, or the next press and a
    // held arrow of the up-down would count on from it.
    m_KeyHeld = false;
    if (!IsControlFocusChange(event))
        return;
    QWidget *next = QApplication::focusWidget();
    if (next && next != m_TextBox && next->window() == m_TextBox->window()) {
        g_Trace.BugMessage(QStringLiteral("TextBox validate"));
        bool cancel = false;
        emit ChangeValidate(cancel);
        if (cancel) {
            RestoreFocusLater(m_TextBox);
            return;
        }
    }
    if (m_SingleDigitMode) {
        m_DigitIndex = 0;
        nextDigit();
    }
}

void CUpDownDigitSpin::upDownMouseDown(Qt::MouseButton button)
{
    if (m_TextBox && QApplication::focusWidget() != m_TextBox)
        m_TextBox->setFocus(Qt::MouseFocusReason);
    if (button == Qt::LeftButton && !m_SingleDigitMode) {
        m_RepeatCount = 0;
        m_RepeatThreshold = kMouseRepeatThreshold;
        m_Step = m_IncrementoMinimo;
    } else if (button == Qt::RightButton) {
        singleDigitStep();
    }
}

void CUpDownDigitSpin::upDownChange()
{
    if (!m_UpDown)
        return;
    if (!m_SingleDigitMode && !m_KeyHeld) {
        ++m_RepeatCount;
        if (m_RepeatCount == m_RepeatThreshold)
            accelerate(kMouseRepeatThreshold);
    }
    // The direction is that of the up-down's own value; its wrap from the
    // largest to the smallest Long is still a step up.
    const std::int32_t position = m_UpDown->Value();
    const auto delta = static_cast<std::int32_t>(static_cast<std::uint32_t>(position) -
                                                 static_cast<std::uint32_t>(m_LastUpDownPosition));
    m_LastUpDownPosition = position;
    if (delta > 0)
        stepUp();
    else
        stepDown();
}

void CUpDownDigitSpin::singleDigitStep()
{
    if (!m_SingleDigitEdit)
        return;
    if (m_SingleDigitMode) {
        nextDigit();
        return;
    }
    m_SingleDigitMode = true;
    std::int16_t digits = 0;
    emit SingleDigitModeStart(digits);
    m_DigitIndex = digits;
    m_Step = std::max(DigitWeight(m_DigitIndex), m_IncrementoMinimo);
}

void CUpDownDigitSpin::nextDigit()
{
    --m_DigitIndex;
    if (m_DigitIndex >= 0 && DigitWeight(m_DigitIndex) >= m_IncrementoMinimo) {
        m_Step = DigitWeight(m_DigitIndex);
        emit SingleDigitIndex(m_DigitIndex);
        return;
    }
    m_Step = m_IncrementoMinimo;
    m_SingleDigitMode = false;
    emit SingleDigitModeEnd();
}

void CUpDownDigitSpin::accelerate(std::int32_t thresholdIncrement)
{
    // L x 0.1 > step x 10, in integers so that no rounding decides it.
    const std::int64_t largest = std::max(std::abs(std::int64_t{m_MinValue}), std::abs(std::int64_t{m_MaxValue}));
    if (largest > std::int64_t{m_Step} * 100) {
        m_Step *= 10;
        m_RepeatThreshold += thresholdIncrement;
    }
}

bool CUpDownDigitSpin::upDownWraps() const
{
    return m_UpDown ? m_UpDown->Wrap() : true;
}

void CUpDownDigitSpin::stepUp()
{
    const std::int64_t next = std::int64_t{m_Value} + m_Step;
    if (next <= m_MaxValue)
        m_Value = static_cast<std::int32_t>(next);
    else
        m_Value = upDownWraps() ? m_MinValue : m_MaxValue;
    emit Change();
}

void CUpDownDigitSpin::stepDown()
{
    const std::int64_t next = std::int64_t{m_Value} - m_Step;
    if (next >= m_MinValue)
        m_Value = static_cast<std::int32_t>(next);
    else
        m_Value = upDownWraps() ? m_MaxValue : m_MinValue;
    emit Change();
}
