#include "PageControls.h"

#include "CComboBox.h"
#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "CTraceCode.h"
#include "ControlKinds.h"
#include "ModuleCodes.h"
#include "MsgBox.h"
#include "StringTable.h"
#include "UpDownControl.h"
#include "WPxFunctionCodes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace pagecontrols {

namespace {

constexpr std::int32_t kTextMaxNotAboveMin = 797;
constexpr std::int32_t kTextChannelFrame = 527;
constexpr std::int32_t kTextChannelA = 528;
constexpr std::int32_t kTextChannelF = 529;

template <class W>
W *named(W *widget, const QString &name, std::int32_t captionId)
{
    widget->setObjectName(name);
    if (captionId != 0)
        SetControlTag(widget, captionId);
    return widget;
}

template <class W>
W *newWrapper(QObject *owner, const QString &name)
{
    auto *wrapper = new W(owner);
    if (!name.isEmpty())
        wrapper->setObjectName(name);
    return wrapper;
}

} // namespace

QGroupBox *NewFrame(QWidget *parent, const QString &name, std::int32_t captionId)
{
    return named(new QGroupBox(parent), name, captionId);
}

QRadioButton *NewOption(QWidget *parent, const QString &name, std::int32_t captionId)
{
    return named(new QRadioButton(parent), name, captionId);
}

QLabel *NewLabel(QWidget *parent, const QString &name, std::int32_t captionId)
{
    return named(new QLabel(parent), name, captionId);
}

QComboBox *NewCombo(QWidget *parent, const QString &name)
{
    auto *combo = named(new QComboBox(parent), name, 0);
    combo->setEditable(false); // a list to choose from, never free text
    return combo;
}

QLineEdit *NewSpinTextBox(QWidget *parent, const QString &name, UpDownControl *&upDown, const QString &upDownName)
{
    auto *textBox = named(new QLineEdit(parent), name, 0);
    upDown = named(new UpDownControl(parent), upDownName, 0);
    return textBox;
}

CComboBox *NewComboWrapper(QObject *owner, QComboBox *comboBox)
{
    return NewComboWrapper(owner, QString(), comboBox);
}

CComboBox *NewComboWrapper(QObject *owner, const QString &name, QComboBox *comboBox)
{
    auto *wrapper = newWrapper<CComboBox>(owner, name);
    wrapper->Create(comboBox);
    return wrapper;
}

CTextDigitSpin *NewSpin(QObject *owner, QLineEdit *textBox, UpDownControl *upDown, std::int32_t min, std::int32_t max)
{
    return NewSpin(owner, QString(), textBox, upDown, min, max);
}

CTextDigitSpin *NewSpin(QObject *owner, const QString &name, QLineEdit *textBox, UpDownControl *upDown,
                        std::int32_t min, std::int32_t max)
{
    auto *spin = newWrapper<CTextDigitSpin>(owner, name);
    spin->Create(textBox, upDown, min, max, 1, true, true);
    return spin;
}

COptionButton *NewOptionGroup(QObject *owner, const QString &name)
{
    return newWrapper<COptionButton>(owner, name);
}

QGridLayout *LayOutRows(QGroupBox *frame, std::initializer_list<std::pair<QWidget *, QWidget *>> rows)
{
    auto *grid = new QGridLayout(frame);
    int row = 0;
    for (const auto &[label, control] : rows) {
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    }
    return grid;
}

QVector<QRadioButton *> FillOptionGroup(COptionButton &group, QGroupBox *frame, const QString &prefix,
                                        std::initializer_list<std::int32_t> captionIds,
                                        std::initializer_list<std::int16_t> itemData)
{
    QVector<QRadioButton *> buttons;
    auto *layout = new QVBoxLayout(frame);
    group.Create(frame);
    const std::int16_t *code = itemData.begin();
    int index = 0;
    for (const std::int32_t id : captionIds) {
        QRadioButton *button = NewOption(frame, prefix + QString::number(index), id);
        layout->addWidget(button);
        const std::int16_t data = code != itemData.end() ? *code++ : COptionButton::kNoItemData;
        group.AddOptionButton(button, data);
        buttons.append(button);
        ++index;
    }
    return buttons;
}

void SelectListPosition(CComboBox &combo, std::int32_t position)
{
    combo.SetValue(position >= 0 && position < combo.ListCount() ? static_cast<std::int16_t>(position) : 0);
}

void SelectListItemData(CComboBox &combo, std::int32_t code)
{
    combo.SetItemData(code);
    if (combo.Value() < 0)
        combo.SetValue(0);
}

void SelectOption(COptionButton &group, std::int16_t index)
{
    group.SetValue(index);
    if (group.Value() != index)
        group.SetValue(0);
}

bool AnyChecked(const QVector<QRadioButton *> &buttons)
{
    for (const QRadioButton *button : buttons) {
        if (button->isChecked())
            return true;
    }
    return false;
}

void ClearChecked(const QVector<QRadioButton *> &buttons)
{
    for (QRadioButton *button : buttons) {
        if (!button->isChecked())
            continue;
        // An exclusive group (and an auto-exclusive button) refuses to
        // switch its last button off, so exclusivity is lifted meanwhile.
        QButtonGroup *group = button->group();
        const bool groupExclusive = group != nullptr && group->exclusive();
        const bool autoExclusive = button->autoExclusive();
        if (group != nullptr)
            group->setExclusive(false);
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(autoExclusive);
        if (group != nullptr)
            group->setExclusive(groupExclusive);
    }
}

void SetSpinFormat(CTextDigitSpin &spin, const DigitalPointInfo &info)
{
    spin.SetMoltiplicatore(info.Factor);
    spin.SetDataFormat(info.NumberFormat);
}

void ResetSpin(CTextDigitSpin &spin, std::int32_t min, std::int32_t max, std::int16_t step, float factor,
               const QString &format, const QString &unit)
{
    // The upper limit first: an old range above the new one must not push
    // the value over the new maximum on its way down.
    spin.SetMax(max);
    spin.SetMin(min);
    spin.SetValue(min);
    spin.SetIncrementoMinimo(step);
    spin.SetMoltiplicatore(factor);
    spin.SetDataFormat(format);
    spin.SetUnitaMisura(unit);
}

DigitalPointInfo DisplayFormat(std::int32_t digitalPoint)
{
    if (const auto info = CScaleMisuraDisplay::FindDigitalPointInfo(digitalPoint))
        return *info;
    g_Trace.BugMessage(QStringLiteral("Punto decimale non previsto sulla pagina: ") + QString::number(digitalPoint));
    return g_DigitalPoint4[0];
}

bool CheckMaxAboveMin(QWidget *page, const CTextDigitSpin &min, const CTextDigitSpin &max)
{
    if (min.Value() < max.Value())
        return true;
    MsgBox(LoadResourceString(kTextMaxNotAboveMin), MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), page);
    return false;
}

std::int32_t Span(std::int32_t start, std::int32_t end)
{
    const std::int64_t span = std::llabs(std::int64_t{end} - std::int64_t{start});
    constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(span > top ? top : span);
}

bool StepsByTen(std::int16_t model, std::int16_t slotA, std::int16_t displayDigit)
{
    return ModuleCodes::OffersDisplayChoice(model, slotA) && displayDigit == 1;
}

ChannelChoice::ChannelChoice(QWidget *parent, QObject *owner, const QString &wrapperName)
    : m_Frame(NewFrame(parent, QStringLiteral("frmChannel"), kTextChannelFrame))
{
    QComboBox *combo = NewCombo(m_Frame, QStringLiteral("cmbChannel"));
    auto *layout = new QVBoxLayout(m_Frame);
    layout->addWidget(combo);
    layout->addStretch(1);
    m_List = NewComboWrapper(owner, wrapperName, combo);
}

void ChannelChoice::Fill()
{
    m_List->ClearAllItem();
    m_List->AddText(LoadResourceString(kTextChannelA));
    m_List->AddText(LoadResourceString(kTextChannelF));
}

void ChannelChoice::ApplyRules(std::int16_t model, std::int16_t wpxFunction)
{
    const bool choice = WPxFunctions::TakesChannelChoice(wpxFunction);
    m_Frame->setVisible(model == ModelCode::Oxa16);
    m_Frame->setEnabled(choice);
    m_List->SetEnabled(choice);
}

void ChannelChoice::Show(std::int16_t channel)
{
    m_List->SetValue(channel == 0 ? 0 : 1);
    if (!m_List->Enabled())
        m_List->SetValue(0);
}

std::int16_t ChannelChoice::Chosen() const
{
    return std::max<std::int16_t>(m_List->Value(), 0);
}

} // namespace pagecontrols
