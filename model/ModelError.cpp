#include "ModelError.h"

#include "CTraceCode.h"
#include "FieldLabels.h"
#include "ResourceText.h"

namespace {

constexpr std::int32_t kTextNotAChoice = 3155;  // "the value |2 of |1 is not one of its choices"
constexpr std::int32_t kTextOutOfRange = 3156;  // "the value |2 of |1 is not one of |3 to |4"
constexpr std::int32_t kTextMissingLine = 3157; // "the line \"|1\" is missing"
constexpr std::int32_t kTextBadLine = 3158;     // "the line \"|1\" holds \"|2\", ..."
constexpr std::int32_t kTextNotValid = 3159;    // "the data do not make a configuration ..."

int g_DeferredTrace = 0;

} // namespace

SetupReadError::SetupReadError(const QString &text) : SetupReadError(text, Cause::Other) {}

SetupReadError::SetupReadError(const QString &text, Cause cause)
    : std::runtime_error(text.toStdString()), m_Text(text), m_Cause(cause)
{
}

SetupReadError SetupReadError::RefusedValue(const QString &text, Cause cause, const QString &field,
                                            const QString &value, std::int32_t min, std::int32_t max)
{
    SetupReadError e(text, cause);
    e.m_Field = field;
    e.m_Value = value;
    e.m_Min = min;
    e.m_Max = max;
    return e;
}

SetupReadError SetupReadError::LineError(const QString &text, const QString &line, const QString &value, bool missing)
{
    SetupReadError e(text, missing ? Cause::MissingLine : Cause::LineValue);
    e.m_Line = line;
    e.m_Value = value;
    return e;
}

SetupReadError SetupReadError::InObject(const QString &table) const
{
    SetupReadError e = *this;
    if (e.m_Table.isEmpty())
        e.m_Table = table;
    return e;
}

QString SetupReadError::UserText() const
{
    switch (m_Cause) {
    case Cause::Choice:
    case Cause::Range: {
        if (const std::int32_t own = FieldRefusalTextId(m_Table, m_Field))
            return GetResourceText(own, {m_Value});
        const QString name = FieldUserName(m_Table, m_Field);
        if (name.isEmpty())
            break;
        if (m_Cause == Cause::Choice)
            return GetResourceText(kTextNotAChoice, {name, m_Value});
        return GetResourceText(kTextOutOfRange, {name, m_Value, QString::number(m_Min), QString::number(m_Max)});
    }
    case Cause::MissingLine: return GetResourceText(kTextMissingLine, {m_Line});
    case Cause::LineValue: return GetResourceText(kTextBadLine, {m_Line, m_Value});
    case Cause::Other: break;
    }
    return GetResourceText(kTextNotValid);
}

void RaiseSetupReadError(const QString &text)
{
    RaiseSetupReadError(SetupReadError(text));
}

void RaiseSetupReadError(const SetupReadError &error)
{
    if (g_DeferredTrace == 0)
        g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ") + error.Text());
    throw error;
}

SetupReadTraceDeferred::SetupReadTraceDeferred()
{
    ++g_DeferredTrace;
}

SetupReadTraceDeferred::~SetupReadTraceDeferred()
{
    --g_DeferredTrace;
}
