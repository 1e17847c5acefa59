// The fuse editor's rules on hand-made chips: which option a word selects, how OK builds the
// words, how lines are grouped by word, which lines are left out, the BandGap bits and the ID.
#include "dialogs/fuse/fuse_editor.h"
#include "dialogs/fuse/fuse_names.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace zz {
namespace {

ChipParams chip_with(int chip_bit, const std::string& blank,
                     std::initializer_list<std::string> lines) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.FUSEblank = blank;
    parse_fuse_blank(chip);
    std::size_t n = 0;
    for (const std::string& line : lines)
        chip.LIST.at(n++) = line;
    return chip;
}

FuseSetting setting_of(std::vector<FuseOption> options) {
    return {1, 1, "Row", std::move(options)};
}

constexpr const char* kOscillator = R"("Oscillator","LP"=3FFC,"XT"=3FFD,"HS"=3FFE,"RC"=3FFF)";

// A 14-bit chip like the 16F877A: word 0x3F72 is HS, Watchdog off, Power-up timer on, LVP off.
ChipParams midrange() {
    return chip_with(
        2, "3FFF",
        {R"("Oscillator","LP"=FFFC,"XT"=FFFD,"HS"=FFFE,"RC"=FFFF)",
         R"("Watchdog Timer","Off"=FFFB,"On"=FFFF)", R"("Power-up Timer","On"=FFF7,"Off"=FFFF)",
         R"("Brown-out Reset","Off"=FFBF,"On"=FFFF)", R"("Low-Voltage Prog.","Off"=FF7F,"On"=FFFF)",
         R"("Code Protect","On"=DFFF,"Off"=FFFF)"});
}

std::vector<std::string> chosen_texts(const FuseEditor& editor) {
    std::vector<std::string> out;
    for (std::size_t s = 0; s < editor.settings().size(); ++s) {
        const auto chosen = editor.chosen(s);
        out.push_back(chosen ? editor.settings()[s].options[*chosen].text : "");
    }
    return out;
}

TEST(FuseCurrentOption, TheSmallestMaskThatFitsTheWordIsShown) {
    const FuseSetting oscillator = setting_of(parse_fuse_line(kOscillator).options);
    const FuseSetting no_blank_option = setting_of({{"A", 0xFFFE}, {"B", 0xFFFD}});
    const FuseSetting two_blank_options = setting_of({{"A", 0xFFFE}, {"B", 0xFFFF}, {"C", 0xFFFF}});
    const FuseSetting all_clear = setting_of({{"None", 0x0000}, {"Low", 0xFF00}});
    struct Case {
        const FuseSetting* setting;
        std::int32_t word;
        std::optional<std::size_t> shown;
    };
    const Case cases[] = {
        {&oscillator, 0x3FF9, 1}, // XT and RC fit; the smaller wins
        {&oscillator, 0x3FF8, 0},        {&oscillator, 0x3FFF, 3},
        {&oscillator, 0x0FFE, 2},        // bits outside the options do not matter
        {&no_blank_option, 0xFFFF, {}},  // nothing fits and no option is FFFF
        {&no_blank_option, 0xFFFC, 1},   // both fit: the smaller
        {&two_blank_options, 0xFFFF, 1}, // the first FFFF option
        {&two_blank_options, 0xFFFE, 0}, {&all_clear, 0x0000, 0},
        {&all_clear, 0xFF00, 1},         {&all_clear, 0x00FF, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(current_option(*c.setting, c.word), c.shown) << std::hex << c.word;
}

TEST(FuseEditor, ShowsTheCurrentOptionsAndOkChangesOnlyTheChosenSetting) {
    const ChipParams chip = midrange();
    Buffer buffer;
    buffer.lab_fuse(1) = "0x3F72";
    buffer.lab_fuse(2) = "0x1234";
    FuseEditor editor(chip, buffer);
    EXPECT_EQ(chosen_texts(editor),
              (std::vector<std::string>{"HS", "Off", "On", "On", "Off", "Off"}));
    EXPECT_EQ(editor.word(1), 0x3F72);
    editor.choose(1, 1); // Watchdog Timer On
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3F72") << "nothing before OK";
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3F76");
    EXPECT_EQ(buffer.lab_fuse(2).get(), "0x1234") << "a one-word chip writes word 1 only";
}

TEST(FuseEditor, WithoutLinesOkStoresTheBlankWordsAndThePaddedId) {
    const ChipParams chip = chip_with(3, "CF3F 1F3F 8700 00E5 C00F E00F 400F", {});
    Buffer buffer;
    for (int k = 1; k <= 7; ++k)
        buffer.lab_fuse(k) = "0x0000";
    buffer.lab_id1 = "0x1234";
    FuseEditor editor(chip, buffer);
    EXPECT_TRUE(editor.settings().empty());
    editor.ok();
    const char* blank[] = {"0xCF3F", "0x1F3F", "0x8700", "0x00E5", "0xC00F", "0xE00F", "0x400F"};
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(buffer.lab_fuse(k).get(), blank[k - 1]) << k;
    EXPECT_EQ(buffer.lab_id1.get(), "0x1234FFFFFFFFFFFF");
}

TEST(FuseEditor, AWordWhoseOptionsNoneFitKeepsTheSettingAtBlankOnOk) {
    // The word's bits 1-0 are 01, which no option gives: the row shows nothing and adds nothing.
    const ChipParams chip = chip_with(2, "3FFF", {R"("Mode","A"=FFFC,"B"=FFFE)"});
    Buffer buffer;
    buffer.lab_fuse(1) = "0x3FFD";
    FuseEditor editor(chip, buffer);
    EXPECT_EQ(editor.chosen(0), std::nullopt);
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3FFF");
}

std::vector<int> words_of(const ChipParams& chip) {
    std::vector<int> words;
    for (const FuseSetting& s : fuse_settings(chip).settings)
        words.push_back(s.word);
    return words;
}

TEST(FuseSettings, LinesAreGroupedByTheFirstLineOfEachWord) {
    const std::string seven = "FFFF FFFF FFFF FFFF FFFF FFFF FFFF";
    const auto line = [](const std::string& prefix) { return prefix + R"("S","x"=FFFE)"; };
    struct Case {
        const char* what;
        ChipParams chip;
        std::vector<int> words;
    };
    const Case cases[] = {
        {"seven words",
         chip_with(3, seven,
                   {line(""), line("FUSE2"), line("FUSE3"), line("FUSE4"), line("FUSE5"),
                    line("FUSE6"), line("FUSE7")}),
         {1, 2, 3, 4, 5, 6, 7}},
        {"word 3 empty", chip_with(3, seven, {line(""), line("FUSE2"), line("FUSE4")}), {1, 2, 4}},
        {"a word's line by place, not by prefix",
         chip_with(3, seven, {line("FUSE2"), line(""), line("FUSE5"), line("x")}),
         {2, 2, 2, 2}},
        {"no FUSE4 line: word 3 runs to the end",
         chip_with(3, seven, {line(""), line("FUSE2"), line("FUSE3"), line("FUSE5")}),
         {1, 2, 3, 3}},
        {"out of order: every line in one word",
         chip_with(3, seven, {line(""), line("FUSE3"), line("FUSE2"), line("FUSE4")}),
         {1, 1, 2, 4}},
        {"two words", chip_with(2, "3FFF 3FFF", {line(""), line("FUSE2"), line("")}), {1, 2, 2}},
        {"one word", chip_with(2, "3FFF", {line(""), line("FUSE2")}), {1, 1}},
        {"12-bit core", chip_with(1, "0FFF", {line("FUSE2")}), {1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(words_of(c.chip), c.words) << c.what;
}

TEST(FuseEditor, A16BitChipWithoutWord3LinesGetsWord3AtItsBlankOnOk) {
    const ChipParams chip =
        chip_with(3, "FFFF FFFF 8700 FFFF FFFF FFFF FFFF",
                  {R"("A","x"=FFFE)", R"(FUSE2"B","y"=FFFE)", R"(FUSE4"C","z"=FFFE,"w"=FFFF)"});
    Buffer buffer;
    buffer.lab_fuse(3) = "0x0000";
    buffer.lab_fuse(4) = "0xFFFE";
    FuseEditor editor(chip, buffer);
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(3).get(), "0x8700");
    EXPECT_EQ(buffer.lab_fuse(4).get(), "0xFFFE");
}

TEST(FuseSettings, UnreadableLinesAreLeftOutAndStillMarkTheirWord) {
    const ChipParams chip = chip_with(3, "FFFF FFFF FFFF FFFF FFFF FFFF FFFF",
                                      {
                                          R"("Good","a"=FFFE)",
                                          R"(FUSE2"No options")",
                                          R"("After marker","b"=FFFE)",
                                          R"("Unclosed caption)",
                                          R"("Bad mask","On"=3G7F,"Off"=FFFF)",
                                          R"("Cut mask","1"=F"2"=FFFF)",
                                          R"("Short mask","Off"=FFFF,"On"=4)",
                                          "",
                                          R"("After the end","c"=FFFE)",
                                      });
    const FuseSettings table = fuse_settings(chip);
    EXPECT_EQ(table.unreadable, (std::vector<int>{2, 4, 5, 6}));
    ASSERT_EQ(table.settings.size(), 3u);
    EXPECT_EQ(table.settings[0].caption, "Good");
    EXPECT_EQ(table.settings[1].caption, "After marker");
    EXPECT_EQ(table.settings[1].word, 2);
    EXPECT_EQ(table.settings[1].list_number, 3);
    EXPECT_EQ(table.settings[2].caption, "Short mask");
    EXPECT_EQ(table.settings[2].bits(), 0xFFFB);
}

TEST(FuseEditor, TheBandGapBitsNeverChange) {
    ChipParams chip = chip_with(
        2, "31FF",
        {R"("Watchdog Timer","Off"=FFF7,"On"=FFFF)", R"("Clears bit 13","On"=DFFF,"Off"=FFFF)"});
    chip.BandGap = true;
    Buffer buffer;
    for (const char* word : {"0x21F7", "0x01F7", "0x31F7"}) {
        buffer.lab_fuse(1) = word;
        FuseEditor editor(chip, buffer);
        editor.choose(0, 1);
        editor.choose(1, 0);
        editor.ok();
        EXPECT_EQ(buffer.lab_fuse(1).get().substr(0, 3), std::string(word).substr(0, 3)) << word;
        EXPECT_EQ(buffer.lab_fuse(1).get().substr(3), "1FF") << word;
    }
}

TEST(FuseIdField, KeysPassOrAreSwallowed) {
    const std::pair<char, std::optional<char>> keys[] = {
        {'0', '0'}, {'9', '9'}, {'A', 'A'}, {'F', 'F'}, {'a', 'A'}, {'f', 'F'}, {'\b', '\b'},
        {'G', {}},  {'g', {}},  {'x', {}},  {' ', {}},  {'/', {}},  {':', {}},  {'@', {}},
    };
    for (const auto& [key, passed] : keys)
        EXPECT_EQ(FuseIdField::key(key), passed) << key;
}

TEST(FuseIdField, TypedDigitsArePaddedWithFOnOk) {
    struct Case {
        int chip_bit;
        const char* label;
        const char* keys;
        bool enabled;
        const char* text; // before typing
        const char* stored;
    };
    const Case cases[] = {
        {2, "0xFFFFFFFF", "12ab", true, "FFFFFFFF", "0x12ABFFFF"},
        {2, "0x12345678", "1g2\b3", true, "12345678", "0x13FFFFFF"},
        {2, "0x12345678", "123456789", true, "12345678", "0x12345678"},
        {3, "0x0102030405060708", "0123456789abcdefAB", true, "0102030405060708",
         "0x0123456789ABCDEF"},
        {3, "0x0102030405060708", "7", true, "0102030405060708", "0x7FFFFFFFFFFFFFFF"},
        {1, "0x12345678", "12", false, "", "0xFFFFFFFF"},
    };
    for (const Case& c : cases) {
        FuseIdField id(c.chip_bit, c.label);
        EXPECT_EQ(id.enabled(), c.enabled) << c.keys;
        EXPECT_EQ(id.text(), c.text) << c.keys;
        id.set_text(c.keys);
        EXPECT_EQ(id.label_text(), c.stored) << c.keys;
    }
}

TEST(FuseIdField, AcceptsOnlyHexThatFits) {
    const FuseIdField midrange(2, "0xFFFFFFFF");
    EXPECT_TRUE(midrange.accepts("12ab"));
    EXPECT_TRUE(midrange.accepts(""));
    EXPECT_TRUE(midrange.accepts("12345678"));
    EXPECT_FALSE(midrange.accepts("123456789"));
    EXPECT_FALSE(midrange.accepts("12 3"));
    EXPECT_FALSE(midrange.accepts("12\b"));
    EXPECT_FALSE(FuseIdField(1, "0xFFFFFFFF").accepts("1"));
    EXPECT_TRUE(FuseIdField(3, "0xFFFFFFFF").accepts("0123456789ABCDEF"));
}

TEST(FuseNames, FullNamesWinThenUniquePrefixes) {
    const std::vector<std::string> names{"Code Protect", "Code Protect Blk 0", "Code Protect Blk 1",
                                         "Watchdog Timer"};
    using R = NameMatch::Result;
    struct Case {
        const char* typed;
        R result;
        std::size_t index;
        std::size_t possible;
    };
    const Case cases[] = {
        {"code protect", R::found, 0, 0}, {"  WATCHDOG timer ", R::found, 3, 0},
        {"watch", R::found, 3, 0},        {"Code Protect Blk", R::ambiguous, 0, 2},
        {"code", R::ambiguous, 0, 3},     {"Oscillator", R::unknown, 0, 0},
        {"   ", R::unknown, 0, 0},        {"Watchdog Timer On", R::unknown, 0, 0},
    };
    for (const Case& c : cases) {
        const NameMatch m = match_name(names, c.typed);
        EXPECT_EQ(m.result, c.result) << c.typed;
        EXPECT_EQ(m.possible.size(), c.possible) << c.typed;
        if (c.result == R::found) {
            EXPECT_EQ(m.index, c.index) << c.typed;
        }
    }
}

TEST(FuseNames, ChoosingByNameSaysWhatIsValid) {
    const ChipParams chip = midrange();
    Buffer buffer;
    buffer.lab_fuse(1) = "0x3F72";
    FuseEditor editor(chip, buffer);
    EXPECT_EQ(choose_by_name(editor, " watchdog timer", "ON "), "");
    EXPECT_EQ(editor.chosen(1), 1u);
    EXPECT_EQ(choose_by_name(editor, "Osc", "Z"),
              "Oscillator has no option \"Z\" (valid: LP, XT, HS, RC)");
    EXPECT_EQ(choose_by_name(editor, "Power", "O"),
              "option \"O\" of Power-up Timer is ambiguous (On, Off)");
    EXPECT_EQ(choose_by_name(editor, "Timer", "On"),
              "no fuse setting \"Timer\" (valid: Oscillator, Watchdog Timer, Power-up Timer, "
              "Brown-out Reset, Low-Voltage Prog., Code Protect)");
    EXPECT_EQ(choose_by_name(editor, "Low", "On"), "");
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3FF6");
}

} // namespace
} // namespace zz
