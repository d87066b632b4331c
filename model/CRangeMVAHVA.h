#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// The measuring input of the low-signal modules (slot A 0 MVA, 1 MVB/MVC)
// and of the high-signal module (slot A 2 HVA): the range r1..r6, TRMS or
// DC measure, the integration time and the external command input C1..C3.
// The writes store any value unchanged.
//
// Memory map (base layout): word 1 range, 2 measure type, 3 integration time
// (999 automatic, else the manual time in tenths of a millisecond), 88
// command input. Auxiliary lines 1, 2, 3 and 88. Every map operation acts
// only for slot-A codes 0..2 of the CModInstr it is given.
class CRangeMVAHVA : public CParameterClass<CRangeMVAHVA>, public InstrumentContext {
public:
    // The manual integration time's limits (tenths of a millisecond): its
    // rule and the page's spin.
    static constexpr std::int32_t kIntTimeMin = 1000;
    static constexpr std::int32_t kIntTimeMax = 9999;

    CRangeMVAHVA();

    std::int16_t Range() const { return m_Range; }
    std::int16_t MeasureType() const { return m_MeasureType; }
    std::int16_t IntegrationTime() const { return m_IntegrationTime; }
    std::int16_t IntTime() const { return m_IntTime; }
    std::int16_t DigitalInFunction() const { return m_DigitalInFunction; }
    void SetRange(std::int16_t v) { m_Range = v; }
    void SetMeasureType(std::int16_t v) { m_MeasureType = v; }
    void SetIntegrationTime(std::int16_t v) { m_IntegrationTime = v; }
    void SetIntTime(std::int16_t v) { m_IntTime = v; }
    void SetDigitalInFunction(std::int16_t v) { m_DigitalInFunction = v; }

    // The stored values, then the instrument context.
    static void CopyProperties(const CRangeMVAHVA &from, CRangeMVAHVA &to);

    // g_Scala takes the electrical limits of (ModelloStrumento, SlotA,
    // Range) from this object's own properties.
    void SetElettricScale();

    // Measure type, integration time, range (high-signal texts for SlotA 2
    // only) and command input.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // A word 3 of 1000 or more is a manual time; anything smaller reads as
    // automatic with 1000. Range, measure type and command codes outside
    // their tables raise SetupReadError. Then g_Scala takes the range for the
    // model and slot-A code of modInstr. A failure changes nothing.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // "99.9" is automatic; any other time is manual, its points removed. A
    // missing line, a code whose last character is not a digit or that falls
    // outside its table, or a time that is not a number raises
    // SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_Range = 0;
    std::int16_t m_MeasureType = 0;
    std::int16_t m_IntegrationTime = 0;
    std::int16_t m_IntTime = 1000;
    std::int16_t m_DigitalInFunction = 0;
};
