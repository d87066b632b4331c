#include "COptionButton.h"

#include "CTraceCode.h"
#include "ControlFocus.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QRadioButton>

COptionButton::COptionButton(QObject *parent) : CControlWrapper(parent), m_Group(new QButtonGroup(this))
{
    m_ItemData.fill(-1);
    m_Group->setExclusive(true);
    // Tab enters the group on its checked member; the arrow keys move within.
    connect(m_Group, &QButtonGroup::buttonToggled, this, [this] { tabToChecked(); });
}

void COptionButton::tabToChecked()
{
    const QAbstractButton *checked = m_Group->checkedButton();
    for (int i = 0; i < m_Count; ++i) {
        if (!m_Buttons[i])
            continue;
        const Qt::FocusPolicy policy = m_Buttons[i]->focusPolicy();
        const bool tab = checked == nullptr || m_Buttons[i] == checked;
        m_Buttons[i]->setFocusPolicy(
            static_cast<Qt::FocusPolicy>(tab ? (policy | Qt::TabFocus) : (policy & ~Qt::TabFocus)));
    }
}

void COptionButton::Create(QWidget *container)
{
    m_Container = container;
}

void COptionButton::AddOptionButton(QRadioButton *button, std::int16_t ItemData)
{
    g_Trace.BugAssert(m_Count < kMaxButtons);
    if (m_Count >= kMaxButtons || !button)
        return;
    if (ItemData != kNoItemData) {
        for (int i = 0; i < m_Count; ++i)
            g_Trace.BugAssert(m_ItemData[i] != ItemData,
                              QStringLiteral("Errore ItemData %1 duplicato !!!").arg(ItemData));
    }
    m_Buttons[m_Count] = button;
    m_ItemData[m_Count] = ItemData;
    m_Group->addButton(button);
    connect(button, &QAbstractButton::clicked, this, &COptionButton::Change);
    button->installEventFilter(this);
    ++m_Count;
    tabToChecked();
}

void COptionButton::Activate(std::int16_t index, bool bEnabled)
{
    g_Trace.BugAssert(index >= 0 && index < m_Count);
    if (index < 0 || index >= m_Count || !m_Buttons[index])
        return;
    m_Buttons[index]->setEnabled(bEnabled);
    if (bEnabled)
        return;
    readBack();
    if (m_Selected != index)
        return;
    for (int i = 0; i < m_Count && m_Buttons[i]; ++i) {
        if (OwnEnabled(m_Buttons[i])) {
            m_Selected = static_cast<std::int16_t>(i);
            switchOn(i);
            return;
        }
    }
}

void COptionButton::ActivateGroup(bool bEnabled)
{
    if (m_Container)
        m_Container->setEnabled(bEnabled);
    for (int i = 0; i < m_Count && m_Buttons[i]; ++i)
        m_Buttons[i]->setEnabled(bEnabled);
}

void COptionButton::SetValue(std::int16_t index)
{
    // An index beyond the members is a page's fault: recorded, nothing else.
    g_Trace.BugAssert(index >= 0 && index < m_Count);
    if (index < 0 || index >= m_Count || !m_Buttons[index])
        return;
    if (OwnEnabled(m_Container) && !OwnEnabled(m_Buttons[index]))
        return;
    m_Selected = index;
    switchOn(index);
}

std::int16_t COptionButton::Value()
{
    readBack();
    return m_Selected;
}

bool COptionButton::SetItemData(std::int16_t value)
{
    for (int i = 0; i < m_Count && m_Buttons[i]; ++i) {
        if (m_ItemData[i] == value) {
            SetValue(static_cast<std::int16_t>(i));
            return true;
        }
    }
    // Codes also come from stored data: the failure is recorded and the
    // caller decides what to tell the user; the program goes on.
    g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ItemData %1 non presente !!!").arg(value));
    return false;
}

std::int16_t COptionButton::ItemData()
{
    readBack();
    return m_ItemData[m_Selected];
}

bool COptionButton::EnabledGroup() const
{
    return OwnEnabled(m_Container);
}

void COptionButton::readBack()
{
    for (int i = 0; i < m_Count && m_Buttons[i]; ++i) {
        if (m_Buttons[i]->isChecked()) {
            m_Selected = static_cast<std::int16_t>(i);
            return;
        }
    }
}

void COptionButton::switchOn(int index)
{
    QRadioButton *button = m_Buttons[index];
    if (!button || button->isChecked())
        return;
    button->setChecked(true);
    emit Change();
}

bool COptionButton::isMember(const QObject *object) const
{
    for (int i = 0; i < m_Count; ++i) {
        if (m_Buttons[i] && m_Buttons[i] == object)
            return true;
    }
    return false;
}

bool COptionButton::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && qobject_cast<QRadioButton *>(watched) && isMember(watched) &&
        IsControlFocusChange(static_cast<QFocusEvent *>(event)))
        memberFocusOut();
    return false;
}

void COptionButton::memberFocusOut()
{
    const QWidget *next = QApplication::focusWidget();
    if (!next || isMember(next))
        return; // the focus moves within the group
    if (m_Container && next->window() != m_Container->window())
        return;
    const std::int16_t before = m_Selected;
    readBack();
    if (m_Selected == before)
        return;
    bool cancel = false;
    emit ChangeValidate(cancel);
    if (cancel)
        RestoreFocusLater(m_Buttons[before]);
}
