#include "dialogs/fuse/fuse_settings.h"

#include "base/hex_text.h"

#include <initializer_list>
#include <string_view>

namespace zz {

namespace {

constexpr std::int32_t kNoChange = 0xFFFF;

using Lines = std::vector<std::string_view>;

// The first line at or after `from` that begins with one of `markers`; the line count if none.
std::size_t find_marker(const Lines& lines, std::size_t from,
                        std::initializer_list<std::string_view> markers) {
    for (std::size_t i = from; i < lines.size(); ++i)
        for (std::string_view marker : markers)
            if (lines[i].starts_with(marker))
                return i;
    return lines.size();
}

void assign(std::vector<int>& words, std::size_t from, std::size_t to, int word) {
    for (std::size_t i = from; i < to; ++i)
        words[i] = word;
}

// The word of each line of a 16-bit core chip. Each search starts at the first line of the group
// it ends, so every line belongs to exactly one word.
std::vector<int> pic18_words(const Lines& lines) {
    std::vector<int> words(lines.size(), 1);
    const std::size_t word2 = find_marker(lines, 0, {"FUSE2"});
    const std::size_t word3 = find_marker(lines, word2, {"FUSE3", "FUSE4"});
    assign(words, word2, word3, 2);
    std::size_t word4 = word3;
    if (word3 < lines.size() && lines[word3].starts_with("FUSE3"))
        word4 = find_marker(lines, word3, {"FUSE4"});
    assign(words, word3, word4, 3);
    std::size_t from = word4;
    const std::string_view next_markers[] = {"FUSE5", "FUSE6", "FUSE7"};
    int word = 4;
    for (std::string_view marker : next_markers) {
        const std::size_t to = find_marker(lines, from, {marker});
        assign(words, from, to, word++);
        from = to;
    }
    assign(words, from, lines.size(), 7);
    return words;
}

std::vector<int> line_words(const Lines& lines, const ChipParams& chip) {
    if (chip.CHIPbit == 3)
        return pic18_words(lines);
    std::vector<int> words(lines.size(), 1);
    if (chip.FuseWordCount == 2)
        assign(words, find_marker(lines, 0, {"FUSE2"}), lines.size(), 2);
    return words;
}

bool readable(std::string_view text, const FuseLine& line) {
    const auto open = text.find('"');
    if (open == std::string_view::npos || text.find('"', open + 1) == std::string_view::npos)
        return false;
    if (line.options.empty())
        return false;
    for (const FuseOption& option : line.options)
        if (option.value < 0)
            return false;
    return true;
}

} // namespace

std::uint16_t FuseSetting::bits() const {
    std::uint16_t bits = 0;
    for (const FuseOption& option : options)
        bits |= static_cast<std::uint16_t>(~option.value);
    return bits;
}

FuseSettings fuse_settings(const ChipParams& chip) {
    Lines lines;
    for (const std::string& text : chip.LIST) {
        if (text.empty())
            break;
        lines.push_back(text);
    }
    const std::vector<int> words = line_words(lines, chip);
    FuseSettings out;
    out.word_count = chip.CHIPbit == 3 ? 7 : chip.FuseWordCount == 2 ? 2 : 1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FuseLine line = parse_fuse_line(lines[i]);
        const int list_number = static_cast<int>(i) + 1;
        if (!readable(lines[i], line)) {
            out.unreadable.push_back(list_number);
            continue;
        }
        out.settings.push_back(
            {list_number, words[i], std::move(line.caption), std::move(line.options)});
    }
    return out;
}

std::optional<std::size_t> current_option(const FuseSetting& setting, std::int32_t word) {
    std::int32_t candidate = kNoChange;
    for (const FuseOption& option : setting.options)
        if ((option.value & word) == word && option.value < candidate)
            candidate = option.value;
    for (std::size_t i = 0; i < setting.options.size(); ++i)
        if (setting.options[i].value == candidate)
            return i;
    return std::nullopt;
}

std::int32_t label_word(const std::string& text) {
    return text.size() > 2 ? hex_to_int(std::string_view(text).substr(2, 4)) : -1;
}

} // namespace zz
