#include "ExchangeFile.h"

#include "AnsiText.h"
#include "CModInstr.h"
#include "CVersion.h"
#include "MBytes.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr qsizetype kIdentifierOffset = 0;
constexpr qsizetype kVersionOffset = 50;
constexpr qsizetype kNameOffset = 56;
constexpr qsizetype kCodingOffset = 106;
constexpr qsizetype kWordsOffset = 110;
static_assert(kWordsOffset + 2 * static_cast<qsizetype>(kMemMapWords) == kExchangeFileSize);

// A character a text field may hold: printable, no control character of
// either range (so the blanks that pad a field and what it holds stay apart).
bool isFieldChar(char16_t c)
{
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0x9F);
}

QString hex(std::uint32_t v)
{
    return QStringLiteral("0x") + QString::number(v, 16).toUpper();
}

// A text field: the text in the ANSI code page, a character with no code
// there or a control character written as '?', cut at 50 bytes and padded
// with blanks. Whatever the text, the field is written.
void encodeText(const QString &text, char *field)
{
    QByteArray bytes = AnsiFromText(text);
    bytes.truncate(kExchangeTextSize);
    const QString read = TextFromAnsi(bytes);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        field[i] = isFieldChar(read.at(i).unicode()) ? bytes.at(i) : '?';
    for (qsizetype i = bytes.size(); i < kExchangeTextSize; ++i)
        field[i] = ' ';
}

bool decodeText(const char *field, QString &text, QString &error, const QString &what)
{
    const QString read = TextFromAnsi(QByteArrayView(field, kExchangeTextSize));
    for (qsizetype i = 0; i < kExchangeTextSize; ++i) {
        if (!isFieldChar(read.at(i).unicode())) {
            error = what + QStringLiteral(" con un byte non ammesso (") + hex(static_cast<std::uint8_t>(field[i])) +
                    QStringLiteral(") alla posizione ") + QString::number(i + 1);
            return false;
        }
    }
    qsizetype end = kExchangeTextSize;
    while (end > 0 && read.at(end - 1) == QLatin1Char(' '))
        --end;
    text = read.left(end);
    return true;
}

} // namespace

bool IsValidModuleCoding(std::int32_t codificaModuli)
{
    const auto w = static_cast<std::uint32_t>(codificaModuli);
    if (((w >> 10) & 0x7u) > 6)
        return false;
    CModInstr mod;
    mod.SetCodificaModuli(codificaModuli);
    return mod.CodificaModuli() == codificaModuli;
}

std::array<std::int16_t, 3> ProgramExchangeVersion()
{
    const VersionFixedInfo &f = CVersion::ProgramVersionData().Fixed;
    return {HiWord(f.FileVersionMS), LoWord(f.FileVersionMS), LoWord(f.FileVersionLS)};
}

QString ExchangeTextAsRead(const QString &text)
{
    char field[kExchangeTextSize];
    encodeText(text, field);
    QString read;
    QString error;
    decodeText(field, read, error, QString());
    return read;
}

QStringList ExchangeTextUnheld(const QString &text)
{
    // One byte per character: byte j of the field is the text's character j.
    const QByteArray bytes = AnsiFromText(text).left(kExchangeTextSize);
    const QString read = TextFromAnsi(bytes);
    QStringList unheld;
    qsizetype i = 0;
    for (qsizetype j = 0; j < bytes.size() && i < text.size(); ++j) {
        const qsizetype width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString character = text.mid(i, width);
        i += width;
        const bool noCode = bytes.at(j) == '?' && character != QLatin1String("?");
        if ((noCode || !isFieldChar(read.at(j).unicode())) && !unheld.contains(character))
            unheld << character;
    }
    return unheld;
}

bool EncodeExchangeFile(const ExchangeFileData &data, QByteArray &bytes, QString &error)
{
    if (data.identifier.isEmpty() || AnsiFromText(data.identifier).size() > kExchangeTextSize) {
        error = QStringLiteral("identificativo programma \"") + data.identifier +
                QStringLiteral("\" vuoto o più lungo di 50 caratteri");
        return false;
    }
    QByteArray out(kExchangeFileSize, '\0');
    char *p = out.data();
    encodeText(data.identifier, p + kIdentifierOffset);
    encodeText(data.name, p + kNameOffset);
    for (std::size_t k = 0; k < data.version.size(); ++k)
        qToLittleEndian<std::int16_t>(data.version[k], p + kVersionOffset + 2 * static_cast<qsizetype>(k));
    qToLittleEndian<std::int32_t>(data.codificaModuli, p + kCodingOffset);
    for (std::size_t i = 0; i < kMemMapWords; ++i)
        qToLittleEndian<std::int16_t>(data.words[i], p + kWordsOffset + 2 * static_cast<qsizetype>(i));
    bytes = out;
    return true;
}

bool DecodeExchangeFile(const QByteArray &bytes, ExchangeFileData &data, QString &error)
{
    // Bytes beyond the 662 of the format are not looked at.
    if (bytes.size() < kExchangeFileSize) {
        error = QStringLiteral("dimensione di ") + QString::number(bytes.size()) +
                QStringLiteral(" byte invece di almeno ") + QString::number(kExchangeFileSize);
        return false;
    }
    const char *p = bytes.constData();
    ExchangeFileData read;
    if (!decodeText(p + kIdentifierOffset, read.identifier, error, QStringLiteral("identificativo programma")) ||
        !decodeText(p + kNameOffset, read.name, error, QStringLiteral("nome configurazione")))
        return false;
    for (std::size_t k = 0; k < read.version.size(); ++k)
        read.version[k] = qFromLittleEndian<std::int16_t>(p + kVersionOffset + 2 * static_cast<qsizetype>(k));
    read.codificaModuli = qFromLittleEndian<std::int32_t>(p + kCodingOffset);
    if (!IsValidModuleCoding(read.codificaModuli)) {
        error = QStringLiteral("codifica moduli ") + hex(static_cast<std::uint32_t>(read.codificaModuli)) +
                QStringLiteral(" non valida");
        return false;
    }
    for (std::size_t i = 0; i < kMemMapWords; ++i)
        read.words[i] = qFromLittleEndian<std::int16_t>(p + kWordsOffset + 2 * static_cast<qsizetype>(i));
    data = read;
    return true;
}

bool ReadBoundedFile(const QString &fileName, qsizetype maxBytes, QByteArray &bytes, QString &error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QByteArray read;
    while (read.size() <= maxBytes) {
        const QByteArray chunk = file.read(maxBytes + 1 - read.size());
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                error = file.errorString();
                return false;
            }
            break;
        }
        read += chunk;
    }
    bytes = read;
    return true;
}
