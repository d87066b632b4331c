#include "CTextDigitSpin.h"

#include "CTraceCode.h"
#include "ControlFocus.h"
#include "MBytes.h"
#include "NumberText.h"
#include "UpDownControl.h"

#include <QEvent>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The back colour of a text box in single-digit mode (red 255, green 255,
// blue 0).
const QColor kSingleDigitColor(255, 255, 0);

// The exponent e of a factor that is 10^e (within the precision of a
// Single), e from -9 to 9.
std::optional<int> PowerOfTen(float factor)
{
    for (int e = -9; e <= 9; ++e) {
        const double p = std::pow(10.0, e);
        if (std::fabs(double{factor} - p) <= p * 1e-6)
            return e;
    }
    return std::nullopt;
}

} // namespace

CTextDigitSpin::CTextDigitSpin(QObject *parent) : CControlWrapper(parent)
{
    connect(&m_UpDown, &CUpDownDigitSpin::Change, this, &CTextDigitSpin::showValue);
    connect(&m_UpDown, &CUpDownDigitSpin::ChangeValidate, this, &CTextDigitSpin::upDownChangeValidate);
    connect(&m_UpDown, &CUpDownDigitSpin::SingleDigitModeStart, this, &CTextDigitSpin::singleDigitModeStart);
    connect(&m_UpDown, &CUpDownDigitSpin::SingleDigitIndex, this, &CTextDigitSpin::singleDigitIndex);
    connect(&m_UpDown, &CUpDownDigitSpin::SingleDigitModeEnd, this, &CTextDigitSpin::singleDigitModeEnd);
}

void CTextDigitSpin::Create(QLineEdit *TextBox, UpDownControl *UpDown, std::int32_t Min, std::int32_t Max,
                            std::int16_t IncrementoMinimo, bool Wrap, bool SingleDigitEdit)
{
    if (m_TextBox)
        m_TextBox->removeEventFilter(this);
    m_TextBox = TextBox;
    m_UpDownControl = UpDown;
    if (m_TextBox)
        m_TextBox->installEventFilter(this);
    placeUpDown();
    m_UpDown.Create(TextBox, UpDown, Min, Max, IncrementoMinimo, Wrap, SingleDigitEdit);
    showValue();
}

void CTextDigitSpin::SetEnabled(bool value)
{
    if (m_TextBox)
        m_TextBox->setEnabled(value);
    m_UpDown.SetEnabled(value);
}

bool CTextDigitSpin::Enabled() const
{
    return OwnEnabled(m_TextBox) && m_UpDown.Enabled();
}

void CTextDigitSpin::SetDataFormat(const QString &value)
{
    m_DataFormat = value;
    showValue();
}

void CTextDigitSpin::SetMoltiplicatore(float value)
{
    m_Moltiplicatore = value;
    showValue();
}

void CTextDigitSpin::SetUnitaMisura(const QString &value)
{
    m_UnitaMisura = value;
    showValue();
}

std::int16_t CTextDigitSpin::ValueInt() const
{
    return LoWord(m_UpDown.Value());
}

std::int16_t CTextDigitSpin::IncrementoMinimo() const
{
    return LoWord(m_UpDown.IncrementoMinimo());
}

QString CTextDigitSpin::ValueText(std::int32_t value, float moltiplicatore, const QString &dataFormat)
{
    if (const std::optional<int> e = PowerOfTen(moltiplicatore)) {
        if (*e <= 0)
            return FormatScaledNumber(value, -*e, dataFormat, u".");
        return FormatScaledNumber(std::int64_t{value} * static_cast<std::int64_t>(std::llround(std::pow(10.0, *e))), 0,
                                  dataFormat, u".");
    }
    // Any other factor: the product, rounded to the pattern's decimals.
    const int decimals = NumberFormatDecimals(dataFormat);
    const double scaled = static_cast<double>(value) * double{moltiplicatore} * std::pow(10.0, decimals);
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e18)
        return QString::number(static_cast<double>(value) * double{moltiplicatore});
    return FormatScaledNumber(std::llround(scaled), decimals, dataFormat, u".");
}

void CTextDigitSpin::showValue()
{
    if (m_EnableEvent)
        emit Change();
    QString text =
        (ValueText(m_UpDown.Value(), m_Moltiplicatore, m_DataFormat) + QLatin1Char(' ') + m_UnitaMisura).trimmed();
    if (m_EnableEvent)
        emit FormatText(text);
    if (!m_TextBox)
        return;
    m_TextBox->setText(text);
    if (!m_UpDown.SingleDigitMode())
        return;
    // Select the digit being edited, counting digits only from the left.
    const int wanted = m_TopDigitIndex - m_DigitIndex + 1;
    int seen = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9') && ++seen == wanted) {
            m_TextBox->setSelection(i, 1);
            break;
        }
    }
}

void CTextDigitSpin::singleDigitModeStart(std::int16_t &digits)
{
    m_SavedDataFormat = m_DataFormat;
    if (m_TextBox) {
        m_SavedPaletteWasSet = m_TextBox->testAttribute(Qt::WA_SetPalette);
        m_SavedPalette = m_TextBox->palette();
        QPalette yellow = m_TextBox->palette();
        yellow.setColor(QPalette::Base, kSingleDigitColor);
        m_TextBox->setPalette(yellow);
    }
    std::int16_t count = 0;
    for (QChar &c : m_DataFormat) {
        if (c == QLatin1Char('#') || c == QLatin1Char('0')) {
            c = QLatin1Char('0');
            ++count;
        }
    }
    m_TopDigitIndex = static_cast<std::int16_t>(count - 1);
    digits = m_TopDigitIndex;
    m_DigitIndex = m_TopDigitIndex;
    showValue();
}

void CTextDigitSpin::singleDigitIndex(std::int16_t index)
{
    m_DigitIndex = index;
    showValue();
}

void CTextDigitSpin::singleDigitModeEnd()
{
    if (m_TextBox)
        m_TextBox->setPalette(m_SavedPaletteWasSet ? m_SavedPalette : QPalette());
    m_DataFormat = m_SavedDataFormat;
    showValue();
}

void CTextDigitSpin::upDownChangeValidate(bool &cancel)
{
    g_Trace.BugMessage(QStringLiteral("m_UpDown_ChangeValidate"));
    if (m_EnableEvent)
        emit ChangeValidate(cancel);
}

bool CTextDigitSpin::eventFilter(QObject *watched, QEvent *event)
{
    // The type check first: a text box being destroyed is no longer a
    // QLineEdit and must not be downcast by the guarded pointer.
    if (qobject_cast<QLineEdit *>(watched) && watched == m_TextBox) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::ParentChange: placeUpDown(); break;
        default: break;
        }
    }
    return false;
}

void CTextDigitSpin::placeUpDown()
{
    if (!m_TextBox || !m_UpDownControl || m_Placing)
        return;
    m_Placing = true;
    QLineEdit *box = m_TextBox;
    UpDownControl *upDown = m_UpDownControl;

    // Inside the border of the text box, against its right-hand end, as high
    // as its client area.
    const int frame = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) : 0;
    const int clientWidth = std::max(0, box->width() - 2 * frame);
    const int clientHeight = std::max(0, box->height() - 2 * frame);
    const int width = upDown->testAttribute(Qt::WA_Resized) ? upDown->width() : upDown->sizeHint().width();
    QPoint topLeft(box->x() + frame + clientWidth - width, box->y() + frame);
    QWidget *boxParent = box->parentWidget();
    QWidget *upDownParent = upDown->parentWidget();
    if (boxParent && upDownParent && boxParent != upDownParent && boxParent->window() == upDownParent->window()) {
        QWidget *window = boxParent->window();
        topLeft = upDownParent->mapFrom(window, boxParent->mapTo(window, topLeft));
    }
    upDown->setGeometry(QRect(topLeft, QSize(width, clientHeight)));
    upDown->raise();

    QMargins margins = box->textMargins();
    margins.setRight(width);
    box->setTextMargins(margins);
    m_Placing = false;
}
