#include "base/hex_text.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

TEST(HexText, DigitValues) {
    EXPECT_EQ(hex_digit_value('0'), 0);
    EXPECT_EQ(hex_digit_value('9'), 9);
    EXPECT_EQ(hex_digit_value('A'), 10);
    EXPECT_EQ(hex_digit_value('f'), 15);
    EXPECT_EQ(hex_digit_value('\0'), 0);
    EXPECT_EQ(hex_digit_value('G'), -1);
    EXPECT_EQ(hex_digit_value(' '), -1);
}

TEST(HexText, HexToInt) {
    struct Case {
        std::string text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"3FFF", 16383},      {"3fff", 16383},        {"3FG0", -1},
        {"", -1},             {"123456789", 0x23456789}, {"G23456789", -1},
        {"FFFFFFFF", -1},     {"80000000", INT32_MIN}, {"1234567890", -1},
        {"0", 0},             {std::string("1\0", 2), 0x10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hex_to_int(c.text), c.value) << '"' << c.text << '"';
}

TEST(HexText, PairsToBytesIsUnchecked) {
    EXPECT_EQ(hex_pairs_to_bytes("4142"), "AB");
    EXPECT_EQ(hex_pairs_to_bytes(""), "");
    // Round half to even: 1 digit -> 0 bytes, 3 -> 2, 5 -> 2, 7 -> 4.
    EXPECT_EQ(hex_pairs_to_bytes("4").size(), 0u);
    EXPECT_EQ(hex_pairs_to_bytes("414").size(), 2u);
    EXPECT_EQ(hex_pairs_to_bytes("41424").size(), 2u);
    EXPECT_EQ(hex_pairs_to_bytes("4142434").size(), 4u);
    // The missing second digit reads as NUL: 16*4 + (0 - 55) = 9.
    EXPECT_EQ(hex_pairs_to_bytes("414")[1], '\x09');
    // Lower case is not a digit here: 'a' - 55 = 42, 16*42 + 42 truncated to 8 bits.
    EXPECT_EQ(static_cast<unsigned char>(hex_pairs_to_bytes("aa")[0]), (16 * 42 + 42) & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(hex_pairs_to_bytes("FF")[0]), 0xFF);
}

TEST(HexText, BytesAndValuesToText) {
    const std::uint8_t bytes[] = {0x00, 0x0A, 0xF0, 0xFF};
    EXPECT_EQ(bytes_to_hex(bytes), "000AF0FF");
    EXPECT_EQ(to_hex(0x1A, 4), "001A");
    EXPECT_EQ(to_hex(0x12345, 4), "12345");
    EXPECT_EQ(to_hex(0, 2), "00");
}

} // namespace
} // namespace zz
