#include "MUtility.h"

#include "MErrors.h"

#include <QByteArray>
#include <QCursor>
#include <QSequentialIterable>
#include <QWidget>
#include <optional>

namespace {

struct HourGlassState {
    bool on = false;
    // The pointer saved by the call that showed the hourglass; empty when
    // the widget had no pointer of its own (it then shows its parent's).
    std::optional<QCursor> saved;
};

HourGlassState &hourGlass()
{
    static HourGlassState state;
    return state;
}

} // namespace

void HourGlass(QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    HourGlassState &state = hourGlass();
    if (state.on) {
        if (widget) {
            if (state.saved)
                widget->setCursor(*state.saved);
            else
                widget->unsetCursor();
        }
        state.on = false;
    } else {
        if (widget) {
            if (widget->testAttribute(Qt::WA_SetCursor))
                state.saved = widget->cursor();
            else
                state.saved.reset();
            widget->setCursor(Qt::WaitCursor);
        }
        state.on = true;
    }
    if (!widget)
        RaiseProgramError(UtilityError::HourGlassNoPointer);
}

bool IsArrayEmpty(const QVariant &array)
{
    if (!array.isValid())
        return true;
    if (array.typeId() == QMetaType::QByteArray)
        return array.toByteArray().isEmpty();
    if (array.typeId() == QMetaType::QString)
        return true;
    if (array.canConvert<QSequentialIterable>())
        return array.value<QSequentialIterable>().size() == 0;
    return true;
}

QString FmtHex(std::int32_t value, std::int16_t digits)
{
    if (digits <= 0)
        return QString();
    const QString hex = QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
    return hex.rightJustified(digits, QLatin1Char('0')).right(digits);
}

QString StrZToStr(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}
