#include "ControlFocus.h"

#include <QTimer>
#include <QWidget>

bool IsControlFocusChange(const QFocusEvent *event)
{
    switch (event->reason()) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::MenuBarFocusReason: return false;
    default: return true;
    }
}

bool OwnEnabled(const QWidget *widget)
{
    return widget && !widget->testAttribute(Qt::WA_ForceDisabled);
}

void RestoreFocusLater(QWidget *widget)
{
    if (!widget)
        return;
    QTimer::singleShot(0, widget, [widget] { widget->setFocus(Qt::OtherFocusReason); });
}
