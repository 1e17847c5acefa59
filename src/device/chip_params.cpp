#include "device/chip_params.h"

#include "base/hex_text.h"

namespace zz {

void parse_fuse_blank(ChipParams& chip) {
    const std::string_view text = chip.FUSEblank;
    int words;
    switch (text.size()) {
    case 4:
        words = 1;
        break;
    case 9:
        words = 2;
        break;
    case 34:
        words = 7;
        break;
    default:
        return;
    }
    // Word n starts at character 5n: four digits and one separator per word.
    for (int n = 0; n < words; ++n)
        chip.fuse_blank_words[n] = hex_to_int(text.substr(5 * n, 4));
    chip.FuseWordCount = words;
}

bool is_enhanced_midrange(const ChipParams& chip) {
    return chip.CHIPbit == 2 && hex_to_int(chip.CoreType) == 4;
}

} // namespace zz
