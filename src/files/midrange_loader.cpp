#include "files/midrange_loader.h"

#include "device/bandgap.h"

#include "base/hex_text.h"

#include <algorithm>
#include <string>

namespace zz {

namespace {

constexpr std::int64_t kIdWords = 4;
// The 12-bit user ID sits in the four words after program memory; this loader does not read it.
constexpr std::int64_t kId12Words = 4;

std::string word_caption(std::uint32_t value) {
    return "0x" + to_hex(value & 0xFFFF, 4);
}

bool within(std::int64_t word, std::int64_t first, std::int64_t count) {
    return word >= first && word < first + count;
}

std::vector<MidrangeLayout> layouts_of(const ChipParams& chip, MidrangeLoader::Core core) {
    if (core == MidrangeLoader::Core::bit12)
        return {};
    if (is_enhanced_midrange(chip))
        return {kEnhancedLayout, kClassicLayout};
    return {kClassicLayout};
}

} // namespace

MidrangeLoader::MidrangeLoader(const ChipParams& chip, Buffer& buffer, Core core)
    : chip_(chip), buffer_(buffer), core_(core), high_mask_(core == Core::bit12 ? 0x0F : 0x3F),
      layouts_(layouts_of(chip, core)),
      rom_words_(std::min<std::size_t>(
          rom_limit(chip, buffer),
          static_cast<std::size_t>(layouts_.empty() ? kConfigWord12 : layouts_[0].program_end))),
      eeprom_bytes_(eeprom_limit(chip, buffer)),
      config_words_(core == Core::bit14 && chip.FuseWordCount >= 2 ? 2 : 1) {}

MidrangeLoader::Place MidrangeLoader::place_of(std::int64_t word) const {
    if (word < 0)
        return {};
    if (static_cast<std::size_t>(word) < rom_words_)
        return {Region::program, static_cast<std::size_t>(word)};
    if (core_ == Core::bit12)
        return place_of_12bit(word);
    for (const MidrangeLayout& layout : layouts_)
        if (const Place where = place_in(layout, word); where.region != Region::none)
            return where;
    return {};
}

MidrangeLoader::Place MidrangeLoader::place_of_12bit(std::int64_t word) const {
    if (within(word, kEepromWord12, static_cast<std::int64_t>(eeprom_bytes_)))
        return {Region::eeprom, static_cast<std::size_t>(word - kEepromWord12)};
    if (word == kConfigWord12)
        return {Region::config, 0};
    const std::int64_t id = std::max<std::int64_t>(chip_.ROMsize, 0);
    return within(word, id, kId12Words) ? Place{Region::quiet, 0} : Place{};
}

MidrangeLoader::Place MidrangeLoader::place_in(const MidrangeLayout& layout,
                                               std::int64_t word) const {
    if (within(word, layout.eeprom, static_cast<std::int64_t>(eeprom_bytes_)))
        return {Region::eeprom, static_cast<std::size_t>(word - layout.eeprom)};
    if (within(word, layout.id, kIdWords))
        return {Region::id, static_cast<std::size_t>(word - layout.id)};
    if (within(word, layout.config, config_words_))
        return {Region::config, static_cast<std::size_t>(word - layout.config)};
    return {};
}

ImageLoader::Step MidrangeLoader::place(std::int64_t address, std::span<const std::uint8_t> data) {
    const Place where = place_of(address < 0 ? -1 : address / 2);
    if (where.region == Region::none || where.region == Region::quiet)
        return {1, where.region == Region::none};
    if (where.region == Region::program) {
        const bool high = address % 2 == 1;
        if (!high && data.size() >= 2) {
            set_word_cell(buffer_, where.index,
                          static_cast<std::uint16_t>(((data[1] & high_mask_) << 8) | data[0]));
            return {2};
        }
        set_word_cell_byte(buffer_, where.index, high,
                           high ? static_cast<std::uint8_t>(data[0] & high_mask_) : data[0]);
        return {1};
    }
    place_byte(where, address % 2 == 1, data[0]);
    return {1};
}

// Outside program memory a word holds an EEPROM or ID byte in its low byte (its high byte has
// no place and is passed over) or a configuration word, whose missing bytes read FFh.
void MidrangeLoader::place_byte(Place where, bool high, std::uint8_t byte) {
    if (where.region == Region::config) {
        const std::uint16_t word = config_[where.index].value_or(0xFFFF);
        config_[where.index] = static_cast<std::uint16_t>(high ? (word & 0x00FF) | (byte << 8)
                                                               : (word & 0xFF00) | byte);
    } else if (!high) {
        place_word(where, byte);
    }
}

void MidrangeLoader::place_word(Place where, std::uint16_t value) {
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    switch (where.region) {
    case Region::eeprom:
        set_byte_cell(buffer_, Area::eeprom, where.index, low);
        break;
    case Region::id:
        // Each ID byte goes to its own place, missing ones read FF: a file that repeats or
        // reorders its ID record cannot grow or shift the ID.
        id_[where.index] = low;
        break;
    case Region::config:
        config_[where.index] = value;
        break;
    default:
        break;
    }
}

std::size_t MidrangeLoader::binary_units() const {
    auto end = static_cast<std::int64_t>(rom_words_);
    if (core_ == Core::bit12)
        end = std::max(end, kConfigWord12 + 1);
    for (const MidrangeLayout& layout : layouts_)
        end = std::max(end, layout.config + config_words_);
    if (eeprom_bytes_ == 0)
        return static_cast<std::size_t>(end);
    const auto eeprom = static_cast<std::int64_t>(eeprom_bytes_);
    if (core_ == Core::bit12)
        end = std::max(end, kEepromWord12 + eeprom);
    for (const MidrangeLayout& layout : layouts_)
        end = std::max(end, layout.eeprom + eeprom);
    return static_cast<std::size_t>(end);
}

bool MidrangeLoader::place_binary(std::size_t index, std::uint16_t value) {
    const Place where = place_of(static_cast<std::int64_t>(index));
    const auto cell_mask = static_cast<std::uint16_t>((high_mask_ << 8) | 0xFF);
    const auto masked = static_cast<std::uint16_t>(value & cell_mask);
    if (where.region == Region::program)
        set_word_cell(buffer_, where.index, masked);
    else if (where.region != Region::none && where.region != Region::quiet)
        place_word(where, masked);
    // An erased word is no data, wherever it lies.
    return where.region != Region::none || masked == cell_mask;
}

void MidrangeLoader::finish() {
    std::string id;
    for (const auto& byte : id_)
        id += to_hex(byte.value_or(0xFF), 2);
    buffer_.lab_id1 = "0x" + id;
    finish_config();
    if (core_ == Core::bit14 && chip_.BandGap)
        finish_band_gap();
}

void MidrangeLoader::finish_config() {
    const auto& blank = chip_.fuse_blank_words;
    if (config_[0])
        buffer_.lab_fuse(1) =
            word_caption(static_cast<std::uint32_t>((*config_[0] & blank[0]) | chip_.FUSEOR));
    if (config_[1])
        buffer_.lab_fuse(2) = word_caption(static_cast<std::uint32_t>(*config_[1] & blank[1]));
    if (!config_[0] && !config_[1]) {
        buffer_.lab_fuse(1) = word_caption(static_cast<std::uint32_t>(blank[0]));
        if (core_ == Core::bit14)
            buffer_.lab_fuse(2) =
                config_words_ == 2 ? word_caption(static_cast<std::uint32_t>(blank[1])) : "0xFFFF";
    }
    for (int n = core_ == Core::bit12 ? 2 : 3; n <= 7; ++n)
        buffer_.lab_fuse(n) = "0xFFFF";
}

// Bits 13 and 12 of configuration word 1 are the chip's BandGap calibration.
void MidrangeLoader::finish_band_gap() {
    const std::string& caption = buffer_.lab_fuse(1).get();
    const std::int32_t word =
        caption.size() > 2 ? hex_to_int(std::string_view(caption).substr(2, 4)) : -1;
    // Only a word within 14 bits names its BandGap bits; anything else leaves the label.
    if (word < 0 || word > 0x3FFF)
        return;
    if (const std::string caption_text = bandgap_caption(static_cast<char>('0' + (word >> 12)));
        !caption_text.empty())
        buffer_.lab_band = caption_text;
}

} // namespace zz
