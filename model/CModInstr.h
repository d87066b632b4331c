#pragma once
#include "CParameterClassBase.h"
#include "ModuleCodes.h"

#include <cstdint>

// The model object of a configuration: its name, the instrument model and
// the module in each of the slots A to D, and their packed form
// CodificaModuli, the 32-bit value the instrument reports.
//
// The codes are named in ModuleCodes.h (ModelCode, SlotACode .. SlotDCode).
// Model codes: 0 OXA 12, 1 OXA 14, 2 IVR, 3 OXA 16.
// Slot A: 0 MVA, 1 MVB/MVC, 2 HVA, 3 GKP, 4 WP1, 5 WP2, 6 MVZ.
// Slot B: 0 none, 1 QD, 2 QE, 3 BN.
// Slot C: 0 none, 1 Y1, 2 Y2, 3 Y4/Y5, 4 BN, 5..7 MVZ extra inputs (slot A 6).
// Slot D: 0 none, 1 BN, 2..4 MVZ extra inputs (slot A 6).
class CModInstr : public CParameterClass<CModInstr> {
public:
    CModInstr();

    QString NomeProgramma() const { return m_NomeProgramma; }
    void SetNomeProgramma(const QString &v) { m_NomeProgramma = v; }
    std::int16_t ModelloStrumento() const { return m_ModelloStrumento; }
    std::int16_t SlotA() const { return m_SlotA; }
    std::int16_t SlotB() const { return m_SlotB; }
    std::int16_t SlotC() const { return m_SlotC; }
    std::int16_t SlotD() const { return m_SlotD; }
    // The writes store any value unchanged.
    void SetModelloStrumento(std::int16_t v) { m_ModelloStrumento = v; }
    void SetSlotA(std::int16_t v) { m_SlotA = v; }
    void SetSlotB(std::int16_t v) { m_SlotB = v; }
    void SetSlotC(std::int16_t v) { m_SlotC = v; }
    void SetSlotD(std::int16_t v) { m_SlotD = v; }

    // Bits 0-3 relays of slot C (0x1 Y1, 0x3 Y2, 0xF Y4/Y5); bit 4 a BN
    // anywhere; bit 8 QE, bit 9 QD; bits 10-12 slot A; bits 14-15 the model
    // (0x8000 model 1, 0xC000 model 2, 0x4000 model 3); with slot A 6 only,
    // bits 16-18 slot C 5..7 and bits 19-21 slot D 2..4.
    std::int32_t CodificaModuli() const;
    // Decodes a value into model and slots; NomeProgramma is kept.
    void SetCodificaModuli(std::int32_t value);

    static void CopyProperties(const CModInstr &from, CModInstr &to);

    void SetReport(ReportRecordset &report) const override;
    void Columns(ColumnVisitor &c) override;
    // The codes of the model and of each slot; the extra inputs of slots C
    // and D (codes 5 to 7, 2 to 4) only with the master input in slot A,
    // since the module coding carries them for that module alone; beside
    // any other input, a BN in slot B leaves slot C none of its BN.
    std::span<const FieldRule> FieldRules() const override;
    std::vector<FieldRule> ContextRules() const override;

private:
    QString m_NomeProgramma;
    std::int16_t m_ModelloStrumento = 1;
    std::int16_t m_SlotA = 0;
    std::int16_t m_SlotB = 0;
    std::int16_t m_SlotC = 0;
    std::int16_t m_SlotD = 0;
};
