#include "MErrors.h"

#include "ProgramFolder.h"

#include <cstring>
#include <limits>

ProgramError::ProgramError(std::int32_t number, const QString &source, const QString &description)
    : std::runtime_error((source + QStringLiteral(": ") + description).toStdString()), m_Number(number),
      m_Source(source), m_Description(description)
{
}

QString RunTimeErrorDescription(std::int32_t number)
{
    switch (number) {
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 70: return QStringLiteral("Permission denied");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 94: return QStringLiteral("Invalid use of Null");
    case 326: return QStringLiteral("Resource with identifier 'item' not found");
    case 380: return QStringLiteral("Invalid property value");
    case 383: return QStringLiteral("'item' property is read-only");
    case 438: return QStringLiteral("Object doesn't support this property or method");
    default: return QString();
    }
}

QString UtilityErrorDescription(std::int32_t code)
{
    switch (code) {
    case UtilityError::HourGlassNoPointer: return QStringLiteral("HourGlass: Object doesn't have mouse pointer");
    case UtilityError::GetOptionNoneTrue: return QStringLiteral("GetOption: None of the options are True");
    case UtilityError::GetOptionNotArray:
        return QStringLiteral("GetOption: Argument is not a control array") + QStringLiteral("of OptionButtons");
    case UtilityError::InStrRMissing: return QStringLiteral("InStrR: One or more parameters are missing");
    default: return QString();
    }
}

void RaiseProgramError(std::int32_t code)
{
    if (code <= 1000)
        throw ProgramError(code, ExecutableName() + QStringLiteral(".VBError"), RunTimeErrorDescription(code));
    throw ProgramError(ObjectErrorCode(code), ExecutableName() + QStringLiteral(".Utility"),
                       UtilityErrorDescription(code));
}

QString ApiErrorText(std::int32_t code)
{
    // strerror texts for codes the system does not know read "Unknown
    // error N"; those have no name, and then there is no text.
    if (strerrorname_np(code) == nullptr)
        return QString();
    char buffer[256] = {};
    const char *text = strerror_r(code, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text).left(255);
}

void RaiseApiError(std::int32_t code)
{
    const std::int64_t number = std::int64_t{kObjectErrorBase} + 29000 + code;
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        RaiseProgramError(RunTimeError::Overflow);
    throw ProgramError(static_cast<std::int32_t>(number), ExecutableName() + QStringLiteral(".Windows"),
                       ApiErrorText(code));
}

std::int32_t ObjectErrorCode(std::int32_t code)
{
    return code | kObjectErrorBase;
}
