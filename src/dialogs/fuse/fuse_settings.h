#pragma once

#include "device/chip_params.h"
#include "device/fuse_line.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// BandGap calibration bits 13-12 of configuration word 1.
inline constexpr std::int32_t kBandGapBits = 0x3000;

// One named setting of the fuse editor: a readable fuse line with the configuration word its
// place in the list gives it.
struct FuseSetting {
    int list_number = 0; // 1 ... 46: the LIST key it comes from
    int word = 1;        // 1 ... 7
    std::string caption;
    std::vector<FuseOption> options; // masks 0 ... FFFF
    // Bits of the word that some option clears.
    std::uint16_t bits() const;
};

// The settings of a chip, in line order, and the lines that had to be left out.
struct FuseSettings {
    std::vector<FuseSetting> settings;
    // LIST numbers of lines that give no usable setting: no closing quote after the caption, no
    // option, or an option mask that is not one to four hex digits.
    std::vector<int> unreadable;
    // How many configuration words the editor writes: 7 for the 16-bit core, else 1 or 2.
    int word_count = 1;
};

// Reads the lines LIST1 ... up to the first empty one and groups them by configuration word: for
// the 16-bit core by the first lines that begin with "FUSE2" ... "FUSE7" (a "FUSE4" line right
// after word 2 leaves word 3 empty), for two-word chips by the first "FUSE2" line, otherwise all
// in word 1. Unreadable lines still count as markers, so their neighbours keep their word.
FuseSettings fuse_settings(const ChipParams& chip);

// The option a word selects: among the options that clear only bits already clear in `word`, the
// one with the smallest mask; when that is none below FFFF, the first option whose mask is FFFF;
// otherwise none.
std::optional<std::size_t> current_option(const FuseSetting& setting, std::int32_t word);

// Configuration word k of a "0x...." label text: its next four characters as hex; -1 when they
// are not hex.
std::int32_t label_word(const std::string& text);

} // namespace zz
