#pragma once
#include <QString>
#include <stdexcept>

// The error raised when setup data that came from outside the program (an
// instrument's registers or auxiliary lines, an exchange file, a stored row)
// cannot be turned into a parameter value: a missing command line, an unknown
// mnemonic or sample text, a number that does not parse or is out of range, a
// code outside its table. The reader stops, the caller saves nothing and tells
// the user; such data never ends the program and never becomes a default.
class SetupReadError : public std::runtime_error {
public:
    explicit SetupReadError(const QString &text)
        : std::runtime_error(text.toStdString()), m_Text(text)
    {
    }

    // The description, as written to the trace.
    const QString &Text() const { return m_Text; }

private:
    QString m_Text;
};

// Writes the failed-check line "g_Trace.BugAssert fallito: " + text to the
// trace (the line a failed check with that text writes) and raises
// SetupReadError(text) to the caller instead of ending the program.
[[noreturn]] void RaiseSetupReadError(const QString &text);
