#pragma once
#include <QString>
#include <cstdint>
#include <optional>

// What the user is told of a port that would not open or of a failed
// exchange, alike for the Modbus transfer, the live view and the auxiliary
// transfer.

// String-table texts of these failures; every one is shown under
// CommFailureText::Title.
namespace CommFailureText {
inline constexpr std::int32_t Reception = 206;
inline constexpr std::int32_t NoAnswer = 207;
inline constexpr std::int32_t Title = 208;
inline constexpr std::int32_t PortNotOpen = 209;
inline constexpr std::int32_t CRC = 215;
} // namespace CommFailureText

// A message box's text and title.
struct CommMessage {
    QString text;
    QString title;
};

// The box for an exchange that ended with `error` (CTapiComm::Error), or
// nothing to show: after a success (CommErrorCode::None) and after a cancel,
// which the user asked for. A code the transport does not define is a failed
// exchange too, told as a reception error.
std::optional<CommMessage> CommErrorMessage(std::int32_t error);

// The box for a serial port that would not open; the failure is traced.
CommMessage PortNotOpenMessage();
