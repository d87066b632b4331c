#pragma once
#include <QString>

// What the user reads of the error being handled: the one description of a
// failure that every road tells (the command border's box, and whatever a
// window or engine shows). Needs no widgets. Call it inside a catch block.
//
// - DatabaseError: the text of its kind (DatabaseErrorText); its description
//   is traced, after tracePrefix.
// - SetupReadError: its user text (the field as its page names it, and the
//   value) in string 3164; its check text is traced after tracePrefix when
//   that is not empty.
// - ProgramError: its description, traced likewise.
// - Anything else is a fault of the program: string 730 ("An internal error
//   happened: |1 ...") naming what was thrown, and always the trace line
//   tracePrefix + "Errore interno: " + what was thrown.
//
// outcome, when not empty, is what the command left undone ("Nothing has
// been saved."): it follows the text of the program's own errors on a line
// of its own (string 730 already says that the command was stopped).
QString CurrentFailureText(const QString &tracePrefix, const QString &outcome = QString());
