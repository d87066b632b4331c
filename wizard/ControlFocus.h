#pragma once
#include <QFocusEvent>

class QWidget;

// Focus helpers shared by the spin, combo and option-group wrappers.

// True when a focus event moves the focus from one control to another: a
// focus that goes to a popup, a menu bar or another window (and comes back
// from there) stays with the control and is no change of control.
bool IsControlFocusChange(const QFocusEvent *event);

// The control's own enabled switch, whatever its container's: a control
// inside a disabled frame still reads as enabled.
bool OwnEnabled(const QWidget *widget);

// Puts the focus back on `widget` once the focus change under way is over
// (a validation that refuses to let the focus go). Nothing happens when the
// widget is gone by then.
void RestoreFocusLater(QWidget *widget);
