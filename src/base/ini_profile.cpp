#include "base/ini_profile.h"

#include "base/atomic_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <sstream>

namespace zz {

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kMaxValue = 2047; // characters a profile read returns

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The name of a "[name]" line, or false.
bool section_name(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return false;
    auto close = line.find(']');
    if (close == npos)
        return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

bool key_line(std::string_view line, std::string_view& key, std::string_view& value) {
    auto eq = line.find('=');
    if (eq == npos)
        return false;
    key = trim(line.substr(0, eq));
    value = line.substr(eq + 1);
    return !key.empty() && key.front() != ';';
}

} // namespace

bool parse_profile_int(std::string_view text, std::int32_t& out) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    std::int64_t value = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
            d = std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
        else
            return false;
        value = value * base + d;
        if (value > (base == 16 ? 0xFFFFFFFFll : 0x80000000ll))
            return false;
    }
    if (base == 16) {
        // Hex texts name a 32-bit pattern ("$FFFFFFFF" is -1); negated modulo 2^32, so that
        // "-$80000000" cannot overflow.
        auto bits = static_cast<std::uint32_t>(value);
        if (negative)
            bits = 0u - bits;
        out = static_cast<std::int32_t>(bits);
        return true;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return false;
    out = static_cast<std::int32_t>(value);
    return true;
}

IniProfile IniProfile::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return parse(buffer.str());
}

IniProfile IniProfile::parse(std::string_view text) {
    IniProfile p;
    // A UTF-8 byte order mark would otherwise hide the first section header.
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        text.remove_prefix(kUtf8Bom.size());
    if (text.find("\r\n") == npos && text.find('\n') != npos)
        p.eol_ = "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        std::string_view line = text.substr(start, end == npos ? npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        p.lines_.emplace_back(line);
        if (end == npos)
            break;
        start = end + 1;
    }
    return p;
}

std::vector<std::string> IniProfile::sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        std::string_view name;
        if (!section_name(line, name))
            continue;
        bool seen = std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return same_name(n, name); });
        if (!seen)
            names.emplace_back(name);
    }
    return names;
}

bool IniProfile::has_section(std::string_view section) const {
    return find_section(section) != npos;
}

std::size_t IniProfile::find_section(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (section_name(lines_[i], name) && same_name(name, section))
            return i;
    }
    return npos;
}

std::size_t IniProfile::find_key(std::size_t header, std::string_view key) const {
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        std::string_view name, k, v;
        if (section_name(lines_[i], name))
            break;
        if (key_line(lines_[i], k, v) && same_name(k, key))
            return i;
    }
    return npos;
}

const std::string* IniProfile::raw_value(std::string_view section, std::string_view key) const {
    auto header = find_section(section);
    if (header == npos)
        return nullptr;
    auto at = find_key(header, key);
    return at == npos ? nullptr : &lines_[at];
}

std::string IniProfile::read_string(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::string* line = raw_value(section, key);
    if (!line)
        return std::string(fallback);
    std::string_view k, value;
    key_line(*line, k, value);
    value = trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValue));
}

std::int32_t IniProfile::read_int(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    std::int32_t value;
    const std::string* line = raw_value(section, key);
    if (!line || !parse_profile_int(read_string(section, key, ""), value))
        return fallback;
    return value;
}

bool IniProfile::read_bool(std::string_view section, std::string_view key, bool fallback) const {
    return read_int(section, key, fallback ? 1 : 0) != 0;
}

void IniProfile::write_string(std::string_view section, std::string_view key,
                              std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    auto header = find_section(section);
    if (header == npos) {
        if (!lines_.empty() && !trim(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    auto at = find_key(header, key);
    if (at != npos) {
        lines_[at] = std::move(line);
        return;
    }
    // After the section's last key line, before any blank lines that end the section.
    std::size_t insert = header + 1;
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        std::string_view name;
        if (section_name(lines_[i], name))
            break;
        if (!trim(lines_[i]).empty())
            insert = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
}

void IniProfile::write_int(std::string_view section, std::string_view key, std::int32_t value) {
    write_string(section, key, std::to_string(value));
}

void IniProfile::write_bool(std::string_view section, std::string_view key, bool value) {
    write_string(section, key, value ? "1" : "0");
}

std::string IniProfile::text() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line;
        out += eol_;
    }
    return out;
}

void IniProfile::save(const std::filesystem::path& path) const {
    write_file_atomically(path, text());
}

} // namespace zz
