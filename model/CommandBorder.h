#pragma once
#include <QString>
#include <functional>

class QWidget;

// The one border between the event loop and the program's work: a menu
// command, a button or page handler, a transfer started by a window. No
// exception crosses it.
//
// The program's own errors (DatabaseError, SetupReadError, ProgramError)
// show their description (a busy database says so and what to do) in a critical box, traced after `tracePrefix` when
// that is not empty. Anything else is a fault of the program: the box (string
// 730) says that an internal error happened and names it, and the trace gets
// the line "Errore interno: " followed by what was thrown, always.
//
// ReportCurrentError must be called inside a catch block.
void ReportCurrentError(QWidget *owner, const QString &tracePrefix);

// Runs command; true when it returned, false when it threw (and was reported).
bool RunGuarded(QWidget *owner, const QString &tracePrefix, const std::function<void()> &command);
