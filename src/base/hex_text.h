#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zz {

// "0"-"9" -> 0-9, "A"-"F" and "a"-"f" -> 10-15, the NUL character -> 0, anything else -> -1.
int hex_digit_value(char c);

// 1 to 9 characters to a signed 32-bit value (two's complement); -1 on any bad digit, on an empty
// text and on more than 9 characters. A ninth leading digit is validated but shifted out.
std::int32_t hex_to_int(std::string_view text);

// Digit pairs to bytes without any checking: round-half-to-even(length / 2) bytes, byte i =
// 16*d(c[2i]) + d(c[2i+1]) truncated to 8 bits with d(c) = c-'0' for digits and c-55 otherwise.
// A pair cut short by an odd length reads the terminating NUL as its second character.
std::string hex_pairs_to_bytes(std::string_view text);

// Bytes as upper-case digit pairs.
std::string bytes_to_hex(std::span<const std::uint8_t> bytes);
std::string bytes_to_hex(std::string_view bytes);

// `value` as upper-case hex with at least `digits` digits.
std::string to_hex(std::uint32_t value, int digits);

} // namespace zz
