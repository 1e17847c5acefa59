#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

// The user ID entry of the fuse editor. The 12-bit core has no editable ID: the field is disabled
// and empty. Otherwise it holds up to 8 hex digits (14-bit core) or 16 (16-bit core), upper case,
// and OK pads them on the right with "F".
class FuseIdField {
public:
    static constexpr char kBackspace = '\b';

    // Filled from the ID label ("0x" and the digits).
    FuseIdField(int chip_bit, std::string_view lab_id1);

    bool enabled() const { return max_length_ > 0; }
    std::size_t max_length() const { return max_length_; }
    const std::string& text() const { return text_; }

    // The keystroke filter: backspace and "0"-"9", "A"-"F" pass, "a"-"f" become upper case, every
    // other key is swallowed (nullopt).
    static std::optional<char> key(char c);
    // The field's text after typing `keys` into an empty field: each key through the filter, a
    // backspace removing the last digit, and nothing past the maximum length.
    std::string typed(std::string_view keys) const;
    // Replaces the text by what typing `keys` gives; ignored while disabled.
    void set_text(std::string_view keys);
    // True when every character of `text` is a hex digit and it fits the field.
    bool accepts(std::string_view text) const;

    // The ID label written on OK: "0x" and the text padded to the ID's digit count.
    std::string label_text() const;

private:
    std::size_t max_length_;
    std::size_t digits_;
    std::string text_;
};

} // namespace zz
