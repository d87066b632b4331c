#pragma once
#include "CParameterClassBase.h"

#include <array>
#include <cstdint>

class CModInstr;

// The MVZ master input (slot A 6) and its extra-input modules of the same
// family, one in slot C (codes 5..7) and one in slot D (codes 2..4), three
// inputs each: the master range r1..r3 and the range r1/r2 of each of the
// six extra inputs. Its context is the pair SlotC, SlotD, which only the
// report reads. The writes store any value unchanged.
//
// Memory map (base layout): word 1 master range, words 128..133 (registers
// 0xE080..0xE085, after the register window) inputs 1..3 of slot C and 1..3
// of slot D; auxiliary lines 1 and 128..133. Every map operation acts only
// for slot-A code 6 of the CModInstr it is given, and carries all seven
// values whatever SlotC and SlotD hold.
class CRangeMVZ : public CParameterClass<CRangeMVZ> {
public:
    CRangeMVZ();

    std::int16_t RangeMasterMVZ() const { return m_RangeMasterMVZ; }
    std::int16_t Input1C() const { return m_Input1C; }
    std::int16_t Input2C() const { return m_Input2C; }
    std::int16_t Input3C() const { return m_Input3C; }
    std::int16_t Input1D() const { return m_Input1D; }
    std::int16_t Input2D() const { return m_Input2D; }
    std::int16_t Input3D() const { return m_Input3D; }
    void SetRangeMasterMVZ(std::int16_t v) { m_RangeMasterMVZ = v; }
    void SetInput1C(std::int16_t v) { m_Input1C = v; }
    void SetInput2C(std::int16_t v) { m_Input2C = v; }
    void SetInput3C(std::int16_t v) { m_Input3C = v; }
    void SetInput1D(std::int16_t v) { m_Input1D = v; }
    void SetInput2D(std::int16_t v) { m_Input2D = v; }
    void SetInput3D(std::int16_t v) { m_Input3D = v; }

    // Context values, never stored.
    void SetSlotC(std::int16_t v) { m_SlotC = v; }
    std::int16_t SlotC() const { return m_SlotC; }
    void SetSlotD(std::int16_t v) { m_SlotD = v; }
    std::int16_t SlotD() const { return m_SlotD; }

    static void CopyProperties(const CRangeMVZ &from, CRangeMVZ &to);

    // g_Scala takes the master range from the MVZ table (model 2, slot A 6,
    // RangeMasterMVZ), whatever the configuration's model. g_ScalaB is never
    // touched.
    void SetElettricScale();

    // The master range; a section for the module in slot C (codes 5..7) and
    // one for the module in slot D (codes 2..4), each a title and three
    // input rows.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // A master range outside 0..2 or an input range outside 0..1 raises
    // SetupReadError and changes nothing. The master range just read is
    // handed on to g_Scala, as the other range classes do, so that the scale
    // classes read the electrical decimal point of this range.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // Each value from the last character of its line ("r2" gives 1). A
    // missing line, a last character that is not a digit or a range outside
    // its table raises SetupReadError and changes nothing; then g_Scala takes
    // the master range as after SetUserSetup.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    // The seven ranges in map order: the master, then inputs 1..3 of slot C
    // and inputs 1..3 of slot D.
    std::array<std::int16_t, 7> ranges() const;
    // Hands the master range on to g_Scala, then stores the seven.
    void takeRanges(const std::array<std::int16_t, 7> &values);

    std::int16_t m_RangeMasterMVZ = 0;
    std::int16_t m_Input1C = 0;
    std::int16_t m_Input2C = 0;
    std::int16_t m_Input3C = 0;
    std::int16_t m_Input1D = 0;
    std::int16_t m_Input2D = 0;
    std::int16_t m_Input3D = 0;
    std::int16_t m_SlotC = 0;
    std::int16_t m_SlotD = 0;
};
