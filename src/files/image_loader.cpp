#include "files/image_loader.h"

#include "base/hex_text.h"
#include "files/eeprom_loader.h"
#include "files/midrange_loader.h"
#include "files/pic18_loader.h"

#include <algorithm>
#include <string>

namespace zz {

std::unique_ptr<ImageLoader> make_image_loader(int chip_bit, const ChipParams& chip,
                                               Buffer& buffer) {
    switch (chip_bit) {
    case 1:
        return std::make_unique<MidrangeLoader>(chip, buffer, MidrangeLoader::Core::bit12);
    case 2:
        return std::make_unique<MidrangeLoader>(chip, buffer, MidrangeLoader::Core::bit14);
    case 3:
        return std::make_unique<Pic18Loader>(chip, buffer);
    case 4:
        return std::make_unique<EepromLoader>(chip, buffer, EepromLoader::Cells::bytes);
    case 5:
        return std::make_unique<EepromLoader>(chip, buffer, EepromLoader::Cells::words);
    default:
        return nullptr;
    }
}

std::size_t rom_limit(const ChipParams& chip, const Buffer& buffer) {
    const auto size = static_cast<std::size_t>(std::max<std::int64_t>(chip.ROMsize, 0));
    return std::min(size, buffer.cell_count(Area::rom));
}

std::size_t eeprom_limit(const ChipParams& chip, const Buffer& buffer) {
    const auto size = static_cast<std::size_t>(std::max(chip.EEPROMsize, 0));
    return std::min(size, buffer.cell_count(Area::eeprom));
}

void set_word_cell(Buffer& buffer, std::size_t index, std::uint16_t word) {
    buffer.set_cell_and_view(Area::rom, index, to_hex(word, 4));
}

void set_word_cell_byte(Buffer& buffer, std::size_t index, bool high, std::uint8_t byte) {
    const std::string_view old = buffer.cell(Area::rom, index);
    std::string text = old.size() == 4 ? std::string(old) : std::string("FFFF");
    text.replace(high ? 0 : 2, 2, to_hex(byte, 2));
    buffer.set_cell_and_view(Area::rom, index, text);
}

void set_byte_cell(Buffer& buffer, Area area, std::size_t index, std::uint8_t byte) {
    buffer.set_cell_and_view(area, index, to_hex(byte, 2));
}

} // namespace zz
