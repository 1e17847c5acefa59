#include "base/text_lines.h"

namespace zz {

namespace {
constexpr std::string_view kBlanks = " \t\r";
} // namespace

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

std::string one_line(std::string_view text) {
    std::string joined;
    for (const std::string& line : split_lines(text)) {
        const std::string kept = trimmed(line);
        if (!kept.empty())
            joined += (joined.empty() ? "" : " ") + kept;
    }
    return joined;
}

} // namespace zz
