#include "CommandBorder.h"

#include "FailureText.h"
#include "MsgBox.h"

void ReportCurrentError(QWidget *owner, const QString &tracePrefix, const QString &outcome)
{
    const QString text = CurrentFailureText(tracePrefix, outcome);
    MsgBox(text, MsgBoxStyle::Critical | MsgBoxStyle::OKOnly, QString(), owner);
}

bool RunGuarded(QWidget *owner, const QString &tracePrefix, const std::function<void()> &command,
                const QString &outcome)
{
    try {
        command();
        return true;
    } catch (...) {
        ReportCurrentError(owner, tracePrefix, outcome);
        return false;
    }
}
