#include "app/session.h"

#include "device/temp_folder.h"
#include "session_env.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

// Two models' worth of hand-written files: model 1 without serial EEPROMs, model 2 with them.
class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        for (const char* model : {"1", "2"}) {
            const std::string m = model;
            folder.write(m + "-chip.ini", "[16F877A]\n[16F84A]\n[12F675]\n[18F452]\n");
            folder.write(m + "-chip14bit.ini", "[12F629]\n[16F84A]\n");
            folder.write(m + "-eeprom.ini", "[24xx01]\n[93xx46(16bit)]\n");
            folder.write(m + "-chip0.ini", kChips);
        }
        session.ProgrammerModel = 2;
        session.show_chip_position = [this] { ++positions_shown; };
    }

    void select(const std::string& chip) {
        session.ComboBox1 = chip;
        session.chip_changed();
    }

    static constexpr const char* kChips =
        "[16F877A]\nROMsize=8192\nEEPROMsize=256\nCHIPbit=2\nFUSEblank=3FFF\n"
        "[16F84A]\nROMsize=1024\nEEPROMsize=64\nFlashChip=1\n"
        "[12F675]\nROMsize=1024\nEEPROMsize=128\nCALword=1\nBandGap=1\nFUSEblank=31FF\n"
        "[12F629]\nROMsize=1024\nEEPROMsize=128\nCALword=1\nFlashChip=0\n"
        "[16F88]\nROMsize=4096\nFUSEblank=3FFF 3FFF\n"
        "[10F200]\nROMsize=256\nEEPROMsize=0\nCHIPbit=1\nROMblank=0FFF\nFUSEblank=0FFF\n"
        "[18F452]\nROMsize=16384\nCHIPbit=3\nROMblank=FFFF\n"
        "FUSEblank=2700 0F0F 0100 0085 C00F E00F 400F\n"
        "[24xx01]\nROMsize=128\nEEPROMsize=0\nCHIPbit=4\nROMblank=FF\nFUSEblank=FFFF\n"
        "[93xx46(16bit)]\nROMsize=64\nEEPROMsize=16\nCHIPbit=5\nROMblank=FFFF\n";

    testing::TempFolder folder;
    test::SessionParts parts;
    Session session{parts.env(folder.path())};
    int positions_shown = 0;
};

TEST_F(SessionTest, ModelsWithoutSerialEepromsFallBackToAllChip) {
    for (int model : {1, 4}) {
        session.ProgrammerModel = model;
        session.ComboBox2 = "I2C/SPI EEPROM";
        session.family_changed();
        EXPECT_EQ(session.ComboBox2.get(), "All Chip");
        EXPECT_EQ(session.ComboBox1.get(), "16F877A");
    }
    // Model 4 has no files here: an empty list, and the default chip still selects.
    EXPECT_TRUE(session.ComboBox1_items.get().empty());
    EXPECT_EQ(session.chip().ROMsize, 8192);

    session.ProgrammerModel = 1;
    session.ComboBox2 = "I2C/SPI EEPROM";
    session.family_changed();
    EXPECT_EQ(session.ComboBox1_items.get(),
              (std::vector<std::string>{"16F877A", "16F84A", "12F675", "18F452"}));
}

TEST_F(SessionTest, FamilyChangeLoadsTheListAndTheDefaultChip) {
    session.ComboBox2 = "I2C/SPI EEPROM";
    session.family_changed();
    EXPECT_EQ(session.ComboBox2.get(), "I2C/SPI EEPROM");
    EXPECT_EQ(session.ComboBox1_items.get(), (std::vector<std::string>{"24xx01", "93xx46(16bit)"}));
    EXPECT_EQ(session.ComboBox1.get(), "24xx01");
    EXPECT_EQ(session.chip().CHIPbit, 4);

    session.ComboBox2 = "PIC 14bit MCU";
    session.family_changed();
    EXPECT_EQ(session.ComboBox1.get(), "12F629");
    EXPECT_EQ(session.chip().ROMsize, 1024);

    // A typed text that names no family changes nothing.
    session.ComboBox2 = "PIC 14bit";
    session.family_changed();
    EXPECT_EQ(session.ComboBox1.get(), "12F629");
    EXPECT_EQ(positions_shown, 2);
}

TEST_F(SessionTest, SerialEepromsDisableWhatTheyCannotDo) {
    auto& c = session.controls;
    auto& f = session.flags;
    const std::vector<Value<bool>*> pic_only{
        &c.lab_fuse, &c.word_label(1), &c.lab_id1,      &c.Label17, &c.SpeedButton5, &c.N11,
        &c.Button3,  &c.ID1,           &c.SpeedButton7, &c.N14,     &c.SpeedButton4, &c.N10};
    const std::vector<Flag*> pic_options{&f.CheckBox_blank, &f.CheckBox_wr_id, &f.CheckBox_erase};
    for (const char* chip : {"93xx46(16bit)", "16F84A"}) {
        select(chip);
        const bool pic = std::string(chip) == "16F84A";
        for (const auto* control : pic_only)
            EXPECT_EQ(control->get(), pic) << chip;
        for (const auto* flag : pic_options)
            EXPECT_EQ(flag->checked.get() && flag->enabled.get(), pic) << chip;
        // Both have EEPROM, so the EEPROM option ends enabled after the serial EEPROM step.
        EXPECT_TRUE(f.CheckBox_wr_ee.checked.get() && c.EEPROM1.get()) << chip;
    }
}

TEST_F(SessionTest, SelectionFollowsEepromEraseAndCalibration) {
    auto& c = session.controls;
    auto& f = session.flags;
    select("10F200");
    EXPECT_FALSE(f.CheckBox_wr_ee.checked.get() || f.CheckBox_wr_ee.enabled.get());
    EXPECT_FALSE(c.EEPROM1.get());
    EXPECT_EQ(session.grid.get().row_count, 33); // no EEPROM rows
    EXPECT_EQ(session.buffer.row_count(), 33);
    EXPECT_EQ(session.buffer.grid_text(1, 1), "0FFF");

    select("12F629"); // CALword, not flash
    EXPECT_TRUE(c.lab_cal.get() && c.Button4.get() && c.N15.get());
    EXPECT_FALSE(c.lab_band.get());
    EXPECT_FALSE(f.CheckBox_erase.checked.get() || c.SpeedButton4.get() || c.N10.get());

    select("12F675");
    EXPECT_TRUE(c.lab_band.get());
    select("16F877A");
    EXPECT_FALSE(c.lab_cal.get() || c.lab_band.get() || c.Button4.get() || c.N15.get());
}

TEST_F(SessionTest, ClrwindowsShowsTheBlankWordsOfTheChip) {
    struct Case {
        const char* chip;
        int words;
        const char* fuse1;
        const char* fuse2;
        const char* id;
    } cases[] = {
        {"10F200", 1, "0x0FFF", "0xFFFF", "0xFFFFFFFF"},
        {"16F877A", 1, "0x3FFF", "0xFFFF", "0xFFFFFFFF"},
        {"16F88", 2, "0x3FFF", "0x3FFF", "0xFFFFFFFF"},
        {"18F452", 7, "0xFFFF", "0xFFFF", "0xFFFFFFFFFFFFFFFF"},
    };
    for (const auto& k : cases) {
        session.buffer.lab_fuse(2) = "0x0000";
        session.buffer.lab_fuse(7) = "0x0000";
        session.buffer.lab_checksum = "Checksum 0x1234";
        session.caption = "ZE-ZUZU V2.37 [file.hex]";
        select(k.chip);
        EXPECT_EQ(session.buffer.lab_fuse(1).get(), k.fuse1) << k.chip;
        EXPECT_EQ(session.buffer.lab_fuse(2).get(), k.fuse2) << k.chip;
        EXPECT_EQ(session.buffer.lab_fuse(7).get(), "0xFFFF") << k.chip;
        EXPECT_EQ(session.buffer.lab_id1.get(), k.id) << k.chip;
        EXPECT_EQ(session.buffer.lab_checksum.get(), "Checksum 0xFFFF");
        EXPECT_EQ(session.caption.get(), "ZE-ZUZU V2.37");
        for (int n = 1; n <= 7; ++n)
            EXPECT_EQ(session.controls.word_label(n).get(), n <= k.words) << k.chip << n;
    }
    // OSCCAL and BandGap keep the design captions.
    EXPECT_EQ(session.buffer.lab_cal.get(), "OSCCAL    0x3FFF");
    EXPECT_EQ(session.buffer.lab_band.get(), "BandGap   11");
}

TEST_F(SessionTest, SelectionResetsOptionsAndBlanksTheBuffer) {
    session.flags.UseVPPFirstProgramEntry1.checked = true;
    session.flags.N_autoprog.checked = true;
    session.buffer.set_cell(Area::rom, 0, "0000");
    select("16F84A");
    EXPECT_FALSE(session.flags.UseVPPFirstProgramEntry1.checked.get());
    EXPECT_FALSE(session.flags.N_autoprog.checked.get());
    EXPECT_FALSE(session.controls.Button10.get());
    EXPECT_EQ(session.buffer.cell(Area::rom, 0), "3FFF");
    EXPECT_EQ(session.buffer.row_count(), 128 + 8 + 2);

    // A name in no definition file: every key at its default.
    select("NoSuchChip");
    EXPECT_EQ(session.chip().ROMsize, 8192);
    EXPECT_EQ(session.buffer.row_count(), 1058);
}

TEST_F(SessionTest, ChipPositionDialogRules) {
    const struct {
        int model;
        bool suppress;
        bool chip_not;
        int shown;
    } cases[] = {{1, false, false, 1}, {2, false, false, 1}, {3, false, false, 0},
                 {4, false, false, 0}, {1, true, false, 0},  {1, false, true, 0}};
    for (const auto& c : cases) {
        positions_shown = 0;
        session.ProgrammerModel = c.model;
        session.SuppressChipPositionOnce = c.suppress;
        session.flags.N_chip_not.checked = c.chip_not;
        select("16F84A");
        EXPECT_EQ(positions_shown, c.shown) << c.model << c.suppress << c.chip_not;
        EXPECT_FALSE(session.SuppressChipPositionOnce);
    }
    // Suppression lasts one selection.
    session.flags.N_chip_not.checked = false;
    session.ProgrammerModel = 2;
    session.SuppressChipPositionOnce = true;
    select("16F84A");
    select("16F84A");
    EXPECT_EQ(positions_shown, 1);
}

} // namespace
} // namespace zz
