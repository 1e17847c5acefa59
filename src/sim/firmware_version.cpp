#include "sim/firmware_version.h"

#include "base/hex_text.h"

#include <algorithm>

namespace zz {

namespace {
constexpr std::uint16_t kRetlw = 0x3400;

bool version_character(std::uint16_t word) {
    const int c = word & 0xFF;
    return (word & 0xFF00) == kRetlw && c >= 0x20 && c < 0x7F;
}
} // namespace

std::string firmware_version_text(std::span<const std::uint16_t> words) {
    std::string text;
    for (std::uint16_t w : words) {
        if (!version_character(w) || text.size() == kMaxVersionLength)
            break;
        text += static_cast<char>(w & 0xFF);
    }
    if (!text.empty())
        return text;
    std::uint16_t sum = 0;
    for (std::uint16_t w : words)
        sum = static_cast<std::uint16_t>(sum + w);
    return "CS" + to_hex(sum, 4);
}

std::vector<std::uint16_t> generated_firmware(std::string_view version_text,
                                              std::size_t word_count) {
    std::vector<std::uint16_t> words;
    words.reserve(word_count);
    for (char c : version_text.substr(0, std::min(version_text.size(), word_count)))
        words.push_back(static_cast<std::uint16_t>(kRetlw | static_cast<unsigned char>(c)));
    // A GOTO to its own address: 14-bit code that differs at every address.
    while (words.size() < word_count)
        words.push_back(static_cast<std::uint16_t>(0x2800 | (words.size() & 0x7FF)));
    return words;
}

std::string firmware_image_file_text(std::string_view version,
                                     std::span<const std::uint16_t> words) {
    std::string text = "V" + std::string(version) + "\n";
    for (std::size_t i = 0; i < words.size(); i += 8) {
        text += ':';
        for (std::size_t k = i; k < i + 8 && k < words.size(); ++k)
            text +=
                to_hex(words[k] & 0xFFu, 2) + to_hex(static_cast<std::uint32_t>(words[k] >> 8), 2);
        text += '\n';
    }
    return text + ":00000001FF\n";
}

} // namespace zz
