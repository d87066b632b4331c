#pragma once
#include <cstdint>

// The functions of the frequency/counter modules (WP1, WP2): the code is
// the F-number less one, as CRangeWP12::m_WPxFunction stores it and as the
// scale, counter, alarm and analogue-output objects carry it (WPxFunction).
// They stay plain 16-bit integers like the module codes: a value outside
// the table (one a setter was given, or one an instrument answers) is kept
// and must still compare.

namespace WPxFunctionCode {
inline constexpr std::int16_t F1 = 0;   // stepped values of A and B (model 3), of A (other models)
inline constexpr std::int16_t F2 = 1;   // 1/A
inline constexpr std::int16_t F3 = 2;   // A-B
inline constexpr std::int16_t F4 = 3;   // (A-B)/B*100, a percentage
inline constexpr std::int16_t F5 = 4;   // A/B
inline constexpr std::int16_t F6 = 5;   // B/(A+B)*100, a percentage
inline constexpr std::int16_t F7 = 6;   // rotation direction
inline constexpr std::int16_t F8 = 7;   // channel A and counter A
inline constexpr std::int16_t F9 = 8;   // channel A and counter B
inline constexpr std::int16_t F10 = 9;  // counters A and B
inline constexpr std::int16_t F11 = 10; // counter A and the sum A+B
inline constexpr std::int32_t Count = 11;
} // namespace WPxFunctionCode

// The predicates take the wider integer, so that a code held in a 32-bit
// value (a function read from auxiliary lines) is never narrowed. Where a
// rule is written "from Fn on", a code above the table counts as the last
// functions do.
namespace WPxFunctions {

// F1 to F11.
constexpr bool IsKnown(std::int32_t f)
{
    return f >= WPxFunctionCode::F1 && f < WPxFunctionCode::Count;
}

// F1: channel F is input B (on model 3, the only one that shows it) with an
// electrical range, a scale and a curve of its own.
constexpr bool ChannelFIsInputB(std::int32_t f)
{
    return f == WPxFunctionCode::F1;
}

// F2 to F6: channel F is a value computed from A and B, with a displayed
// range only.
constexpr bool ComputesChannelF(std::int32_t f)
{
    return f >= WPxFunctionCode::F2 && f <= WPxFunctionCode::F6;
}

// F4 and F6: the computed value is a percentage.
constexpr bool IsPercentage(std::int32_t f)
{
    return f == WPxFunctionCode::F4 || f == WPxFunctionCode::F6;
}

// F1 and F7: the one-line display (models other than 3) shows channel A's
// value; on the other functions it shows the function's result, the second
// channel's scale.
constexpr bool OneLineShowsChannelA(std::int32_t f)
{
    return f == WPxFunctionCode::F1 || f == WPxFunctionCode::F7;
}

// Every function but F7: the alarm and analogue-output pages on model 3
// let the user choose the channel followed. Under F7 channel B only
// replicates channel A, and channel A is taken.
constexpr bool TakesChannelChoice(std::int32_t f)
{
    return f != WPxFunctionCode::F7;
}

// From F8 on: the counter functions.
constexpr bool IsCounterFunction(std::int32_t f)
{
    return f >= WPxFunctionCode::F8;
}

// F8, F10 and F11: counter A is in use.
constexpr bool UsesCounterA(std::int32_t f)
{
    return f == WPxFunctionCode::F8 || f == WPxFunctionCode::F10 || f == WPxFunctionCode::F11;
}

// F9, F10 and F11: counter B is in use.
constexpr bool UsesCounterB(std::int32_t f)
{
    return f == WPxFunctionCode::F9 || f == WPxFunctionCode::F10 || f == WPxFunctionCode::F11;
}

// From F10 on: counter A takes channel A's place on the first line. The
// counters then hold channel A's electrical range, and channel A's scale
// object and its linearisation switch are not used.
constexpr bool CountersTakeChannelA(std::int32_t f)
{
    return f >= WPxFunctionCode::F10;
}

} // namespace WPxFunctions
