#include "device/printable_view.h"

#include "base/hex_text.h"

namespace zz {

namespace {

char printable_char(std::string_view hex, std::size_t at) {
    if (hex.size() < at + 2)
        return '.';
    const auto byte = static_cast<unsigned char>(hex_pairs_to_bytes(hex.substr(at, 2))[0]);
    return byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.';
}

} // namespace

std::string showchar2bit(std::string_view hex) {
    return std::string(1, printable_char(hex, 0));
}

std::string showchar4bit(std::string_view hex) {
    return {printable_char(hex, 0), printable_char(hex, 2)};
}

std::string_view blank_rom_view(int chip_bit) {
    switch (chip_bit) {
    case 2:
        return "?.";
    case 4:
        return ".";
    default:
        return "..";
    }
}

} // namespace zz
