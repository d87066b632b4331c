#pragma once
#include "ScaleTables.h"

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

class COptionButton;
class CTextDigitSpin;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class UpDownControl;

// Building blocks of the alarm, analogue output, digital filter, serial
// module and network pages: controls named as designed, with their caption's
// string id as Tag so that the window load gives them their texts.
namespace setuppage {

// A frame, an option button, a label (captionId 0: no Tag), a drop-down list.
QGroupBox *NewFrame(QWidget *parent, const char *name, std::int32_t captionId);
QRadioButton *NewOption(QWidget *parent, const char *name, std::int32_t captionId);
QLabel *NewLabel(QWidget *parent, const char *name, std::int32_t captionId);
QComboBox *NewCombo(QWidget *parent, const char *name);

// The text box and the up-down control of one numeric spin, both children
// of parent. Only the text box goes into a layout: the spin lays the
// up-down over the text box's right-hand end.
QLineEdit *NewSpinControls(QWidget *parent, const char *textBoxName, UpDownControl *&upDown,
                           const char *upDownName);

// One option button per caption id, named prefix + position, stacked in a
// layout of the frame's own and added to the group in that order without
// item data (the position is the stored code).
std::vector<QRadioButton *> FillOptionGroup(COptionButton &group, QGroupBox *frame, const char *prefix,
                                            std::initializer_list<std::int32_t> captionIds);

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

// Model 0's "9990" display exists on its own inputs only (slot A 0 to 3):
// there the displayed values step by 10. The display page keeps the choice,
// disabled, when slot A changes to another module, whose values step by 1.
bool StepsByTen(std::int16_t model, std::int16_t slotA, std::int16_t displayDigit);

} // namespace setuppage
