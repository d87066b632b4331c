#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

// Word and byte functions on 16-bit and 32-bit signed values that keep the
// bit pattern: a word with bit 15 set is a negative 16-bit value.

std::int16_t LoWord(std::int32_t value);
std::int16_t HiWord(std::int32_t value);
std::uint8_t LoByte(std::int16_t value);
std::uint8_t HiByte(std::int16_t value);
std::int16_t MakeWord(std::uint8_t low, std::uint8_t high);
std::int32_t MakeLong(std::int16_t low, std::int16_t high);
// Bit counts outside 0..15 (0..31 for TestBit/Pow2) write a failed-check
// trace line and give 0 (false).
std::int16_t LShiftWord(std::int16_t value, std::int16_t bits);
std::int16_t RShiftWord(std::int16_t value, std::int16_t bits);
bool TestBit(std::int32_t value, std::int16_t bit);
std::int32_t Pow2(std::int16_t n);

// Text to and from 8-bit bytes, one byte per character (Latin-1; a
// character outside it becomes '?').
// StrToBytes into an array with elements fills exactly its size: a shorter
// text is first extended with NUL characters (the caller's text too), a
// longer one is cut. An empty array becomes the whole text's 8-bit form.
void StrToBytes(QByteArray &bytes, QString &text);
QString BytesToStr(const QByteArray &bytes);
