#pragma once

#include <cstdint>

namespace zz {

// 38400 baud 8N1: ten bit times per byte, 260.4 us.
inline constexpr std::int64_t kWireBitsPerByte = 10;
inline constexpr std::int64_t kWireBaud = 38400;

// Microseconds that `bytes` bytes occupy the line, rounded up.
inline constexpr std::int64_t wire_us(std::int64_t bytes) {
    return (bytes * kWireBitsPerByte * 1'000'000 + kWireBaud - 1) / kWireBaud;
}

// The first whole millisecond at or after `us`.
inline constexpr std::int64_t ceil_ms(std::int64_t us) {
    return us >= 0 ? (us + 999) / 1000 : -((-us) / 1000);
}

} // namespace zz
