#pragma once
#include "CControlWrapper.h"

#include <QComboBox>
#include <QPointer>
#include <QString>
#include <cstdint>

class QEvent;

// The wrapper through which a page handles a combo box: the selected index
// (Value), the number each item carries (ItemData: pages give an item its
// parameter code and store codes, not positions) and the events Change and
// ChangeValidate.
//
// Use: hold the wrapper, Create it on the combo box, AddText every choice in
// display order, then set Value or ItemData; a page that refills the list
// calls ClearAllItem first. A freshly filled list has no selection (Value
// -1), as the page then selects what its data says.
//
// API (Get name(), Let SetName()):
//   Create(comboBox)
//   AddText(text, itemData = -1)  appends an item; an item data other than -1
//                               is attached to it (an item without one reads
//                               item data 0)
//   ClearAllItem()              removes every item (no Change)
//   ListCount                   number of items
//   Enabled / SetEnabled        the combo box's own enabled switch
//   EnableEvent / SetEnableEvent  whether Change and ChangeValidate are
//                               emitted (default true)
//   Value / SetValue            the selected index, -1 for none. The Let
//                               takes -1 to ListCount-1 (other indexes are
//                               ignored) and emits Change; a real change of
//                               index emits it a second time, through the
//                               selection-change path, before that
//   Text / SetText              the text of the selected item ("" for none);
//                               the Let selects the item of that text
//                               (ignoring case); on a list that is not
//                               editable a text that is no item clears the
//                               selection
//   ItemData / SetItemData      the item data of the selected item (-1 when
//                               nothing is selected); the Let clears the
//                               selection and selects the first item that
//                               carries the value, so no match leaves the
//                               list without a selection (Value -1)
//
// Signals (CControlWrapper's; only while EnableEvent is true; connect
// directly, Cancel is an answer):
//   Change()                    the selected index differs from the one seen
//                               at the previous selection change (that index
//                               starts at 0, so a first selection of item 0
//                               emits nothing), and at every Value Let
//   ChangeValidate(bool &Cancel)  the focus leaves the combo box for another
//                               control with a selection other than the one
//                               it had when it got the focus; Cancel keeps
//                               the focus in the combo box
class CComboBox : public CControlWrapper {
    Q_OBJECT
public:
    explicit CComboBox(QObject *parent = nullptr);

    void Create(QComboBox *comboBox);
    void AddText(const QString &text, std::int32_t ItemData = -1);
    void ClearAllItem();
    std::int16_t ListCount() const;
    void SetEnabled(bool value);
    bool Enabled() const;
    void SetEnableEvent(bool value) { m_EnableEvent = value; }
    bool EnableEvent() const { return m_EnableEvent; }
    void SetValue(std::int16_t index);
    std::int16_t Value() const;
    QString Text() const;
    void SetText(const QString &text);
    void SetItemData(std::int32_t value);
    std::int32_t ItemData() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectionChanged(int index);

    QPointer<QComboBox> m_ComboBox;
    bool m_EnableEvent = true;
    std::int16_t m_LastIndex = 0;
    std::int16_t m_IndexAtFocus = 0;
    bool m_Filling = false;
    // The focus comes back after a refused validation: the index of the
    // previous focus still counts.
    bool m_FocusKept = false;
};
