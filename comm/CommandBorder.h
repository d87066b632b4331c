#pragma once
#include <QString>
#include <functional>

class QWidget;

// The one border between the event loop and the program's work: a menu
// command, a button or page handler, a transfer started by a window. No
// exception crosses it.
//
// The error is told in a critical box with the text CurrentFailureText
// (model/FailureText.h) gives it: a database failure by its kind, a value
// the configuration's rules refuse by its field and value in the user's
// words, the program's other errors by their description, anything else as an
// internal error (string 730, always traced). outcome, when not empty, is
// what the command left undone, on a line after the program's own errors.
//
// ReportCurrentError must be called inside a catch block.
void ReportCurrentError(QWidget *owner, const QString &tracePrefix, const QString &outcome = QString());

// Runs command; true when it returned, false when it threw (and was reported).
bool RunGuarded(QWidget *owner, const QString &tracePrefix, const std::function<void()> &command,
                const QString &outcome = QString());
