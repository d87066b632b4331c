#pragma once
#include <QString>
#include <array>
#include <cstdint>

// The two renderings of a configuration that the parameter objects write and
// read: the instrument memory map (276 words, index 0..275; a 32-bit value
// takes two words, low word at the lower index) and the auxiliary map (144
// command lines, index 0..143; "NoSend" marks a line that is not sent).
inline constexpr std::size_t kMemMapWords = 276;
inline constexpr std::size_t kMemMapAuxLines = 144;

using MemMapWords = std::array<std::int16_t, kMemMapWords>;
using MemMapAuxLines = std::array<QString, kMemMapAuxLines>;
