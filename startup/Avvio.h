#pragma once
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>

// The start routine and the text services every window and class uses.

// Runs the start sequence; returns the exit code of the event loop.
int Main(int argc, char **argv);

// The string-table text of id with "|1", "|2", ... replaced by the values in
// order (every occurrence; surplus values ignored; missing ones left in place).
// An id the table lacks raises a ProgramError.
QString GetResourceText(std::int32_t id, const QVariantList &values = {QVariant(QString())});
