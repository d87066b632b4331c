#include "CommFailure.h"

#include "CTapiComm.h"
#include "CTraceCode.h"
#include "StringTable.h"

std::optional<CommMessage> CommErrorMessage(std::int32_t error)
{
    if (error == CommErrorCode::None || error == CommErrorCode::Cancelled)
        return std::nullopt;
    QString text;
    switch (error) {
    case CommErrorCode::NoAnswer: text = LoadResourceString(CommFailureText::NoAnswer); break;
    case CommErrorCode::CRC: text = LoadResourceString(CommFailureText::CRC); break;
    // Reception, and any code the transport does not define.
    default: text = LoadResourceString(CommFailureText::Reception); break;
    }
    return CommMessage{text, LoadResourceString(CommFailureText::Title)};
}

CommMessage PortNotOpenMessage()
{
    g_Trace.BugMessage(QStringLiteral("Errore nell'apertura della porta seriale"));
    return {LoadResourceString(CommFailureText::PortNotOpen), LoadResourceString(CommFailureText::Title)};
}
