#include "files/hex_writer.h"

#include <array>

namespace zz {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void append_byte(std::string& out, std::uint8_t byte) {
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

} // namespace

void HexWriter::record(std::uint16_t address, std::uint8_t type,
                       std::span<const std::uint8_t> bytes) {
    const auto count = static_cast<std::uint8_t>(bytes.size());
    const std::array<std::uint8_t, 4> head{count, static_cast<std::uint8_t>(address >> 8),
                                           static_cast<std::uint8_t>(address & 0xFF), type};
    unsigned sum = 0;
    text_ += ':';
    for (std::uint8_t b : head) {
        append_byte(text_, b);
        sum += b;
    }
    for (std::uint8_t b : bytes) {
        append_byte(text_, b);
        sum += b;
    }
    append_byte(text_, static_cast<std::uint8_t>(-sum & 0xFF));
    text_ += "\r\n";
}

void HexWriter::upper_address(std::uint16_t upper) {
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(upper >> 8),
                                            static_cast<std::uint8_t>(upper & 0xFF)};
    record(0, 4, bytes);
    upper_ = upper;
}

void HexWriter::data(std::uint32_t address, std::span<const std::uint8_t> bytes) {
    const auto upper = static_cast<std::uint16_t>(address >> 16);
    if (upper != upper_)
        upper_address(upper);
    record(static_cast<std::uint16_t>(address & 0xFFFF), 0, bytes);
}

void HexWriter::end() {
    record(0, 1, {});
}

} // namespace zz
