#pragma once
#include <QObject>

// The events every wrapper through which a page handles a control
// (CComboBox, COptionButton, CTextDigitSpin) raises to the page. Each
// wrapper's header says exactly when it emits them.
//
// Signals (connect them directly: Cancel is an answer):
//   Change()                    the control's value changed
//   ChangeValidate(bool &Cancel)  the focus leaves the control for another
//                               control of its window; Cancel keeps (or
//                               puts back) the focus on the control
class CControlWrapper : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void Change();
    void ChangeValidate(bool &Cancel);
};
