#pragma once
#include <QString>
#include <cstdint>

struct FileWriteError;

// The string-table text of each kind of failed file write: what is wrong and
// what to do ("|1" is the file).
inline constexpr std::int32_t kTextFileDiskFull = 1081;
inline constexpr std::int32_t kTextFileReadOnly = 1082;
inline constexpr std::int32_t kTextFileNotWritten = 1083;

// What the user reads of a file that could not be written: the one text of
// its kind, the same on every road (the description is for the trace
// only). With an outcome, the road's own text (what was not done) follows it
// on a line of its own.
QString FileWriteErrorText(const FileWriteError &error);
QString FileWriteErrorText(const FileWriteError &error, const QString &outcome);
