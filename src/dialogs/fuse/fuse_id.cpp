#include "dialogs/fuse/fuse_id.h"

namespace zz {

namespace {
constexpr std::size_t kShortId = 8; // digits: 4 ID bytes
constexpr std::size_t kLongId = 16; // digits: 8 ID bytes of the 16-bit core
} // namespace

FuseIdField::FuseIdField(int chip_bit, std::string_view lab_id1)
    : max_length_(chip_bit == 1   ? 0
                  : chip_bit == 2 ? kShortId
                                  : kLongId),
      digits_(chip_bit == 3 ? kLongId : kShortId) {
    set_text(lab_id1.size() > 2 ? lab_id1.substr(2) : std::string_view());
}

std::optional<char> FuseIdField::key(char c) {
    if (c == kBackspace || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
        return c;
    if (c >= 'a' && c <= 'f')
        return static_cast<char>(c - 'a' + 'A');
    return std::nullopt;
}

std::string FuseIdField::typed(std::string_view keys) const {
    std::string text;
    for (const char c : keys) {
        const std::optional<char> passed = key(c);
        if (!passed)
            continue;
        if (*passed == kBackspace) {
            if (!text.empty())
                text.pop_back();
        } else if (text.size() < max_length_) {
            text += *passed;
        }
    }
    return text;
}

void FuseIdField::set_text(std::string_view keys) {
    text_ = typed(keys);
}

bool FuseIdField::accepts(std::string_view text) const {
    if (text.size() > max_length_)
        return false;
    for (const char c : text) {
        const std::optional<char> passed = key(c);
        if (!passed || *passed == kBackspace)
            return false;
    }
    return true;
}

std::string FuseIdField::label_text() const {
    std::string padded = text_;
    if (padded.size() < digits_)
        padded.append(digits_ - padded.size(), 'F');
    return "0x" + padded;
}

} // namespace zz
