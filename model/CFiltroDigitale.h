#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// The instrument's digital filter: its operating range Campo (FiL.S) and its
// filtering coefficient Coeff (FiL.C). With a frequency/counter module
// (slot-A codes 4 and 5) Campo is in tenths of a percent; with any other
// module it is in display units, scaled by the display decimal point of
// channel A (g_Scala).
//
// Words and lines, by the slot-A code of the configuration:
//   0..3, 6   words 81, 82    lines 81, 82
//   4, 5      words 266, 268  lines 133, 134
//   other     nothing
class CFiltroDigitale : public CParameterClass<CFiltroDigitale>, public InstrumentContext {
public:
    // The largest filtering coefficient: its rule's and the page's spin's.
    static constexpr std::int32_t kCoeffMax = 32;

    CFiltroDigitale();

    // The writes store any value unchanged.
    std::int16_t Campo() const { return m_Campo; }
    std::int16_t Coeff() const { return m_Coeff; }
    void SetCampo(std::int16_t v) { m_Campo = v; }
    void SetCoeff(std::int16_t v) { m_Coeff = v; }

    // Context value, never stored, besides the instrument context.
    std::int16_t DisplayDigit() const { return m_DisplayDigit; }
    void SetDisplayDigit(std::int16_t v) { m_DisplayDigit = v; }

    // Campo, Coeff, then the three context values.
    static void CopyProperties(const CFiltroDigitale &from, CFiltroDigitale &to);

    // Two rows: the range ("12.5 %" with a frequency/counter module in the
    // SlotA property, else in the display decimals of g_Scala, no unit) and
    // the coefficient. Numbers use the locale's separator.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // FiL.S as Campo x 0.1 ("##0.0") or in the display decimals of g_Scala,
    // with "." whatever the locale; FiL.C as Coeff.
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // FiL.S: the digits of its value without the points ("12.5" gives 125);
    // FiL.C: the integer value. A missing line or a value that is not a
    // 16-bit whole number raises SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_Campo = 0;
    std::int16_t m_Coeff = 0;
    std::int16_t m_DisplayDigit = 0;
};
