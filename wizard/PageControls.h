#pragma once
#include "PageControlsFwd.h"
#include "ScaleTables.h"

#include <QString>
#include <QVector>
#include <cstdint>
#include <initializer_list>
#include <utility>

class QGridLayout;
class QObject;

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
QLineEdit *NewSpinTextBox(QWidget *parent, const QString &name, UpDownControl *&upDown, const QString &upDownName);

// The wrappers of a page's controls, children of owner and named name (the
// range pages keep theirs unnamed): a combo box's; a numeric spin's on its
// text box and up-down, from min to max with the pages' settings (base step
// 1, wrap-around, single-digit editing), at min; an option group's, which
// FillOptionGroup (or the page) creates on its frame.
CComboBox *NewComboWrapper(QObject *owner, QComboBox *comboBox);
CComboBox *NewComboWrapper(QObject *owner, const QString &name, QComboBox *comboBox);
CTextDigitSpin *NewSpin(QObject *owner, QLineEdit *textBox, UpDownControl *upDown, std::int32_t min, std::int32_t max);
CTextDigitSpin *NewSpin(QObject *owner, const QString &name, QLineEdit *textBox, UpDownControl *upDown,
                        std::int32_t min, std::int32_t max);
COptionButton *NewOptionGroup(QObject *owner, const QString &name);

// Lays the frame out as rows of a label (first column) and its control
// (second column), top to bottom in the order given.
QGridLayout *LayOutRows(QGroupBox *frame, std::initializer_list<std::pair<QWidget *, QWidget *>> rows);

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

// Shows the spin in the format of a decimal-point record: its factor and
// its number format (limits, step and unit stay).
void SetSpinFormat(CTextDigitSpin &spin, const DigitalPointInfo &info);

// Puts a spin back to the values it is created with (limits, step, value
// at the minimum, factor 1 or the one given, format and unit), so that each
// showing starts from them and derives its own limits afresh.
void ResetSpin(CTextDigitSpin &spin, std::int32_t min, std::int32_t max, std::int16_t step = 1, float factor = 1.0f,
               const QString &format = QStringLiteral("###0"), const QString &unit = QString());

// The format record of a decimal-point value from the configuration (one
// published in a scale object, a working copy's, or a decimal-point list's
// item). Every road in refuses a decimal point outside the tables, and the
// lists hold only table entries, so a page never meets one; the lookup still
// throws nothing from a page's handler: such a value (a fault of the program)
// is traced and formatted without decimals, no value being changed.
DigitalPointInfo DisplayFormat(std::int32_t digitalPoint);

// The check of an electrical range on leaving a page: a maximum that is not
// above the minimum is refused with a critical message over page (false).
bool CheckMaxAboveMin(QWidget *page, const CTextDigitSpin &min, const CTextDigitSpin &max);

// |end - start| without overflow, as a Long (at most the Long's maximum).
std::int32_t Span(std::int32_t start, std::int32_t end);

// Model 0's "9990" display exists on its own inputs only (slot A MVA to GKP):
// there the displayed values step by 10. The display page keeps the choice,
// disabled, when slot A changes to another module, whose values step by 1.
bool StepsByTen(std::int16_t model, std::int16_t slotA, std::int16_t displayDigit);

// The channel frame of the alarm and analogue output pages ("frmChannel",
// its list "cmbChannel"): the channel, A or F, whose value the page follows.
// Only the six-digit model (3) shows it; under the rotation-direction
// function F7 (WPxFunction 6) it is disabled at channel A. A hidden choice is
// still loaded and stored.
class ChannelChoice {
public:
    // The frame in parent (the list over a stretch) and the list's wrapper,
    // a child of owner named wrapperName.
    ChannelChoice(QWidget *parent, QObject *owner, const QString &wrapperName);

    QGroupBox *Frame() const { return m_Frame; }
    CComboBox &List() const { return *m_List; }

    // Fills the list afresh: channel A, channel F.
    void Fill();
    // Shows the frame on model 3 only and disables it under F7.
    void ApplyRules(std::int16_t model, std::int16_t wpxFunction);
    // Selects the stored channel: a code other than 0 is channel F, as the
    // instrument's lines take it; a disabled list shows channel A.
    void Show(std::int16_t channel);
    // The channel to store: the selected position, 0 for none.
    std::int16_t Chosen() const;

private:
    QGroupBox *m_Frame = nullptr;
    CComboBox *m_List = nullptr;
};

} // namespace pagecontrols
