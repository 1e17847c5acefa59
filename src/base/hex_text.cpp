#include "base/hex_text.h"

#include <cmath>

namespace zz {

int hex_digit_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c == '\0')
        return 0;
    return -1;
}

std::int32_t hex_to_int(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return -1;
    std::uint32_t value = 0;
    for (char c : text) {
        int d = hex_digit_value(c);
        if (d < 0)
            return -1;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
}

namespace {
int unchecked_digit(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : c - 55;
}
} // namespace

std::string hex_pairs_to_bytes(std::string_view text) {
    const std::size_t count = static_cast<std::size_t>(std::nearbyint(text.size() / 2.0));
    std::string out(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        const char hi = text[2 * i];
        const char lo = 2 * i + 1 < text.size() ? text[2 * i + 1] : '\0';
        out[i] = static_cast<char>(
            static_cast<std::uint8_t>(16 * unchecked_digit(hi) + unchecked_digit(lo)));
    }
    return out;
}

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

std::string bytes_to_hex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0xF];
    }
    return out;
}

std::string bytes_to_hex(std::string_view bytes) {
    return bytes_to_hex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string to_hex(std::uint32_t value, int digits) {
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits)
        out.insert(0, digits - out.size(), '0');
    return out;
}

} // namespace zz
