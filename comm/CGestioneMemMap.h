#pragma once
#include "CCollDatiSetup.h"
#include "FileReplacement.h"
#include "MemMapTypes.h"

#include <QString>
#include <cstdint>
#include <optional>

class CModInstr;
class DatabaseError;
class ProgramError;
class SetupReadError;

// The trace line of a conversion step `what` (an export, an import, a
// transfer's conversion) that failed with one of the program's own errors:
// "<what>: errore del database: ...", "<what>: dati non convertibili: ..."
// (the check text, never the user's words) or "<what>: errore N ...".
void TraceConversionFailure(const QString &what, const DatabaseError &error);
void TraceConversionFailure(const QString &what, const SetupReadError &error);
void TraceConversionFailure(const QString &what, const ProgramError &error);

// The bridge between a stored configuration and the instrument, for one
// transfer, one export or one import. It owns the configuration's setup
// collection and two renderings of it: MemMap, the 276 words of the
// instrument's registers (word i is register StartAddMemMap + i), and
// MemMapAux, the 144 command lines of the auxiliary interface ("NoSend" is
// not sent). The parameter objects decide what each word or line holds;
// this class moves whole arrays.
//
// The conversions let the errors of the database (DatabaseError) and of the
// parameter objects (SetupReadError, ProgramError) reach the caller; the
// map they fill is changed only when every writer succeeded, and a
// configuration read back is saved in one transaction, all of it or nothing.
// Export and Import catch the errors of setup data and of the program
// themselves and answer false with a trace line saying what went wrong; an
// error of the database is traced and reaches the caller, which tells the
// user what kind of failure it is (never as a fault of the file).
class CGestioneMemMap {
public:
    // Dump files of the transfers (exchange-file format, in the current
    // folder; auxiliary-file format, in the program folder).
    static constexpr const char kMemoryMapDump[] = "MemoryMap.mem";
    static constexpr const char kMemoryUserDump[] = "MemoryUser.mem";
    static constexpr const char kMemoryMapAuxDump[] = "MemoryMapAux.mem";
    static constexpr const char kMemoryUserAuxDump[] = "MemoryUserAux.mem";

    CGestioneMemMap();
    ~CGestioneMemMap();
    CGestioneMemMap(const CGestioneMemMap &) = delete;
    CGestioneMemMap &operator=(const CGestioneMemMap &) = delete;

    // The configuration id, kept by the setup collection.
    std::int32_t IDProgramma() const;
    void SetIDProgramma(std::int32_t id);

    // The module coding of the configuration's model object. Writing it goes
    // through the setup collection (which decodes it and updates the
    // validity flags) and then sets the register window from the slot-A
    // code: 4, 5 registers 0x2000..0x2113; 6 0xE000..0xE057; any other
    // 0xE000..0xE058.
    std::int32_t CodificaModuli() const;
    void SetCodificaModuli(std::int32_t value);

    // The register window: both 0 until the module coding is written.
    std::uint16_t StartAddMemMap() const { return m_StartAddMemMap; }
    std::uint16_t EndAddMemMap() const { return m_EndAddMemMap; }

    // One word, index 0..275, and one line, index 0..143; any other index
    // raises run-time error 9 (subscript out of range).
    std::int16_t MemMap(std::int16_t index) const;
    void SetMemMap(std::int16_t index, std::int16_t value);
    QString MemMapAux(std::int16_t index) const;
    void SetMemMapAux(std::int16_t index, const QString &line);

    // Loads configuration IDProgramma and has the setup collection write its
    // words (lines): every object that applies, in collection order, and
    // channel A's curve switch on F10; words no object writes keep their
    // values. True when done.
    bool ConvertUserSetupToMemoryMap();
    bool ConvertUserSetupToMemoryMapAux();
    // Reads every object back from the map (lines), names the configuration
    // "Actual instrument setting" unless it was imported, and saves it:
    // new rows under IDProgramma after Import, else an update of the rows of
    // IDProgramma. True when done.
    bool ConvertMemoryMapToUserSetup();
    bool ConvertMemoryMapAuxToUserSetup();

    // Configuration id to the exchange file `fileName`. False, traced, when
    // the configuration cannot be converted or the file cannot be written (an
    // existing file is then left as it was); DatabaseError when it cannot be
    // loaded.
    bool Export(const QString &fileName, std::int32_t id);
    // The exchange file to a new configuration with that id, under the name
    // the file holds. False, traced, when the file is refused or cannot be
    // read, or the map does not convert; DatabaseError when it cannot be
    // saved. Nothing is stored then.
    bool Import(const QString &fileName, std::int32_t id);
    // After an Export or Import that failed on a value the configuration's
    // rules refuse (SetupReadError): the user's words for it (the field as
    // its page names it, and the value); else empty.
    const QString &RefusedDataText() const { return m_RefusedData; }
    // After an Export that could not write the file: why (the file keeps
    // what it had); else empty.
    const std::optional<FileWriteError> &WriteFailure() const { return m_WriteFailure; }

    // The exchange file: this program's identifier and version, the model
    // object's name and module coding, the whole map. Writing replaces the
    // file only when it is complete. Reading checks every field before it
    // changes anything (see ExchangeFile.h; the identifier must be this
    // executable's name, exact case; the version words are not looked at)
    // and then sets the model object's name and coding (not the register
    // window) and the map. False, traced, on any failure; a file that could
    // not be written also gives its reason in `failure` when one is given.
    bool SaveMemorySetup(const QString &fileName, FileWriteError *failure = nullptr) const;
    bool ReadMemorySetup(const QString &fileName);

    // The auxiliary file, in the program folder: 145 lines, each one value
    // between double quotes (a quote inside a value is doubled), CR LF,
    // UTF-8: the module coding in decimal, then the 144 lines of MemMapAux.
    // Reading takes exactly that shape (a valid coding, no line ends inside
    // values) or changes nothing. False, traced, on any failure.
    bool SaveMemorySetupAux(const QString &fileName) const;
    bool ReadMemorySetupAux(const QString &fileName);

    // The setup collection and its model object.
    CCollDatiSetup &SetupCollection() { return m_Setup; }
    const CCollDatiSetup &SetupCollection() const { return m_Setup; }
    CModInstr &ModInstr() const { return m_Setup.ModInstr(); }

private:
    void traceMemMap() const;
    void traceMemMapAux() const;
    bool refuseFile(const QString &fileName, const QString &reason) const;
    template <class Action>
    void keepRefusedData(Action action);

    CCollDatiSetup m_Setup;
    MemMapWords m_MemMap{};
    MemMapAuxLines m_MemMapAux;
    bool m_Imported = false;
    QString m_RefusedData;
    std::optional<FileWriteError> m_WriteFailure;
    std::uint16_t m_StartAddMemMap = 0;
    std::uint16_t m_EndAddMemMap = 0;
};
