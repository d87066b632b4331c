#include "CComboBox.h"

#include "ControlFocus.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>

CComboBox::CComboBox(QObject *parent) : CControlWrapper(parent) {}

void CComboBox::Create(QComboBox *comboBox)
{
    if (m_ComboBox) {
        m_ComboBox->removeEventFilter(this);
        disconnect(m_ComboBox, nullptr, this, nullptr);
    }
    m_ComboBox = comboBox;
    if (!m_ComboBox)
        return;
    connect(m_ComboBox, &QComboBox::currentIndexChanged, this, &CComboBox::selectionChanged);
    m_ComboBox->installEventFilter(this);
}

void CComboBox::AddText(const QString &text, std::int32_t ItemData)
{
    if (!m_ComboBox)
        return;
    // Filling the list is not a selection: Qt selects the first item put
    // into an empty list, which is undone so that the list starts without a
    // selection.
    m_Filling = true;
    const bool wasEmpty = m_ComboBox->count() == 0;
    if (ItemData != -1)
        m_ComboBox->addItem(text, QVariant(ItemData));
    else
        m_ComboBox->addItem(text);
    if (wasEmpty)
        m_ComboBox->setCurrentIndex(-1);
    m_Filling = false;
}

void CComboBox::ClearAllItem()
{
    if (!m_ComboBox)
        return;
    m_Filling = true;
    m_ComboBox->clear();
    m_Filling = false;
}

std::int16_t CComboBox::ListCount() const
{
    return m_ComboBox ? static_cast<std::int16_t>(m_ComboBox->count()) : 0;
}

void CComboBox::SetEnabled(bool value)
{
    if (m_ComboBox)
        m_ComboBox->setEnabled(value);
}

bool CComboBox::Enabled() const
{
    return OwnEnabled(m_ComboBox);
}

void CComboBox::SetValue(std::int16_t index)
{
    if (!m_ComboBox || index < -1 || index >= ListCount())
        return;
    m_ComboBox->setCurrentIndex(index);
    if (m_EnableEvent)
        emit Change();
}

std::int16_t CComboBox::Value() const
{
    return m_ComboBox ? static_cast<std::int16_t>(m_ComboBox->currentIndex()) : -1;
}

QString CComboBox::Text() const
{
    if (!m_ComboBox)
        return QString();
    if (m_ComboBox->isEditable())
        return m_ComboBox->currentText();
    const int index = m_ComboBox->currentIndex();
    return index >= 0 ? m_ComboBox->itemText(index) : QString();
}

void CComboBox::SetText(const QString &text)
{
    if (!m_ComboBox)
        return;
    if (m_ComboBox->isEditable()) {
        m_ComboBox->setEditText(text);
        return;
    }
    // A drop-down list takes only one of its items (compared without regard
    // to case); any other text leaves it without a selection.
    m_ComboBox->setCurrentIndex(m_ComboBox->findText(text, Qt::MatchFixedString));
}

void CComboBox::SetItemData(std::int32_t value)
{
    if (!m_ComboBox)
        return;
    m_ComboBox->setCurrentIndex(-1);
    for (int i = 0; i < m_ComboBox->count(); ++i) {
        if (m_ComboBox->itemData(i).toInt() == value) {
            SetValue(static_cast<std::int16_t>(i));
            return;
        }
    }
}

std::int32_t CComboBox::ItemData() const
{
    if (!m_ComboBox)
        return -1;
    const int index = m_ComboBox->currentIndex();
    return index >= 0 ? m_ComboBox->itemData(index).toInt() : -1;
}

void CComboBox::selectionChanged(int index)
{
    if (m_Filling || index == m_LastIndex)
        return;
    m_LastIndex = static_cast<std::int16_t>(index);
    if (m_EnableEvent)
        emit Change();
}

bool CComboBox::eventFilter(QObject *watched, QEvent *event)
{
    // The type check comes first: a combo box being destroyed is no longer a
    // QComboBox, and comparing it with the guarded pointer would downcast it.
    if (!qobject_cast<QComboBox *>(watched) || watched != m_ComboBox)
        return false;
    if (event->type() == QEvent::FocusIn) {
        if (m_FocusKept)
            m_FocusKept = false;
        else if (IsControlFocusChange(static_cast<QFocusEvent *>(event)))
            m_IndexAtFocus = Value();
    } else if (event->type() == QEvent::FocusOut) {
        if (!IsControlFocusChange(static_cast<QFocusEvent *>(event)))
            return false;
        const QWidget *next = QApplication::focusWidget();
        if (!next || next->window() != m_ComboBox->window() || Value() == m_IndexAtFocus || !m_EnableEvent)
            return false;
        bool cancel = false;
        emit ChangeValidate(cancel);
        if (cancel) {
            m_FocusKept = true;
            RestoreFocusLater(m_ComboBox);
        }
    }
    return false;
}
