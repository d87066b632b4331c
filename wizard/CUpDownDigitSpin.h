#pragma once
#include <QObject>
#include <QPointer>
#include <cstdint>

class QEvent;
class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class UpDownControl;

// The value engine of a numeric spin. Only CTextDigitSpin creates and uses
// it: it holds the value (a scaled integer, "counts") and its limits, steps
// it on keys and up-down clicks with acceleration and wrap-around, and runs
// the single-digit mode. Nothing can be typed into the bound text box.
//
// API (Get name(), Let SetName()):
//   Create(textBox, upDown, min, max, incrementoMinimo, wrap, singleDigitEdit)
//       binds the controls once: the up-down gets the full 32-bit range, its
//       own wrap-around on, increment 1, no tab stop and tool tip 2010; the
//       text box becomes read-only (no typing, pasting or dropping). Value
//       and MinValue start at min, MaxValue at max, the step at
//       incrementoMinimo. `wrap` is kept only: stepping past a limit follows
//       the up-down's own wrap-around, which Create turns on, so every spin
//       wraps (max + step gives min, min - step gives max).
//   Enabled / SetEnabled        the up-down control's enabled switch only
//   Value / SetValue            clamps silently into MinValue..MaxValue;
//                               Change only when the value really changes
//   MaxValue / SetMaxValue, MinValue / SetMinValue
//                               store the limit; a Value beyond it is moved
//                               onto it (with Change)
//   IncrementoMinimo / SetIncrementoMinimo
//                               the base step; it takes effect at the next
//                               key press, left mouse press or end of
//                               single-digit mode
//   SingleDigitMode             single-digit mode is on
//
// Signals (always emitted, connect them directly: the reference arguments
// are answers):
//   Change()                         after every step (also when the value
//                                    stayed at a limit) and every real change
//   ChangeValidate(bool &Cancel)     the focus leaves the text box for another
//                                    control of its window; Cancel keeps the
//                                    focus in the text box
//   SingleDigitModeStart(int16 &Digits)  the mode starts; the handler answers
//                                    the index of the leftmost digit
//                                    (0 = units of the counts)
//   SingleDigitIndex(int16 Index)    the mode moved on to the digit Index
//   SingleDigitModeEnd()
//
// Input: Up and Down keys step by the current step; a held key (key-downs
// without a real key-up; auto-repeat releases do not count) multiplies the
// step by 10 at its 100th, 200th, ... key-down and a held left mouse button
// at its 10th, 20th, ... change, as long as ten times the step stays below a
// tenth of the larger absolute limit. Ctrl alone (no other modifier) or a right
// press on the up-down enters single-digit mode (when permitted) or moves to
// the next lower digit, whose weight 10^index is then the step; the mode ends
// below index 0, below IncrementoMinimo, or when the text box loses the
// focus. Tab and Backtab move the focus as usual; Return, Enter and Escape
// reach the window (default and cancel buttons); every other key is
// swallowed.
class CUpDownDigitSpin : public QObject {
    Q_OBJECT
public:
    explicit CUpDownDigitSpin(QObject *parent = nullptr);

    void Create(QLineEdit *TextBox, UpDownControl *UpDown, std::int32_t Min, std::int32_t Max,
                std::int32_t IncrementoMinimo, bool Wrap, bool SingleDigitEdit);
    void SetEnabled(bool value);
    bool Enabled() const;
    std::int32_t Value() const { return m_Value; }
    void SetValue(std::int32_t value);
    std::int32_t MaxValue() const { return m_MaxValue; }
    void SetMaxValue(std::int32_t value);
    std::int32_t MinValue() const { return m_MinValue; }
    void SetMinValue(std::int32_t value);
    std::int32_t IncrementoMinimo() const { return m_IncrementoMinimo; }
    void SetIncrementoMinimo(std::int32_t value) { m_IncrementoMinimo = value; }
    bool SingleDigitMode() const { return m_SingleDigitMode; }

signals:
    void Change();
    void ChangeValidate(bool &Cancel);
    void SingleDigitModeStart(std::int16_t &Digits);
    void SingleDigitIndex(std::int16_t Index);
    void SingleDigitModeEnd();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyDown(QKeyEvent *event);
    void focusOut(QFocusEvent *event);
    void upDownMouseDown(Qt::MouseButton button);
    void upDownChange();
    void singleDigitStep();
    void nextDigit();
    void accelerate(std::int32_t thresholdIncrement);
    void stepUp();
    void stepDown();
    bool upDownWraps() const;

    QPointer<QLineEdit> m_TextBox;
    QPointer<UpDownControl> m_UpDown;
    std::int32_t m_Value = 0;
    std::int32_t m_MinValue = 0;
    std::int32_t m_MaxValue = 0;
    std::int32_t m_IncrementoMinimo = 0;
    std::int32_t m_Step = 0;
    std::int32_t m_RepeatCount = 0;
    std::int32_t m_RepeatThreshold = 0;
    bool m_KeyHeld = false;
    bool m_Wrap = false;
    bool m_SingleDigitEdit = false;
    bool m_SingleDigitMode = false;
    std::int16_t m_DigitIndex = 0;
    std::int32_t m_LastUpDownPosition = 0;
};
