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

// The object-error base 0x80040000 as a Long.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

// Run-time error numbers the program raises or traps.
namespace RunTimeError {
inline constexpr std::int32_t InvalidCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t ResourceNotFound = 326;
} // namespace RunTimeError

// Codes of the program's own errors (raised as base Or code).
namespace UtilityError {
inline constexpr std::int32_t HourGlassNoPointer = 13001;
inline constexpr std::int32_t GetOptionNoneTrue = 13002;
inline constexpr std::int32_t GetOptionNotArray = 13003;
inline constexpr std::int32_t InStrRMissing = 13004;
} // namespace UtilityError

// Raises a program error. A code up to 1000 is the run-time error of that
// number, source executable name + ".VBError", its standard description.
// A code above 1000 becomes number base Or code, source executable name +
// ".Utility", the description of the utility code (empty when unknown).
[[noreturn]] void RaiseProgramError(std::int32_t code);

// The standard description of a run-time error number (empty when unknown).
QString RunTimeErrorDescription(std::int32_t number);

// The description of a utility error code 13001..13004 (empty otherwise).
QString UtilityErrorDescription(std::int32_t code);

// A system error: number base + 29000 + code, source executable name +
// ".Windows", description ApiErrorText(code). A code for which that number
// leaves the Long range raises the overflow error (6) instead.
[[noreturn]] void RaiseApiError(std::int32_t code);

// The system's message text for an errno code (at most 255 characters);
// empty when the system has no text for it.
QString ApiErrorText(std::int32_t code);

// code Or base.
std::int32_t ObjectErrorCode(std::int32_t code);
