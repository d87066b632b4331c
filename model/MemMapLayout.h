#pragma once
#include "ModuleCodes.h"

#include <cstdint>

// The two layouts of the memory map and of the auxiliary lines. Which one a
// parameter object writes and reads is chosen by the slot-A code of the
// configuration: the base layout for the low/high-signal, temperature and
// master modules (0..3, 6), the frequency layout for the frequency/counter
// modules (4, 5); any other code has no layout and the object writes and
// reads nothing.
enum class MemMapLayout { None, MemMapBaseLayout, MemMapFreqLayout };

constexpr MemMapLayout MemMapLayoutForSlotA(std::int16_t slotA)
{
    switch (slotA) {
    case SlotACode::MVA:
    case SlotACode::MVBC:
    case SlotACode::HVA:
    case SlotACode::GKP:
    case SlotACode::MVZ: return MemMapLayout::MemMapBaseLayout;
    case SlotACode::WP1:
    case SlotACode::WP2: return MemMapLayout::MemMapFreqLayout;
    default: return MemMapLayout::None;
    }
}
