#pragma once
#include "MemMapTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The exchange file ".OXA": one configuration as its memory map, 662 bytes,
// little-endian whatever the host (a longer file is read by its first 662
// bytes):
//
//   offset size
//      0    50  program identifier: the writing program's executable name,
//               ANSI (Windows-1252), padded with blanks
//     50     6  three 16-bit words of the writing program's version
//               (major, minor, revision)
//     56    50  configuration name, ANSI, padded with blanks (a longer
//               name is cut at 50 bytes)
//    106     4  the module coding (CodificaModuli, 32-bit)
//    110   552  the 276 memory-map words, 16-bit each
//
// The same format serves the transfer dumps "MemoryMap.mem" and
// "MemoryUser.mem".
//
// A text field holds printable characters only. Writing never fails: a
// character the code page has no code for, or a control character, is
// written as '?'. Reading refuses a field with a control byte (NUL, 0x01..
// 0x1F, 0x7F, or one of the five bytes the code page leaves undefined): such
// a file is not one of ours. Reading removes trailing blanks.
inline constexpr qsizetype kExchangeFileSize = 662;
inline constexpr qsizetype kExchangeTextSize = 50;

struct ExchangeFileData {
    QString identifier;
    std::array<std::int16_t, 3> version{};
    QString name;
    std::int32_t codificaModuli = 0;
    MemMapWords words{};
};

// The 662 bytes of `data`. False, with the reason in `error`, only when the
// identifier is empty or longer than 50 bytes; the name is always written
// (cut at 50 bytes, see above).
bool EncodeExchangeFile(const ExchangeFileData &data, QByteArray &bytes, QString &error);

// Checks every field of the bytes of a file and fills `data`: at least 662
// bytes (the rest is ignored), printable text in both fields, a coding that
// IsValidModuleCoding accepts. On failure `data` is untouched and `error`
// names what was wrong. Whether the identifier and version are the running
// program's is for the caller to decide.
bool DecodeExchangeFile(const QByteArray &bytes, ExchangeFileData &data, QString &error);

// A text as a field holds it and reading gives it back: in the code page,
// cut at 50 bytes, trailing blanks removed.
QString ExchangeTextAsRead(const QString &text);

// The characters of a text that its field writes as '?' (no code in the
// code page, or a control character), each once, in the order they first
// occur, within the part of the text the field holds (its first 50
// characters; a surrogate pair is one character). Empty when the field
// holds the text as it is, up to the cut.
QStringList ExchangeTextUnheld(const QString &text);

// A module coding the model object gives back unchanged after decoding it
// (no stray bits, relays and options that fit), with a slot-A code 0..6.
bool IsValidModuleCoding(std::int32_t codificaModuli);

// The running program's version as the three words of the file.
std::array<std::int16_t, 3> ProgramExchangeVersion();

// A file of this format is written whole or not at all with WriteWholeFile
// (platform/FileReplacement.h).

// Reads at most maxBytes + 1 bytes of a file, so a file that is too long is
// seen as such without reading all of it. False with the reason.
bool ReadBoundedFile(const QString &fileName, qsizetype maxBytes, QByteArray &bytes, QString &error);
