#pragma once
#include <cstdint>

// The codes of the instrument model and of the module in each slot, as
// CModInstr stores them (and as the database column and CodificaModuli
// hold them). They stay plain 16-bit integers: a stored value outside the
// known codes is kept unchanged and must still compare.

namespace ModelCode {
inline constexpr std::int16_t Oxa12 = 0;
inline constexpr std::int16_t Oxa14 = 1;
inline constexpr std::int16_t Ivr = 2;
inline constexpr std::int16_t Oxa16 = 3;
} // namespace ModelCode

// Slot A: the input module.
namespace SlotACode {
inline constexpr std::int16_t MVA = 0;  // low-signal input
inline constexpr std::int16_t MVBC = 1; // low-signal variants MVB/MVC
inline constexpr std::int16_t HVA = 2;  // high-signal input
inline constexpr std::int16_t GKP = 3;  // temperature input
inline constexpr std::int16_t WP1 = 4;  // frequency/counter input
inline constexpr std::int16_t WP2 = 5;  // frequency/counter input
inline constexpr std::int16_t MVZ = 6;  // master input
} // namespace SlotACode

// Slot B: the serial module or the analogue output.
namespace SlotBCode {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t QD = 1;
inline constexpr std::int16_t QE = 2;
inline constexpr std::int16_t BN = 3;
} // namespace SlotBCode

// Slot C: the relays, the analogue output, or (slot A MVZ only) an extra
// input of the master family.
namespace SlotCCode {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t Y1 = 1;   // one relay
inline constexpr std::int16_t Y2 = 2;   // two relays
inline constexpr std::int16_t Y4Y5 = 3; // four relays
inline constexpr std::int16_t BN = 4;
inline constexpr std::int16_t MvzExtraFirst = 5;
inline constexpr std::int16_t MvzExtraLast = 7;
} // namespace SlotCCode

// Slot D: the analogue output, or (slot A MVZ only) an extra input of the
// master family.
namespace SlotDCode {
inline constexpr std::int16_t None = 0;
inline constexpr std::int16_t BN = 1;
inline constexpr std::int16_t MvzExtraFirst = 2;
inline constexpr std::int16_t MvzExtraLast = 4;
} // namespace SlotDCode

// The predicates take the wider integer, so that a code held in a 32-bit
// value (the scale objects' parameters) is never narrowed on the way.
namespace ModuleCodes {

// WP1 or WP2: the frequency/counter modules, which use the frequency layout.
constexpr bool IsFrequencyModule(std::int32_t slotA)
{
    return slotA == SlotACode::WP1 || slotA == SlotACode::WP2;
}

// MVA, MVB/MVC or HVA: the inputs the low/high-signal ranges serve.
constexpr bool IsLowHighSignalModule(std::int32_t slotA)
{
    return slotA >= SlotACode::MVA && slotA <= SlotACode::HVA;
}

// Model 0 on its own inputs (slot A MVA to GKP): the display choice between
// "1999" and "9990" (CDisplay's DisplayDigit) exists only there.
constexpr bool OffersDisplayChoice(std::int32_t model, std::int32_t slotA)
{
    return model == ModelCode::Oxa12 && slotA <= SlotACode::GKP;
}

// A QD or QE in slot B: the serial module.
constexpr bool HasSerialModule(std::int32_t slotB)
{
    return slotB == SlotBCode::QD || slotB == SlotBCode::QE;
}

// A BN fitted in any slot: the analogue output.
constexpr bool HasAnalogOutput(std::int32_t slotB, std::int32_t slotC, std::int32_t slotD)
{
    return slotB == SlotBCode::BN || slotC == SlotCCode::BN || slotD == SlotDCode::BN;
}

// The relays (alarms) a slot-C code fits: Y1 one, Y2 two, Y4/Y5 four, any
// other code none.
constexpr int RelayCount(std::int32_t slotC)
{
    switch (slotC) {
    case SlotCCode::Y1: return 1;
    case SlotCCode::Y2: return 2;
    case SlotCCode::Y4Y5: return 4;
    default: return 0;
    }
}

} // namespace ModuleCodes
