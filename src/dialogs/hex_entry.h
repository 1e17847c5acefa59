#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zz {

inline constexpr char kBackspace = '\b';

// What a key filter makes of one key: the character to enter (backspace included), or nothing
// when the key is swallowed.
using KeyFilter = std::optional<char> (*)(char key);

// The hex fields and cells: backspace and "0"-"9", "A"-"F" pass, "a"-"f" become upper case.
std::optional<char> hex_key(char key);
// The BandGap field: backspace, "0" and "1".
std::optional<char> binary_key(char key);

// The text of a field of at most `max` characters after one key: backspace removes the last
// character; a character that passes `filter` is appended while there is room.
std::string type_key(std::string text, char key, std::size_t max, KeyFilter filter);

// A whole text as the field would hold it when typed key by key into it empty (a paste, a
// command-line value): upper-case where the filter makes it so; nothing when a key would be
// swallowed or the text is longer than `max`.
std::optional<std::string> typed_text(std::string_view text, std::size_t max, KeyFilter filter);

} // namespace zz
