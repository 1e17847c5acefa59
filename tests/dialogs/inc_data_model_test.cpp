// The rules of the "Serial Number" dialog: opening, the enable box, the region and format
// buttons, the keystroke filters, OK and TEST.
#include "base/virtual_loop.h"
#include "dialogs/inc_data/inc_data_model.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace zz {
namespace {

class IncDataTest : public ::testing::Test {
protected:
    // Opens the dialog for a core with 0x2000 program words and 0x100 EEPROM bytes.
    IncDataModel& open(int chip_bit = 2) {
        chip.CHIPbit = chip_bit;
        chip.ROMsize = 0x2000;
        chip.EEPROMsize = 0x100;
        model = std::make_unique<IncDataModel>(chip, settings, enabled, busy, op,
                                               [this] { ++increments; });
        return *model;
    }
    void store(int start, int end, bool on, bool rom = true, bool eeprom = false, bool hex = true,
               int step = 1) {
        SerialSettings s;
        s.inc_start_add = start;
        s.inc_end_add = end;
        s.inc_rom = rom;
        s.inc_eeprom = eeprom;
        s.inc_16bit = hex;
        s.inc_step = step;
        settings = s;
        enabled = on;
    }

    ChipParams chip;
    Value<SerialSettings> settings;
    Value<bool> enabled{false};
    Value<bool> busy{false};
    VirtualLoop loop;
    test::RecordingOperator op{loop};
    int increments = 0;
    std::unique_ptr<IncDataModel> model;
};

TEST_F(IncDataTest, OpeningFollowsTheStoredSettingsAndTheCore) {
    struct Case {
        int chip_bit;
        bool id, eeprom, low_byte; // enabled
    };
    for (const Case& c : {Case{1, false, true, true}, Case{2, true, true, true},
                          Case{4, false, false, false}, Case{5, false, false, true}}) {
        SCOPED_TRACE(c.chip_bit);
        store(0x10, 0x11, false);
        IncDataModel& m = open(c.chip_bit);
        EXPECT_TRUE(m.RadioButton1.checked.get() && m.RadioButton3.checked.get());
        EXPECT_FALSE(m.CheckBox1.checked.get() || m.Edit1.enabled.get() || m.labels_enabled.get());
        EXPECT_EQ(m.Edit1.text.get(), "");
        EXPECT_EQ(m.RadioButton5.enabled.get(), c.id);
        EXPECT_EQ(m.RadioButton2.enabled.get(), c.eeprom);
        EXPECT_EQ(m.CheckBox3.enabled.get(), c.low_byte);
    }
    store(0x10, 0x1F, true, false, true, false, 42);
    IncDataModel& m = open();
    EXPECT_TRUE(m.CheckBox1.checked.get() && m.Edit3.enabled.get());
    EXPECT_TRUE(m.RadioButton2.checked.get() && m.RadioButton4.checked.get());
    EXPECT_EQ(m.Edit1.text.get() + m.Edit2.text.get() + " " + m.Edit3.text.get(), "0010001F 42");
    store(0x10, 0x11, true, true, false, true, 300); // a step the field cannot hold
    EXPECT_EQ(open().Edit3.text.get(), "");
}

TEST_F(IncDataTest, TheUserIdOpensInHexAndOnlyWhereTheCoreHasOne) {
    store(-1, -1, true, false, false, false, 25);
    IncDataModel& m = open(2);
    EXPECT_TRUE(m.RadioButton5.checked.get());
    EXPECT_FALSE(m.Edit1.enabled.get() || m.RadioButton4.enabled.get());
    EXPECT_TRUE(m.RadioButton3.checked.get());
    EXPECT_EQ(m.Edit3.text.get(), "19"); // 25 kept, in hex
    // Other cores number program memory rather than be left without a region.
    for (int bit : {1, 4, 5}) {
        IncDataModel& other = open(bit);
        EXPECT_TRUE(other.RadioButton1.checked.get()) << bit;
        EXPECT_TRUE(other.Edit1.enabled.get() && other.RadioButton4.enabled.get()) << bit;
    }
    store(1, 2, true, false, true);
    EXPECT_TRUE(open(4).RadioButton1.checked.get());
}

TEST_F(IncDataTest, EnableRegionAndFormatControls) {
    store(0x10, 0x11, true);
    IncDataModel& m = open();
    m.Edit1.text = "0123";
    m.CheckBox1Click(false);
    EXPECT_EQ(m.Edit1.text.get(), "");
    EXPECT_FALSE(m.Edit3.enabled.get());
    m.CheckBox1Click(true); // reloads the stored settings; what was typed is gone
    EXPECT_EQ(m.Edit1.text.get(), "0010");
    m.CheckBox3.checked = true;
    m.RadioButton2Click();
    EXPECT_TRUE(m.RadioButton2.checked.get() && !m.RadioButton1.checked.get());
    EXPECT_FALSE(m.CheckBox3.enabled.get());
    EXPECT_TRUE(m.CheckBox3.checked.get()); // kept, not used
    m.Edit3.text = "FF";
    m.RadioButton4Click();
    EXPECT_EQ(m.Edit3.text.get(), "25");
    m.RadioButton4Click(); // already Dec: no second conversion
    EXPECT_EQ(m.Edit3.text.get(), "25");
    m.RadioButton5Click();
    EXPECT_EQ(m.Edit3.text.get(), "19"); // the ID ticks Hex
    EXPECT_FALSE(m.CheckBox2.enabled.get() || m.CheckBox3.checked.get() || m.Edit1.enabled.get());
    EXPECT_FALSE(m.RadioButton4.enabled.get());
    m.RadioButton4Click(); // disabled
    EXPECT_TRUE(m.RadioButton3.checked.get());
    m.RadioButton1Click();
    EXPECT_TRUE(m.CheckBox3.enabled.get() && m.RadioButton4.enabled.get() && m.Edit1.enabled.get());
}

TEST_F(IncDataTest, KeystrokesAreFilteredByField) {
    IncDataModel& m = open();
    const std::string keys = "9Fa\bG ";
    std::string address, hex_step, dec_step;
    for (char key : keys) {
        address += m.Edit1KeyPress(key) ? m.Edit1KeyPress(key) : '_';
        hex_step += m.Edit3KeyPress(key) ? m.Edit3KeyPress(key) : '_';
    }
    m.RadioButton4Click();
    for (char key : keys)
        dec_step += m.Edit3KeyPress(key) ? m.Edit3KeyPress(key) : '_';
    EXPECT_EQ(address, "9FA\b__");
    EXPECT_EQ(hex_step, address);
    EXPECT_EQ(dec_step, "9__\b__");
}

TEST_F(IncDataTest, OkRefusesBadInputWithItsMessageAndChangesNothing) {
    struct Refusal {
        bool eeprom;
        const char *start, *end, *step, *message;
    };
    const Refusal cases[] = {
        {false, "2001", "2002", "01", inc_texts::kStartPastRom},
        {false, "2000", "2000", "01", inc_texts::kStartPastRom}, // one past the last word
        {false, "0010", "2000", "01", inc_texts::kEndPastRom},
        {true, "0100", "0100", "01", inc_texts::kStartPastEeprom},
        {true, "0000", "0100", "01", inc_texts::kEndPastEeprom},
        {false, "0020", "001F", "01", inc_texts::kEndBelowStart},
        {false, "", "0010", "01", inc_texts::kNoStart},
        {false, "0010", "0G", "01", inc_texts::kNoEnd},
        {false, "0010", "0011", "", inc_texts::kNoHexStep},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.message);
        store(1, 2, false);
        const SerialSettings before = settings;
        op.messages.clear();
        IncDataModel& m = open();
        m.CheckBox1Click(true);
        if (c.eeprom)
            m.RadioButton2Click();
        m.CheckBox4.checked = true;
        m.Edit1.text = c.start;
        m.Edit2.text = c.end;
        m.Edit3.text = c.step;
        EXPECT_FALSE(m.Button1Click());
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_EQ(op.messages[0].text, c.message);
        EXPECT_EQ(op.messages[0].caption, "Error");
        EXPECT_EQ(settings.get(), before);
        EXPECT_FALSE(enabled.get());
    }
}

TEST_F(IncDataTest, OkStoresEverythingTogether) {
    store(0, 0, false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    m.RadioButton2Click();
    m.RadioButton4Click();
    m.CheckBox2.checked = true;
    m.CheckBox4.checked = true;
    m.Edit1.text = "00FD";
    m.Edit2.text = "ff";
    m.Edit3.text = "12";
    EXPECT_TRUE(m.Button1Click());
    SerialSettings expected{0xFD, 0xFF, 12, false, true, true, false, false, true};
    EXPECT_EQ(settings.get(), expected);
    EXPECT_TRUE(enabled.get());

    IncDataModel& id = open();
    id.RadioButton5Click();
    EXPECT_TRUE(id.Button1Click());
    expected = {-1, -1, 12, false, false, false, false, true, true}; // no addresses for the ID
    EXPECT_EQ(settings.get(), expected);
}

TEST_F(IncDataTest, TestAppliesAndAdvancesOnceButNotWhileAChipIsProgrammed) {
    store(0x10, 0x11, false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    m.Button3Click();
    EXPECT_EQ(increments, 1);
    EXPECT_TRUE(enabled.get());
    m.Edit2.text = "000F";
    m.Button3Click(); // refused
    busy = true;
    m.Edit2.text = "0011";
    m.Button3Click();
    busy = false;
    m.CheckBox1Click(false);
    m.Button3Click();
    EXPECT_EQ(increments, 1);
    EXPECT_FALSE(enabled.get());
}

// "Take numbers from the shared sequence": offered while numbering is on and the session can
// take them; its name is asked for, and both are stored with the rest on OK.
TEST_F(IncDataTest, TheSharedSequenceIsChosenWithItsName) {
    Value<bool> use{true};
    Value<std::string> name{"LINE"};
    const SequenceChoice choice{use, name};
    store(0x10, 0x11, true);
    chip.ROMsize = 0x2000;
    IncDataModel m(chip, settings, enabled, busy, op, {}, &choice);
    // The sequence box, its name and "save the image" enabled.
    const auto enabled_now = [&] {
        return std::tuple(m.CheckBox5.enabled.get(), m.Edit4.enabled.get(),
                          m.CheckBox4.enabled.get());
    };
    EXPECT_TRUE(m.CheckBox5.checked.get());
    EXPECT_EQ(m.Edit4.text.get(), "LINE");
    EXPECT_EQ(enabled_now(), std::tuple(true, true, false)); // the image file is left alone
    m.CheckBox5Click(false);
    EXPECT_EQ(enabled_now(), std::tuple(true, false, true));
    m.CheckBox1Click(false);
    EXPECT_EQ(enabled_now(), std::tuple(false, false, true));
    m.CheckBox1Click(true);
    EXPECT_EQ(enabled_now(), std::tuple(true, true, false)); // the stored choice again
    m.Edit4.text = "  ";
    EXPECT_FALSE(m.Button1Click());
    EXPECT_EQ(op.texts().back(), inc_texts::kNoSequenceName);
    m.Edit4.text = " MAC ";
    m.CheckBox3.checked = true;
    EXPECT_TRUE(m.Button1Click());
    EXPECT_EQ(std::pair(use.get(), name.get()), std::pair(true, std::string("MAC")));
    EXPECT_TRUE(settings.get().inc_nohigh);
    m.CheckBox5Click(false);
    EXPECT_TRUE(m.Button1Click());
    EXPECT_FALSE(use.get());
    // Where the session cannot take them (the command line has --sequence), never offered.
    EXPECT_FALSE(open().CheckBox5.enabled.get());
}

} // namespace
} // namespace zz
