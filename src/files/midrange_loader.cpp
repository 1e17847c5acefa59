#include "files/midrange_loader.h"

#include "device/bandgap.h"

#include "base/hex_text.h"

#include <algorithm>
#include <string>

namespace zz {

namespace {

constexpr std::int64_t kEepromWord = 0x2100;
constexpr std::int64_t kIdWord = 0x2000;
constexpr std::int64_t kIdWords = 4;
constexpr std::int64_t kConfigWord12 = 0xFFF;
constexpr std::int64_t kConfigWord14 = 0x2007;
// The 12-bit user ID sits in the four words after program memory; this loader does not read it.
constexpr std::int64_t kId12Words = 4;

std::string word_caption(std::uint32_t value) {
    return "0x" + to_hex(value & 0xFFFF, 4);
}

} // namespace

MidrangeLoader::MidrangeLoader(const ChipParams& chip, Buffer& buffer, Core core)
    : chip_(chip), buffer_(buffer), core_(core), high_mask_(core == Core::bit12 ? 0x0F : 0x3F),
      rom_words_(std::min<std::size_t>(rom_limit(chip, buffer),
                                       core == Core::bit12 ? kConfigWord12 : kIdWord)),
      eeprom_bytes_(eeprom_limit(chip, buffer)) {}

MidrangeLoader::Region MidrangeLoader::region(std::int64_t word) const {
    if (word < 0)
        return Region::none;
    if (static_cast<std::size_t>(word) < rom_words_)
        return Region::program;
    if (word >= kEepromWord && word < kEepromWord + static_cast<std::int64_t>(eeprom_bytes_))
        return Region::eeprom;
    if (core_ == Core::bit12) {
        if (word == kConfigWord12)
            return Region::config1;
        const std::int64_t id = std::max<std::int64_t>(chip_.ROMsize, 0);
        return word >= id && word < id + kId12Words ? Region::quiet : Region::none;
    }
    if (word >= kIdWord && word < kIdWord + kIdWords)
        return Region::id;
    if (word == kConfigWord14)
        return Region::config1;
    if (word == kConfigWord14 + 1 && chip_.FuseWordCount >= 2)
        return Region::config2;
    return Region::none;
}

ImageLoader::Step MidrangeLoader::place(std::int64_t address, std::span<const std::uint8_t> data) {
    const std::int64_t word = address / 2;
    const Region where = address < 0 ? Region::none : region(word);
    if (where == Region::none || where == Region::quiet)
        return {0, where == Region::quiet};
    const auto index = static_cast<std::size_t>(word);
    if (where == Region::program) {
        const bool high = address % 2 == 1;
        if (!high && data.size() >= 2) {
            set_word_cell(buffer_, index,
                          static_cast<std::uint16_t>(((data[1] & high_mask_) << 8) | data[0]));
            return {2};
        }
        set_word_cell_byte(buffer_, index, high,
                           high ? static_cast<std::uint8_t>(data[0] & high_mask_) : data[0]);
        return {1};
    }
    // Outside program memory a step takes one whole word; a missing high byte reads as FFh.
    const std::uint8_t high = data.size() >= 2 ? data[1] : 0xFF;
    place_word(word, where, static_cast<std::uint16_t>((high << 8) | data[0]));
    return {std::min<std::size_t>(2, data.size())};
}

void MidrangeLoader::place_word(std::int64_t word, Region where, std::uint16_t value) {
    const auto low = static_cast<std::uint8_t>(value & 0xFF);
    switch (where) {
    case Region::eeprom:
        set_byte_cell(buffer_, Area::eeprom, static_cast<std::size_t>(word - kEepromWord), low);
        break;
    case Region::id:
        // Each ID byte goes to its own place, missing ones read FF: a file that repeats or
        // reorders its ID record cannot grow or shift the ID.
        id_[static_cast<std::size_t>(word - kIdWord)] = low;
        break;
    case Region::config1:
        config_[0] = value;
        break;
    case Region::config2:
        config_[1] = value;
        break;
    default:
        break;
    }
}

std::size_t MidrangeLoader::binary_units() const {
    std::int64_t end = std::max<std::int64_t>(
        static_cast<std::int64_t>(rom_words_),
        core_ == Core::bit12 ? kConfigWord12 + 1
                             : kConfigWord14 + (chip_.FuseWordCount >= 2 ? 2 : 1));
    if (eeprom_bytes_ > 0)
        end = std::max(end, kEepromWord + static_cast<std::int64_t>(eeprom_bytes_));
    return static_cast<std::size_t>(end);
}

void MidrangeLoader::place_binary(std::size_t index, std::uint16_t value) {
    const auto word = static_cast<std::int64_t>(index);
    const Region where = region(word);
    const auto masked = static_cast<std::uint16_t>(value & ((high_mask_ << 8) | 0xFF));
    if (where == Region::program)
        set_word_cell(buffer_, index, masked);
    else if (where != Region::none && where != Region::quiet)
        place_word(word, where, masked);
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
    const bool two_words = core_ == Core::bit14 && chip_.FuseWordCount >= 2;
    if (config_[0])
        buffer_.lab_fuse(1) =
            word_caption(static_cast<std::uint32_t>((*config_[0] & blank[0]) | chip_.FUSEOR));
    if (config_[1])
        buffer_.lab_fuse(2) = word_caption(static_cast<std::uint32_t>(*config_[1] & blank[1]));
    if (!config_[0] && !config_[1]) {
        buffer_.lab_fuse(1) = word_caption(static_cast<std::uint32_t>(blank[0]));
        if (core_ == Core::bit14)
            buffer_.lab_fuse(2) =
                two_words ? word_caption(static_cast<std::uint32_t>(blank[1])) : "0xFFFF";
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
