#include "FailureText.h"

#include "CTraceCode.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "MErrors.h"
#include "ModelError.h"
#include "ResourceText.h"

#include <exception>

namespace {

constexpr std::int32_t kTextInternalError = 730;
// "The configuration holds data the program cannot use: |1."
constexpr std::int32_t kTextRefusedData = 3164;

QString programError(const QString &tracePrefix, const QString &description, const QString &outcome)
{
    if (!tracePrefix.isEmpty())
        g_Trace.BugMessage(tracePrefix + description);
    return WithOutcome(description, outcome);
}

QString internalError(const QString &tracePrefix, const QString &what)
{
    g_Trace.BugMessage(tracePrefix + QStringLiteral("Errore interno: ") + what);
    // The text must not depend on the table it reports from.
    try {
        return GetResourceText(kTextInternalError, {what});
    } catch (...) {
        return QStringLiteral("Internal error: ") + what;
    }
}

} // namespace

QString CurrentFailureText(const QString &tracePrefix, const QString &outcome)
{
    try {
        throw;
    } catch (const DatabaseError &e) {
        // The box names the kind only; what SQLite said is for the trace.
        g_Trace.BugMessage(tracePrefix + e.Description());
        return DatabaseErrorText(e, outcome);
    } catch (const SetupReadError &e) {
        // The check text goes to the trace; the box names the field and the
        // value in the user's words.
        if (!tracePrefix.isEmpty())
            g_Trace.BugMessage(tracePrefix + e.Text());
        return WithOutcome(GetResourceText(kTextRefusedData, {e.UserText()}), outcome);
    } catch (const ProgramError &e) {
        return programError(tracePrefix, e.Description(), outcome);
    } catch (const std::exception &e) {
        return internalError(tracePrefix, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return internalError(tracePrefix, QStringLiteral("eccezione sconosciuta"));
    }
}
