#pragma once
#include <QString>
#include <cstdint>

class DatabaseError;

// The string-table text of a configuration database that another program
// holds locked: what is wrong and what to do.
inline constexpr std::int32_t kTextDatabaseBusy = 1060;

// What the user reads of a database failure: a busy database says that the
// database is in use and that the other program is to be closed before the
// command is tried again; any other failure shows its own description.
QString DatabaseErrorText(const DatabaseError &error);
