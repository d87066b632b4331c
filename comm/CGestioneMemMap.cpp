#include "CGestioneMemMap.h"

#include "AuxLineFunctions.h"
#include "CModInstr.h"
#include "CTraceCode.h"
#include "DatabaseError.h"
#include "ExchangeFile.h"
#include "MBytes.h"
#include "MErrors.h"
#include "ModelError.h"
#include "ModuleCodes.h"
#include "NumberText.h"
#include "ProgramFolder.h"
#include "StringTable.h"

#include <QStringDecoder>

namespace {

// Hexadecimal in upper case without leading zeros; a negative word shows
// as its four digits, a negative Long as its eight.
QString hexWord(std::int32_t register_or_word)
{
    return QString::number(static_cast<std::uint16_t>(register_or_word), 16).toUpper();
}

QString hexLong(std::int32_t value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}

void trace(const QString &text)
{
    g_Trace.BugMessage(text);
}

// The text of an error of setup data or of the program. An error of the
// database is traced and goes on to the caller, which tells the user what
// kind of failure it is.
template <class Action>
bool runTraced(const QString &what, Action action)
{
    try {
        action();
        return true;
    } catch (const DatabaseError &e) {
        TraceConversionFailure(what, e);
        throw;
    } catch (const SetupReadError &e) {
        TraceConversionFailure(what, e);
    } catch (const ProgramError &e) {
        TraceConversionFailure(what, e);
    }
    return false;
}

// The auxiliary file holds at most 145 lines of command text; anything much
// larger is not one of ours.
constexpr qsizetype kAuxFileMaxBytes = 64 * 1024;
constexpr qsizetype kAuxFileLines = 1 + static_cast<qsizetype>(kMemMapAuxLines);

QString quoted(const QString &value)
{
    QString text = value;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The value between the quotes of one line, doubled quotes undone; false for
// any other shape.
bool unquoted(const QString &line, QString &value)
{
    if (line.size() < 2 || !line.startsWith(QLatin1Char('"')) || !line.endsWith(QLatin1Char('"')))
        return false;
    const QString inner = line.mid(1, line.size() - 2);
    QString out;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == QLatin1Char('"')) {
            if (i + 1 >= inner.size() || inner.at(i + 1) != QLatin1Char('"'))
                return false;
            ++i;
        }
        out += inner.at(i);
    }
    value = out;
    return true;
}

} // namespace

void TraceConversionFailure(const QString &what, const DatabaseError &error)
{
    trace(what + QStringLiteral(": errore del database: ") + error.Description());
}

void TraceConversionFailure(const QString &what, const SetupReadError &error)
{
    trace(what + QStringLiteral(": dati non convertibili: ") + error.Text());
}

void TraceConversionFailure(const QString &what, const ProgramError &error)
{
    trace(what + QStringLiteral(": errore ") + QString::number(error.Number()) + QLatin1Char(' ') +
          error.Description());
}

CGestioneMemMap::CGestioneMemMap()
{
    m_MemMapAux.fill(kAuxNoSend);
}

CGestioneMemMap::~CGestioneMemMap() = default;

// ---------------------------------------------------------------------------
// Properties

std::int32_t CGestioneMemMap::IDProgramma() const
{
    return m_Setup.IDProgramma();
}

void CGestioneMemMap::SetIDProgramma(std::int32_t id)
{
    m_Setup.SetIDProgramma(id);
}

std::int32_t CGestioneMemMap::CodificaModuli() const
{
    return m_Setup.CodificaModuli();
}

void CGestioneMemMap::SetCodificaModuli(std::int32_t value)
{
    m_Setup.SetCodificaModuli(value);
    switch (ModInstr().SlotA()) {
    case SlotACode::WP1:
    case SlotACode::WP2:
        m_StartAddMemMap = 0x2000;
        m_EndAddMemMap = 0x2113;
        break;
    case SlotACode::MVZ:
        m_StartAddMemMap = 0xE000;
        m_EndAddMemMap = 0xE057;
        break;
    default:
        m_StartAddMemMap = 0xE000;
        m_EndAddMemMap = 0xE058;
        break;
    }
}

std::int16_t CGestioneMemMap::MemMap(std::int16_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= kMemMapWords)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return m_MemMap[static_cast<std::size_t>(index)];
}

void CGestioneMemMap::SetMemMap(std::int16_t index, std::int16_t value)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kMemMapWords)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    m_MemMap[static_cast<std::size_t>(index)] = value;
}

QString CGestioneMemMap::MemMapAux(std::int16_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= kMemMapAuxLines)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    return m_MemMapAux[static_cast<std::size_t>(index)];
}

void CGestioneMemMap::SetMemMapAux(std::int16_t index, const QString &line)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kMemMapAuxLines)
        RaiseProgramError(RunTimeError::SubscriptOutOfRange);
    m_MemMapAux[static_cast<std::size_t>(index)] = line;
}

// ---------------------------------------------------------------------------
// Conversions

bool CGestioneMemMap::ConvertUserSetupToMemoryMap()
{
    trace(QStringLiteral("Inizio ConvertUserSetupToMemoryMap()"));
    m_Setup.LoadDataFromADORS();
    trace(QStringLiteral("Conversione delle impostazioni utente nella codifica interna dello strumento."));
    // Filled in a copy, so that a writer that fails leaves the map as it was.
    MemMapWords map = m_MemMap;
    m_Setup.GetMemoryMap(map);
    m_MemMap = map;
    trace(QStringLiteral("Fine ConvertUserSetupToMemoryMap()"));
    trace(QStringLiteral("Dump della codifica interna della configurazione utente"));
    traceMemMap();
    return true;
}

bool CGestioneMemMap::ConvertMemoryMapToUserSetup()
{
    trace(QStringLiteral("Inizio ConvertMemoryMapToUserSetup()"));
    trace(QStringLiteral("Conversione della codifica interna dello strumento in impostazioni utente per il wizard."));
    trace(QStringLiteral("Dump della codifica interna dello strumento."));
    traceMemMap();
    if (!m_Imported)
        ModInstr().SetNomeProgramma(LoadResourceString(617));
    m_Setup.SetUserSetup(m_MemMap);
    m_Setup.SaveDataInADORS(m_Imported);
    trace(QStringLiteral("Fine ConvertMemoryMapToUserSetup()"));
    return true;
}

bool CGestioneMemMap::ConvertUserSetupToMemoryMapAux()
{
    trace(QStringLiteral("Inizio ConvertUserSetupToMemoryMapAux()"));
    m_Setup.LoadDataFromADORS();
    trace(QStringLiteral("Conversione delle impostazioni utente nella codifica interna dello strumento."));
    // Filled in a copy, so that a writer that fails leaves the lines as they were.
    MemMapAuxLines lines = m_MemMapAux;
    m_Setup.GetMemoryMapAux(lines);
    m_MemMapAux = lines;
    trace(QStringLiteral("Fine ConvertUserSetupToMemoryMapAux()"));
    trace(QStringLiteral("Dump della codifica interna della configurazione utente"));
    traceMemMapAux();
    return true;
}

bool CGestioneMemMap::ConvertMemoryMapAuxToUserSetup()
{
    trace(QStringLiteral("Inizio ConvertMemoryMapAuxToUserSetup()"));
    if (!m_Imported)
        ModInstr().SetNomeProgramma(LoadResourceString(617));
    m_Setup.SetUserSetupAux(m_MemMapAux);
    m_Setup.SaveDataInADORS(m_Imported);
    trace(QStringLiteral("Fine ConvertMemoryMapAuxToUserSetup()"));
    return true;
}

// ---------------------------------------------------------------------------
// Export and import

template <class Action>
void CGestioneMemMap::keepRefusedData(Action action)
{
    try {
        action();
    } catch (const SetupReadError &e) {
        m_RefusedData = e.UserText();
        throw;
    }
}

bool CGestioneMemMap::Export(const QString &fileName, std::int32_t id)
{
    SetIDProgramma(id);
    m_RefusedData.clear();
    m_WriteFailure.reset();
    if (!runTraced(QStringLiteral("Export della configurazione ") + QString::number(id) + QStringLiteral(" fallito"),
                   [this] { keepRefusedData([this] { ConvertUserSetupToMemoryMap(); }); }))
        return false;
    FileWriteError failure;
    if (SaveMemorySetup(fileName, &failure))
        return true;
    if (!failure.fileName.isEmpty())
        m_WriteFailure = failure;
    return false;
}

bool CGestioneMemMap::Import(const QString &fileName, std::int32_t id)
{
    m_Imported = true;
    SetIDProgramma(id);
    m_RefusedData.clear();
    if (!ReadMemorySetup(fileName))
        return false;
    return runTraced(QStringLiteral("Import da file ") + fileName + QStringLiteral(" fallito"),
                     [this] { keepRefusedData([this] { ConvertMemoryMapToUserSetup(); }); });
}

// ---------------------------------------------------------------------------
// The exchange file

bool CGestioneMemMap::refuseFile(const QString &fileName, const QString &reason) const
{
    trace(QStringLiteral("File ") + fileName + QStringLiteral(" rifiutato: ") + reason);
    return false;
}

bool CGestioneMemMap::SaveMemorySetup(const QString &fileName, FileWriteError *failure) const
{
    ExchangeFileData data;
    data.identifier = ExecutableName();
    data.version = ProgramExchangeVersion();
    data.name = ModInstr().NomeProgramma();
    data.codificaModuli = ModInstr().CodificaModuli();
    data.words = m_MemMap;
    QByteArray bytes;
    QString error;
    if (!EncodeExchangeFile(data, bytes, error)) {
        trace(QStringLiteral("Impossibile scrivere il file ") + fileName + QStringLiteral(": ") + error);
        return false;
    }
    FileWriteError written;
    if (!WriteWholeFile(fileName, bytes, written)) {
        trace(QStringLiteral("Impossibile scrivere il file ") + fileName + QStringLiteral(": ") + written.description);
        if (failure)
            *failure = written;
        return false;
    }
    return true;
}

bool CGestioneMemMap::ReadMemorySetup(const QString &fileName)
{
    QByteArray bytes;
    QString error;
    if (!ReadBoundedFile(fileName, kExchangeFileSize, bytes, error)) {
        trace(QStringLiteral("Impossibile leggere il file ") + fileName + QStringLiteral(": ") + error);
        return false;
    }
    ExchangeFileData data;
    if (!DecodeExchangeFile(bytes, data, error))
        return refuseFile(fileName, error);
    // Compared as the field holds the name this program writes.
    const QString own = ExchangeTextAsRead(ExecutableName());
    if (data.identifier != own)
        return refuseFile(fileName, QStringLiteral("identificativo programma \"") + data.identifier +
                                        QStringLiteral("\" invece di \"") + own + QLatin1Char('"'));
    // The version words are written for information only: files of every
    // version of the program are read alike.
    // Everything checked: only now does anything change. The register window
    // stays as it is; the readers of the map take the model and modules from
    // the model object.
    ModInstr().SetNomeProgramma(data.name);
    ModInstr().SetCodificaModuli(data.codificaModuli);
    m_MemMap = data.words;
    return true;
}

// ---------------------------------------------------------------------------
// The auxiliary file

bool CGestioneMemMap::SaveMemorySetupAux(const QString &fileName) const
{
    const QString path = ProgramFile(fileName);
    QString text = quoted(QString::number(ModInstr().CodificaModuli())) + QStringLiteral("\r\n");
    for (std::size_t i = 0; i < kMemMapAuxLines; ++i) {
        const QString &line = m_MemMapAux[i];
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) {
            trace(QStringLiteral("Impossibile scrivere il file ") + path + QStringLiteral(": la riga ") +
                  QString::number(i) + QStringLiteral(" contiene un fine riga"));
            return false;
        }
        text += quoted(line) + QStringLiteral("\r\n");
    }
    FileWriteError error;
    if (!WriteWholeFile(path, text.toUtf8(), error)) {
        trace(QStringLiteral("Impossibile scrivere il file ") + path + QStringLiteral(": ") + error.description);
        return false;
    }
    return true;
}

bool CGestioneMemMap::ReadMemorySetupAux(const QString &fileName)
{
    const QString path = ProgramFile(fileName);
    QByteArray bytes;
    QString error;
    if (!ReadBoundedFile(path, kAuxFileMaxBytes, bytes, error)) {
        trace(QStringLiteral("Impossibile leggere il file ") + path + QStringLiteral(": ") + error);
        return false;
    }
    if (bytes.size() > kAuxFileMaxBytes)
        return refuseFile(path,
                          QStringLiteral("più di ") + QString::number(kAuxFileMaxBytes) + QStringLiteral(" byte"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return refuseFile(path, QStringLiteral("testo non UTF-8"));

    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != kAuxFileLines)
        return refuseFile(path, QString::number(lines.size()) + QStringLiteral(" righe invece di ") +
                                    QString::number(kAuxFileLines));
    QStringList values;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        QString value;
        if (!unquoted(line, value) || value.contains(QLatin1Char('\r')))
            return refuseFile(path, QStringLiteral("riga ") + QString::number(n + 1) +
                                        QStringLiteral(" non racchiusa tra virgolette"));
        values << value;
    }
    const std::optional<std::int32_t> coding = ParseDecimalLong(values.at(0));
    if (!coding || !IsValidModuleCoding(*coding))
        return refuseFile(path, QStringLiteral("codifica moduli \"") + values.at(0) + QStringLiteral("\" non valida"));

    ModInstr().SetCodificaModuli(*coding);
    for (std::size_t i = 0; i < kMemMapAuxLines; ++i)
        m_MemMapAux[i] = values.at(static_cast<qsizetype>(i) + 1);
    return true;
}

// ---------------------------------------------------------------------------
// Trace dumps

void CGestioneMemMap::traceMemMap() const
{
    const CModInstr &mod = ModInstr();
    trace(QStringLiteral("Instrument map memory dump:"));
    trace(QStringLiteral("Codifica moduli=") + hexLong(mod.CodificaModuli()));
    const auto word = [this](std::size_t i) { return m_MemMap[i]; };
    const auto line = [](std::int32_t reg, const QString &hexValue, const QString &decimal) {
        trace(QStringLiteral("Add ") + hexWord(reg) + QStringLiteral("=0x") + hexValue + QStringLiteral(" (") +
              decimal + QLatin1Char(')'));
    };
    const std::int16_t slotA = mod.SlotA();
    if (ModuleCodes::IsFrequencyModule(slotA)) {
        for (std::size_t i = 0; i + 1 < kMemMapWords; i += 2) {
            const std::int32_t v = MakeLong(word(i), word(i + 1));
            line(0x2000 + static_cast<std::int32_t>(i), hexLong(v), QString::number(v));
        }
    } else if ((slotA >= SlotACode::MVA && slotA <= SlotACode::GKP) || slotA == SlotACode::MVZ) {
        const auto wordLine = [&](std::int32_t reg, std::size_t i) {
            line(reg, hexWord(word(i)), QString::number(word(i)));
        };
        for (std::size_t i = 0; i <= 88; ++i)
            wordLine(0xE000 + static_cast<std::int32_t>(i), i);
        if (slotA == SlotACode::GKP)
            wordLine(0xE06C, 108);
        if (slotA == SlotACode::MVZ) {
            for (std::size_t i = 128; i <= 133; ++i)
                wordLine(0xE080 + static_cast<std::int32_t>(i - 128), i);
        }
    }
}

void CGestioneMemMap::traceMemMapAux() const
{
    trace(QStringLiteral("Instrument map memory dump:"));
    trace(QStringLiteral("Codifica moduli=") + hexLong(ModInstr().CodificaModuli()));
    // The dump lists lines 0 to 137.
    for (std::size_t i = 0; i <= 137; ++i)
        trace(QStringLiteral("Cmd=") + m_MemMapAux[i]);
}
