// The fuse lines of every chip of the delivered databases, as the fuse editor reads them: every
// line readable and in the word its prefix names, options that clear only bits of their word's
// blank value and are told apart by their masks, settings that never share a bit, and names that
// a person can type unambiguously.
#include "dialogs/fuse/fuse_names.h"
#include "dialogs/fuse/fuse_settings.h"
#include "gputils_header.h"

#include "base/hex_text.h"
#include "device/chip_database.h"
#include "device/chip_family.h"

#include <gtest/gtest.h>

#include <map>

namespace zz {
namespace {

using test::ChipHeader;
using test::HeaderField;
using test::HeaderOption;
using test::kGputilsHeaders;
using test::read_chip_header;

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

// The header block of a setting: the field of its word whose options clear exactly its bits.
const HeaderField* header_field(const ChipHeader& header, const ChipParams& chip,
                                const FuseSetting& s) {
    const auto blank = static_cast<std::uint16_t>(chip.fuse_blank_words.at(s.word - 1));
    for (const HeaderField& field : header.fields) {
        std::uint16_t bits = 0;
        for (const HeaderOption& o : field.options)
            bits |= static_cast<std::uint16_t>(~o.mask & blank);
        if (field.word == s.word && bits == s.bits())
            return &field;
    }
    return nullptr;
}

// The header's description of an option: the first option of the field with its mask.
std::string description(const HeaderField& field, const ChipParams& chip, const FuseSetting& s,
                        const FuseOption& o) {
    const auto blank = static_cast<std::uint16_t>(chip.fuse_blank_words.at(s.word - 1));
    for (const HeaderOption& h : field.options)
        if (((h.mask | ~blank) & 0xFFFF) == o.value)
            return h.comment;
    return "";
}

bool is_disable_bit(const HeaderField& field) {
    return field.options.front().field.ends_with("DIS");
}

// Against the header: a disable bit's "On" clears it (the feature works) and its "Off" leaves
// it set; no option is described as another option of its setting, so none is one the chip
// does not have (a two-way switch whose positions the header describes alike is the header's
// slip, not a missing option). Returns whether the setting was found in the header.
bool check_against_header(const std::string& where, const ChipParams& chip, const FuseSetting& s,
                          const ChipHeader& header) {
    const HeaderField* field = header_field(header, chip, s);
    if (!field)
        return false;
    std::map<std::string, std::string> described;
    for (const FuseOption& o : s.options) {
        if (is_disable_bit(*field) && (o.text == "On" || o.text == "Off")) {
            EXPECT_EQ(o.text == "On", (o.value & s.bits()) == 0)
                << where << ": the disable bit " << field->options.front().field << " reads \""
                << o.text << "\" backwards";
        }
        const std::string text = description(*field, chip, s, o);
        if (text.empty() || s.options.size() == 2)
            continue;
        const auto [other, fresh] = described.emplace(text, o.text);
        EXPECT_TRUE(fresh) << where << ": \"" << o.text << "\" is \"" << other->second
                           << "\" again (" << text << "): the chip has no such option";
    }
    return true;
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

// Every chip of every model against its gputils header (read once per chip); the enhanced
// mid-range chips are those whose header puts configuration word 1 at 8007h.
TEST(FuseDatabase, EveryChipAgreesWithItsGputilsHeader) {
    ASSERT_TRUE(std::filesystem::is_directory(kGputilsHeaders))
        << "install gputils (scripts/setup.sh): its headers are the second source";
    const ChipDatabase database(kData);
    std::map<std::string, std::optional<ChipHeader>> headers;
    std::size_t found = 0;
    for (int model = 1; model <= 4; ++model) {
        for (const std::string& name : database.chip_list(model, kAllChipFamily)) {
            const ChipParams chip = database.load(model, name, ChipParams{});
            if (chip.is_serial_eeprom())
                continue;
            auto known = headers.find(name);
            if (known == headers.end())
                known = headers.emplace(name, read_chip_header(name)).first;
            const std::string where = std::to_string(model) + "/" + name;
            ASSERT_TRUE(known->second) << where << " has no gputils header";
            if (chip.CHIPbit == 2) {
                EXPECT_EQ(is_enhanced_midrange(chip), known->second->config1_address == 0x8007u)
                    << where;
            }
            for (const FuseSetting& s : fuse_settings(chip).settings)
                found += check_against_header(where + " LIST" + std::to_string(s.list_number), chip,
                                              s, *known->second);
        }
    }
    // Nearly every setting is a field of its header (the others merge fields or mark words).
    EXPECT_GT(found, 4 * 3000u);
}

} // namespace
} // namespace zz
