#include "files/pic18_loader.h"

#include "base/hex_text.h"

#include <algorithm>
#include <string>

namespace zz {

namespace {
constexpr std::int64_t kProgramWords = 0x100000;
constexpr std::int64_t kIdAddress = 0x200000;
constexpr std::int64_t kConfigAddress = 0x300000;
constexpr std::int64_t kEepromAddress = 0xF00000;
} // namespace

Pic18Loader::Pic18Loader(const ChipParams& chip, Buffer& buffer)
    : chip_(chip), buffer_(buffer),
      rom_words_(std::min<std::size_t>(rom_limit(chip, buffer), kProgramWords)),
      eeprom_bytes_(eeprom_limit(chip, buffer)) {}

ImageLoader::Step Pic18Loader::place(std::int64_t address, std::span<const std::uint8_t> data) {
    if (address < 0)
        return {1, true};
    const auto word = static_cast<std::size_t>(address / 2);
    if (word < rom_words_) {
        if (address % 2 == 0 && data.size() >= 2) {
            set_word_cell(buffer_, word, static_cast<std::uint16_t>((data[1] << 8) | data[0]));
            return {2};
        }
        set_word_cell_byte(buffer_, word, address % 2 == 1, data[0]);
        return {1};
    }
    const std::int64_t id = address - kIdAddress;
    const std::int64_t config = address - kConfigAddress;
    const std::int64_t eeprom = address - kEepromAddress;
    if (id >= 0 && id < static_cast<std::int64_t>(kIdBytes))
        id_[static_cast<std::size_t>(id)] = data[0];
    else if (config >= 0 && config < static_cast<std::int64_t>(kConfigBytes))
        config_[static_cast<std::size_t>(config)] = data[0];
    else if (eeprom >= 0 && eeprom < static_cast<std::int64_t>(eeprom_bytes_))
        set_byte_cell(buffer_, Area::eeprom, static_cast<std::size_t>(eeprom), data[0]);
    else
        return {1, true};
    return {1};
}

bool Pic18Loader::place_binary(std::size_t index, std::uint16_t value) {
    set_word_cell(buffer_, index, value);
    return true;
}

void Pic18Loader::finish() {
    std::string id;
    for (const auto& byte : id_)
        id += to_hex(byte.value_or(0xFF), 2);
    buffer_.lab_id1 = "0x" + id;
    for (std::size_t n = 0; n < kConfigBytes / 2; ++n) {
        const std::uint32_t word =
            config_[2 * n].value_or(0xFF) | (config_[2 * n + 1].value_or(0xFF) << 8);
        const auto blank = static_cast<std::uint32_t>(chip_.fuse_blank_words[n]);
        buffer_.lab_fuse(static_cast<int>(n) + 1) = "0x" + to_hex(word & blank & 0xFFFF, 4);
    }
}

} // namespace zz
