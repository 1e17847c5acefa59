#pragma once

#include "device/chip_params.h"

#include <cstdint>

namespace zz {

// Word addresses of a 14-bit core's memories in an image file (HEX byte address = 2 x word):
// program memory below `program_end`, the four user ID words (one ID byte in each low byte),
// configuration words 1 and 2, and data EEPROM (one byte in the low byte of each word).
struct MidrangeLayout {
    std::int64_t program_end;
    std::int64_t id;
    std::int64_t config;
    std::int64_t eeprom;
};

// A 12-bit core's image: its configuration word and its data EEPROM (one byte per word), the
// user ID in the four words after program memory.
inline constexpr std::int64_t kConfigWord12 = 0xFFF;
inline constexpr std::int64_t kEepromWord12 = 0x2100;

inline constexpr MidrangeLayout kClassicLayout{0x2000, 0x2000, 0x2007, 0x2100};
inline constexpr MidrangeLayout kEnhancedLayout{0x8000, 0x8000, 0x8007, 0xF000};

// The layout the chip's own toolchains write.
inline const MidrangeLayout& midrange_layout(const ChipParams& chip) {
    return is_enhanced_midrange(chip) ? kEnhancedLayout : kClassicLayout;
}

} // namespace zz
