#include "ControlKinds.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolBar>
#include <QWidget>

namespace {

bool isMenuItem(const QAction *action)
{
    for (const QObject *o : action->associatedObjects())
        if (qobject_cast<const QMenu *>(o) || qobject_cast<const QMenuBar *>(o))
            return true;
    return false;
}

// The editor inside a spin box or an editable combo box is part of that
// control, not a text box of its own.
bool isInnerPart(const QWidget *w)
{
    for (const QObject *p = w->parent(); p; p = p->parent()) {
        if (qobject_cast<const QAbstractSpinBox *>(p) || qobject_cast<const QComboBox *>(p))
            return true;
        if (p->isWidgetType() && static_cast<const QWidget *>(p)->isWindow())
            break;
    }
    return false;
}

// A widget of the form itself, not of a window (a dialog, a popup) inside it.
bool belongsTo(const QWidget *w, const QWidget *form)
{
    const QWidget *p = w;
    for (; p && p != form; p = p->parentWidget())
        if (p->isWindow())
            return false;
    return p == form;
}

} // namespace

QString ControlKind(const QObject *control)
{
    if (!control)
        return QString();
    if (const auto *a = qobject_cast<const QAction *>(control))
        return isMenuItem(a) ? QStringLiteral("Menu") : QString();
    if (!control->isWidgetType())
        return QString();
    const auto *w = static_cast<const QWidget *>(control);
    if (qobject_cast<const QLabel *>(w))
        return QStringLiteral("Label");
    if (qobject_cast<const QGroupBox *>(w))
        return QStringLiteral("Frame");
    if (qobject_cast<const QRadioButton *>(w))
        return QStringLiteral("OptionButton");
    if (qobject_cast<const QCheckBox *>(w))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const QComboBox *>(w))
        return QStringLiteral("ComboBox");
    if (qobject_cast<const QToolBar *>(w))
        return QStringLiteral("ToolBar");
    if (qobject_cast<const QAbstractSpinBox *>(w))
        return QStringLiteral("UpDown");
    if ((qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
         qobject_cast<const QTextEdit *>(w)) &&
        !isInnerPart(w))
        return QStringLiteral("TextBox");
    return QString();
}

QList<QObject *> FormControls(QWidget *form)
{
    QList<QObject *> controls;
    if (!form)
        return controls;
    for (QObject *o : form->findChildren<QObject *>()) {
        if (auto *a = qobject_cast<QAction *>(o)) {
            if (isMenuItem(a))
                controls.append(a);
        } else if (o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            if (belongsTo(w, form) && !isInnerPart(w))
                controls.append(w);
        }
    }
    return controls;
}

QVariant ControlTag(const QObject *control)
{
    return control ? control->property(kTagProperty) : QVariant();
}

void SetControlTag(QObject *control, const QVariant &tag)
{
    if (control)
        control->setProperty(kTagProperty, tag);
}

bool SetControlCaption(QObject *control, const QString &caption)
{
    if (auto *l = qobject_cast<QLabel *>(control)) {
        l->setText(caption);
        return true;
    }
    if (auto *g = qobject_cast<QGroupBox *>(control)) {
        g->setTitle(caption);
        return true;
    }
    if (auto *b = qobject_cast<QRadioButton *>(control)) {
        b->setText(caption);
        return true;
    }
    if (auto *c = qobject_cast<QCheckBox *>(control)) {
        c->setText(caption);
        return true;
    }
    if (auto *a = qobject_cast<QAction *>(control)) {
        a->setText(caption);
        return true;
    }
    return false;
}

QString ControlCaption(const QObject *control)
{
    if (auto *l = qobject_cast<const QLabel *>(control))
        return l->text();
    if (auto *g = qobject_cast<const QGroupBox *>(control))
        return g->title();
    if (auto *b = qobject_cast<const QRadioButton *>(control))
        return b->text();
    if (auto *c = qobject_cast<const QCheckBox *>(control))
        return c->text();
    if (auto *a = qobject_cast<const QAction *>(control))
        return a->text();
    return QString();
}

QString ControlToolTip(const QObject *control)
{
    if (auto *a = qobject_cast<const QAction *>(control))
        return a->toolTip();
    if (control && control->isWidgetType())
        return static_cast<const QWidget *>(control)->toolTip();
    return QString();
}

void SetControlToolTip(QObject *control, const QString &toolTip)
{
    if (auto *a = qobject_cast<QAction *>(control))
        a->setToolTip(toolTip);
    else if (control && control->isWidgetType())
        static_cast<QWidget *>(control)->setToolTip(toolTip);
}
