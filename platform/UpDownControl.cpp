#include "UpDownControl.h"

#include <QLineEdit>
#include <algorithm>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>

UpDownControl::UpDownControl(QWidget *parent) : QAbstractSpinBox(parent)
{
    // Only the arrows: the spin box's own editor is never shown.
    lineEdit()->hide();
    lineEdit()->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setFrame(false);
}

void UpDownControl::SetValue(std::int32_t value)
{
    m_Value = std::max(m_Min, std::min(m_Max, value));
    update();
}

void UpDownControl::SetMin(std::int32_t value)
{
    m_Min = value;
    if (m_Max < m_Min)
        m_Max = m_Min;
    SetValue(m_Value);
}

void UpDownControl::SetMax(std::int32_t value)
{
    m_Max = value;
    if (m_Min > m_Max)
        m_Min = m_Max;
    SetValue(m_Value);
}

void UpDownControl::stepBy(int steps)
{
    const std::int64_t next = std::int64_t{m_Value} + std::int64_t{steps} * m_Increment;
    if (next > m_Max)
        m_Value = m_Wrap ? m_Min : m_Max;
    else if (next < m_Min)
        m_Value = m_Wrap ? m_Max : m_Min;
    else
        m_Value = static_cast<std::int32_t>(next);
    update();
    emit Change();
}

QAbstractSpinBox::StepEnabled UpDownControl::stepEnabled() const
{
    if (!isEnabled())
        return StepNone;
    if (m_Wrap)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (m_Value < m_Max)
        enabled |= StepUpEnabled;
    if (m_Value > m_Min)
        enabled |= StepDownEnabled;
    return enabled;
}

QRect UpDownControl::arrowRect(QStyle::SubControl which) const
{
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_SpinBox, &option, which, this);
}

QRect UpDownControl::UpButtonRect() const
{
    return arrowRect(QStyle::SC_SpinBoxUp);
}

QRect UpDownControl::DownButtonRect() const
{
    return arrowRect(QStyle::SC_SpinBoxDown);
}

QSize UpDownControl::sizeHint() const
{
    // As wide as the style's arrow buttons, as high as a text box.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, 100, 22);
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int width = up.isValid() ? std::max(100 - up.left(), up.width()) : 16;
    return QSize(width, QAbstractSpinBox::sizeHint().height());
}

QSize UpDownControl::minimumSizeHint() const
{
    return sizeHint();
}

void UpDownControl::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button());
    QAbstractSpinBox::mousePressEvent(event);
}

void UpDownControl::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

void UpDownControl::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
}
