// The fuse lines of every chip of the delivered databases, as the fuse editor reads them: every
// line readable and in the word its prefix names, options that clear only bits of their word's
// blank value and are told apart by their masks, settings that never share a bit, and names that
// a person can type unambiguously.
#include "dialogs/fuse/fuse_names.h"
#include "dialogs/fuse/fuse_settings.h"

#include "base/hex_text.h"
#include "device/chip_database.h"
#include "device/chip_family.h"

#include <gtest/gtest.h>

#include <map>

namespace zz {
namespace {

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

// Each name is found as itself: distinct without regard to case and blanks.
void expect_distinct_names(const std::string& where, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const NameMatch m = match_name(names, names[i]);
        EXPECT_TRUE(m.result == NameMatch::Result::found && m.index == i)
            << where << ": \"" << names[i] << "\" is not unique";
    }
}

void check_setting(const std::string& where, const ChipParams& chip, const FuseSetting& s) {
    EXPECT_EQ(s.word, fuse_line_word(parse_fuse_line(chip.LIST[s.list_number - 1]).prefix))
        << where << ": the line's place and prefix name different words";
    const std::int32_t blank = chip.fuse_blank_words.at(static_cast<std::size_t>(s.word - 1));
    std::map<std::int32_t, std::string> masks;
    std::vector<std::string> names;
    for (const FuseOption& o : s.options) {
        names.push_back(o.text);
        EXPECT_EQ(~o.value & 0xFFFF & ~blank, 0)
            << where << " " << o.text << " clears bits outside the blank word " << to_hex(blank, 4);
        EXPECT_TRUE(masks.emplace(o.value, o.text).second)
            << where << ": " << o.text << " and " << masks[o.value] << " have one mask";
    }
    expect_distinct_names(where, names);
    if (chip.BandGap && s.word == 1) {
        EXPECT_EQ(s.bits() & kBandGapBits, 0) << where << " claims the BandGap bits";
    }
}

void check_chip(const std::string& where, const ChipParams& chip) {
    const FuseSettings table = fuse_settings(chip);
    for (const int n : table.unreadable)
        ADD_FAILURE() << where << " LIST" << n << " cannot be read: " << chip.LIST[n - 1];
    std::vector<std::string> captions;
    std::map<int, std::uint16_t> claimed; // bits per word
    for (const FuseSetting& s : table.settings) {
        const std::string at = where + " LIST" + std::to_string(s.list_number);
        check_setting(at, chip, s);
        EXPECT_LE(s.word, table.word_count) << at;
        EXPECT_EQ(claimed[s.word] & s.bits(), 0) << at << " shares bits with another setting";
        claimed[s.word] |= s.bits();
        captions.push_back(s.caption);
    }
    expect_distinct_names(where, captions);
}

TEST(FuseDatabase, EveryChipOfEveryModelHasSoundSettings) {
    const ChipDatabase database(kData);
    for (int model = 1; model <= 4; ++model) {
        std::size_t with_settings = 0;
        for (const std::string& name : database.chip_list(model, kAllChipFamily)) {
            const ChipParams chip = database.load(model, name, ChipParams{});
            check_chip(std::to_string(model) + "/" + name, chip);
            with_settings += !chip.LIST[0].empty();
        }
        EXPECT_GT(with_settings, 250u) << "model " << model;
    }
}

} // namespace
} // namespace zz
