#include "SetupPageControls.h"

#include "COptionButton.h"
#include "CScaleMisuraDisplay.h"
#include "CTextDigitSpin.h"
#include "ControlKinds.h"
#include "ModelError.h"
#include "UpDownControl.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>
#include <limits>

namespace setuppage {

namespace {

template <class W>
W *named(W *widget, const char *name, std::int32_t captionId)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (captionId != 0)
        SetControlTag(widget, captionId);
    return widget;
}

} // namespace

QGroupBox *NewFrame(QWidget *parent, const char *name, std::int32_t captionId)
{
    return named(new QGroupBox(parent), name, captionId);
}

QRadioButton *NewOption(QWidget *parent, const char *name, std::int32_t captionId)
{
    return named(new QRadioButton(parent), name, captionId);
}

QLabel *NewLabel(QWidget *parent, const char *name, std::int32_t captionId)
{
    return named(new QLabel(parent), name, captionId);
}

QComboBox *NewCombo(QWidget *parent, const char *name)
{
    auto *combo = named(new QComboBox(parent), name, 0);
    combo->setEditable(false);
    return combo;
}

QLineEdit *NewSpinControls(QWidget *parent, const char *textBoxName, UpDownControl *&upDown,
                           const char *upDownName)
{
    auto *textBox = named(new QLineEdit(parent), textBoxName, 0);
    upDown = named(new UpDownControl(parent), upDownName, 0);
    return textBox;
}

std::vector<QRadioButton *> FillOptionGroup(COptionButton &group, QGroupBox *frame, const char *prefix,
                                            std::initializer_list<std::int32_t> captionIds)
{
    std::vector<QRadioButton *> buttons;
    auto *layout = new QVBoxLayout(frame);
    group.Create(frame);
    int index = 0;
    for (const std::int32_t id : captionIds) {
        const QByteArray name = QByteArray(prefix) + QByteArray::number(index++);
        QRadioButton *button = NewOption(frame, name.constData(), id);
        layout->addWidget(button);
        group.AddOptionButton(button, COptionButton::kNoItemData);
        buttons.push_back(button);
    }
    return buttons;
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
    try {
        return CScaleMisuraDisplay::GetDigitalPointInfo(digitalPoint);
    } catch (const SetupReadError &) {
        return g_DigitalPoint4[0];
    }
}

std::int32_t Span(std::int32_t start, std::int32_t end)
{
    const std::int64_t span = std::llabs(std::int64_t{end} - std::int64_t{start});
    constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(span > top ? top : span);
}

bool StepsByTen(std::int16_t model, std::int16_t slotA, std::int16_t displayDigit)
{
    return model == 0 && slotA >= 0 && slotA <= 3 && displayDigit == 1;
}

} // namespace setuppage
