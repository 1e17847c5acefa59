#pragma once

#include <array>
#include <string_view>

namespace zz {

// One item of the chip family selector: the text shown, the list file that names its chips
// (after the folder and the programmer model number) and the chip chosen when the family changes.
struct ChipFamily {
    std::string_view text;
    std::string_view list_suffix;
    std::string_view default_chip;
};

inline constexpr std::string_view kAllChipFamily = "All Chip";
inline constexpr std::string_view kEepromFamily = "I2C/SPI EEPROM";

// The selector's items in their order.
inline constexpr std::array<ChipFamily, 5> kChipFamilies{{
    {"PIC 12bit MCU", "-chip12bit.ini", "10F200"},
    {"PIC 14bit MCU", "-chip14bit.ini", "12F629"},
    {"PIC 16bit MCU", "-chip16bit.ini", "18F452"},
    {kEepromFamily, "-eeprom.ini", "24xx01"},
    {kAllChipFamily, "-chip.ini", "16F877A"},
}};

// The family with exactly this text, or nullptr (the selector is editable).
const ChipFamily* find_chip_family(std::string_view text);

// Models 1 and 4 have no serial EEPROM support: their EEPROM family falls back to "All Chip".
bool model_supports_serial_eeproms(int model);

} // namespace zz
