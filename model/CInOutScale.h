#pragma once
#include "CParameterClassBase.h"
#include "InstrumentContext.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

class CModInstr;
class CScaleMisuraDisplay;

// Where the scale of one channel lives in the frequency layout of the memory
// map (slot-A codes 4 and 5). A 32-bit value takes the word given and the
// next one (low word first); a decimal point takes one word, its number of
// decimals. The channel-A electrical words (14 to 19) and the channel-F words
// 30, 36 and 38 to 41 are shared with the counters (CCounterAB), which use
// them for F10/F11 and for their counter settings: which object writes them
// follows from the validity rules of the setup collection.
struct FreqScaleWords {
    std::size_t electricDigitalPoint;
    std::size_t minElectricScale;
    std::size_t maxElectricScale;
    std::size_t measureDigitalPoint;
    std::size_t minMeasureScale;
    std::size_t maxMeasureScale;
    std::size_t linearizzazione;
};
inline constexpr FreqScaleWords kFreqScaleWordsA{14, 16, 18, 20, 22, 24, 42};
inline constexpr FreqScaleWords kFreqScaleWordsF{30, 32, 34, 36, 38, 40, 110};

// One auxiliary line: its index in MemMapAux and its string-table template.
struct AuxLinePlace {
    std::size_t index;
    std::int16_t templateId;
};

// The lines of the channel-A electrical scale of the frequency layout,
// written by the channel-A CInOutScale (F1 to F9) or by CCounterAB (F10/F11).
inline constexpr AuxLinePlace kFreqElectricDigitalPointLineA{7, 1705}; // "SCA.A>dP.E=|1"
inline constexpr AuxLinePlace kFreqMinElectricScaleLineA{8, 1706};     // "SCA.A>Lo.E=|1"
inline constexpr AuxLinePlace kFreqMaxElectricScaleLineA{9, 1707};     // "SCA.A>Hi.E=|1"

// The function line of the frequency/counter module ("Func>Func=F.|1"; the
// value is the function number 1 to 11). Channel F and the counters read
// their function from it when they read auxiliary lines back.
inline constexpr std::int16_t kFunctionLineTemplate = 1700;

// The linearisation switch line of a channel, written by the channel's
// CInOutScale before the channel's CLinearize looks at it. Its value is
// kLinearizzazioneOffText when the curve is off, kLinearizzazioneOnText when
// it is on. The base layout has one switch line (slot-A codes 0, 1, 2, 6);
// slot-A code 3 and codes outside 0..6 have none; the frequency layout has one
// per channel.
inline const QString kLinearizzazioneOffText = QStringLiteral("nonE");
inline const QString kLinearizzazioneOnText = QStringLiteral("YES");
inline constexpr AuxLinePlace kLinearizationSwitchLineBase{11, 1511}; // "Lin>Lin=|1"
inline constexpr AuxLinePlace kLinearizationSwitchLineA{21, 1717};    // "Lin.A>Lin.A=|1"
inline constexpr AuxLinePlace kLinearizationSwitchLineF{55, 1751};    // "Lin.F>Lin.F=|1"
std::optional<AuxLinePlace> LinearizationSwitchLine(std::int16_t slotA, bool channelA);
// The whole switch line with the curve on or off ("Lin>Lin=nonE").
QString LinearizationSwitchLineText(std::int16_t templateId, bool on);

// The electrical input scale and the display scale of one display channel,
// and the switch of its linearisation curve.
//
// Two instances: the one named "CInOutScale" serves channel A (the first
// display line); any other name (the setup collection uses "CInOutScaleB")
// serves channel F, the second display line of the frequency/counter
// modules. The name is compared exactly; GetData/SetData copy it first, so a
// copy keeps its channel (and its table).
//
// Words and lines, by the slot-A code of the configuration:
//   0, 1, 2, 6  words 6..10 (low words) and 11, lines 6..11
//   3           words 6..10, lines 6..10 (no linearisation)
//   4, 5  A     words 14, 16/17, 18/19, 20, 22/23, 24/25, 42; lines 7..12, 21
//   4, 5  F     words 30, 32/33, 34/35, 36, 38/39, 40/41, 110; lines 15..17
//               and 55 (function F1 only), 18..20
//   other       nothing
class CInOutScale : public CParameterClass<CInOutScale>, public InstrumentContext {
public:
    CInOutScale();

    // Decimal-point values: low word the number of decimals, high word the
    // display family (0 four digits, 1 six digits). Scales are counts in
    // those decimals. The writes store any value unchanged.
    std::int32_t ElectricDigitalPoint() const { return m_ElectricDigitalPoint; }
    std::int32_t MinElectricScale() const { return m_MinElectricScale; }
    std::int32_t MaxElectricScale() const { return m_MaxElectricScale; }
    std::int32_t MeasureDigitalPoint() const { return m_MeasureDigitalPoint; }
    std::int32_t MinMeasureScale() const { return m_MinMeasureScale; }
    std::int32_t MaxMeasureScale() const { return m_MaxMeasureScale; }
    // 0 off, 1 on (the values the rules take; the writers read any value
    // but 0 as on).
    std::int16_t Linearizzazione() const { return m_Linearizzazione; }
    void SetElectricDigitalPoint(std::int32_t v) { m_ElectricDigitalPoint = v; }
    void SetMinElectricScale(std::int32_t v) { m_MinElectricScale = v; }
    void SetMaxElectricScale(std::int32_t v) { m_MaxElectricScale = v; }
    void SetMeasureDigitalPoint(std::int32_t v) { m_MeasureDigitalPoint = v; }
    void SetMinMeasureScale(std::int32_t v) { m_MinMeasureScale = v; }
    void SetMaxMeasureScale(std::int32_t v) { m_MaxMeasureScale = v; }
    void SetLinearizzazione(std::int16_t v) { m_Linearizzazione = v; }

    // Context values, never stored, besides the instrument context.
    void SetMeasureType(std::int16_t v) { m_MeasureType = v; }
    std::int16_t MeasureType() const { return m_MeasureType; }
    void SetDisplayDigit(std::int16_t v) { m_DisplayDigit = v; }
    std::int16_t DisplayDigit() const { return m_DisplayDigit; }
    void SetWPxFunction(std::int16_t v) { m_WPxFunction = v; }
    std::int16_t WPxFunction() const { return m_WPxFunction; }

    // True for the channel-A instance (ClassName exactly "CInOutScale").
    bool IsChannelA() const;

    // ClassName, the seven stored values, then the five context values.
    static void CopyProperties(const CInOutScale &from, CInOutScale &to);

    // Publishes the display scale on the channel's scale object: g_Scala for
    // channel A, g_ScalaB otherwise.
    void SetDisplayScale() const;

    // Rows by the SlotA property: the electrical and the displayed scale of
    // the base layout (the linearisation row only off slot-A 3 and model 0),
    // or, for slot-A 4 and 5, the channel's electrical block (channel F only
    // on function F1) and its displayed block. Electrical values carry the
    // unit of the channel's own scale object (g_Scala for channel A, g_ScalaB
    // for channel F). Numbers use the locale's decimal separator.
    void SetReport(ReportRecordset &report) const override;
    void GetMemoryMap(const CModInstr &modInstr, MemMapWords &map) const override;
    // The base layout takes the electrical decimal point from g_Scala (the
    // map has no word for it): the range there must have one decimal point,
    // else SetupReadError. Words are sign-extended 16-bit values there, and
    // 32-bit pairs (low word first) in the frequency layout, where the
    // decimal points get the six-digit family on model 3 (channel F's
    // electrical one always).
    void SetUserSetup(const CModInstr &modInstr, const MemMapWords &map) override;
    // Scale values as the number of the decimal point with "." (any locale),
    // decimal points as their sample text, the switch "nonE" or "YES".
    // Channel F writes its electrical lines and its switch only on function
    // F1 (the WPxFunction property).
    void GetMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const override;
    // Finds the lines wherever they are. Channel F reads its electrical lines
    // and switch only on model 3 with the function line at F1. A missing
    // line, a value that does not convert (16-bit in the base layout), an
    // unknown decimal-point text or an empty switch value raises
    // SetupReadError and changes nothing.
    void SetUserSetupAux(const CModInstr &modInstr, const MemMapAuxLines &lines) override;

    // The linearisation switch alone, word or line, as the writers above put
    // it (word 11 or line 11 in the base layout off slot-A 3, the channel's
    // word and line in the frequency layout; nothing elsewhere). The setup
    // collection uses them for channel A on F10, where the counters own
    // channel A's scale but the curve and its switch are still channel A's.
    void GetLinearizzazioneMemoryMap(const CModInstr &modInstr, MemMapWords &map) const;
    void GetLinearizzazioneMemoryMapAux(const CModInstr &modInstr, MemMapAuxLines &lines) const;
    // Read the channel's switch word or line alone; a missing line or an
    // empty value raises SetupReadError and changes nothing. A layout
    // without a switch leaves it as it is.
    void SetLinearizzazioneMemoryMap(const CModInstr &modInstr, const MemMapWords &map);
    void SetLinearizzazioneAux(const CModInstr &modInstr, const MemMapAuxLines &lines);

    void Columns(ColumnVisitor &c) override;
    // Decimal points of the scale tables, the switch off (0) or on (1).
    std::span<const FieldRule> FieldRules() const override;
    // By the context's model and slot-A code: the base layout carries each
    // scale value in one 16-bit word and shows four digits; the frequency
    // layout shows six digits on model 3 only, and channel A's electrical
    // decimal point follows the display (channel F's is read back in the
    // six-digit family whatever the model, so either family stays).
    std::vector<FieldRule> ContextRules() const override;

private:
    CScaleMisuraDisplay &channelScale() const;

    std::int32_t m_ElectricDigitalPoint = 0;
    std::int32_t m_MinElectricScale = 0;
    std::int32_t m_MaxElectricScale = 0;
    std::int32_t m_MeasureDigitalPoint = 0;
    std::int32_t m_MinMeasureScale = 0;
    std::int32_t m_MaxMeasureScale = 0;
    std::int16_t m_Linearizzazione = 0;

    std::int16_t m_MeasureType = 0;
    std::int16_t m_DisplayDigit = 0;
    std::int16_t m_WPxFunction = 0;
};
