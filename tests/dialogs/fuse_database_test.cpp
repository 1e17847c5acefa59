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

#include <fstream>
#include <map>
#include <optional>
#include <regex>

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

// A chip's configuration options as Debian's gputils header p<chip>.inc lists them: a source of
// its own beside the tables the chip databases are made from.
struct HeaderOption {
    std::string field;   // the symbol's name without "_", byte suffix and option: ZCDDIS
    std::uint16_t mask;  // over the 16-bit word (a PIC18 byte's other byte all ones)
    std::string comment; // lower case, blanks trimmed
};

// One blank-line-separated block of options: one field.
struct HeaderField {
    int word = 1;
    std::vector<HeaderOption> options;
};

struct ChipHeader {
    std::vector<HeaderField> fields;
    std::optional<std::uint32_t> config1_address; // _CONFIG / _CONFIG1
};

const std::filesystem::path kGputilsHeaders = "/usr/share/gputils/header";

std::string trimmed_lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Empty when the chip has no header.
std::optional<ChipHeader> read_chip_header(const std::string& chip_name) {
    std::ifstream in(kGputilsHeaders / ("p" + trimmed_lower(chip_name) + ".inc"));
    if (!in)
        return std::nullopt;
    static const std::regex section(R"(^;-----\s*CONFIG(\d*)([LH]?)\s+Options.*)");
    static const std::regex option(
        R"(^_(\w+?)_(\w+?)(?:_(\d)([LH]))?\s+EQU\s+H'([0-9A-Fa-f]+)'\s*(?:;(.*))?$)");
    static const std::regex address(R"(^_CONFIG1?\s+EQU\s+H'([0-9A-Fa-f]+)'.*)");
    ChipHeader header;
    int word = 0; // 0: not in an options section
    char byte = 0;
    bool new_block = true;
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, section)) {
            word = m[1].length() ? std::stoi(m[1]) : 1;
            byte = m[2].length() ? m[2].str()[0] : 0;
            new_block = true;
        } else if (line.starts_with(";-----") || line.starts_with(";=====")) {
            word = 0;
        } else if (std::regex_match(line, m, address)) {
            header.config1_address = static_cast<std::uint32_t>(std::stoul(m[1], nullptr, 16));
        } else if (word && std::regex_match(line, m, option)) {
            const int w = m[3].length() ? std::stoi(m[3]) : word;
            const char b = m[4].length() ? m[4].str()[0] : byte;
            const auto v = static_cast<std::uint16_t>(std::stoul(m[5], nullptr, 16));
            const auto mask = static_cast<std::uint16_t>(b == 'L'   ? 0xFF00 | v
                                                         : b == 'H' ? (v << 8) | 0xFF
                                                                    : v);
            if (new_block)
                header.fields.push_back({w, {}});
            new_block = false;
            header.fields.back().options.push_back({m[1], mask, trimmed_lower(m[6])});
        } else if (trimmed_lower(line).empty()) {
            new_block = true;
        }
    }
    return header;
}

// The header block of a setting: the field of its word whose options clear exactly its bits of
// the word's blank value.
const HeaderField* header_field(const ChipHeader& header, const FuseSetting& s,
                                std::uint16_t blank) {
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
std::string description(const HeaderField& field, std::uint16_t blank, const FuseOption& o) {
    for (const HeaderOption& h : field.options)
        if (((h.mask | ~blank) & 0xFFFF) == o.value)
            return h.comment;
    return "";
}

// Against the header: a disable bit's "On" clears it (the feature works) and its "Off" leaves
// it set; no option is described as another option of its setting, so none is one the chip
// does not have (a two-way switch whose positions the header describes alike is the header's
// slip, not a missing option). Returns whether the setting was found in the header.
bool check_against_header(const std::string& where, const ChipParams& chip, const FuseSetting& s,
                          const ChipHeader& header) {
    const auto blank = static_cast<std::uint16_t>(chip.fuse_blank_words.at(s.word - 1));
    const HeaderField* field = header_field(header, s, blank);
    if (!field)
        return false;
    const std::string& symbol = field->options.front().field;
    std::map<std::string, std::string> described;
    for (const FuseOption& o : s.options) {
        if (symbol.ends_with("DIS") && (o.text == "On" || o.text == "Off")) {
            EXPECT_EQ(o.text == "On", (o.value & s.bits()) == 0)
                << where << ": the disable bit " << symbol << " reads \"" << o.text
                << "\" backwards";
        }
        const std::string text = description(*field, blank, o);
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
