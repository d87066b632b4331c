#pragma once
#include "CParameterClassBase.h"
#include "WPxFunctionCodes.h"

#include <cstdint>

class CModInstr;

// The two pulse counters of the frequency/counter modules (slot-A codes 4
// and 5), in use for the counter functions of WPxFunction: 7 (F8, channel-A
// counter), 8 (F9, channel-B counter), 9 (F10, both counters) and 10 (F11,
// counter A and the sum A+B). For each counter: the decimal point of its
// display, its prescaler (the weight of one pulse, a count scaled by the
// prescaler's decimal point) and that decimal point. On F10 and F11 it also
// holds channel A's electrical scale, which CInOutScale holds otherwise.
//
// Frequency-layout words (shared with the channel scales, see
// CInOutScale.h): 14, 16/17, 18/19 channel A's electrical scale (F10, F11);
// 26, 28/29, 30 counter A (F8, F10, F11); 38, 40/41, 36 counter B (F9, F10,
// F11). Lines: 7..9 (F10, F11), 13..15 (counter A), 19, 20, 18 (counter B).
// Other slot-A codes: nothing.
class CCounterAB : public CParameterClass<CCounterAB> {
public:
    CCounterAB();

    // Decimal-point values and counts; the writes store any value unchanged.
    std::int32_t ElectricDigitalPoint() const { return m_ElectricDigitalPoint; }
    std::int32_t MinElectricScale() const { return m_MinElectricScale; }
    std::int32_t MaxElectricScale() const { return m_MaxElectricScale; }
    std::int32_t MeasureDigitalPointCounterA() const { return m_MeasureDigitalPointCounterA; }
    std::int32_t CounterAPulseWeight() const { return m_CounterAPulseWeight; }
    std::int32_t CounterADigitalPoint() const { return m_CounterADigitalPoint; }
    std::int32_t MeasureDigitalPointCounterB() const { return m_MeasureDigitalPointCounterB; }
    std::int32_t CounterBPulseWeight() const { return m_CounterBPulseWeight; }
    std::int32_t CounterBDigitalPoint() const { return m_CounterBDigitalPoint; }
    void SetElectricDigitalPoint(std::int32_t v) { m_ElectricDigitalPoint = v; }
    void SetMinElectricScale(std::int32_t v) { m_MinElectricScale = v; }
    void SetMaxElectricScale(std::int32_t v) { m_MaxElectricScale = v; }
    void SetMeasureDigitalPointCounterA(std::int32_t v) { m_MeasureDigitalPointCounterA = v; }
    void SetCounterAPulseWeight(std::int32_t v) { m_CounterAPulseWeight = v; }
    void SetCounterADigitalPoint(std::int32_t v) { m_CounterADigitalPoint = v; }
    void SetMeasureDigitalPointCounterB(std::int32_t v) { m_MeasureDigitalPointCounterB = v; }
    void SetCounterBPulseWeight(std::int32_t v) { m_CounterBPulseWeight = v; }
    void SetCounterBDigitalPoint(std::int32_t v) { m_CounterBDigitalPoint = v; }

    // Context value, never stored: the function of the frequency/counter
    // module, 0 to 10 for F1 to F11.
    void SetWPxFunction(std::int16_t v) { m_WPxFunction = v; }
    std::int16_t WPxFunction() const { return m_WPxFunction; }

    // The nine stored values, then WPxFunction (ClassName is not copied).
    static void CopyProperties(const CCounterAB &from, CCounterAB &to);

    // The counters' displays run from 0 to 999999: on F8 counter A and on F9
    // counter B go to g_ScalaB; on F10 and F11 counter A goes to g_Scala and
    // counter B to g_ScalaB; any other function changes neither.
    static constexpr std::int32_t kCounterDisplayEnd = 999999;
    void SetDisplayScale() const;

    // Sections by WPxFunction (the slot-A code plays no part): channel A's
    // electrical range (F10, F11, with the unit of g_Scala), counter A (F8,
    // F10, F11), counter B (F9, F10, F11). Numbers use the locale's separator.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // All nine values whatever the function: counts as 32-bit pairs (low
    // word first), the counters' decimal points always in the six-digit
    // family, the electrical one on model 3 only.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // The electrical lines always, the counters by the function line read
    // (WPxFunction is not changed). A missing line, a count that does not
    // convert or an unknown decimal-point text raises SetupReadError and
    // changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    // The five decimal points: those of the scale tables.
    std::span<const FieldRule> FieldRules() const override;

private:
    // F10 and F11; a code above the table (the setter stores any value)
    // has no section here.
    bool electricInUse() const
    {
        return WPxFunctions::IsKnown(m_WPxFunction) && WPxFunctions::CountersTakeChannelA(m_WPxFunction);
    }
    bool counterAInUse() const { return WPxFunctions::UsesCounterA(m_WPxFunction); }
    bool counterBInUse() const { return WPxFunctions::UsesCounterB(m_WPxFunction); }

    std::int32_t m_ElectricDigitalPoint = 0;
    std::int32_t m_MinElectricScale = 0;
    std::int32_t m_MaxElectricScale = 0;
    std::int32_t m_MeasureDigitalPointCounterA = 0;
    std::int32_t m_CounterAPulseWeight = 0;
    std::int32_t m_CounterADigitalPoint = 0;
    std::int32_t m_MeasureDigitalPointCounterB = 0;
    std::int32_t m_CounterBPulseWeight = 0;
    std::int32_t m_CounterBDigitalPoint = 0;

    std::int16_t m_WPxFunction = 0;
};
