#include "sim/chip_image.h"

#include "base/hex_text.h"
#include "files/image_export.h"

#include <cstdio>

namespace zz {

namespace {

std::size_t id_count(const ChipParams& params) {
    return params.CHIPbit == 3 ? 8 : 4;
}

std::string hex_digits(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The value after "0x" of a label, `digits` long from digit `first`; -1 when not hex.
std::int32_t label_value(std::string_view label, std::size_t first, std::size_t digits) {
    const std::size_t at = 2 + first;
    return at + digits <= label.size() ? hex_to_int(label.substr(at, digits)) : -1;
}

void rom_to_buffer(const VirtualChip& chip, const ChipParams& params, Buffer& buffer) {
    const int digits = params.CHIPbit == 4 ? 2 : 4;
    for (std::size_t a = 0; a < chip.rom().size(); ++a)
        buffer.set_cell_and_view(Area::rom, a, hex_digits(chip.read_rom(a), digits));
    for (std::size_t a = 0; a < chip.eeprom().size(); ++a)
        buffer.set_cell_and_view(Area::eeprom, a, hex_digits(chip.read_eeprom(a), 2));
}

void labels_to_buffer(const VirtualChip& chip, const ChipParams& params, Buffer& buffer) {
    std::string id = "0x";
    for (std::size_t k = 0; k < id_count(params); ++k)
        id += hex_digits(chip.id()[k], 2);
    buffer.lab_id1 = id;
    for (int k = 0; k < chip.fuse_count(); ++k)
        buffer.lab_fuse(k + 1) = "0x" + hex_digits(chip.fuses()[static_cast<std::size_t>(k)], 4);
}

void rom_from_buffer(VirtualChip& chip, const ChipParams& params, const Buffer& buffer) {
    const std::int32_t blank = hex_to_int(params.ROMblank);
    for (std::size_t a = 0; a < chip.rom().size(); ++a) {
        const std::int32_t value = hex_to_int(buffer.cell(Area::rom, a));
        if (value >= 0 && value != blank)
            chip.write_rom(a, static_cast<std::uint16_t>(value));
    }
    for (std::size_t a = 0; a < chip.eeprom().size(); ++a) {
        const std::int32_t value = hex_to_int(buffer.cell(Area::eeprom, a));
        if (value >= 0 && value != 0xFF)
            chip.write_eeprom(a, static_cast<std::uint8_t>(value));
    }
}

void labels_from_buffer(VirtualChip& chip, const ChipParams& params, const Buffer& buffer) {
    for (std::size_t k = 0; k < id_count(params); ++k) {
        const std::int32_t value = label_value(buffer.lab_id1.get(), 2 * k, 2);
        if (value >= 0 && value != 0xFF)
            chip.write_id(k, static_cast<std::uint8_t>(value));
    }
    for (int k = 0; k < chip.fuse_count(); ++k) {
        const std::int32_t value = label_value(buffer.lab_fuse(k + 1).get(), 0, 4);
        const std::int32_t implemented = params.fuse_blank_words[static_cast<std::size_t>(k)];
        if (value >= 0 && (value & implemented) != implemented)
            chip.write_fuse(k, static_cast<std::uint16_t>(value));
    }
}

} // namespace

LoadResult load_chip_image(VirtualChip& chip, const ChipParams& params,
                           const std::filesystem::path& path) {
    Buffer buffer;
    buffer.clrbuffer(params);
    const LoadResult result = read_image_file(params, buffer, path);
    if (!result.ok)
        return result;
    rom_from_buffer(chip, params, buffer);
    if (!params.is_serial_eeprom())
        labels_from_buffer(chip, params, buffer);
    return result;
}

void save_chip_image(const VirtualChip& chip, const ChipParams& params,
                     const std::filesystem::path& path) {
    Buffer buffer;
    buffer.clrbuffer(params);
    rom_to_buffer(chip, params, buffer);
    if (!params.is_serial_eeprom())
        labels_to_buffer(chip, params, buffer);
    export_image_file(params, buffer, path);
}

} // namespace zz
