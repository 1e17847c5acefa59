// The serial number in the buffer: units, moduli, Hex and packed-decimal Dec, carries, wrap
// and the user ID.
#include "app/serial_number.h"

#include <gtest/gtest.h>

#include <vector>

namespace zz {
namespace {

ChipParams chip_of(int chip_bit, std::int64_t rom = 64, int eeprom = 16) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.ROMsize = rom;
    chip.EEPROMsize = eeprom;
    chip.ROMblank = chip_bit == 1 ? "0FFF" : chip_bit == 2 ? "3FFF" : chip_bit == 4 ? "FF" : "FFFF";
    return chip;
}

SerialSettings range(int start, int end, bool hex = true) {
    SerialSettings s;
    s.inc_start_add = start;
    s.inc_end_add = end;
    s.inc_16bit = hex;
    return s;
}

struct UnitCase {
    const char* what;
    int chip_bit;
    SerialSettings settings;
    std::vector<std::string> before; // cells from the start address on
    std::vector<std::string> after;
};

SerialSettings eeprom(SerialSettings s) {
    s.inc_rom = false;
    s.inc_eeprom = true;
    return s;
}
SerialSettings from_high(SerialSettings s) {
    s.inc_hiadd = true;
    return s;
}
SerialSettings low_byte(SerialSettings s) {
    s.inc_nohigh = true;
    return s;
}
SerialSettings step(SerialSettings s, int by) {
    s.inc_step = by;
    return s;
}

TEST(SerInc, UnitsCarryAndWrapByRegionCoreAndFormat) {
    const UnitCase cases[] = {
        {"14-bit word at its top carries",
         2,
         range(0x10, 0x11),
         {"3FFF", "0005"},
         {"0000", "0006"}},
        {"from the high address",
         2,
         from_high(range(0x10, 0x11)),
         {"0005", "3FFF"},
         {"0006", "0000"}},
        {"Dec EEPROM bytes", 2, eeprom(range(0, 2, false)), {"99", "99", "12"}, {"00", "00", "13"}},
        {"Dec 16-bit word wraps", 3, range(4, 4, false), {"9999", "1234"}, {"0000", "1234"}},
        {"Dec reads a blank 14-bit word as 3000", 2, range(0, 0, false), {"3FFF"}, {"3001"}},
        {"Dec 14-bit modulus is 4000", 2, range(0, 1, false), {"3999", "0001"}, {"0000", "0002"}},
        {"low byte only; the high byte stays",
         2,
         low_byte(range(0, 1)),
         {"34FF", "3405"},
         {"3400", "3406"}},
        {"12-bit modulus", 1, range(0, 1), {"0FFF", "0000"}, {"0000", "0001"}},
        {"Dec 12-bit modulus is 1000", 1, range(0, 1, false), {"0999", "0000"}, {"0000", "0001"}},
        {"16-bit word", 3, range(0, 1), {"FFFF", "00FF"}, {"0000", "0100"}},
        {"byte EEPROM ignores the low-byte option",
         4,
         low_byte(range(0, 1)),
         {"FF", "0A"},
         {"00", "0B"}},
        {"word EEPROM", 5, range(0, 0), {"FFFE"}, {"FFFF"}},
        {"text that is no hex reads -1", 2, range(0, 1), {"ZZZZ", "0007"}, {"0000", "0007"}},
        {"a larger step, one carry",
         2,
         eeprom(step(range(0, 1), 0x20)),
         {"F0", "05"},
         {"10", "06"}},
        {"lower-case digits read as hex", 2, range(0, 0), {"00ff"}, {"0100"}},
        // Only a hand-edited settings file gives such a step: the cell keeps its width.
        {"a step past the width", 2, eeprom(step(range(0, 1), 1000)), {"10", "05"}, {"F8", "06"}},
    };
    for (const UnitCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ChipParams chip = chip_of(c.chip_bit);
        Buffer buffer;
        buffer.clrbuffer(chip);
        const Area area = c.settings.inc_rom ? Area::rom : Area::eeprom;
        const auto start = static_cast<std::size_t>(c.settings.inc_start_add);
        for (std::size_t k = 0; k < c.before.size(); ++k)
            buffer.set_cell_and_view(area, start + k, c.before[k]);
        ser_inc(chip, buffer, c.settings);
        for (std::size_t k = 0; k < c.after.size(); ++k)
            EXPECT_EQ(buffer.cell(area, start + k), c.after[k]) << k;
    }
}

TEST(SerInc, ARangeReachingPastTheRegionStopsAtItsEnd) {
    const ChipParams chip = chip_of(2, 16, 8);
    Buffer buffer;
    buffer.clrbuffer(chip);
    buffer.set_cell_and_view(Area::eeprom, 7, "FF");
    ser_inc(chip, buffer, eeprom(range(7, 8)));
    EXPECT_EQ(buffer.cell(Area::eeprom, 7), "00");
    EXPECT_EQ(buffer.cell_count(Area::eeprom), 8u);
    // Wholly outside, or reversed: nothing changes.
    for (const SerialSettings& s : {range(-1, -1), range(5, 4), range(16, 20)}) {
        ser_inc(chip, buffer, s);
        for (std::size_t k = 0; k < buffer.cell_count(Area::rom); ++k)
            EXPECT_EQ(buffer.cell(Area::rom, k), "3FFF") << k;
    }
}

TEST(SerInc, ChecksumFollowsTheProgramMemoryButNotTheId) {
    const ChipParams chip = chip_of(2);
    Buffer buffer;
    buffer.clrbuffer(chip);
    buffer.lab_fuse(1) = "0x3FFF";
    buffer.lab_checksum = "stale";
    ser_inc(chip, buffer, range(0, 0));
    // 63 blank words, one word 0000 and the configuration word.
    EXPECT_EQ(buffer.lab_checksum.get(), "Checksum 0x" + std::string("FFC0"));

    SerialSettings id = range(-1, -1);
    id.inc_rom = false;
    buffer.lab_checksum = "stale";
    buffer.lab_id1 = "0x00000001";
    ser_inc(chip, buffer, id);
    EXPECT_EQ(buffer.lab_id1.get(), "0x00000002");
    EXPECT_EQ(buffer.lab_checksum.get(), "stale");
}

TEST(SerInc, UserIdInHexOnlyAndOnlyForMidrangeAndPic18) {
    struct Case {
        int chip_bit;
        bool hex;
        int step;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {2, true, 1, "0xFFFFFFFF", "0x00000000"},
        {3, true, 2, "0x1122334455667788", "0x112233445566778A"},
        {3, true, 1, "0x11223344FFFFFFFF", "0x1122334400000000"}, // no carry upwards
        {2, false, 1, "0x00000005", "0x00000005"},                // Dec: nothing
        {1, true, 1, "0x00000005", "0x00000005"},                 // 12-bit: nothing
        {5, true, 1, "0x00000005", "0x00000005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        const ChipParams chip = chip_of(c.chip_bit);
        Buffer buffer;
        buffer.clrbuffer(chip);
        buffer.lab_id1 = c.before;
        SerialSettings s = step(range(-1, -1, c.hex), c.step);
        s.inc_rom = false;
        ser_inc(chip, buffer, s);
        EXPECT_EQ(buffer.lab_id1.get(), c.after);
    }
}

TEST(SerialText, MostSignificantUnitFirstAndCopiedUnitByUnit) {
    const ChipParams chip = chip_of(2);
    Buffer buffer;
    buffer.clrbuffer(chip);
    buffer.set_cell_and_view(Area::rom, 0x10, "3406");
    buffer.set_cell_and_view(Area::rom, 0x11, "3401");
    EXPECT_EQ(serial_text(chip, buffer, range(0x10, 0x11)), "34013406");
    EXPECT_EQ(serial_text(chip, buffer, from_high(range(0x10, 0x11))), "34063401");
    EXPECT_EQ(serial_text(chip, buffer, low_byte(range(0x10, 0x11))), "0106");

    Buffer other;
    other.clrbuffer(chip);
    copy_serial_number(chip, buffer, other, low_byte(range(0x10, 0x11)));
    EXPECT_EQ(other.cell(Area::rom, 0x10), "3F06"); // its own high byte stays
    EXPECT_EQ(other.cell(Area::rom, 0x11), "3F01");

    SerialSettings id;
    id.inc_rom = false;
    buffer.lab_id1 = "0x00000042";
    EXPECT_EQ(serial_text(chip, buffer, id), "0x00000042");
    copy_serial_number(chip, buffer, other, id);
    EXPECT_EQ(other.lab_id1.get(), "0x00000042");
}

TEST(SerialSettingsOf, TheNineKeysRoundTrip) {
    AppSettings a;
    a.inc_start_add = 0x10;
    a.inc_end_add = 0x11;
    a.inc_step = 7;
    a.inc_rom = false;
    a.inc_eeprom = true;
    a.inc_hiadd = a.inc_nohigh = a.inc_save = true;
    a.inc_16bit = false;
    AppSettings b;
    store_serial_settings(b, serial_settings_of(a));
    EXPECT_EQ(a, b);
}

} // namespace
} // namespace zz
