#include "files/eeprom_loader.h"

namespace zz {

EepromLoader::EepromLoader(const ChipParams& chip, Buffer& buffer, Cells cells)
    : buffer_(buffer), cells_(cells), cell_count_(rom_limit(chip, buffer)) {}

ImageLoader::Step EepromLoader::place(std::int64_t address, std::span<const std::uint8_t> data) {
    if (address < 0)
        return {1, true};
    if (cells_ == Cells::bytes) {
        if (static_cast<std::size_t>(address) >= cell_count_)
            return {1, true};
        set_byte_cell(buffer_, Area::rom, static_cast<std::size_t>(address), data[0]);
        return {1};
    }
    const auto word = static_cast<std::size_t>(address / 2);
    if (word >= cell_count_)
        return {1, true};
    if (address % 2 == 0 && data.size() >= 2) {
        set_word_cell(buffer_, word, static_cast<std::uint16_t>((data[1] << 8) | data[0]));
        return {2};
    }
    set_word_cell_byte(buffer_, word, address % 2 == 1, data[0]);
    return {1};
}

bool EepromLoader::place_binary(std::size_t index, std::uint16_t value) {
    if (cells_ == Cells::bytes)
        set_byte_cell(buffer_, Area::rom, index, static_cast<std::uint8_t>(value));
    else
        set_word_cell(buffer_, index, value);
    return true;
}

} // namespace zz
