#include "dialogs/fuse/fuse_names.h"

#include "base/text_lines.h"
#include "dialogs/fuse/fuse_editor.h"

#include <cctype>

namespace zz {

namespace {

std::string folded(std::string_view text) {
    std::string out = trimmed(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string listed(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

// Why `typed` names none of `names`: `unknown` or `ambiguous` with the names that would do.
std::string refusal(const NameMatch& match, const std::vector<std::string>& names,
                    const std::string& unknown, const std::string& ambiguous) {
    if (match.result == NameMatch::Result::ambiguous)
        return ambiguous + " is ambiguous (" + listed(match.possible) + ")";
    return unknown + " (valid: " + listed(names) + ")";
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

NameMatch match_name(const std::vector<std::string>& names, std::string_view typed) {
    NameMatch match;
    const std::string wanted = folded(typed);
    if (wanted.empty())
        return match;
    std::vector<std::size_t> starting;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = folded(names[i]);
        if (name == wanted)
            return {NameMatch::Result::found, i, {}};
        if (name.starts_with(wanted))
            starting.push_back(i);
    }
    if (starting.size() == 1)
        return {NameMatch::Result::found, starting.front(), {}};
    if (starting.size() > 1) {
        match.result = NameMatch::Result::ambiguous;
        for (std::size_t i : starting)
            match.possible.push_back(names[i]);
    }
    return match;
}

std::string choose_by_name(FuseEditor& editor, std::string_view setting, std::string_view option) {
    std::vector<std::string> captions;
    for (const FuseSetting& s : editor.settings())
        captions.push_back(s.caption);
    const NameMatch named = match_name(captions, setting);
    if (named.result != NameMatch::Result::found)
        return refusal(named, captions, "no fuse setting " + quoted(setting),
                       "fuse setting " + quoted(setting));
    const FuseSetting& found = editor.settings()[named.index];
    std::vector<std::string> texts;
    for (const FuseOption& o : found.options)
        texts.push_back(o.text);
    const NameMatch chosen = match_name(texts, option);
    if (chosen.result != NameMatch::Result::found)
        return refusal(chosen, texts, found.caption + " has no option " + quoted(option),
                       "option " + quoted(option) + " of " + found.caption);
    editor.choose(named.index, chosen.index);
    return {};
}

std::string set_id_by_text(FuseEditor& editor, std::string_view id) {
    const std::string given(id);
    if (id.starts_with("0x") || id.starts_with("0X"))
        id.remove_prefix(2);
    if (!editor.id().enabled())
        return "the chip has no user ID to set";
    if (!editor.id().accepts(id))
        return "the user ID takes up to " + std::to_string(editor.id().max_length()) +
               " hex digits, not \"" + given + "\"";
    editor.id().set_text(id);
    return {};
}

} // namespace zz
