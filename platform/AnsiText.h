#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The 8-bit "ANSI" code page of texts in files and frames: Windows-1252.
// One byte per character, so a field of n bytes holds n characters.
//
// Text to bytes: a character the code page has no code for becomes '?',
// one '?' per character (a pair of surrogates counts as one character, a
// lone surrogate too), as the platform's own conversion does.
// Bytes to text: every byte has a character; the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same value, as on the platform, so they read back as
// they were written.
QByteArray AnsiFromText(QStringView text);
QString TextFromAnsi(QByteArrayView bytes);
