#include "files/checksum.h"

#include "base/hex_text.h"

#include <algorithm>
#include <string_view>

namespace zz {

namespace {

constexpr int kPic18ConfigWords = 7;

// Characters 3-6 of a "0x...." caption: the configuration word's four digits.
std::string_view word_digits(const Value<std::string>& caption) {
    const std::string_view text = caption.get();
    return text.size() > 2 ? text.substr(2, 4) : std::string_view();
}

// A word's two bytes added separately, each as two hex digits.
std::uint32_t byte_sum(std::string_view digits) {
    return static_cast<std::uint32_t>(hex_to_int(digits.substr(0, 2))) +
           static_cast<std::uint32_t>(hex_to_int(digits.size() > 2 ? digits.substr(2, 2) : ""));
}

std::uint32_t cell_sum(const ChipParams& chip, const Buffer& buffer, std::size_t count,
                       bool bytes, const CellFilter& left_out) {
    std::uint32_t sum = 0;
    count = std::min(count, buffer.cell_count(Area::rom));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text =
            left_out && left_out(i) ? std::string_view(chip.ROMblank) : buffer.cell(Area::rom, i);
        sum += bytes ? byte_sum(text) : static_cast<std::uint32_t>(hex_to_int(text));
    }
    return sum;
}

std::size_t rom_words(const ChipParams& chip) {
    return static_cast<std::size_t>(std::max<std::int64_t>(chip.ROMsize, 0));
}

} // namespace

std::uint16_t buffer_checksum(const ChipParams& chip, const Buffer& buffer) {
    return buffer_checksum(chip, buffer, nullptr);
}

std::uint16_t buffer_checksum(const ChipParams& chip, const Buffer& buffer,
                              const CellFilter& left_out) {
    std::uint32_t sum = 0;
    switch (chip.CHIPbit) {
    case 3:
        sum = cell_sum(chip, buffer, rom_words(chip), true, left_out);
        for (int n = 1; n <= kPic18ConfigWords; ++n)
            sum += byte_sum(word_digits(buffer.lab_fuse(n)));
        break;
    case 4:
    case 5:
        sum = cell_sum(chip, buffer, rom_words(chip), false, left_out);
        break;
    default: {
        // The last word of a chip with an OSCCAL word holds the factory calibration.
        const std::size_t words = rom_words(chip);
        sum = cell_sum(chip, buffer, chip.CALword && words > 0 ? words - 1 : words, false,
                       left_out);
        sum += static_cast<std::uint32_t>(hex_to_int(word_digits(buffer.lab_fuse(1))));
        if (chip.FuseWordCount >= 2)
            sum += static_cast<std::uint32_t>(hex_to_int(word_digits(buffer.lab_fuse(2))));
    }
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void calc_checksum(const ChipParams& chip, Buffer& buffer) {
    buffer.lab_checksum = "Checksum 0x" + to_hex(buffer_checksum(chip, buffer), 4);
}

} // namespace zz
