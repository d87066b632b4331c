#pragma once
#include "CControlWrapper.h"

#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <array>
#include <cstdint>

class QButtonGroup;
class QEvent;

// The wrapper through which a page handles a set of option buttons in one
// frame: the selected member by position (Value) or by the code it carries
// (ItemData), the events Change and ChangeValidate. Groups whose codes equal
// the positions add their buttons without item data (kNoItemData) and use
// Value.
//
// Use: hold the wrapper, Create it on the frame (a QGroupBox, or any
// container widget), AddOptionButton every member in order, then set Value or
// ItemData. The members are exclusive among themselves whatever their
// parents (a button group of the wrapper's own). Tab enters the group on
// its checked member (on every member while none is checked) and leaves it
// from there; the arrow keys move within the group.
//
// API (Get name(), Let SetName()):
//   Create(container)
//   AddOptionButton(button, itemData)  appends a member (at most 16; a 17th
//                               is refused with a failed-check trace line);
//                               kNoItemData (-32768) for none, every other
//                               code must be unique in the group (a
//                               duplicate is a program fault: failed check
//                               "Errore ItemData <n> duplicato !!!")
//   Activate(index, bEnabled)   enables or disables one member; disabling the
//                               selected one moves the selection to the first
//                               enabled member (with Change)
//   ActivateGroup(bEnabled)     the frame and every member
//   Value / SetValue            the selected index. The Get reads the buttons
//                               back (the first member that is on; the last
//                               index when none is). The Let switches the
//                               member on (Change when it was off), except a
//                               disabled member in an enabled frame, which is
//                               left alone; an index that is no member only
//                               writes a failed-check trace line
//   ItemData / SetItemData      the code of the selected member; the Let
//                               selects the first member carrying the code
//                               and returns true. A code no member carries
//                               (such as one from stored data) changes
//                               nothing, traces "g_Trace.BugAssert fallito:
//                               ItemData <n> non presente !!!" and returns
//                               false, so that the page can tell the user
//   EnabledGroup / SetEnabledGroup  the frame's own enabled switch; the Let
//                               is ActivateGroup
//
// Signals (CControlWrapper's; always emitted; connect directly, Cancel is an
// answer):
//   Change()                    a member was clicked (also the selected one
//                               again) or switched on by the wrapper
//   ChangeValidate(bool &Cancel)  the focus left the group for another
//                               control and the selection read back differs
//                               from the last one known; Cancel puts the
//                               focus back on the member selected before
//                               (the new selection stays)
class COptionButton : public CControlWrapper {
    Q_OBJECT
public:
    static constexpr std::int16_t kNoItemData = -32768;
    static constexpr int kMaxButtons = 16;

    explicit COptionButton(QObject *parent = nullptr);

    void Create(QWidget *container);
    void AddOptionButton(QRadioButton *button, std::int16_t ItemData);
    void Activate(std::int16_t index, bool bEnabled);
    void ActivateGroup(bool bEnabled);
    void SetValue(std::int16_t index);
    std::int16_t Value();
    bool SetItemData(std::int16_t value);
    std::int16_t ItemData();
    bool EnabledGroup() const;
    void SetEnabledGroup(bool value) { ActivateGroup(value); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readBack();
    void switchOn(int index);
    bool isMember(const QObject *object) const;
    void memberFocusOut();
    void tabToChecked();

    QPointer<QWidget> m_Container;
    std::array<QPointer<QRadioButton>, kMaxButtons> m_Buttons{};
    std::array<std::int16_t, kMaxButtons> m_ItemData{};
    int m_Count = 0;
    std::int16_t m_Selected = 0;
    QButtonGroup *m_Group = nullptr;
};
