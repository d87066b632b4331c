#include "CommandBorder.h"

#include "ResourceText.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "DatabaseErrorText.h"
#include "MErrors.h"
#include "ModelError.h"
#include "MsgBox.h"
#include "StringTable.h"

#include <exception>

namespace {

constexpr std::int32_t kTextInternalError = 730;

void showBox(QWidget *owner, const QString &text)
{
    MsgBox(text, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), owner);
}

void reportProgramError(QWidget *owner, const QString &tracePrefix, const QString &description)
{
    if (!tracePrefix.isEmpty())
        g_Trace.BugMessage(tracePrefix + description);
    showBox(owner, description);
}

void reportInternalError(QWidget *owner, const QString &tracePrefix, const QString &what)
{
    g_Trace.BugMessage(tracePrefix + QStringLiteral("Errore interno: ") + what);
    // The box must not depend on the table it reports from.
    QString text;
    try {
        text = GetResourceText(kTextInternalError, {what});
    } catch (...) {
        text = QStringLiteral("Internal error: ") + what;
    }
    showBox(owner, text);
}

} // namespace

void ReportCurrentError(QWidget *owner, const QString &tracePrefix)
{
    try {
        throw;
    } catch (const DatabaseError &e) {
        reportProgramError(owner, tracePrefix, DatabaseErrorText(e));
    } catch (const SetupReadError &e) {
        // The check text goes to the trace; the box names the field and the
        // value in the user's words (3164: "The configuration holds data the
        // program cannot use: |1.").
        if (!tracePrefix.isEmpty())
            g_Trace.BugMessage(tracePrefix + e.Text());
        showBox(owner, GetResourceText(3164, {e.UserText()}));
    } catch (const ProgramError &e) {
        reportProgramError(owner, tracePrefix, e.Description());
    } catch (const std::exception &e) {
        reportInternalError(owner, tracePrefix, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportInternalError(owner, tracePrefix, QStringLiteral("eccezione sconosciuta"));
    }
}

bool RunGuarded(QWidget *owner, const QString &tracePrefix, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (...) {
        ReportCurrentError(owner, tracePrefix);
        return false;
    }
}
