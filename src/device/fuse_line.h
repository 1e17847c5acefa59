#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// One choice of a configuration setting: its text and the AND mask it applies to the word
// (1 in every bit it leaves alone); -1 when the mask text is not hex.
struct FuseOption {
    std::string text;
    std::int32_t value = -1;
};

// A fuse description line (`LIST1` ... `LIST46`): prefix"caption""option"?XXXX"option"?XXXX...
// where ? is any one separator character and XXXX one to four hex digits.
struct FuseLine {
    std::string prefix;
    std::string caption;
    std::vector<FuseOption> options;
};

FuseLine parse_fuse_line(std::string_view line);

// The configuration word (1 ... 7) a prefix names: "FUSE2" ... "FUSE7" at its start give 2 ... 7,
// anything else 1.
int fuse_line_word(std::string_view prefix);

} // namespace zz
