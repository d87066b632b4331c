#pragma once
#include <QString>
#include <cstdint>

// The program's string table (resources/strings.txt, compiled in).
// File format: one entry per line, the decimal id, a tab, the text; in the
// text "\n", "\r", "\t" and "\\" stand for line feed, carriage return, tab
// and backslash. Blank lines and lines starting with '#' are ignored.

// The text of an id, unchanged. An id the table lacks raises run-time error
// 326 (a ProgramError the caller can catch).
QString LoadResourceString(std::int32_t id);

// True when the table holds the id.
bool HasResourceString(std::int32_t id);
