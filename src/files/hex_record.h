#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace zz {

// One Intel HEX line as the readers see it: ":", count (2 digits), load address (4), type (2),
// data (2 per byte), checksum (2).
struct HexRecord {
    enum class Problem { none, malformed, checksum };

    int count = -1;         // -1: not two hex digits (the record carries no data)
    std::int32_t load = -1; // -1: not four hex digits
    int type = -1;          // the second type digit (only that one decides); -1 when missing
    std::array<std::uint8_t, 255> bytes{};
    std::size_t valid = 0; // leading data bytes that are two hex digits each
    Problem problem = Problem::none;

    std::span<const std::uint8_t> data() const { return {bytes.data(), valid}; }
};

// Parses a line that starts with ":". `overlong`: the line had more characters than were kept.
// Data bytes are taken up to the first one that is not two hex digits; the problem records
// any damage (bad or missing digits, extra characters, a checksum that does not match).
HexRecord parse_hex_record(std::string_view line, bool overlong);

} // namespace zz
