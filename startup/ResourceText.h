#pragma once
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

// The texts the user sees, taken from the string table by id with their
// placeholders filled in. Needs no widgets: the configuration model and the
// engines use it as the windows do.

// The string-table text of id with "|1", "|2", ... replaced by the values in
// order (every occurrence; surplus values ignored; missing ones left in place).
// An id the table lacks raises a ProgramError.
QString GetResourceText(std::int32_t id, const QVariantList &values = {QVariant(QString())});
// The replacement itself: "|k" by the k-th value, for k = 1, 2, ... in turn.
QString SubstitutePlaceholders(QString text, const QVariantList &values);
