#include "dialogs/hex_entry.h"

namespace zz {

std::optional<char> hex_key(char key) {
    if (key == kBackspace || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F'))
        return key;
    if (key >= 'a' && key <= 'f')
        return static_cast<char>(key - 'a' + 'A');
    return std::nullopt;
}

std::optional<char> binary_key(char key) {
    if (key == kBackspace || key == '0' || key == '1')
        return key;
    return std::nullopt;
}

std::string type_key(std::string text, char key, std::size_t max, KeyFilter filter) {
    const std::optional<char> entered = filter(key);
    if (!entered)
        return text;
    if (*entered == kBackspace) {
        if (!text.empty())
            text.pop_back();
    } else if (text.size() < max) {
        text.push_back(*entered);
    }
    return text;
}

std::optional<std::string> typed_text(std::string_view text, std::size_t max, KeyFilter filter) {
    if (text.size() > max)
        return std::nullopt;
    std::string out;
    for (const char key : text) {
        const std::optional<char> entered = filter(key);
        if (!entered || *entered == kBackspace)
            return std::nullopt;
        out.push_back(*entered);
    }
    return out;
}

} // namespace zz
