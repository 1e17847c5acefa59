#include "files/blank_image.h"

#include "base/hex_text.h"

#include <algorithm>

namespace zz {

namespace {

bool cells_are(const Buffer& buffer, Area area, std::int32_t blank) {
    for (std::size_t i = 0; i < buffer.cell_count(area); ++i)
        if (hex_to_int(buffer.cell(area, i)) != blank)
            return false;
    return true;
}

// The digits after "0x".
std::string_view caption_digits(const std::string& caption) {
    return caption.size() > 2 ? std::string_view(caption).substr(2) : std::string_view();
}

bool labels_are_blank(const ChipParams& chip, const Buffer& buffer) {
    const std::string_view id = caption_digits(buffer.lab_id1.get());
    if (!std::all_of(id.begin(), id.end(), [](char c) { return c == 'F' || c == 'f'; }))
        return false;
    const int words = chip.CHIPbit == 3 ? 7 : std::min(chip.FuseWordCount, 2);
    for (int n = 1; n <= words; ++n)
        if (hex_to_int(caption_digits(buffer.lab_fuse(n).get())) != chip.fuse_blank_words[n - 1])
            return false;
    return true;
}

} // namespace

bool image_is_blank(const ChipParams& chip, const Buffer& buffer) {
    if (!cells_are(buffer, Area::rom, hex_to_int(chip.ROMblank)) ||
        !cells_are(buffer, Area::eeprom, 0xFF))
        return false;
    return chip.is_serial_eeprom() || labels_are_blank(chip, buffer);
}

} // namespace zz
