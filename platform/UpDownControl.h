#pragma once
#include <QAbstractSpinBox>
#include <QStyle>
#include <cstdint>

// The up-down control: a pair of arrow buttons with a value of its own and
// no text field (the control kind "UpDown" of startup/ControlKinds.h, since
// it is a QAbstractSpinBox). A numeric spin lays it over the right-hand end
// of its text box and reads only its changes and mouse presses; the value
// shown belongs to the spin, not to this control.
//
// - Value, Min, Max (32-bit), Increment and Wrap: a click on an arrow (and
//   every auto-repeat while the left button is held) moves Value by
//   Increment; past a limit it goes to the other limit when Wrap is on and
//   stays at the limit when it is off. Every step emits Change, even when
//   the value stayed. Defaults: 0, 0..100, increment 1, no wrap.
// - MouseDown(button) is emitted for every mouse press on the control, before
//   the step of that press.
// - The control never takes the keyboard focus, has no context menu and
//   ignores the mouse wheel.
class UpDownControl : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget *parent = nullptr);

    std::int32_t Value() const { return m_Value; }
    // Stores the value clamped to Min..Max; emits nothing.
    void SetValue(std::int32_t value);
    std::int32_t Min() const { return m_Min; }
    void SetMin(std::int32_t value);
    std::int32_t Max() const { return m_Max; }
    void SetMax(std::int32_t value);
    std::int32_t Increment() const { return m_Increment; }
    void SetIncrement(std::int32_t value) { m_Increment = value; }
    bool Wrap() const { return m_Wrap; }
    void SetWrap(bool value) { m_Wrap = value; }

    // Where the two arrows are, in the control's own coordinates.
    QRect UpButtonRect() const;
    QRect DownButtonRect() const;

    // Moves Value by `steps` increments (negative: down) and emits Change.
    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Change();
    void MouseDown(Qt::MouseButton button);

protected:
    StepEnabled stepEnabled() const override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect arrowRect(QStyle::SubControl which) const;

    std::int32_t m_Value = 0;
    std::int32_t m_Min = 0;
    std::int32_t m_Max = 100;
    std::int32_t m_Increment = 1;
    bool m_Wrap = false;
};
