#pragma once
#include "ScaleTables.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <initializer_list>

class CComboBox;
class COptionButton;
class CTextDigitSpin;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class UpDownControl;

// Building blocks of the wizard pages: controls named as designed, with
// their caption's string id as Tag (so that the window load gives them their
// texts), and the selection and value rules the pages share.
namespace pagecontrols {

// A frame, an option button, a label (captionId 0: no Tag, the page sets the
// text itself), a drop-down list.
QGroupBox *NewFrame(QWidget *parent, const QString &name, std::int32_t captionId);
QRadioButton *NewOption(QWidget *parent, const QString &name, std::int32_t captionId);
QLabel *NewLabel(QWidget *parent, const QString &name, std::int32_t captionId);
QComboBox *NewCombo(QWidget *parent, const QString &name);

// The text box and the up-down control of a numeric spin, both children of
// parent; only the text box goes into a layout (the spin lays the up-down
// over the text box's right-hand end).
QLineEdit *NewSpinTextBox(QWidget *parent, const QString &name, UpDownControl *&upDown,
                          const QString &upDownName);

// Creates one option button per caption id in the frame (stacked in a
// layout of the frame's own), named prefix + index, and adds them to the
// group in that order; itemData empty: no item data (positions are the
// codes), else one code per button.
QVector<QRadioButton *> FillOptionGroup(COptionButton &group, QGroupBox *frame, const QString &prefix,
                                        std::initializer_list<std::int32_t> captionIds,
                                        std::initializer_list<std::int16_t> itemData = {});

// Selects list position `position`. A stored position the list has no item
// for selects the first item (every class's default code 0), so that the
// page never shows an empty choice and never stores the "no selection" -1
// as a code.
void SelectListPosition(CComboBox &combo, std::int32_t position);
// The same by item data: no item with that code selects the first item.
void SelectListItemData(CComboBox &combo, std::int32_t code);
// Selects option `index`. A stored index the group cannot select (no such
// member, or a disabled one) selects the first member instead.
void SelectOption(COptionButton &group, std::int16_t index);

// True when one of the buttons is on.
bool AnyChecked(const QVector<QRadioButton *> &buttons);
// Switches every button off (a group may show no choice at all).
void ClearChecked(const QVector<QRadioButton *> &buttons);

// Puts a spin back to the values it is created with (limits, step, value
// at the minimum, factor 1 or the one given, format and unit), so that each
// showing starts from them and derives its own limits afresh.
void ResetSpin(CTextDigitSpin &spin, std::int32_t min, std::int32_t max, std::int16_t step = 1,
               float factor = 1.0f, const QString &format = QStringLiteral("###0"),
               const QString &unit = QString());

// The format record of a decimal-point value published in a scale object.
// A value outside the tables (already traced by the lookup) gives the
// record without decimals, so that a damaged configuration cannot end the
// showing; only the format depends on it, no value is changed.
DigitalPointInfo DisplayFormat(std::int32_t digitalPoint);

// |end - start| without overflow, as a Long (at most the Long's maximum).
std::int32_t Span(std::int32_t start, std::int32_t end);

// Model 0's "9990" display exists on its own inputs only (slot A MVA to GKP):
// there the displayed values step by 10. The display page keeps the choice,
// disabled, when slot A changes to another module, whose values step by 1.
bool StepsByTen(std::int16_t model, std::int16_t slotA, std::int16_t displayDigit);

} // namespace pagecontrols
