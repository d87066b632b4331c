#pragma once
#include <QString>
#include <cstdint>

class DatabaseError;

// The string-table text of each kind of database failure: what is wrong
// and what to do ("|1" is the database file).
inline constexpr std::int32_t kTextDatabaseBusy = 1060;
inline constexpr std::int32_t kTextDatabaseFull = 1061;
inline constexpr std::int32_t kTextDatabaseReadOnly = 1062;
inline constexpr std::int32_t kTextConfigurationNotInArchive = 1063;
inline constexpr std::int32_t kTextDatabaseDamaged = 1064;
inline constexpr std::int32_t kTextDatabaseOther = 1065;
inline constexpr std::int32_t kTextDatabaseNotRead = 1069;
inline constexpr std::int32_t kTextDatabaseNotWritten = 1090;
inline constexpr std::int32_t kTextDatabaseMoved = 1091;
inline constexpr std::int32_t kTextDatabaseNotCreated = 1092;
inline constexpr std::int32_t kTextDatabaseMissing = 1099;
inline constexpr std::int32_t kTextDatabaseDamagedAtReopening = 1086;
inline constexpr std::int32_t kTextDatabaseNoAccess = 1088;
// One configuration that cannot be used ("|1" its name, "|2" what is wrong:
// the value of a field, "|1" its caption, or its stored data as a whole).
inline constexpr std::int32_t kTextConfigurationUnusable = 1066;
inline constexpr std::int32_t kTextStoredValueUnusable = 1067;
inline constexpr std::int32_t kTextStoredRowsUnusable = 1068;

// What a command left undone, told after the failure that stopped it.
inline constexpr std::int32_t kTextNothingSaved = 1072;
inline constexpr std::int32_t kTextNothingTransferred = 1073;

// What the user reads of a database failure: the one text of its kind, the
// same on every road (its description is for the trace only). With an
// outcome, the road's own text follows it on a line of its own.
QString DatabaseErrorText(const DatabaseError &error);
QString DatabaseErrorText(const DatabaseError &error, const QString &outcome);
// The same failure where the command offers Retry (a save the user stopped,
// of a kind that may pass): what is wrong, the outcome, then what to do
// before choosing Retry, in place of trying the command again. A kind that
// does not pass is told as DatabaseErrorText(error, outcome).
QString DatabaseRetryText(const DatabaseError &error, const QString &outcome);
// A text and what the command left undone, on two lines (outcome empty: the
// text alone).
QString WithOutcome(const QString &text, const QString &outcome);
