// Checks the chip databases delivered in data/ against the rules the rest of the program relies
// on, and a sample of well-known chips against their data sheets.
#include "device/chip_database.h"
#include "device/chip_family.h"
#include "device/fuse_line.h"

#include "base/hex_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace zz {
namespace {

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";
constexpr int kModels[] = {1, 2, 3, 4};

bool is_hex(std::string_view text, std::size_t digits) {
    return text.size() == digits && std::all_of(text.begin(), text.end(), [](char c) {
               return hex_digit_value(c) >= 0 && c != '\0';
           });
}

std::int32_t word_width_mask(int chip_bit) {
    return chip_bit == 1 ? 0x0FFF : chip_bit == 2 ? 0x3FFF : 0xFFFF;
}

class ChipDatabaseData : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(database.list_file(1, "-chip.ini")))
            GTEST_SKIP() << "no chip databases in " << kData;
    }

    // Every chip named by any list file of the model, with the families that list it.
    std::map<std::string, std::set<std::string_view>> chips_of(int model) const {
        std::map<std::string, std::set<std::string_view>> chips;
        for (const auto& family : kChipFamilies)
            for (const auto& name : database.chip_list(model, family.text))
                chips[name].insert(family.text);
        return chips;
    }

    ChipDatabase database{kData};
};

// The fuse lines: contiguous, parseable, word numbers in order and within the chip's words,
// each mask clearing only bits that are set in its word's blank value.
void check_fuse_lines(const std::string& where, const ChipParams& chip) {
    int last_word = 1;
    bool ended = false;
    for (std::size_t n = 0; n < chip.LIST.size(); ++n) {
        const std::string at = where + " LIST" + std::to_string(n + 1);
        if (chip.LIST[n].empty()) {
            ended = true;
            continue;
        }
        EXPECT_FALSE(ended) << at << ": after an empty line, never shown";
        const FuseLine line = parse_fuse_line(chip.LIST[n]);
        const int word = fuse_line_word(line.prefix);
        EXPECT_GE(word, last_word) << at;
        last_word = word;
        EXPECT_LE(word, chip.FuseWordCount) << at;
        EXPECT_FALSE(line.caption.empty()) << at;
        EXPECT_GE(line.options.size(), 1u) << at;
        EXPECT_LE(line.options.size(), 31u) << at;
        const std::int32_t blank = chip.fuse_blank_words[std::clamp(word, 1, 7) - 1];
        for (const auto& option : line.options) {
            EXPECT_FALSE(option.text.empty()) << at;
            ASSERT_GE(option.value, 0) << at << " " << option.text;
            const std::int32_t cleared = ~option.value & word_width_mask(chip.CHIPbit);
            EXPECT_EQ(cleared & ~blank, 0) << at << " " << option.text << " clears bits "
                                           << to_hex(cleared & ~blank, 4) << " outside the blank";
        }
    }
}

void check_chip(const std::string& where, const ChipParams& chip) {
    EXPECT_GE(chip.CHIPbit, 1) << where;
    EXPECT_LE(chip.CHIPbit, 5) << where;
    EXPECT_GT(chip.ROMsize, 0) << where;
    EXPECT_EQ(chip.ROMsize % 8, 0) << where;
    EXPECT_GE(chip.EEPROMsize, 0) << where;
    EXPECT_EQ(chip.EEPROMsize % 8, 0) << where;
    EXPECT_TRUE(is_hex(chip.ChipID, 4)) << where << " ChipID " << chip.ChipID;
    EXPECT_TRUE(is_hex(chip.ROMblank, chip.CHIPbit == 4 ? 2 : 4)) << where;
    for (const auto* byte :
         {&chip.EraseMode, &chip.PowerSequence, &chip.ProgramDelay, &chip.ProgramTries,
          &chip.OverProgram, &chip.CoreType, &chip.ProgramFlags})
        EXPECT_TRUE(is_hex(*byte, 2)) << where << " board byte " << *byte;
    const auto size = chip.FUSEblank.size();
    EXPECT_TRUE(size == 4 || size == 9 || size == 34) << where << " FUSEblank " << chip.FUSEblank;
    for (int n = 0; n < chip.FuseWordCount; ++n)
        EXPECT_GE(chip.fuse_blank_words[n], 0) << where << " FUSEblank " << chip.FUSEblank;
    if (chip.CHIPbit == 3) {
        EXPECT_EQ(chip.FuseWordCount, 7) << where;
    }
    if (chip.CHIPbit == 1) {
        EXPECT_EQ(chip.FuseWordCount, 1) << where;
    }
    EXPECT_TRUE(!chip.CALword || chip.CHIPbit == 1 || chip.CHIPbit == 2) << where;
    EXPECT_TRUE(!chip.BandGap || chip.CHIPbit == 2) << where;
    static const std::set<int> kSockets{8, 14, 18, 20, 28, 40, 811, 816, 821, 836, 1411};
    EXPECT_TRUE(kSockets.count(chip.SocketImage)) << where << " SocketImage " << chip.SocketImage;
    check_fuse_lines(where, chip);
}

int family_chip_bit(std::string_view family) {
    for (int bit = 1; bit <= 3; ++bit)
        if (family == kChipFamilies[bit - 1].text)
            return bit;
    return 0;
}

TEST_F(ChipDatabaseData, EveryListedChipIsDefinedAndSound) {
    for (int model : kModels) {
        const auto chips = chips_of(model);
        EXPECT_GT(chips.size(), 100u) << "model " << model;
        for (const auto& [name, families] : chips) {
            const std::string where = std::to_string(model) + "/" + name;
            ASSERT_LT(database.definition_index(model, name), ChipDatabase::kFallbackFileIndex)
                << where << " has no definition";
            const ChipParams chip = database.load(model, name, ChipParams{});
            check_chip(where, chip);
            for (std::string_view family : families) {
                if (const int bit = family_chip_bit(family)) {
                    EXPECT_EQ(chip.CHIPbit, bit) << where << " listed in " << family;
                }
                if (family == kEepromFamily) {
                    EXPECT_TRUE(chip.is_serial_eeprom()) << where;
                }
            }
            if (!chip.is_serial_eeprom()) {
                EXPECT_TRUE(families.count(kAllChipFamily)) << where << " missing in All Chip";
            } else {
                EXPECT_TRUE(model_supports_serial_eeproms(model)) << where;
            }
        }
    }
}

TEST_F(ChipDatabaseData, FamilyDefaultChipsArePresent) {
    for (int model : kModels)
        for (const auto& family : kChipFamilies) {
            if (family.text == kEepromFamily && !model_supports_serial_eeproms(model))
                continue;
            const auto list = database.chip_list(model, family.text);
            EXPECT_NE(std::find(list.begin(), list.end(), family.default_chip), list.end())
                << model << " " << family.text << " lacks " << family.default_chip;
        }
}

// Facts from the data sheets: sizes, device ID low byte first, calibration, memory kind, and the
// default configuration words. A database word may set more bits than the default (every bit an
// option can clear) but never fewer; 12- and 14-bit blanks are the exact erased words.
struct Fact {
    const char* name;
    std::int64_t rom;
    std::int32_t eeprom;
    const char* chip_id;
    bool cal;
    bool band_gap;
    int chip_bit;
    std::optional<std::vector<std::int32_t>> fuse_blank;
};

const Fact kFacts[] = {
    {"16F877A", 8192, 256, "200E", false, false, 2, {{0x3FFF}}},
    {"16F628A", 2048, 128, "6010", false, false, 2, {{0x3FFF}}},
    {"12F629", 1024, 128, "800F", true, true, 2, {{0x31FF}}},
    {"12F675", 1024, 128, "C00F", true, true, 2, {{0x31FF}}},
    {"16F84A", 1024, 64, "6005", false, false, 2, {{0x3FFF}}},
    {"18F452",
     16384,
     256,
     "2004",
     false,
     false,
     3,
     {{0x2700, 0x0F0F, 0x0100, 0x0085, 0xC00F, 0xE00F, 0x400F}}},
    {"18F4550",
     16384,
     256,
     "0012",
     false,
     false,
     3,
     {{0x0500, 0x1F1F, 0x8300, 0x0085, 0xC00F, 0xE00F, 0x400F}}},
    {"10F200", 256, 0, "FFFF", true, false, 1, {{0x0FFF}}},
    {"24xx02", 256, 0, "FFFF", false, false, 4, std::nullopt},
    {"93xx46(8bit)", 128, 0, "FFFF", false, false, 4, std::nullopt},
    {"93xx46(16bit)", 64, 0, "FFFF", false, false, 5, std::nullopt},
};

void check_fact(const std::string& where, const Fact& fact, const ChipParams& chip) {
    EXPECT_EQ(chip.ROMsize, fact.rom) << where;
    EXPECT_EQ(chip.EEPROMsize, fact.eeprom) << where;
    EXPECT_EQ(chip.ChipID, fact.chip_id) << where;
    EXPECT_EQ(chip.CALword, fact.cal) << where;
    EXPECT_EQ(chip.BandGap, fact.band_gap) << where;
    EXPECT_EQ(chip.CHIPbit, fact.chip_bit) << where;
    if (!fact.fuse_blank)
        return;
    ASSERT_EQ(chip.FuseWordCount, static_cast<int>(fact.fuse_blank->size())) << where;
    for (std::size_t n = 0; n < fact.fuse_blank->size(); ++n) {
        const std::int32_t expected = (*fact.fuse_blank)[n];
        if (chip.CHIPbit == 3) {
            EXPECT_EQ(expected & ~chip.fuse_blank_words[n], 0) << where << " word " << n + 1;
        } else {
            EXPECT_EQ(chip.fuse_blank_words[n], expected) << where << " word " << n + 1;
        }
    }
}

TEST_F(ChipDatabaseData, WellKnownChipsMatchTheirDataSheets) {
    for (const auto& fact : kFacts) {
        int models_listing = 0;
        for (int model : kModels) {
            if (!chips_of(model).count(fact.name))
                continue;
            ++models_listing;
            check_fact(std::to_string(model) + "/" + fact.name, fact,
                       database.load(model, fact.name, ChipParams{}));
        }
        EXPECT_GT(models_listing, 0) << fact.name << " is in no model's lists";
    }
}

} // namespace
} // namespace zz
