#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// Finding a setting or an option by what a person types: names compare without regard to case
// and to blanks around them; a name typed in full wins, otherwise the one name that begins with
// the text does.
struct NameMatch {
    enum class Result { found, unknown, ambiguous };
    Result result = Result::unknown;
    std::size_t index = 0;             // when found
    std::vector<std::string> possible; // when ambiguous: every name that begins with the text
};

NameMatch match_name(const std::vector<std::string>& names, std::string_view typed);

class FuseEditor;

// Chooses, in `editor`, the option named `option` of the setting named `setting`. Returns an
// empty text, or why not, with the names that are valid there.
std::string choose_by_name(FuseEditor& editor, std::string_view setting, std::string_view option);

// Sets the user ID in `editor` from hex digits (with or without "0x"). Returns an empty text, or
// why not: no ID on this chip, or not up to as many hex digits as it holds.
std::string set_id_by_text(FuseEditor& editor, std::string_view id);

} // namespace zz
