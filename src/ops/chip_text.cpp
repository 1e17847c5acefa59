#include "ops/chip_text.h"

#include "base/hex_text.h"

namespace zz {

std::string digits(std::string_view text, std::size_t first, std::size_t last) {
    if (first == 0 || first > text.size() || last < first)
        return {};
    return std::string(text.substr(first - 1, last - first + 1));
}

std::string swap_bytes(std::string_view word) {
    return digits(word, 3, 4) + digits(word, 1, 2);
}

std::size_t cell_digits(const ChipParams& chip) {
    return chip.CHIPbit == 4 ? 2 : 4;
}

void substitute_osccal(std::string& image, std::string_view osccal) {
    if (image.size() >= 4)
        image.replace(image.size() - 4, 4, osccal);
}

std::string good_bad(std::string_view good, std::string_view bad) {
    return "\r\nGood:" + std::string(good) + "\r\nBad:" + std::string(bad);
}

std::string hex4(std::int64_t value) {
    return to_hex(static_cast<std::uint32_t>(value) & 0xFFFF, 4);
}

void set_bandgap_digit(Buffer& buffer, char d) {
    buffer.lab_fuse(1) = "0x" + std::string(1, d) + digits(buffer.lab_fuse(1).get(), 4, 6);
}

} // namespace zz
