#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zz {

// Where the serial number lies and how it counts: the keys of section "INC" but inc_enabled,
// which the buffer holds as SerialNumberEnabled (blanking the buffer switches numbering off).
struct SerialSettings {
    std::int32_t inc_start_add = 0; // word address in program memory, byte address in EEPROM
    std::int32_t inc_end_add = 0;   // inclusive
    std::int32_t inc_step = 1;
    bool inc_rom = true;
    bool inc_eeprom = false; // used when inc_rom is false; neither: the user ID
    bool inc_hiadd = false;  // the least significant unit is at the end address
    bool inc_nohigh = false; // count in the low byte of each program word
    bool inc_16bit = true;   // Hex; false: Dec, one decimal digit per hex digit
    bool inc_save = false;   // after the increment, save the buffer to the current file

    bool operator==(const SerialSettings&) const = default;
};

enum class SerialRegion { rom, eeprom, id };
SerialRegion serial_region(const SerialSettings& serial);

// How a number counts, apart from where it lies: enough to advance the number's text as ser_inc
// advances the buffer, so a shared sequence keeps one numbering rule.
struct SerialCounting {
    enum class Kind {
        units,   // program-memory or EEPROM units, each carrying into the next
        user_id, // the last eight digits as one 32-bit number (Hex only)
        none,    // the user ID in Dec format or on a core without one: the number stays
    };
    Kind kind = Kind::units;
    int width = 4;                  // units: characters per unit; user_id: digits kept before the
                                    // last eight (8 on a 16-bit core, else 0)
    std::int64_t modulus = 0x10000; // units: the range of one unit
    bool hex = true;                // units: Hex; false: Dec, one decimal digit per character
    std::int32_t step = 1;

    bool operator==(const SerialCounting&) const = default;
};

SerialCounting serial_counting(const ChipParams& chip, const SerialSettings& serial);

// The number after `text` (as serial_text gives it): units split from the right, `width`
// characters each (a shorter leftover is the most significant unit), advanced as ser_inc does.
std::string next_serial_text(std::string_view text, const SerialCounting& counting);

// Advances the number once (ser_inc): the units from the least significant one on, each unit
// carrying into the next; past the last unit the number wraps. The checksum is recomputed,
// except for the user ID, which it does not cover. Touches nothing but `buffer`, so sessions on
// other threads may each run it on their own buffer.
void ser_inc(const ChipParams& chip, Buffer& buffer, const SerialSettings& serial);

// The number as the buffer holds it: the units' texts, most significant first, run together
// ("0006" "0000" gives "00060000"), or the user ID's text.
std::string serial_text(const ChipParams& chip, const Buffer& buffer, const SerialSettings& serial);

// Puts the number that `from` holds into `to`: the units' texts (the rest of each cell stays) or
// the user ID.
void copy_serial_number(const ChipParams& chip, const Buffer& from, Buffer& to,
                        const SerialSettings& serial);

// Writes a number given as serial_text gives it (a sequence's value: the units' texts, most
// significant first, or the user ID's digits with or without "0x") into the serial cells; the
// rest of each cell stays and the checksum is recomputed. Throws std::invalid_argument, with the
// buffer unchanged, when the text is not hex, has another length than the cells hold, or a unit
// exceeds what its cell can hold.
void set_serial_text(const ChipParams& chip, Buffer& buffer, const SerialSettings& serial,
                     std::string_view text);

// Whether the number can be saved back to the image file (the writers of 12-, 14- and 16-bit
// cores; serial EEPROM images are not written back).
bool serial_save_possible(const ChipParams& chip);

} // namespace zz
