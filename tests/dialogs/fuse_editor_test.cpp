// The fuse editor's rules on hand-made chips: which option a word selects, how OK builds the
// words, how lines are grouped by word, which lines are left out, the BandGap bits and the ID.
#include "dialogs/fuse/fuse_editor.h"
#include "dialogs/fuse/fuse_names.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

ChipParams chip_with(int chip_bit, const std::string& blank, std::vector<std::string> lines) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.FUSEblank = blank;
    parse_fuse_blank(chip);
    std::copy(lines.begin(), lines.end(), chip.LIST.begin());
    return chip;
}

TEST(FuseEditor, TheSmallestMaskThatFitsTheWordIsShown) {
    const auto row = [](const char* options) {
        return FuseSetting{1, 1, "Row", parse_fuse_line(std::string("\"Row\"") + options).options};
    };
    const FuseSetting oscillator = row(R"("LP"=3FFC"XT"=3FFD"HS"=3FFE"RC"=3FFF)");
    const FuseSetting no_blank = row(R"("A"=FFFE"B"=FFFD)");
    const FuseSetting two_blank = row(R"("A"=FFFE"B"=FFFF"C"=FFFF)");
    const std::tuple<const FuseSetting*, std::int32_t, std::optional<std::size_t>> cases[] = {
        {&oscillator, 0x3FF9, 1}, {&oscillator, 0x3FF8, 0}, {&oscillator, 0x0FFE, 2},
        {&no_blank, 0xFFFF, {}},  {&no_blank, 0xFFFC, 1},   {&two_blank, 0xFFFF, 1},
    };
    for (const auto& [setting, word, shown] : cases)
        EXPECT_EQ(current_option(*setting, word), shown) << std::hex << word;
}

TEST(FuseEditor, OkRebuildsTheWordsFromTheirBlankAndTheChosenOptions) {
    const ChipParams chip = chip_with(2, "3FFF",
                                      {R"("Oscillator","LP"=FFFC,"XT"=FFFD,"HS"=FFFE,"RC"=FFFF)",
                                       R"("Watchdog Timer","Off"=FFFB,"On"=FFFF)",
                                       R"("Power-up Timer","On"=FFF7,"Off"=FFFF)",
                                       R"("Low-Voltage Prog.","Off"=FF7F,"On"=FFFF)"});
    Buffer buffer;
    buffer.lab_fuse(1) = "0x3F72";
    buffer.lab_fuse(2) = "0x1234";
    FuseEditor editor(chip, buffer);
    EXPECT_EQ(editor.chosen(0), 2u); // HS
    EXPECT_EQ(editor.chosen(1), 0u); // Watchdog off
    EXPECT_EQ(choose_by_name(editor, " watchdog ", "ON"), "");
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3F72") << "nothing before OK";
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3F76");
    EXPECT_EQ(buffer.lab_fuse(2).get(), "0x1234") << "a one-word chip writes word 1 only";

    const ChipParams pic18 = chip_with(3, "CF3F 1F3F 8700 00E5 C00F E00F 400F", {});
    buffer.lab_fuse(3) = "0x0000";
    buffer.lab_id1 = "0x1234";
    FuseEditor empty(pic18, buffer);
    empty.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0xCF3F");
    EXPECT_EQ(buffer.lab_fuse(3).get(), "0x8700");
    EXPECT_EQ(buffer.lab_fuse(7).get(), "0x400F");
    EXPECT_EQ(buffer.lab_id1.get(), "0x1234FFFFFFFFFFFF");
}

TEST(FuseEditor, LinesGoToTheWordThatTheirPlaceGives) {
    const std::string seven = "FFFF FFFF FFFF FFFF FFFF FFFF FFFF";
    const auto words_of = [](int chip_bit, const std::string& blank,
                             const std::vector<std::string>& prefixes) {
        std::vector<std::string> lines;
        for (const std::string& prefix : prefixes)
            lines.push_back(prefix + R"("S","x"=FFFE)");
        std::vector<int> words;
        for (const FuseSetting& s : fuse_settings(chip_with(chip_bit, blank, lines)).settings)
            words.push_back(s.word);
        return words;
    };
    using W = std::vector<int>;
    EXPECT_EQ(words_of(3, seven, {"", "FUSE2", "FUSE3", "FUSE4", "FUSE5", "FUSE6", "FUSE7"}),
              (W{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(words_of(3, seven, {"", "FUSE2", "FUSE4"}), (W{1, 2, 4})); // word 3 empty
    EXPECT_EQ(words_of(3, seven, {"FUSE2", "", "FUSE5"}), (W{2, 2, 2})); // no FUSE3/FUSE4 line
    EXPECT_EQ(words_of(3, seven, {"", "FUSE3", "FUSE2", "FUSE4"}), (W{1, 1, 2, 4}));
    EXPECT_EQ(words_of(2, "3FFF 3FFF", {"", "FUSE2", ""}), (W{1, 2, 2}));
    EXPECT_EQ(words_of(2, "3FFF", {"", "FUSE2"}), (W{1, 1}));
}

TEST(FuseEditor, UnreadableLinesAreLeftOutAndStillMarkTheirWord) {
    const FuseSettings table = fuse_settings(
        chip_with(3, "FFFF FFFF FFFF FFFF FFFF FFFF FFFF",
                  {R"("Good","a"=FFFE)", R"(FUSE2"No options")", R"("Word 2","b"=FFFE)",
                   R"("Unclosed caption)", R"("Bad mask","On"=3G7F,"Off"=FFFF)",
                   R"("Cut mask","1"=F"2"=FFFF)", R"("Short mask","Off"=FFFF,"On"=4)", "",
                   R"("After the end","c"=FFFE)"}));
    EXPECT_EQ(table.unreadable, (std::vector<int>{2, 4, 5, 6}));
    ASSERT_EQ(table.settings.size(), 3u);
    EXPECT_EQ(table.settings[1].word, 2);
    EXPECT_EQ(table.settings[1].list_number, 3);
    EXPECT_EQ(table.settings[2].bits(), 0xFFFB);
}

TEST(FuseEditor, TheBandGapBitsNeverChange) {
    ChipParams chip = chip_with(2, "31FF", {R"("Clears bit 13","On"=DFFF,"Off"=FFFF)"});
    chip.BandGap = true;
    Buffer buffer;
    buffer.lab_fuse(1) = "0x21F7";
    FuseEditor editor(chip, buffer);
    editor.choose(0, 0);
    editor.ok();
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x21FF");
}

TEST(FuseEditor, TheIdTakesHexKeysAndIsPaddedWithF) {
    const std::tuple<int, const char*, const char*, const char*> cases[] = {
        {2, "0xFFFFFFFF", "12ab", "0x12ABFFFF"},
        {2, "0x12345678", "1g2\b3:@/", "0x13FFFFFF"},
        {2, "0x12345678", "123456789", "0x12345678"},
        {3, "0x0102030405060708", "7", "0x7FFFFFFFFFFFFFFF"},
        {3, "0x0102030405060708", "0123456789abcdefAB", "0x0123456789ABCDEF"},
        {1, "0x12345678", "12", "0xFFFFFFFF"}, // the 12-bit core's field is disabled
    };
    for (const auto& [chip_bit, label, keys, stored] : cases) {
        FuseIdField id(chip_bit, label);
        EXPECT_EQ(id.text(), chip_bit == 1 ? "" : std::string(label).substr(2)) << keys;
        id.set_text(keys);
        EXPECT_EQ(id.label_text(), stored) << keys;
    }
}

TEST(FuseEditor, NamesAreFoundInFullOrByAUniqueBeginning) {
    const std::vector<std::string> names{"Code Protect", "Code Protect Blk 0", "Code Protect Blk 1",
                                         "Watchdog Timer"};
    using R = NameMatch::Result;
    const std::tuple<const char*, R, std::size_t> cases[] = {
        {"code protect", R::found, 0}, {"  WATCHDOG timer ", R::found, 3},
        {"watch", R::found, 3},        {"Code Protect Blk", R::ambiguous, 2},
        {"Oscillator", R::unknown, 0}, {"   ", R::unknown, 0},
    };
    for (const auto& [typed, result, index] : cases) {
        const NameMatch m = match_name(names, typed);
        EXPECT_EQ(m.result, result) << typed;
        EXPECT_EQ(result == R::found ? m.index : m.possible.size(), index) << typed;
    }
}

} // namespace
} // namespace zz
