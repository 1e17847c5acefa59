#include "files/hex_export.h"

#include "base/atomic_file.h"
#include "base/hex_text.h"
#include "files/hex_writer.h"
#include "files/midrange_layout.h"

#include <algorithm>
#include <vector>

namespace zz {

namespace {

constexpr std::size_t kWordsPerRecord = 8;
constexpr std::size_t kBytesPerRecord = 16;
constexpr std::uint32_t kPic18IdAddress = 0x200000;
constexpr std::uint32_t kPic18ConfigAddress = 0x300000;
constexpr std::uint32_t kPic18EepromAddress = 0xF00000;

using Bytes = std::vector<std::uint8_t>;

// Text that is not hex counts as -1, as everywhere the buffer is read: FFh bytes.
std::uint32_t hex_value(std::string_view text) {
    return static_cast<std::uint32_t>(hex_to_int(text));
}

// Cells the records cover: `size` from the chip, at most the cells the buffer has.
std::size_t covered(std::int64_t size, const Buffer& buffer, Area area) {
    return std::min(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)),
                    buffer.cell_count(area));
}

void add_word(Bytes& out, std::uint32_t word) {
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
    out.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
}

// Two-digit byte k of the digits after "0x" of a caption.
std::uint8_t caption_byte(std::string_view caption, std::size_t k) {
    const std::size_t at = 2 + 2 * k;
    return static_cast<std::uint8_t>(hex_value(at < caption.size() ? caption.substr(at, 2) : ""));
}

std::uint32_t config_word(const Buffer& buffer, int n) {
    const std::string_view caption = buffer.lab_fuse(n).get();
    return hex_value(caption.size() > 2 ? caption.substr(2, 4) : "") & 0xFFFF;
}

// Records of up to `per_record` cells from `first` on, while the index stays below size - 1.
template <class Emit>
void each_record(std::int64_t size, std::size_t cells, std::size_t per_record, Emit emit) {
    for (std::size_t i = 0; static_cast<std::int64_t>(i) < size - 1 && i < cells; i += per_record)
        emit(i, std::min(per_record, cells - i));
}

void program_words(HexWriter& out, const ChipParams& chip, const Buffer& buffer) {
    each_record(chip.ROMsize, covered(chip.ROMsize, buffer, Area::rom), kWordsPerRecord,
                [&](std::size_t first, std::size_t count) {
                    Bytes bytes;
                    for (std::size_t i = first; i < first + count; ++i)
                        add_word(bytes, hex_value(buffer.cell(Area::rom, i)));
                    out.data(static_cast<std::uint32_t>(2 * first), bytes);
                });
}

// Midrange cores keep one EEPROM byte in the low byte of each word, from word `first_word` on.
void midrange_eeprom(HexWriter& out, const ChipParams& chip, const Buffer& buffer,
                     std::uint32_t first_word) {
    each_record(chip.EEPROMsize, covered(chip.EEPROMsize, buffer, Area::eeprom), kWordsPerRecord,
                [&](std::size_t first, std::size_t count) {
                    Bytes bytes;
                    for (std::size_t k = first; k < first + count; ++k)
                        add_word(bytes, hex_value(buffer.cell(Area::eeprom, k)) & 0xFF);
                    out.data(2 * (first_word + static_cast<std::uint32_t>(first)), bytes);
                });
}

// The four ID bytes, each in the low byte of a word.
Bytes midrange_id(const Buffer& buffer) {
    Bytes bytes;
    for (std::size_t k = 0; k < 4; ++k)
        add_word(bytes, caption_byte(buffer.lab_id1.get(), k));
    return bytes;
}

Bytes config_bytes(const Buffer& buffer, int words) {
    Bytes bytes;
    for (int n = 1; n <= words; ++n)
        add_word(bytes, config_word(buffer, n));
    return bytes;
}

// Byte cells in records of 16 at `base` + index.
void byte_records(HexWriter& out, std::int64_t size, const Buffer& buffer, Area area,
                  std::uint32_t base) {
    each_record(size, covered(size, buffer, area), kBytesPerRecord,
                [&](std::size_t first, std::size_t count) {
                    Bytes bytes;
                    for (std::size_t k = first; k < first + count; ++k)
                        bytes.push_back(static_cast<std::uint8_t>(hex_value(buffer.cell(area, k))));
                    out.data(base + static_cast<std::uint32_t>(first), bytes);
                });
}

std::string finish(HexWriter& out) {
    out.end();
    return std::move(out.text());
}

std::string text12(const ChipParams& chip, const Buffer& buffer) {
    HexWriter out;
    out.upper_address(0);
    program_words(out, chip, buffer);
    out.data(static_cast<std::uint32_t>(2 * std::max<std::int64_t>(chip.ROMsize, 0)),
             midrange_id(buffer));
    out.data(static_cast<std::uint32_t>(2 * kConfigWord12), config_bytes(buffer, 1));
    midrange_eeprom(out, chip, buffer, static_cast<std::uint32_t>(kEepromWord12));
    return finish(out);
}

std::string text14(const ChipParams& chip, const Buffer& buffer) {
    HexWriter out;
    out.upper_address(0);
    program_words(out, chip, buffer);
    // Enhanced mid-range chips: past 64 KB, announced by an upper-address record.
    const MidrangeLayout& layout = midrange_layout(chip);
    const auto word_address = [](std::int64_t word) {
        return static_cast<std::uint32_t>(2 * word);
    };
    out.data(word_address(layout.id), midrange_id(buffer));
    const Bytes config = config_bytes(buffer, 2);
    out.data(word_address(layout.config), std::span(config).first(2));
    if (chip.FuseWordCount >= 2)
        out.data(word_address(layout.config + 1), std::span(config).last(2));
    midrange_eeprom(out, chip, buffer, static_cast<std::uint32_t>(layout.eeprom));
    return finish(out);
}

std::string text16(const ChipParams& chip, const Buffer& buffer) {
    HexWriter out;
    out.upper_address(0);
    program_words(out, chip, buffer);
    Bytes id;
    for (std::size_t k = 0; k < 8; ++k)
        id.push_back(caption_byte(buffer.lab_id1.get(), k));
    out.data(kPic18IdAddress, id);
    out.data(kPic18ConfigAddress, config_bytes(buffer, 7));
    byte_records(out, chip.EEPROMsize, buffer, Area::eeprom, kPic18EepromAddress);
    return finish(out);
}

std::string text8(const ChipParams& chip, const Buffer& buffer) {
    HexWriter out;
    byte_records(out, chip.ROMsize, buffer, Area::rom, 0);
    return finish(out);
}

std::string text8_2(const ChipParams& chip, const Buffer& buffer) {
    HexWriter out;
    program_words(out, chip, buffer);
    return finish(out);
}

} // namespace

std::string hex_image_text(const ChipParams& chip, const Buffer& buffer) {
    switch (chip.CHIPbit) {
    case 1:
        return text12(chip, buffer);
    case 2:
        return text14(chip, buffer);
    case 3:
        return text16(chip, buffer);
    case 4:
        return text8(chip, buffer);
    case 5:
        return text8_2(chip, buffer);
    default:
        return {};
    }
}

void Export12bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path) {
    write_file_atomically(path, text12(chip, buffer));
}

void Export14bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path) {
    write_file_atomically(path, text14(chip, buffer));
}

void Export16bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path) {
    write_file_atomically(path, text16(chip, buffer));
}

void Export8bitHexFile(const ChipParams& chip, const Buffer& buffer,
                       const std::filesystem::path& path) {
    write_file_atomically(path, text8(chip, buffer));
}

void Export8_2bitHexFile(const ChipParams& chip, const Buffer& buffer,
                         const std::filesystem::path& path) {
    write_file_atomically(path, text8_2(chip, buffer));
}

void export_hex_file(const ChipParams& chip, const Buffer& buffer,
                     const std::filesystem::path& path) {
    if (const std::string text = hex_image_text(chip, buffer); !text.empty())
        write_file_atomically(path, text);
}

} // namespace zz
