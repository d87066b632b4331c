#pragma once
#include <QString>
#include <QVariant>
#include <cstdint>

class QObject;

// Toggles the mouse pointer of a widget: the first call saves its pointer
// and shows the hourglass (Qt::WaitCursor), the next call puts the saved
// pointer back. The saved pointer and the on/off flag are shared by every
// call, whatever the object. An object that is not a widget (or null) has
// no pointer: the flag still toggles, then utility error 13001 is raised.
void HourGlass(QObject *object);

// True when the variant holds no array or an array without elements.
bool IsArrayEmpty(const QVariant &array);

// Upper-case hexadecimal form of value (negative values as their 32-bit
// pattern), padded on the left with "0" to digits characters and cut to
// its last digits characters.
QString FmtHex(std::int32_t value, std::int16_t digits);

// The text up to its first NUL character (the whole text when it has none).
QString StrZToStr(const QString &text);
