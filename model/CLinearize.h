#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <array>
#include <cstdint>

class CModInstr;
class CScaleMisuraDisplay;

// The linearisation curve of one display channel: a broken line of up to 16
// points, each pairing an input value (electrical units, scaled by
// ElectricDigitalPoint) with the value displayed for it (display units,
// scaled by the display decimal point of the channel). NumSpezzate says how
// many points, counted from index 0, are in use; all 16 exist, are stored and
// travel in the memory map.
//
// Two instances: "CLinearize" serves channel A, any other name (the setup
// collection uses "CLinearizeB") channel F, the second display line of the
// frequency/counter modules. The name is compared exactly.
//
// Where the values go, by the slot-A code of the configuration:
//   0, 1, 2, 6  words 12 (NumSpezzate), 13 + 2i / 14 + 2i (low words of the
//               points), lines 12, 13 + 2i / 14 + 2i, gated by line 11
//   4, 5  A     words 44, 46 + 4i / 48 + 4i (32-bit), lines 22, 23 + 2i /
//               24 + 2i, gated by line 21
//   4, 5  F     words 112, 114 + 4i / 116 + 4i (32-bit), lines 56, 57 + 2i /
//               58 + 2i, gated by line 55
//   3, other    nothing
class CLinearize : public CParameterClass<CLinearize>, public InstrumentContext {
public:
    // The points of the curve: at most kPoints, at least kFewestPoints (the
    // rule of NumSpezzate and the page's list).
    static constexpr int kPoints = 16;
    static constexpr int kFewestPoints = 2;

    CLinearize();

    // True when the display scale of the channel runs downward (its end below
    // its start): g_Scala for "CLinearize", g_ScalaB otherwise.
    bool ScalaInvertita() const;

    std::int16_t NumSpezzate() const { return m_NumSpezzate; }
    // index 0..15; any other index raises run-time error 9 (subscript out of
    // range).
    std::int32_t CoordinateIn(std::int16_t index) const;
    std::int32_t CoordinateOut(std::int16_t index) const;
    // The writes store any value unchanged (NumSpezzate 40 included).
    void SetNumSpezzate(std::int16_t v) { m_NumSpezzate = v; }
    void SetCoordinateIn(std::int16_t index, std::int32_t v);
    void SetCoordinateOut(std::int16_t index, std::int32_t v);

    // Context values, never stored, besides the instrument context: the
    // electrical scale of the channel's CInOutScale and the display digits.
    std::int32_t ElectricDigitalPoint() const { return m_ElectricDigitalPoint; }
    std::int32_t MinElectricScale() const { return m_MinElectricScale; }
    std::int32_t MaxElectricScale() const { return m_MaxElectricScale; }
    void SetElectricDigitalPoint(std::int32_t v) { m_ElectricDigitalPoint = v; }
    void SetMinElectricScale(std::int32_t v) { m_MinElectricScale = v; }
    void SetMaxElectricScale(std::int32_t v) { m_MaxElectricScale = v; }
    void SetDisplayDigit(std::int16_t v) { m_DisplayDigit = v; }
    std::int16_t DisplayDigit() const { return m_DisplayDigit; }

    // True for the channel-A instance (ClassName exactly "CLinearize").
    bool IsChannelA() const;

    // ClassName first, then NumSpezzate, the 16 point pairs and the context.
    static void CopyProperties(const CLinearize &from, CLinearize &to);

    // Header row (number of points), then an input and an output row for
    // each point in use (at most 16), labelled from the zero-based index.
    // The slot-A code is the SlotA property.
    void SetReport(ReportRecordset &report) const override;
    // All 16 points whatever NumSpezzate is.
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // Nothing when the channel's switch line (written before by its
    // CInOutScale) reads the "off" text; otherwise the NumSpezzate line and
    // the lines of the points in use (at most 16).
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // NumSpezzate, then the points in use (at most 16): the line digits
    // without their points are the scaled value, 16-bit in the base layout,
    // 32-bit in the frequency layout. Points at NumSpezzate and above are
    // never sent, so they keep their values. A missing line or a text that
    // does not convert raises SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    void Columns(ColumnVisitor &c) override;
    std::span<const FieldRule> FieldRules() const override;
    // The base layout carries each point of the curve in one 16-bit word:
    // the points in use must fit one (the others do not travel).
    std::vector<FieldRule> ContextRules() const override;

private:
    // The channel's display scale object for the output values: g_ScalaB for
    // channel F on the frequency/counter modules, g_Scala otherwise.
    CScaleMisuraDisplay &outputScale(std::int16_t slotA) const;
    static void checkIndex(std::int16_t index);

    std::int16_t m_NumSpezzate = 2;
    std::array<std::int32_t, kPoints> m_CoordinateIn{};
    std::array<std::int32_t, kPoints> m_CoordinateOut{};

    std::int32_t m_ElectricDigitalPoint = 0;
    std::int32_t m_MinElectricScale = 0;
    std::int32_t m_MaxElectricScale = 0;
    std::int16_t m_DisplayDigit = 0;
};
