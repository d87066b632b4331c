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
        return programError(tracePrefix, e.Text(), outcome);
    } catch (const ProgramError &e) {
        return programError(tracePrefix, e.Description(), outcome);
    } catch (const std::exception &e) {
        return internalError(tracePrefix, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return internalError(tracePrefix, QStringLiteral("eccezione sconosciuta"));
    }
}
