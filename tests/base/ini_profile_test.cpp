#include "base/ini_profile.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zz {
namespace {

TEST(IniProfileNumbers, NegatedHexWrapsWithinThirtyTwoBits) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"-$80000000", INT32_MIN}, {"-0x80000000", INT32_MIN}, {"-$1", -1},
        {"-$FFFFFFFF", 1},         {"$7FFFFFFF", INT32_MAX},
    };
    for (const auto& [text, expected] : cases) {
        std::int32_t value = 0;
        ASSERT_TRUE(parse_profile_int(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

TEST(IniProfileSections, AByteOrderMarkDoesNotHideTheFirstSection) {
    const auto p = IniProfile::parse("\xEF\xBB\xBF[10F200]\r\nROMsize=256\r\n[10F202]\r\n");
    EXPECT_EQ(p.sections(), (std::vector<std::string>{"10F200", "10F202"}));
    EXPECT_EQ(p.read_int("10F200", "ROMsize", 0), 256);
}

// What the chip databases rely on besides the basics: a section ends at the next header even
// when the header is indented or followed by a comment, and a key outside any section is not
// found in the first section.
TEST(IniProfileSections, SectionBoundaries) {
    const auto p = IniProfile::parse("ROMsize=1\n[a]\nROMsize=2\n  [b]  \nEEPROMsize=3\n"
                                     "[c] ; comment\nROMsize=4\n");
    EXPECT_EQ(p.sections(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(p.read_int("a", "ROMsize", 0), 2);
    EXPECT_EQ(p.read_int("b", "ROMsize", 0), 0);
    EXPECT_EQ(p.read_int("b", "EEPROMsize", 0), 3);
    EXPECT_EQ(p.read_int("c", "ROMsize", 0), 4);
}

} // namespace
} // namespace zz
