// The rules of the "Serial Number" dialog: opening, the enable box, the region and format
// buttons, the keystroke filters, OK and TEST.
#include "base/virtual_loop.h"
#include "dialogs/inc_data/inc_data_model.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <memory>

namespace zz {
namespace {

ChipParams chip_of(int chip_bit) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.ROMsize = 0x2000;
    chip.EEPROMsize = 0x100;
    return chip;
}

class IncDataTest : public ::testing::Test {
protected:
    IncDataModel& open(int chip_bit = 2) {
        chip = chip_of(chip_bit);
        model = std::make_unique<IncDataModel>(chip, settings, enabled, busy, op,
                                               [this] { ++increments; });
        return *model;
    }
    void store(SerialSettings s, bool on = true) {
        settings = s;
        enabled = on;
    }
    static SerialSettings range(int start, int end) {
        SerialSettings s;
        s.inc_start_add = start;
        s.inc_end_add = end;
        return s;
    }
    std::vector<std::string> messages() const { return op.texts(); }

    ChipParams chip;
    Value<SerialSettings> settings;
    Value<bool> enabled{false};
    Value<bool> busy{false};
    VirtualLoop loop;
    test::RecordingOperator op{loop};
    int increments = 0;
    std::unique_ptr<IncDataModel> model;
};

TEST_F(IncDataTest, OpeningWithNumberingOffShowsTheDefaultsAndTheCoreLocks) {
    struct Case {
        int chip_bit;
        bool id, eeprom, low_byte;
    };
    for (const Case& c :
         {Case{1, false, true, true}, Case{2, true, true, true}, Case{3, true, true, true},
          Case{4, false, false, false}, Case{5, false, false, true}}) {
        SCOPED_TRACE(c.chip_bit);
        store(range(0x10, 0x11), false);
        IncDataModel& m = open(c.chip_bit);
        EXPECT_FALSE(m.CheckBox1.checked.get());
        EXPECT_TRUE(m.RadioButton1.checked.get());
        EXPECT_TRUE(m.RadioButton3.checked.get());
        EXPECT_FALSE(m.RadioButton4.checked.get());
        for (EditField* f : {&m.Edit1, &m.Edit2, &m.Edit3}) {
            EXPECT_FALSE(f->enabled.get());
            EXPECT_EQ(f->text.get(), "");
        }
        EXPECT_FALSE(m.labels_enabled.get());
        EXPECT_EQ(m.RadioButton5.enabled.get(), c.id);
        EXPECT_EQ(m.RadioButton2.enabled.get(), c.eeprom);
        EXPECT_EQ(m.CheckBox3.enabled.get(), c.low_byte);
    }
}

TEST_F(IncDataTest, OpeningWithNumberingOnShowsTheStoredSettings) {
    SerialSettings s = range(0x10, 0x1F);
    s.inc_step = 0x2A;
    s.inc_hiadd = s.inc_save = true;
    store(s);
    IncDataModel& m = open();
    EXPECT_TRUE(m.CheckBox1.checked.get());
    EXPECT_TRUE(m.labels_enabled.get());
    EXPECT_EQ(m.Edit1.text.get(), "0010");
    EXPECT_EQ(m.Edit2.text.get(), "001F");
    EXPECT_EQ(m.Edit3.text.get(), "2A");
    EXPECT_TRUE(m.CheckBox2.checked.get());
    EXPECT_FALSE(m.CheckBox3.checked.get());
    EXPECT_TRUE(m.CheckBox4.checked.get());

    s.inc_16bit = false;
    s.inc_step = 42;
    s.inc_rom = false;
    s.inc_eeprom = true;
    store(s);
    open();
    EXPECT_TRUE(model->RadioButton2.checked.get());
    EXPECT_TRUE(model->RadioButton4.checked.get());
    EXPECT_EQ(model->Edit3.text.get(), "42");

    // A step the field cannot hold opens empty, for OK to ask for.
    s.inc_step = 300;
    store(s);
    EXPECT_EQ(open().Edit3.text.get(), "");
}

TEST_F(IncDataTest, StoredUserIdOpensByCore) {
    SerialSettings id = range(-1, -1);
    id.inc_rom = false;
    id.inc_16bit = false;
    id.inc_step = 25;
    store(id);
    IncDataModel& m = open(2);
    EXPECT_TRUE(m.RadioButton5.checked.get());
    EXPECT_FALSE(m.Edit1.enabled.get());
    EXPECT_EQ(m.Edit1.text.get(), "");
    EXPECT_TRUE(m.RadioButton3.checked.get()); // Hex forced, the step kept in hex
    EXPECT_FALSE(m.RadioButton4.enabled.get());
    EXPECT_EQ(m.Edit3.text.get(), "19");
    // A core without an ID numbers program memory instead; a region taken away is not left
    // without one.
    for (int bit : {1, 4, 5}) {
        SCOPED_TRACE(bit);
        IncDataModel& other = open(bit);
        EXPECT_TRUE(other.RadioButton1.checked.get());
        EXPECT_FALSE(other.RadioButton5.checked.get());
        EXPECT_TRUE(other.Edit1.enabled.get());
        EXPECT_TRUE(other.RadioButton4.enabled.get());
    }
    SerialSettings eeprom = range(1, 2);
    eeprom.inc_rom = false;
    eeprom.inc_eeprom = true;
    store(eeprom);
    EXPECT_TRUE(open(4).RadioButton1.checked.get());
    EXPECT_FALSE(model->RadioButton2.checked.get());
}

TEST_F(IncDataTest, TheEnableBoxEmptiesTheFieldsAndReloadsTheStoredSettings) {
    store(range(0x10, 0x11), false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    EXPECT_EQ(m.Edit1.text.get(), "0010");
    EXPECT_TRUE(m.Edit2.enabled.get());
    m.Edit1.text = "0123";
    m.RadioButton2Click();
    m.CheckBox1Click(false);
    EXPECT_EQ(m.Edit1.text.get(), "");
    EXPECT_FALSE(m.Edit3.enabled.get());
    m.CheckBox1Click(true);
    EXPECT_EQ(m.Edit1.text.get(), "0010"); // what was typed is gone
    EXPECT_TRUE(m.RadioButton1.checked.get());
    EXPECT_FALSE(enabled.get()); // nothing applied
}

TEST_F(IncDataTest, RegionButtonsSwitchTheirOptions) {
    store(range(0x10, 0x11));
    IncDataModel& m = open();
    m.CheckBox3.checked = true;
    m.RadioButton2Click();
    EXPECT_TRUE(m.RadioButton2.checked.get());
    EXPECT_FALSE(m.RadioButton1.checked.get());
    EXPECT_FALSE(m.CheckBox3.enabled.get());
    EXPECT_TRUE(m.CheckBox3.checked.get()); // kept, not used
    m.RadioButton4Click();
    m.RadioButton5Click();
    EXPECT_FALSE(m.CheckBox2.enabled.get());
    EXPECT_FALSE(m.CheckBox3.checked.get());
    EXPECT_TRUE(m.RadioButton3.checked.get());
    EXPECT_FALSE(m.RadioButton4.enabled.get());
    EXPECT_FALSE(m.Edit1.enabled.get());
    EXPECT_EQ(m.Edit2.text.get(), "");
    m.RadioButton4Click(); // disabled: nothing
    EXPECT_TRUE(m.RadioButton3.checked.get());
    m.RadioButton1Click();
    EXPECT_TRUE(m.CheckBox3.enabled.get());
    EXPECT_TRUE(m.RadioButton4.enabled.get());
    EXPECT_TRUE(m.Edit1.enabled.get());
}

TEST_F(IncDataTest, FormatButtonsRewriteTheStep) {
    store(range(0x10, 0x11));
    IncDataModel& m = open();
    m.Edit3.text = "FF";
    m.RadioButton4Click();
    EXPECT_EQ(m.Edit3.text.get(), "25");
    m.RadioButton4Click(); // already Dec
    EXPECT_EQ(m.Edit3.text.get(), "25");
    m.RadioButton3Click();
    EXPECT_EQ(m.Edit3.text.get(), "19");
    m.Edit3.text = "";
    m.RadioButton4Click();
    EXPECT_EQ(m.Edit3.text.get(), "");
}

TEST_F(IncDataTest, KeystrokesAreFilteredByField) {
    IncDataModel& m = open();
    const std::pair<char, char> address[] = {{'0', '0'}, {'9', '9'}, {'A', 'A'},   {'F', 'F'},
                                             {'a', 'A'}, {'f', 'F'}, {'\b', '\b'}, {'G', 0},
                                             {'g', 0},   {' ', 0},   {'-', 0}};
    for (const auto& [key, result] : address) {
        EXPECT_EQ(m.Edit1KeyPress(key), result) << key;
        EXPECT_EQ(m.Edit2KeyPress(key), result) << key;
        EXPECT_EQ(m.Edit3KeyPress(key), result) << key; // Hex
    }
    m.RadioButton4Click();
    for (const auto& [key, result] : {std::pair{'7', '7'}, {'\b', '\b'}, {'A', '\0'}, {'a', '\0'}})
        EXPECT_EQ(m.Edit3KeyPress(key), result) << key;
}

struct Refusal {
    bool eeprom;
    const char* start;
    const char* end;
    const char* step;
    const char* message;
};

TEST_F(IncDataTest, OkRefusesBadInputWithItsMessageAndChangesNothing) {
    const Refusal cases[] = {
        {false, "2001", "2002", "01", inc_texts::kStartPastRom},
        {false, "2000", "2000", "01", inc_texts::kStartPastRom}, // one past the last word
        {false, "0010", "2000", "01", inc_texts::kEndPastRom},
        {true, "0100", "0100", "01", inc_texts::kStartPastEeprom},
        {true, "0000", "0100", "01", inc_texts::kEndPastEeprom},
        {false, "0020", "001F", "01", inc_texts::kEndBelowStart},
        {false, "", "0010", "01", inc_texts::kNoStart},
        {false, "0010", "", "01", inc_texts::kNoEnd},
        {false, "0010", "0011", "", inc_texts::kNoHexStep},
        {false, "00G0", "0011", "01", inc_texts::kNoStart},
    };
    SerialSettings before = range(1, 2);
    before.inc_step = 3;
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.message);
        store(before, false);
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
    store(before, false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    m.RadioButton4Click();
    m.Edit3.text = "";
    EXPECT_FALSE(m.Button1Click());
    EXPECT_EQ(op.messages.back().text, inc_texts::kNoDecStep);
}

TEST_F(IncDataTest, OkStoresEverythingTogether) {
    store(range(0, 0), false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    m.RadioButton2Click();
    m.RadioButton4Click();
    m.CheckBox2.checked = true;
    m.CheckBox4.checked = true;
    m.Edit1.text = "00FD";
    m.Edit2.text = "ff"; // typed elsewhere than through the filter
    m.Edit3.text = "12";
    EXPECT_TRUE(m.Button1Click());
    EXPECT_TRUE(op.messages.empty());
    SerialSettings expected = range(0xFD, 0xFF);
    expected.inc_rom = false;
    expected.inc_eeprom = true;
    expected.inc_16bit = false;
    expected.inc_step = 12;
    expected.inc_hiadd = expected.inc_save = true;
    EXPECT_EQ(settings.get(), expected);
    EXPECT_TRUE(enabled.get());

    // The user ID stores no addresses.
    IncDataModel& id = open();
    id.RadioButton5Click();
    EXPECT_TRUE(id.Button1Click());
    EXPECT_EQ(settings.get().inc_start_add, -1);
    EXPECT_EQ(settings.get().inc_end_add, -1);
    EXPECT_FALSE(settings.get().inc_rom);
    EXPECT_FALSE(settings.get().inc_eeprom);
    EXPECT_EQ(settings.get().inc_step, 12); // its value kept when the ID forced Hex

    // Unticked: only numbering goes off.
    const SerialSettings kept = settings;
    IncDataModel& off = open();
    off.CheckBox1Click(false);
    EXPECT_TRUE(off.Button1Click());
    EXPECT_FALSE(enabled.get());
    EXPECT_EQ(settings.get(), kept);
}

TEST_F(IncDataTest, TestAppliesAndAdvancesOnceButNotWhileAChipIsProgrammed) {
    store(range(0x10, 0x11), false);
    IncDataModel& m = open();
    m.CheckBox1Click(true);
    m.Button3Click();
    EXPECT_EQ(increments, 1);
    EXPECT_TRUE(enabled.get());
    m.Edit2.text = "000F";
    m.Button3Click();
    EXPECT_EQ(increments, 1); // refused
    EXPECT_EQ(op.texts().back(), inc_texts::kEndBelowStart);
    busy = true;
    m.Edit2.text = "0011";
    m.Button3Click();
    EXPECT_EQ(increments, 1);
    busy = false;
    m.CheckBox1Click(false);
    m.Button3Click();
    EXPECT_EQ(increments, 1);
    EXPECT_FALSE(enabled.get());
}

} // namespace
} // namespace zz
