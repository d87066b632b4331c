#pragma once
#include <QList>
#include <QString>
#include <QVariant>

class QObject;
class QWidget;

// The control kinds the text and font services address, mapped in this one
// place to the Qt classes that stand for them:
//
//   "Label"        QLabel
//   "Frame"        QGroupBox (caption = its title)
//   "OptionButton" QRadioButton
//   "CheckBox"     QCheckBox
//   "TextBox"      QLineEdit, QPlainTextEdit, QTextEdit (not the editor
//                  inside a spin box or a combo box)
//   "ComboBox"     QComboBox
//   "ToolBar"      QToolBar
//   "UpDown"       QAbstractSpinBox
//   "Menu"         a QAction shown in a QMenu or a QMenuBar (a top menu is
//                  its QMenu's menuAction()); its designed text is the id
//
// A window's or control's Tag is the dynamic property "Tag"; a control's
// designed tool tip is its toolTip.

inline constexpr const char *kTagProperty = "Tag";

// The kind of a control, or an empty text for anything else.
QString ControlKind(const QObject *control);

// The controls of a window in designed (creation) order: its child widgets
// (without the inner parts of composite widgets) and its menu items.
QList<QObject *> FormControls(QWidget *form);

QVariant ControlTag(const QObject *control);
void SetControlTag(QObject *control, const QVariant &tag);

// Caption of a Label, Frame, OptionButton, CheckBox or Menu; false for a
// control without one.
bool SetControlCaption(QObject *control, const QString &caption);
QString ControlCaption(const QObject *control);

QString ControlToolTip(const QObject *control);
void SetControlToolTip(QObject *control, const QString &toolTip);
