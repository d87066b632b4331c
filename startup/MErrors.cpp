#include "MErrors.h"

#include "ProgramFolder.h"

ProgramError::ProgramError(std::int32_t number, const QString &source, const QString &description)
    : std::runtime_error((source + QStringLiteral(": ") + description).toStdString()),
      m_Number(number), m_Source(source), m_Description(description)
{
}

QString RunTimeErrorDescription(std::int32_t number)
{
    switch (number) {
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 9: return QStringLiteral("Subscript out of range");
    case 13: return QStringLiteral("Type mismatch");
    case 53: return QStringLiteral("File not found");
    case 326: return QStringLiteral("Resource with identifier 'item' not found");
    default: return QString();
    }
}

void RaiseProgramError(std::int32_t code)
{
    if (code <= 1000)
        throw ProgramError(code, ExecutableName() + QStringLiteral(".VBError"), RunTimeErrorDescription(code));
    throw ProgramError(code | kObjectErrorBase, ExecutableName() + QStringLiteral(".Utility"), QString());
}

QString ApiErrorText(std::int32_t)
{
    return QString();
}

void RaiseApiError(std::int32_t code)
{
    throw ProgramError(kObjectErrorBase + 29000 + code, ExecutableName() + QStringLiteral(".Windows"),
                       ApiErrorText(code));
}

std::int32_t ObjectErrorCode(std::int32_t code)
{
    return code | kObjectErrorBase;
}
