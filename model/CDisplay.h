#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <cstdint>

class CModInstr;

// The display settings of a configuration: the display choice (0 "1999",
// three and a half digits; 1 "9990", three digits and a fixed 0), the
// normal display colour (0 red "rEd", 1 amber "orAn", 2 green "GrEn") and
// the password of the instrument's menu (the user's setting for the
// instrument: stored, printed and sent like any other value). DisplayDigit
// is also the context value handed to the scale, linearization, filter and
// alarm objects. The writes store any value unchanged.
//
// Where the values go, by the slot-A code of the CModInstr passed:
//   0..3    words 0 password, 4 display choice, 5 colour;
//           lines 0 password, 4 display choice, 5 colour (every model)
//   4, 5    words 0 password, 2 colour;
//           lines 0 password, 1 colour (model 1 only)
//   other   nothing (6 included, although it uses the base layout)
class CDisplay : public CParameterClass<CDisplay>, public InstrumentContext {
public:
    // The password's limits: its rule and the page's spin.
    static constexpr std::int32_t kPasswordMin = 0;
    static constexpr std::int32_t kPasswordMax = 9000;

    CDisplay();

    std::int16_t DisplayDigit() const { return m_DisplayDigit; }
    std::int16_t DisplayColor() const { return m_DisplayColor; }
    std::int16_t Password() const { return m_Password; }
    void SetDisplayDigit(std::int16_t v) { m_DisplayDigit = v; }
    void SetDisplayColor(std::int16_t v) { m_DisplayColor = v; }
    void SetPassword(std::int16_t v) { m_Password = v; }

    // The stored values, then the instrument context, which only the report
    // reads.
    static void CopyProperties(const CDisplay &from, CDisplay &to);

    // Display choice (model 0 with slot A 3 or below), colour (model 1),
    // password without leading zeros (always).
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // Slot A 4 and 5 set DisplayDigit to 0. A display choice or colour
    // outside its table raises SetupReadError and changes nothing.
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // The password with at least four digits ("0007"). A colour code without
    // a mnemonic raises SetupReadError ("Errore valore ConvDisplayColor")
    // and writes no line.
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // The password as a decimal number ("0089" is 89); any display-choice
    // text but "1999" is 1; the colour by its exact mnemonic. Slot A 4 and 5
    // keep DisplayDigit. A missing line, a password that is not a 16-bit
    // number or an unknown colour raises SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;

private:
    std::int16_t m_DisplayDigit = 0;
    std::int16_t m_DisplayColor = 2;
    std::int16_t m_Password = 0;
};
