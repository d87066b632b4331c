#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// The measuring input of the frequency/counter modules WP1 and WP2 (slot A
// 4 and 5): the function F1..F11 applied to the pulse inputs A and B, the
// pulses per revolution and the engineering unit (0 Hz, 1 KHz, 2 rpm,
// 3 krpm, 4 rph, 5 krph) of each input, and the external command input
// C1..C5. WPxFunction is also the function context of the scale, counter,
// alarm and analogue-output classes. The writes store any value unchanged.
//
// Input B travels by three rules: the memory map always carries it, the
// auxiliary lines on model 3 (whatever the function), the report on model 3
// with F1 only.
//
// Memory map (frequency layout): words 4 function, 6 pulses A, 8 unit A,
// 10 pulses B, 12 unit B, 274 command input; the second word of each pair
// is left alone. Auxiliary lines 2, 3, 4, 137 and, on model 3, 5 and 6.
// Every map operation acts only for slot-A codes 4 and 5 of the CModInstr it
// is given, and none of them touches g_Scala or g_ScalaB.
class CRangeWP12 : public CParameterClass<CRangeWP12>, public InstrumentContext {
public:
    // The limits of either input's pulses per revolution: their rules and the
    // page's spins.
    static constexpr std::int32_t kPulsesMin = 1;
    static constexpr std::int32_t kPulsesMax = 9999;

    CRangeWP12();

    std::int16_t WPxFunction() const { return m_WPxFunction; }
    std::int16_t ImpGiroA() const { return m_ImpGiroA; }
    std::int16_t UnitaIngA() const { return m_UnitaIngA; }
    std::int16_t ImpGiroB() const { return m_ImpGiroB; }
    std::int16_t UnitaIngB() const { return m_UnitaIngB; }
    std::int16_t DigitalInFunction() const { return m_DigitalInFunction; }
    void SetWPxFunction(std::int16_t v) { m_WPxFunction = v; }
    void SetImpGiroA(std::int16_t v) { m_ImpGiroA = v; }
    void SetUnitaIngA(std::int16_t v) { m_UnitaIngA = v; }
    void SetImpGiroB(std::int16_t v) { m_ImpGiroB = v; }
    void SetUnitaIngB(std::int16_t v) { m_UnitaIngB = v; }
    void SetDigitalInFunction(std::int16_t v) { m_DigitalInFunction = v; }

    // The stored values, then the instrument context.
    static void CopyProperties(const CRangeWP12 &from, CRangeWP12 &to);

    // g_Scala takes the electrical range of input A (ImpGiroA, UnitaIngA),
    // then g_ScalaB that of input B (ImpGiroB, UnitaIngB), for every
    // function, with this object's ModelloStrumento and SlotA. On model 3
    // input B holds what input A holds (pulses 1 to 9999, a unit of the
    // table): anything else raises SetupReadError naming the field, before
    // either scale changes. On a model without input B, pulses below 1 or a
    // unit outside the table (words of an unused input read from an
    // instrument) leave g_ScalaB unchanged.
    void SetElettricScale();

    // Function (5633 for F1 on a model other than 3), input A, input B on
    // model 3 with F1 only, command input.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // A function, unit or command code outside its table, or pulses outside
    // 1 to 9999, raise SetupReadError naming the field and change nothing.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // The function number and the pulses are read whole, unit and command
    // codes from their last character. A missing line, a text that is not a
    // number, a code outside its table or pulses outside 1 to 9999 raise
    // SetupReadError and change nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_WPxFunction = 0;
    std::int16_t m_ImpGiroA = 1;
    std::int16_t m_UnitaIngA = 0;
    std::int16_t m_ImpGiroB = 1;
    std::int16_t m_UnitaIngB = 0;
    std::int16_t m_DigitalInFunction = 0;
};
