#pragma once

#include <string>
#include <string_view>

namespace zz {

// The character of the byte given by the first two hex digits: the byte itself from " " to "~",
// "." otherwise and when fewer than two digits are given.
std::string showchar2bit(std::string_view hex);

// The characters of a word's two bytes (digits 1-2, then 3-4); a missing pair shows ".".
std::string showchar4bit(std::string_view hex);

// The printable text of a blank program cell for the memory organisation `CHIPbit`.
std::string_view blank_rom_view(int chip_bit);

// The printable text of a blank EEPROM cell.
inline constexpr std::string_view kBlankEepromView = ".";

} // namespace zz
