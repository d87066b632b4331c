#pragma once
#include "ICopyClass.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CParameterClassBase;
class CModInstr;
class CRangeWP12;
class CRangeMVAHVA;
class CRangeGKP;
class CRangeMVZ;
class CDisplay;
class CInOutScale;
class CLinearize;
class CCounterAB;
class CAlarm;
class CAnalogOut;
class CFiltroDigitale;
class CSerialComm;

// One whole configuration in memory: the 18 parameter objects, each under
// its ClassName, in this order (the position is also the ValidData index):
//
//    1 CModInstr      7 CInOutScale    13 CAlarm2
//    2 CRangeWP12     8 CLinearize     14 CAlarm3
//    3 CRangeMVAHVA   9 CInOutScaleB   15 CAlarm4
//    4 CRangeGKP     10 CLinearizeB    16 CAnalogOut
//    5 CRangeMVZ     11 CCounterAB     17 CFiltroDigitale
//    6 CDisplay      12 CAlarm1        18 CSerialComm
//
// After every load and every CodificaModuli write the validity update runs:
// in collection order it pushes the context values into each object (read
// from their owners at that moment: model and slots from CModInstr,
// DisplayDigit from CDisplay, WPxFunction from CRangeWP12, MeasureType from
// CRangeMVAHVA, the electrical scale and the linearisation switch from the
// CInOutScale of the same channel), runs the object's scale operation on
// g_Scala/g_ScalaB, then sets its ValidData flag. Until then every flag is
// False.
//
// The counters and channel F's linearisation exist only on the
// frequency/counter modules: their flags also require slot A 4 or 5, and the
// counters publish their display scales only there, so values left over
// from an earlier frequency configuration can neither overwrite channel A's
// display scale nor put a second curve into the base layout.
class CCollDatiSetup {
public:
    static constexpr std::int16_t kObjects = 18;

    // What decides which objects of a configuration apply: the model and the
    // slots, the frequency module's function and the two channels'
    // linearization switches.
    struct ApplyContext {
        std::int16_t ModelloStrumento = 1;
        std::int16_t SlotA = 0;
        std::int16_t SlotB = 0;
        std::int16_t SlotC = 0;
        std::int16_t SlotD = 0;
        std::int16_t WPxFunction = 0;
        std::int16_t LinearizzazioneA = 0;
        std::int16_t LinearizzazioneB = 0;
    };

    // Whether the object of that key (its ClassName) belongs to a
    // configuration of that context: the one rule behind ValidData and the
    // wizard's page skipping. A key of none of the 18 objects gives no
    // answer.
    static std::optional<bool> ObjectApplies(const QString &key, const ApplyContext &context);

    // The collection: Count and Item(i), i from 1, or Item(key).
    class SetupObjectCollection {
    public:
        std::int16_t Count() const { return static_cast<std::int16_t>(m_Items.size()); }
        // Outside 1..Count: run-time error 9 (subscript out of range).
        IParameterObject &Item(std::int16_t index) const;
        // A key that is not in the collection: run-time error 5.
        IParameterObject &Item(const QString &key) const;
        bool Contains(const QString &key) const;
        // The key an item was added under (its ClassName at the time).
        QString Key(std::int16_t index) const;

    private:
        friend class CCollDatiSetup;
        struct Entry {
            QString key;
            CParameterClassBase *object;
        };
        CParameterClassBase &base(std::int16_t index) const;
        std::vector<Entry> m_Items;
    };

    CCollDatiSetup();
    ~CCollDatiSetup();
    CCollDatiSetup(const CCollDatiSetup &) = delete;
    CCollDatiSetup &operator=(const CCollDatiSetup &) = delete;

    const SetupObjectCollection &SetupObjects() const { return m_SetupObjects; }

    std::int32_t IDProgramma() const { return m_IDProgramma; }
    // Only stores the value.
    void SetIDProgramma(std::int32_t id) { m_IDProgramma = id; }

    // CodificaModuli of the "CModInstr" object; writing decodes the value
    // into its model and slots and then runs the validity update.
    std::int32_t CodificaModuli() const;
    void SetCodificaModuli(std::int32_t value);

    // The flag of the object at position 1..18; any other position raises
    // run-time error 9 (subscript out of range).
    bool ValidData(std::int16_t index) const;

    // Saves all 18 objects, whatever their flags, in one transaction on
    // g_Connection: isNew adds a row under IDProgramma to every table,
    // otherwise every table's row "IDProgramma=" + id is updated. A failure
    // (DatabaseError) rolls the whole configuration back and reaches the
    // caller; the database is then as it was before the call.
    void SaveDataInADORS(bool isNew);

    // Loads the rows of IDProgramma of all 18 tables and runs the validity
    // update. The rows are read, in one transaction, into fresh objects and
    // checked by a validity update of their own first; only when all of that
    // succeeded do the values go into this collection's objects. A failure
    // (DatabaseError, or SetupReadError for a stored range that does not
    // convert) reaches the caller and leaves the objects, the flags and
    // g_Scala/g_ScalaB as they were.
    //
    // The rows are read as the instrument's map is: a row with a value
    // outside its field's rule refuses the configuration only when its
    // object applies (then with the failed-check trace line and the error
    // naming the field and the object). The row of an object that does not
    // apply is traced ("Valore ignorato per CAlarm3 (non applicabile): ...")
    // and the object holds its class's starting values instead, as a fresh
    // object does; the next save of the configuration stores them over the
    // refused row. Channel A's scale keeps its stored switch when that is
    // 0 or 1, since on F10 channel A's curve follows it. The objects that
    // apply are then checked against the rules of their context
    // (CParameterClassBase::ContextRules).
    void LoadDataFromADORS();

    // Copies the stored columns of the collection's object of the same
    // ClassName (and class) into `object`: how the configuration wizard takes
    // a configuration loaded here. A name of none of the 18 raises run-time
    // error 5.
    void CopyStoredValuesTo(CParameterClassBase &object) const;

    // Reads the whole configuration back from an instrument's memory map or
    // auxiliary lines (after the module coding has been written): every
    // object's reader runs, in collection order. Before each reader the
    // validity update runs, so flags, context values and scales follow the
    // values read so far (the frequency module's function, a channel's
    // linearization switch). A read error (SetupReadError) of an object
    // whose flag is False (a module that is not fitted, a function that does
    // not use it) is traced without a failed check ("Lettura ignorata per
    // ...") and leaves that object as it was: an instrument reports no lines
    // for the menus it lacks. A read error of an object that applies, and a
    // value outside the rules of its context, reach the caller naming the
    // object. Ends with a validity update.
    //
    // On F10 the counters own channel A's scale, and an instrument's reply
    // may carry no channel-A scale lines there, but channel A's curve switch
    // is still the scale object's: when that object does not apply and its
    // lines do not read, its switch line is read alone (when the lines carry
    // one), so a curve sent on F10 comes back switched on; the map's switch
    // word likewise.
    void SetUserSetup(const MemMapWords &map);
    void SetUserSetupAux(const MemMapAuxLines &lines);

    // Has every object that applies write its words (lines) into `map`
    // (`lines`), in collection order; words and lines no object writes keep
    // their values. When channel A's curve applies but channel A's scale
    // does not (F10: the counters own that scale), the scale object still
    // writes its linearisation switch alone, at its own turn, so that the
    // curve's writer finds the switch on and the instrument uses the curve.
    // A writer's error reaches the caller with `map` (`lines`) partly
    // written: callers that must keep theirs write into a copy.
    void GetMemoryMap(MemMapWords &map) const;
    void GetMemoryMapAux(MemMapAuxLines &lines) const;

    // The objects themselves (the same ones the collection holds).
    CModInstr &ModInstr() const { return *m_ModInstr; }
    CRangeWP12 &RangeWP12() const { return *m_RangeWP12; }
    CRangeMVAHVA &RangeMVAHVA() const { return *m_RangeMVAHVA; }
    CRangeGKP &RangeGKP() const { return *m_RangeGKP; }
    CRangeMVZ &RangeMVZ() const { return *m_RangeMVZ; }
    CDisplay &Display() const { return *m_Display; }
    CInOutScale &InOutScale() const { return *m_InOutScale; }
    CLinearize &Linearize() const { return *m_Linearize; }
    CInOutScale &InOutScaleB() const { return *m_InOutScaleB; }
    CLinearize &LinearizeB() const { return *m_LinearizeB; }
    CCounterAB &CounterAB() const { return *m_CounterAB; }
    // n = 1..4
    CAlarm &Alarm(int n) const { return *m_Alarm.at(static_cast<std::size_t>(n - 1)); }
    CAnalogOut &AnalogOut() const { return *m_AnalogOut; }
    CFiltroDigitale &FiltroDigitale() const { return *m_FiltroDigitale; }
    CSerialComm &SerialComm() const { return *m_SerialComm; }

private:
    void add(std::unique_ptr<CParameterClassBase> object);
    void UpdateValidData();
    ApplyContext currentContext() const;
    void loadRows();
    void checkStoredRows(const CCollDatiSetup &startingValues);
    void checkContextValues();
    void takeStoredValues(const CCollDatiSetup &from);
    template <class Read, class ReadSwitchA>
    void readBack(Read read, ReadSwitchA readSwitchA);
    template <class Write, class WriteSwitchA>
    void writeOut(Write write, WriteSwitchA writeSwitchA) const;

    SetupObjectCollection m_SetupObjects;
    std::vector<std::unique_ptr<CParameterClassBase>> m_Owned;
    std::int32_t m_IDProgramma = 0;
    std::array<bool, kObjects> m_ValidData{};

    CModInstr *m_ModInstr = nullptr;
    CRangeWP12 *m_RangeWP12 = nullptr;
    CRangeMVAHVA *m_RangeMVAHVA = nullptr;
    CRangeGKP *m_RangeGKP = nullptr;
    CRangeMVZ *m_RangeMVZ = nullptr;
    CDisplay *m_Display = nullptr;
    CInOutScale *m_InOutScale = nullptr;
    CLinearize *m_Linearize = nullptr;
    CInOutScale *m_InOutScaleB = nullptr;
    CLinearize *m_LinearizeB = nullptr;
    CCounterAB *m_CounterAB = nullptr;
    std::array<CAlarm *, 4> m_Alarm{};
    CAnalogOut *m_AnalogOut = nullptr;
    CFiltroDigitale *m_FiltroDigitale = nullptr;
    CSerialComm *m_SerialComm = nullptr;
};
