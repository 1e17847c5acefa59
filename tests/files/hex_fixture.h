#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"
#include "device/temp_folder.h"
#include "files/hex_import.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace zz::testing {

// Chips built by hand with the sizes and blank words of real parts.
inline ChipParams chip_with(int chip_bit, std::int64_t rom, int eeprom, const char* rom_blank,
                            const char* fuse_blank) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.ROMsize = rom;
    chip.EEPROMsize = eeprom;
    chip.ROMblank = rom_blank;
    chip.FUSEblank = fuse_blank;
    parse_fuse_blank(chip);
    return chip;
}

inline ChipParams pic12f508() {
    return chip_with(1, 512, 0, "0FFF", "0FFF");
}
inline ChipParams pic16f877a() {
    return chip_with(2, 8192, 256, "3FFF", "3FFF");
}
inline ChipParams pic16f88() {
    return chip_with(2, 4096, 256, "3FFF", "3FFF 3FFF");
}
// Enhanced mid-range: the core type byte 04 chooses the image layout.
inline ChipParams enhanced_midrange(std::int64_t rom, int eeprom) {
    ChipParams chip = chip_with(2, rom, eeprom, "3FFF", "3FFF 3FFF");
    chip.CoreType = "04";
    return chip;
}
inline ChipParams pic16f1847() {
    return enhanced_midrange(8192, 256);
}
inline ChipParams pic18f452() {
    return chip_with(3, 16384, 256, "FFFF", "2700 0F0F 0100 0085 C00F E00F 400F");
}
inline ChipParams eeprom24xx01() {
    return chip_with(4, 128, 0, "FF", "FFFF");
}
inline ChipParams eeprom93xx46w() {
    return chip_with(5, 64, 0, "FFFF", "FFFF");
}

// A temporary folder with files to load and a buffer to load them into.
class HexFiles {
public:
    std::filesystem::path write(const std::string& name, const std::string& text) const {
        // A new file rather than a truncated one: ext4 flushes files rewritten in place.
        std::filesystem::remove(folder.path() / name);
        folder.write(name, text);
        return folder.path() / name;
    }

    // Blanks the buffer for the chip and reads the text as the file `name`.
    LoadResult load(const ChipParams& chip, const std::string& text,
                    const std::string& name = "image.hex") {
        buffer.clrbuffer(chip);
        return read_image_file(chip, buffer, write(name, text));
    }

    std::string read(const std::string& name) const {
        std::ifstream in(folder.path() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string rom(std::size_t index) const { return std::string(buffer.cell(Area::rom, index)); }
    std::string eeprom(std::size_t index) const {
        return std::string(buffer.cell(Area::eeprom, index));
    }

    TempFolder folder;
    Buffer buffer;
};

// The lines of a text with CR LF line ends (the CR LF removed).
inline std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

} // namespace zz::testing
