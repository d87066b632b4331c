#include "ModelError.h"

#include "CTraceCode.h"

void RaiseSetupReadError(const QString &text)
{
    g_Trace.BugMessage(QStringLiteral("g_Trace.BugAssert fallito: ") + text);
    throw SetupReadError(text);
}
