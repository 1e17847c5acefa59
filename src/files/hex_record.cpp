#include "files/hex_record.h"

#include "base/hex_text.h"

namespace zz {

namespace {

// The value of `width` hex digits at `pos`; -1 when the line is too short or a digit is bad.
std::int32_t field(std::string_view line, std::size_t pos, std::size_t width) {
    if (pos + width > line.size())
        return -1;
    std::int32_t value = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        const char c = line[i];
        // hex_digit_value takes NUL as 0; a record never holds one.
        const int digit = c == '\0' ? -1 : hex_digit_value(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

bool only_blanks(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

void take_data(HexRecord& record, std::string_view line) {
    while (record.valid < static_cast<std::size_t>(record.count)) {
        const std::int32_t byte = field(line, 9 + 2 * record.valid, 2);
        if (byte < 0)
            return;
        record.bytes[record.valid++] = static_cast<std::uint8_t>(byte);
    }
}

HexRecord::Problem check(const HexRecord& record, std::string_view line, bool overlong) {
    const std::int32_t type_byte = field(line, 7, 2);
    const auto n = static_cast<std::size_t>(record.count);
    const std::int32_t sum_byte = field(line, 9 + 2 * n, 2);
    if (record.load < 0 || type_byte < 0 || record.valid < n || sum_byte < 0 || overlong ||
        !only_blanks(line.substr(11 + 2 * n)))
        return HexRecord::Problem::malformed;
    unsigned sum = static_cast<unsigned>(record.count) + static_cast<unsigned>(record.load >> 8) +
                   static_cast<unsigned>(record.load & 0xFF) + static_cast<unsigned>(type_byte) +
                   static_cast<unsigned>(sum_byte);
    for (std::uint8_t b : record.data())
        sum += b;
    return (sum & 0xFF) == 0 ? HexRecord::Problem::none : HexRecord::Problem::checksum;
}

} // namespace

HexRecord parse_hex_record(std::string_view line, bool overlong) {
    HexRecord record;
    record.count = field(line, 1, 2);
    record.load = field(line, 3, 4);
    record.type = field(line, 8, 1);
    if (record.count < 0) {
        record.problem = HexRecord::Problem::malformed;
        return record;
    }
    take_data(record, line);
    record.problem = check(record, line, overlong);
    return record;
}

} // namespace zz
