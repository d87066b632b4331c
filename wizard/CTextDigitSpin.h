#pragma once
#include "CControlWrapper.h"
#include "CUpDownDigitSpin.h"
#include "UpDownControl.h"

#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <cstdint>

// The numeric spin through which a page edits a scaled integer ("counts"):
// a text box (QLineEdit) with an up-down control (UpDownControl) laid over
// its right-hand end. Nothing can be typed; the value changes only with the
// arrows, the Up and Down keys and single-digit editing (see
// CUpDownDigitSpin for the keys, the acceleration and the wrap-around).
//
// The text shown is Value x Moltiplicatore in the number pattern DataFormat
// ('#' a digit shown when significant, '0' a digit always shown, '.' the
// decimal point, written "."), a blank and UnitaMisura, trimmed. A
// Moltiplicatore that is a power of ten (1, 0.1, ... 0.00001, the factors of
// the decimal-point records) places the decimal point into the integer's own
// digits, so the text is exact for every Long: 1000 with 0.1, "##0.0" and
// "ms" is "100.0 ms".
//
// Use: hold the spin (a member, or a child of the page), call Create once
// after the page's controls exist, then set Moltiplicatore, DataFormat,
// UnitaMisura, Min, Max and Value as needed; read Value or ValueInt when the
// page stores its data. The up-down must not sit in a layout: Create places
// it over the text box and keeps it there when the text box moves or
// resizes (the text keeps clear of the arrows).
//
// API (Get name(), Let SetName()):
//   Create(textBox, upDown, min, max, incrementoMinimo, wrap, singleDigitEdit)
//       binds and places the controls, creates the engine with the same
//       seven arguments and shows the value (which starts at min)
//   Enabled / SetEnabled        text box and up-down; Get true only when both
//   EnableEvent / SetEnableEvent  whether this object emits its signals
//   DataFormat / SetDataFormat  default "###0"; in single-digit mode the Get
//                               is the zero-filled pattern
//   Moltiplicatore / SetMoltiplicatore  default 1.0
//   UnitaMisura / SetUnitaMisura        default ""
//                               (each of these three Lets shows the value
//                               again, with Change and FormatText)
//   Value / SetValue            the engine's value (Long); the Let clamps into
//                               Min..Max silently, a Let of the current value
//                               does nothing
//   ValueInt / SetValueInt      the low 16 bits of Value as a signed Integer;
//                               the Let sign-extends (Value 40000 reads -25536)
//   Min / SetMin, Max / SetMax  the engine's limits (a Value beyond a new
//                               limit moves onto it)
//   IncrementoMinimo / SetIncrementoMinimo  the base step (Integer)
//
// Signals (Change and ChangeValidate are CControlWrapper's), emitted only
// while EnableEvent is true (connect them directly: the reference arguments
// are answers):
//   Change()                    the value is shown anew (at Create, on every
//                               step or change of the value, after a format,
//                               factor or unit Let); emitted before the text
//                               is written
//   ChangeValidate(bool &Cancel)  the focus leaves the text box; Cancel keeps
//                               it there
//   FormatText(QString &Text)   the text about to be shown; the handler may
//                               change it
// The text follows the value also while EnableEvent is false.
//
// Single-digit mode (Ctrl, or a right click on the arrows): the text box
// turns yellow, DataFormat is zero-filled so that every digit position shows,
// and the digit being edited is selected; Ctrl or a right click again moves
// to the next lower digit, and the mode ends after the lowest digit the base
// step allows or when the text box loses the focus. The up-down never takes
// the focus, so a click on it never validates the text box.
class CTextDigitSpin : public CControlWrapper {
    Q_OBJECT
public:
    explicit CTextDigitSpin(QObject *parent = nullptr);

    void Create(QLineEdit *TextBox, UpDownControl *UpDown, std::int32_t Min, std::int32_t Max,
                std::int16_t IncrementoMinimo, bool Wrap, bool SingleDigitEdit);
    void SetEnabled(bool value);
    bool Enabled() const;
    void SetEnableEvent(bool value) { m_EnableEvent = value; }
    bool EnableEvent() const { return m_EnableEvent; }
    void SetDataFormat(const QString &value);
    QString DataFormat() const { return m_DataFormat; }
    void SetMoltiplicatore(float value);
    float Moltiplicatore() const { return m_Moltiplicatore; }
    void SetUnitaMisura(const QString &value);
    QString UnitaMisura() const { return m_UnitaMisura; }
    std::int32_t Value() const { return m_UpDown.Value(); }
    void SetValue(std::int32_t value) { m_UpDown.SetValue(value); }
    std::int16_t ValueInt() const;
    void SetValueInt(std::int16_t value) { m_UpDown.SetValue(value); }
    std::int32_t Min() const { return m_UpDown.MinValue(); }
    void SetMin(std::int32_t value) { m_UpDown.SetMinValue(value); }
    std::int32_t Max() const { return m_UpDown.MaxValue(); }
    void SetMax(std::int32_t value) { m_UpDown.SetMaxValue(value); }
    std::int16_t IncrementoMinimo() const;
    void SetIncrementoMinimo(std::int16_t value) { m_UpDown.SetIncrementoMinimo(value); }

    // The text of a value in a pattern with a factor, without the unit:
    // what the spin shows for it.
    static QString ValueText(std::int32_t value, float moltiplicatore, const QString &dataFormat);

signals:
    void FormatText(QString &Text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showValue();
    void placeUpDown();
    void singleDigitModeStart(std::int16_t &digits);
    void singleDigitIndex(std::int16_t index);
    void singleDigitModeEnd();
    void upDownChangeValidate(bool &cancel);

    QPointer<QLineEdit> m_TextBox;
    QPointer<UpDownControl> m_UpDownControl;
    CUpDownDigitSpin m_UpDown;
    QString m_DataFormat = QStringLiteral("###0");
    QString m_UnitaMisura;
    float m_Moltiplicatore = 1.0f;
    bool m_EnableEvent = true;
    QPalette m_SavedPalette;
    bool m_SavedPaletteWasSet = false;
    QString m_SavedDataFormat;
    std::int16_t m_DigitIndex = 0;
    std::int16_t m_TopDigitIndex = 0;
    bool m_Placing = false;
};
