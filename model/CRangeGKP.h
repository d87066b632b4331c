#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// The measuring input of the temperature module GKP (slot A 3): the probe
// (0 thermocouple "tc", 1 RTD "rtd", 2 resistance "rESi"), the range r1..r6
// within that probe's table, the cold-junction compensation (0 automatic
// "Auto", 1 manual "nAn") with its manual temperature in whole degrees, and
// the external command input C1..C3. The writes store any value unchanged.
//
// Memory map (base layout): word 1 range, 2 probe, 3 compensation, 88
// command input, 108 the manual temperature (the register 0xE06C after the
// register window). Auxiliary lines 1, 2, 3, 88 and 108. Every map
// operation acts only for slot-A code 3 of the CModInstr it is given.
class CRangeGKP : public CParameterClass<CRangeGKP>, public InstrumentContext {
public:
    // The cold junction's manual temperature limits (°C): its rule and the
    // page's spin.
    static constexpr std::int32_t kTempCJCMin = 0;
    static constexpr std::int32_t kTempCJCMax = 50;

    CRangeGKP();

    std::int16_t ProbeSelect() const { return m_ProbeSelect; }
    std::int16_t CJC() const { return m_CJC; }
    std::int16_t TempCJC() const { return m_TempCJC; }
    std::int16_t Range() const { return m_Range; }
    std::int16_t DigitalInFunction() const { return m_DigitalInFunction; }
    void SetProbeSelect(std::int16_t v) { m_ProbeSelect = v; }
    void SetCJC(std::int16_t v) { m_CJC = v; }
    void SetTempCJC(std::int16_t v) { m_TempCJC = v; }
    void SetRange(std::int16_t v) { m_Range = v; }
    void SetDigitalInFunction(std::int16_t v) { m_DigitalInFunction = v; }

    // The stored values, then the instrument context.
    static void CopyProperties(const CRangeGKP &from, CRangeGKP &to);

    // g_Scala takes the electrical limits of (ModelloStrumento, SlotA, Range,
    // ProbeSelect) from this object's own properties.
    void SetElettricScale();

    // Probe; for a thermocouple the compensation and the thermocouple range,
    // for RTD and resistance their range; then the command input.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // Probe, range, compensation and command codes outside their tables raise
    // SetupReadError; then g_Scala takes the range for the model and slot-A
    // code of modInstr. A failure changes nothing.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // All five lines whatever the probe and the compensation. A probe code
    // without a mnemonic raises SetupReadError ("Errore valore
    // ConvProbeSelect") and writes no line.
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // "Auto" (exactly) is automatic compensation, any other text manual. A
    // missing line, an unknown probe mnemonic, a code whose last character is
    // not a digit or that falls outside its table, or a temperature that is
    // not a number raises SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_ProbeSelect = 0;
    std::int16_t m_CJC = 0;
    std::int16_t m_TempCJC = 0;
    std::int16_t m_Range = 0;
    std::int16_t m_DigitalInFunction = 0;
};
