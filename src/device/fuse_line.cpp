#include "device/fuse_line.h"

#include "base/hex_text.h"

#include <algorithm>

namespace zz {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::size_t kMaskDigits = 4;

// One to four hex digits of either case; anything else is -1.
std::int32_t parse_mask(std::string_view field) {
    if (field.empty())
        return -1;
    std::int32_t value = 0;
    for (char c : field) {
        const int digit = c == '\0' ? -1 : hex_digit_value(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Reads the options that follow position `pos`; stops at an empty or unterminated option text.
void parse_options(std::string_view line, std::size_t pos, std::vector<FuseOption>& options) {
    while (pos < line.size()) {
        const auto open = line.find('"', pos);
        if (open == npos)
            return;
        const auto close = line.find('"', open + 1);
        if (close == npos || close == open + 1)
            return;
        // One separator character, then the mask.
        const auto mask_at = std::min(close + 2, line.size());
        const auto field = line.substr(mask_at, kMaskDigits);
        options.push_back(
            {std::string(line.substr(open + 1, close - open - 1)), parse_mask(field)});
        pos = mask_at + field.size();
    }
}

} // namespace

FuseLine parse_fuse_line(std::string_view line) {
    FuseLine out;
    const auto open = line.find('"');
    out.prefix = line.substr(0, open);
    if (open == npos)
        return out;
    const auto close = line.find('"', open + 1);
    out.caption = line.substr(open + 1, close == npos ? npos : close - open - 1);
    if (close != npos)
        parse_options(line, close + 1, out.options);
    return out;
}

int fuse_line_word(std::string_view prefix) {
    if (prefix.size() >= 5 && prefix.substr(0, 4) == "FUSE" && prefix[4] >= '2' && prefix[4] <= '7')
        return prefix[4] - '0';
    return 1;
}

} // namespace zz
