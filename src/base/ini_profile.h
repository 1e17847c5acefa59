#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// An INI profile as the Windows profile functions see it: section and key names match without
// regard to letter case, sections are listed in file order, numbers fall back to their default
// when missing or not numeric, and writing a key keeps every other line of the file.
class IniProfile {
public:
    IniProfile() = default;
    // Reads the whole file; a missing or unreadable file gives an empty profile.
    static IniProfile load(const std::filesystem::path& path);
    static IniProfile parse(std::string_view text);

    // Section names in file order, each once.
    std::vector<std::string> sections() const;
    bool has_section(std::string_view section) const;

    // The value with surrounding blanks and one pair of matching quotes removed, at most
    // 2047 characters, as a profile reader returns it; `fallback` when the key is missing.
    std::string read_string(std::string_view section, std::string_view key,
                            std::string_view fallback) const;
    // Decimal with an optional sign, or hex after "0x" or "$"; anything else gives `fallback`.
    std::int32_t read_int(std::string_view section, std::string_view key,
                          std::int32_t fallback) const;
    // An integer: 0 is false, any other number true.
    bool read_bool(std::string_view section, std::string_view key, bool fallback) const;

    void write_string(std::string_view section, std::string_view key, std::string_view value);
    void write_int(std::string_view section, std::string_view key, std::int32_t value);
    void write_bool(std::string_view section, std::string_view key, bool value);

    std::string text() const;
    // Writes through a temporary file in the same folder and a rename, so the old file stays
    // whole until the new one is complete. Throws std::runtime_error on failure.
    void save(const std::filesystem::path& path) const;

private:
    struct Line {
        std::string text;
    };
    // Index of the section header line, or npos.
    std::size_t find_section(std::string_view section) const;
    // Index of the key line inside the section starting at `header`, or npos.
    std::size_t find_key(std::size_t header, std::string_view key) const;
    const std::string* raw_value(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
    std::string eol_ = "\r\n";
};

// Parses an integer the way the profile reader does; false when it is not a number.
bool parse_profile_int(std::string_view text, std::int32_t& out);

} // namespace zz
