// The serial number in the buffer: units, moduli, Hex and packed-decimal Dec, carries, wrap
// and the user ID.
#include "files/serial_number.h"

#include <gtest/gtest.h>

#include <vector>

namespace zz {
namespace {

ChipParams chip_of(int chip_bit) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.ROMsize = 64;
    chip.EEPROMsize = 8;
    chip.ROMblank = chip_bit == 1 ? "0FFF" : chip_bit == 2 ? "3FFF" : chip_bit == 4 ? "FF" : "FFFF";
    return chip;
}

// Numbering from `start` to `end`; the letters: e EEPROM, h from the high address, l low byte
// only, d Dec, i the user ID.
SerialSettings serial(int start, int end, std::string_view how = "", int step = 1) {
    SerialSettings s;
    s.inc_start_add = start;
    s.inc_end_add = end;
    s.inc_step = step;
    s.inc_rom = how.find_first_of("ei") == std::string_view::npos;
    s.inc_eeprom = how.find('e') != std::string_view::npos;
    s.inc_hiadd = how.find('h') != std::string_view::npos;
    s.inc_nohigh = how.find('l') != std::string_view::npos;
    s.inc_16bit = how.find('d') == std::string_view::npos;
    return s;
}

TEST(SerInc, UnitsCarryAndWrapByRegionCoreAndFormat) {
    struct Case {
        int chip_bit;
        SerialSettings settings;
        std::vector<std::string> before, after; // cells from the start address on
    };
    const Case cases[] = {
        {2, serial(0x10, 0x11), {"3FFF", "0005"}, {"0000", "0006"}},
        {2, serial(0x10, 0x11, "h"), {"0005", "3FFF"}, {"0006", "0000"}},
        {2, serial(0, 2, "ed"), {"99", "99", "12"}, {"00", "00", "13"}},
        {3, serial(4, 4, "d"), {"9999", "1234"}, {"0000", "1234"}}, // wraps; no carry out
        {2, serial(0, 0, "d"), {"3FFF"}, {"3001"}},                 // blank reads 3000
        {2, serial(0, 1, "d"), {"3999", "0001"}, {"0000", "0002"}}, // Dec 14-bit: 4000
        {2, serial(0, 1, "l"), {"34FF", "3405"}, {"3400", "3406"}}, // high byte stays
        {1, serial(0, 1), {"0FFF", "0000"}, {"0000", "0001"}},
        {1, serial(0, 1, "d"), {"0999", "0000"}, {"0000", "0001"}},
        {3, serial(0, 1), {"FFFF", "00FF"}, {"0000", "0100"}},
        {4, serial(0, 1, "l"), {"FF", "0A"}, {"00", "0B"}},    // byte cells whatever "l" says
        {2, serial(0, 1), {"ZZZZ", "0007"}, {"0000", "0007"}}, // no hex: -1
        {2, serial(0, 1, "e", 0x20), {"F0", "05"}, {"10", "06"}},
        {2, serial(0, 0), {"00ff"}, {"0100"}},
        // Only a hand-edited settings file gives such a step: the cell keeps its width.
        {2, serial(0, 1, "e", 1000), {"10", "05"}, {"F8", "06"}},
        // Past the end of the region the carry is dropped.
        {2, serial(7, 8, "e"), {"FF"}, {"00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.front() + " CHIPbit " + std::to_string(c.chip_bit));
        const ChipParams chip = chip_of(c.chip_bit);
        Buffer buffer;
        buffer.clrbuffer(chip);
        const Area area = c.settings.inc_rom ? Area::rom : Area::eeprom;
        const auto start = static_cast<std::size_t>(c.settings.inc_start_add);
        for (std::size_t k = 0; k < c.before.size(); ++k)
            buffer.set_cell_and_view(area, start + k, c.before[k]);
        const std::string text = serial_text(chip, buffer, c.settings);
        ser_inc(chip, buffer, c.settings);
        for (std::size_t k = 0; k < c.after.size(); ++k)
            EXPECT_EQ(buffer.cell(area, start + k), c.after[k]) << k;
        // A shared sequence advances the number's text by the same rule.
        EXPECT_EQ(next_serial_text(text, serial_counting(chip, c.settings)),
                  serial_text(chip, buffer, c.settings));
    }
}

TEST(SerInc, ChecksumFollowsTheProgramMemoryButNotTheId) {
    const ChipParams chip = chip_of(2);
    Buffer buffer;
    buffer.clrbuffer(chip);
    buffer.lab_fuse(1) = "0x3FFF";
    ser_inc(chip, buffer, serial(0, 0));
    EXPECT_EQ(buffer.lab_checksum.get(), "Checksum 0xFFC0"); // 63 blank words, 0000, the fuses
    buffer.lab_checksum = "stale";
    ser_inc(chip, buffer, serial(-1, -1, "i"));
    EXPECT_EQ(buffer.lab_checksum.get(), "stale");
}

TEST(SerInc, UserIdInHexOnlyAndOnlyForMidrangeAndPic18) {
    struct Case {
        int chip_bit;
        const char* how;
        int step;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {2, "i", 1, "0xFFFFFFFF", "0x00000000"},
        {3, "i", 2, "0x1122334455667788", "0x112233445566778A"},
        {3, "i", 1, "0x11223344FFFFFFFF", "0x1122334400000000"}, // no carry upwards
        {2, "id", 1, "0x00000005", "0x00000005"},                // Dec: nothing
        {1, "i", 1, "0x00000005", "0x00000005"},
        {5, "i", 1, "0x00000005", "0x00000005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        const ChipParams chip = chip_of(c.chip_bit);
        Buffer buffer;
        buffer.clrbuffer(chip);
        buffer.lab_id1 = c.before;
        ser_inc(chip, buffer, serial(-1, -1, c.how, c.step));
        EXPECT_EQ(buffer.lab_id1.get(), c.after);
        EXPECT_EQ(next_serial_text(c.before, serial_counting(chip, serial(-1, -1, c.how, c.step))),
                  c.after);
    }
}

TEST(SerialText, MostSignificantUnitFirstAndCopiedUnitByUnit) {
    const ChipParams chip = chip_of(2);
    Buffer buffer;
    buffer.clrbuffer(chip);
    buffer.set_cell_and_view(Area::rom, 0x10, "3406");
    buffer.set_cell_and_view(Area::rom, 0x11, "3401");
    EXPECT_EQ(serial_text(chip, buffer, serial(0x10, 0x11)), "34013406");
    EXPECT_EQ(serial_text(chip, buffer, serial(0x10, 0x11, "h")), "34063401");
    EXPECT_EQ(serial_text(chip, buffer, serial(0x10, 0x11, "l")), "0106");
    Buffer other;
    other.clrbuffer(chip);
    copy_serial_number(chip, buffer, other, serial(0x10, 0x11, "l"));
    EXPECT_EQ(other.cell(Area::rom, 0x10), "3F06"); // its own high byte stays
}

// A sequence's value goes into the cells as the number lies there, the inverse of serial_text,
// or into the user ID with or without its prefix.
TEST(SetSerialText, ValuesLandUnitByUnitOrAreRefusedWithTheBufferUnchanged) {
    struct Case {
        int chip_bit;
        SerialSettings settings;
        const char* text;
        std::vector<std::string> cells; // from the start address on, or the ID; empty: refused
    };
    const Case cases[] = {
        {2, serial(0x10, 0x11), "00060001", {"0001", "0006"}},
        {2, serial(0x10, 0x11, "h"), "00060001", {"0006", "0001"}},
        {2, serial(0x10, 0x11, "l"), "0a0b", {"3F0B", "3F0A"}}, // low bytes; any case
        {2, serial(0, 5, "eh"), "001A2B3C4D5E", {"00", "1A", "2B", "3C", "4D", "5E"}},
        {2, serial(0, 1, "d"), "39990001", {"0001", "3999"}},
        {4, serial(0, 1), "AB01", {"01", "AB"}},
        {2, serial(-1, -1, "i"), "0x0000000a", {"0x0000000A"}},
        {2, serial(-1, -1, "i"), "1A2B3C4D", {"0x1A2B3C4D"}},
        {3, serial(-1, -1, "i"), "0011223344556677", {"0x0011223344556677"}},
        {2, serial(0x10, 0x11), "0006", {}},       // shorter than the cells
        {2, serial(0x10, 0x11), "0006000100", {}}, // longer
        {2, serial(0x10, 0x11), "0006000G", {}},   // not hex
        {2, serial(0x10, 0x11), "40000001", {}},   // more than 14 bits
        {1, serial(0, 0), "1000", {}},             // more than 12 bits
        {2, serial(0, 1, "e"), "", {}},
        {2, serial(-1, -1, "i"), "1A2B3C4D00", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ChipParams chip = chip_of(c.chip_bit);
        Buffer buffer;
        buffer.clrbuffer(chip);
        buffer.lab_id1 = c.chip_bit == 3 ? "0xFFFFFFFFFFFFFFFF" : "0xFFFFFFFF";
        const auto held = [&] {
            return buffer.buffer_rom() + buffer.buffer_eeprom() + buffer.lab_id1.get();
        };
        const std::string before = held();
        if (c.cells.empty()) {
            EXPECT_THROW(set_serial_text(chip, buffer, c.settings, c.text), std::invalid_argument);
            EXPECT_EQ(held(), before);
            continue;
        }
        set_serial_text(chip, buffer, c.settings, c.text);
        if (!c.settings.inc_rom && !c.settings.inc_eeprom) {
            EXPECT_EQ(buffer.lab_id1.get(), c.cells[0]);
            continue;
        }
        const Area area = c.settings.inc_rom ? Area::rom : Area::eeprom;
        const auto start = static_cast<std::size_t>(c.settings.inc_start_add);
        for (std::size_t k = 0; k < c.cells.size(); ++k)
            EXPECT_EQ(buffer.cell(area, start + k), c.cells[k]) << k;
        EXPECT_NE(buffer.lab_checksum.get(), "Checksum 0xFFFF");
    }
}

} // namespace
} // namespace zz
