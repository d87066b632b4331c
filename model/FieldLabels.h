#pragma once
#include <QString>
#include <cstdint>

// The stored fields of the parameter classes as the user knows them: the
// caption the field's wizard page gives it (its report label where the page
// has none), so that a value refused on any road is named in the user's
// words and never by its member name. One table, keyed by the class's table
// name without its instance ("CAlarm" for "CAlarm1" to "CAlarm4",
// "CInOutScale" for "CInOutScaleB") and the column.

// The quoted caption of the field, with what tells it apart where the
// caption alone would not ("Decimal point position" of the displayed scale,
// input B, point 3) and the instance where a configuration has several
// (alarm 2, channel F): "\"Hysteresis\" (alarm 2)". A field its page shows
// in one of several groups, as another value chooses, is named by each of
// them: "\"Thermocouple range\", \"RTD Range\" or \"Resistance range\"". An
// empty table looks the column up in any class. Empty when the table has no
// entry for the field.
QString FieldUserName(const QString &table, const QString &column);

// The string id of the field's own refusal text, which takes the value as
// "|1" and says what the field holds (the network address, the baud-rate
// code); 0 when the field has none.
std::int32_t FieldRefusalTextId(const QString &table, const QString &column);
