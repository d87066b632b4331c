#pragma once
#include <QString>
#include <cstdint>
#include <stdexcept>

// The error raised when setup data that came from outside the program (an
// instrument's registers or auxiliary lines, an exchange file, a stored row)
// cannot be turned into a parameter value: a missing command line, an unknown
// mnemonic or sample text, a number that does not parse or is out of range, a
// code outside its table. The reader stops, the caller saves nothing and tells
// the user; such data never ends the program and never becomes a default.
//
// It carries two descriptions. Text() is the Italian check text, for the
// trace only. UserText() is what a box shows, in the string table's words: a
// refused value names its field as the wizard page labels it (FieldLabels.h)
// and the value; a line that is missing or does not read names the line; any
// other failure says that the data do not make a configuration. UserText()
// is a clause the roads put into their own sentence ("The stored
// configuration cannot be converted for the instrument: |1.").
class SetupReadError : public std::runtime_error {
public:
    // What the error is about.
    enum class Cause {
        Other,       // a failed check with no field or line to name
        Choice,      // a value outside the codes of its field
        Range,       // a value outside the numbers of its field (Min..Max)
        MissingLine, // an auxiliary line the data lack (Line)
        LineValue,   // an auxiliary line whose value does not read (Line, Value)
    };

    explicit SetupReadError(const QString &text);
    SetupReadError(const QString &text, Cause cause);

    // A refused value of a field: its member name and value (as the user
    // knows it, such as a decimal point's sample text), the table of the
    // object when known, and the numbers the field holds for a Range.
    static SetupReadError RefusedValue(const QString &text, Cause cause, const QString &field, const QString &value,
                                       std::int32_t min = 0, std::int32_t max = 0);
    // A line that is missing (value empty) or holds a value that does not
    // read; `line` is its command prefix ("SCAL>Lo.E=").
    static SetupReadError LineError(const QString &text, const QString &line, const QString &value = QString(),
                                    bool missing = false);

    // The description, as written to the trace.
    const QString &Text() const { return m_Text; }
    Cause Kind() const { return m_Cause; }
    // The member name ("m_Password") of a refused value, else empty.
    const QString &Field() const { return m_Field; }
    // The refused value, or the value text of a line that does not read.
    const QString &Value() const { return m_Value; }
    // The ClassName of the object whose field it is ("CAlarm3"), when known.
    const QString &Table() const { return m_Table; }
    const QString &Line() const { return m_Line; }
    std::int32_t Min() const { return m_Min; }
    std::int32_t Max() const { return m_Max; }

    // The same error, placed in the object of that ClassName when it names
    // no table yet.
    SetupReadError InObject(const QString &table) const;

    // What the user reads, from the string table.
    QString UserText() const;

private:
    QString m_Text;
    Cause m_Cause = Cause::Other;
    QString m_Field;
    QString m_Value;
    QString m_Table;
    QString m_Line;
    std::int32_t m_Min = 0;
    std::int32_t m_Max = 0;
};

// Writes the failed-check line "g_Trace.BugAssert fallito: " + text to the
// trace (the line a failed check with that text writes) and raises
// SetupReadError(text) to the caller instead of ending the program. The
// second form raises the error given, traced the same way.
[[noreturn]] void RaiseSetupReadError(const QString &text);
[[noreturn]] void RaiseSetupReadError(const SetupReadError &error);

// While an object is alive, a raised SetupReadError writes no failed-check
// line: the caller reads data that may well not fit (an object that does not
// apply to the fitted modules) and traces for itself what it does with an
// error. Single-threaded, like the rest of the model; guards nest.
class SetupReadTraceDeferred {
public:
    SetupReadTraceDeferred();
    ~SetupReadTraceDeferred();
    SetupReadTraceDeferred(const SetupReadTraceDeferred &) = delete;
    SetupReadTraceDeferred &operator=(const SetupReadTraceDeferred &) = delete;
};
