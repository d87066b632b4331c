#pragma once
#include <QString>
#include <cstdint>
#include <stdexcept>

// A raised error of the program: number, source and description, caught by
// the caller like any run-time error.
class ProgramError : public std::runtime_error {
public:
    ProgramError(std::int32_t number, const QString &source, const QString &description);

    std::int32_t Number() const { return m_Number; }
    const QString &Source() const { return m_Source; }
    const QString &Description() const { return m_Description; }

private:
    std::int32_t m_Number;
    QString m_Source;
    QString m_Description;
};

inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

// Raises a program error: codes up to 1000 as the run-time error of that
// number (source ".VBError"), codes above 1000 as base Or code (".Utility").
[[noreturn]] void RaiseProgramError(std::int32_t code);

// The standard description of a run-time error number (empty when unknown).
QString RunTimeErrorDescription(std::int32_t number);

// Windows-style error: base + 29000 + code, source ".Windows".
[[noreturn]] void RaiseApiError(std::int32_t code);
QString ApiErrorText(std::int32_t code);
std::int32_t ObjectErrorCode(std::int32_t code);
