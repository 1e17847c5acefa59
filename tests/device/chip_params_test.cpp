#include "device/chip_params.h"

#include <gtest/gtest.h>

#include <array>

namespace zz {
namespace {

struct FuseBlankCase {
    const char* text;
    int count;
    std::array<std::int32_t, 7> words;
};

// The previous chip had two words 1111 and 2222; unexpected lengths keep them.
const FuseBlankCase kCases[] = {
    {"3FFF", 1, {0x3FFF, 0x2222, 0, 0, 0, 0, 0}},
    {"2FFF 3EFF", 2, {0x2FFF, 0x3EFF, 0, 0, 0, 0, 0}},
    {"2700 0F0F 0100 0085 C00F E00F 400F",
     7,
     {0x2700, 0x0F0F, 0x0100, 0x0085, 0xC00F, 0xE00F, 0x400F}},
    {"2700,0F0F,0100,0085,C00F,E00F,400F",
     7,
     {0x2700, 0x0F0F, 0x0100, 0x0085, 0xC00F, 0xE00F, 0x400F}},
    {"3FFF3FFF", 2, {0x1111, 0x2222, 0, 0, 0, 0, 0}},
    {"", 2, {0x1111, 0x2222, 0, 0, 0, 0, 0}},
    {"3FF", 2, {0x1111, 0x2222, 0, 0, 0, 0, 0}},
    {"XYZW", 1, {-1, 0x2222, 0, 0, 0, 0, 0}}, // not hex: the word reads -1
};

TEST(ChipParams, FuseBlankIsParsedByItsLength) {
    for (const auto& c : kCases) {
        ChipParams chip;
        chip.fuse_blank_words = {0x1111, 0x2222, 0, 0, 0, 0, 0};
        chip.FuseWordCount = 2;
        chip.FUSEblank = c.text;
        parse_fuse_blank(chip);
        EXPECT_EQ(chip.FuseWordCount, c.count) << c.text;
        EXPECT_EQ(chip.fuse_blank_words, c.words) << c.text;
    }
}

} // namespace
} // namespace zz
