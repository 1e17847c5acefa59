#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace zz::test {

// A chip's configuration options as Debian's gputils header p<chip>.inc lists them: a source of
// its own beside the tables the chip databases are made from.
struct HeaderOption {
    std::string field;   // the symbol's name without "_", byte suffix and option: ZCDDIS
    std::uint16_t mask;  // over the 16-bit word (a PIC18 byte's other byte all ones)
    std::string comment; // lower case, blanks trimmed
};

// One blank-line-separated block of options: one field.
struct HeaderField {
    int word = 1;
    std::vector<HeaderOption> options;
};

struct ChipHeader {
    std::vector<HeaderField> fields;
    std::optional<std::uint32_t> config1_address; // _CONFIG / _CONFIG1
};

const std::filesystem::path kGputilsHeaders = "/usr/share/gputils/header";

inline std::string header_trimmed_lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Empty when the chip has no header.
inline std::optional<ChipHeader> read_chip_header(const std::string& chip_name) {
    std::ifstream in(kGputilsHeaders / ("p" + header_trimmed_lower(chip_name) + ".inc"));
    if (!in)
        return std::nullopt;
    static const std::regex section(R"(^;-----\s*CONFIG(\d*)([LH]?)\s+Options.*)");
    static const std::regex option(
        R"(^_(\w+?)_(\w+?)(?:_(\d)([LH]))?\s+EQU\s+H'([0-9A-Fa-f]+)'\s*(?:;(.*))?$)");
    static const std::regex address(R"(^_CONFIG1?\s+EQU\s+H'([0-9A-Fa-f]+)'.*)");
    ChipHeader header;
    int word = 0; // 0: not in an options section
    char byte = 0;
    bool new_block = true;
    std::smatch m;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_match(line, m, section)) {
            word = m[1].length() ? std::stoi(m[1]) : 1;
            byte = m[2].length() ? m[2].str()[0] : 0;
            new_block = true;
        } else if (line.starts_with(";-----") || line.starts_with(";=====")) {
            word = 0;
        } else if (std::regex_match(line, m, address)) {
            header.config1_address = static_cast<std::uint32_t>(std::stoul(m[1], nullptr, 16));
        } else if (word && std::regex_match(line, m, option)) {
            const int w = m[3].length() ? std::stoi(m[3]) : word;
            const char b = m[4].length() ? m[4].str()[0] : byte;
            const auto v = static_cast<std::uint16_t>(std::stoul(m[5], nullptr, 16));
            const auto mask = static_cast<std::uint16_t>(b == 'L'   ? 0xFF00 | v
                                                         : b == 'H' ? (v << 8) | 0xFF
                                                                    : v);
            if (new_block)
                header.fields.push_back({w, {}});
            new_block = false;
            header.fields.back().options.push_back({m[1], mask, header_trimmed_lower(m[6])});
        } else if (header_trimmed_lower(line).empty()) {
            new_block = true;
        }
    }
    return header;
}

} // namespace zz::test
