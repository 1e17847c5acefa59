#include "device/fuse_line.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using Options = std::vector<std::pair<std::string, std::int32_t>>;

Options options_of(const FuseLine& line) {
    Options out;
    for (const auto& o : line.options)
        out.emplace_back(o.text, o.value);
    return out;
}

struct Case {
    const char* line;
    const char* prefix;
    const char* caption;
    Options options;
};

const Case kCases[] = {
    {R"(FUSE1"Oscillator""LP",3FFC"XT",3FFD"HS",3FFE"RC",3FFF)",
     "FUSE1",
     "Oscillator",
     {{"LP", 0x3FFC}, {"XT", 0x3FFD}, {"HS", 0x3FFE}, {"RC", 0x3FFF}}},
    // Any separator; lower case; short masks at the end of the line; skipped text.
    {R"(FUSE2"Watchdog""Off"=fffb junk "On":4)", "FUSE2", "Watchdog", {{"Off", 0xFFFB}, {"On", 4}}},
    // A mask that is not hex is -1; the list ends at an empty or unterminated option text.
    {R"(x"Code Protect""On",3G7F"Off",3FFF""=0000"Never",1)",
     "x",
     "Code Protect",
     {{"On", -1}, {"Off", 0x3FFF}}},
    {R"("Brown-out""On",)", "", "Brown-out", {{"On", -1}}},
    {R"("Brown-out""On",3FBF"Off)", "", "Brown-out", {{"On", 0x3FBF}}},
    // Four characters are read whatever they hold, so a short mask swallows the next option.
    {R"("A""1",F"2",FFFF)", "", "A", {{"1", -1}}},
    {"no quotes at all", "no quotes at all", "", {}},
    {R"(FUSE3"Unclosed caption)", "FUSE3", "Unclosed caption", {}},
    {"", "", "", {}},
};

TEST(FuseLine, ParsesPrefixCaptionAndOptions) {
    for (const auto& c : kCases) {
        const FuseLine line = parse_fuse_line(c.line);
        EXPECT_EQ(line.prefix, c.prefix) << c.line;
        EXPECT_EQ(line.caption, c.caption) << c.line;
        EXPECT_EQ(options_of(line), c.options) << c.line;
    }
}

TEST(FuseLine, PrefixNamesTheConfigurationWord) {
    const std::pair<const char*, int> cases[] = {{"FUSE2", 2}, {"FUSE7xyz", 7}, {"FUSE1", 1},
                                                 {"FUSE8", 1}, {"FUSE", 1},     {"fuse2", 1},
                                                 {"", 1},      {"CONFIG", 1}};
    for (const auto& [prefix, word] : cases)
        EXPECT_EQ(fuse_line_word(prefix), word) << prefix;
}

} // namespace
} // namespace zz
