#include "dialogs/fuse/fuse_editor.h"

#include "base/hex_text.h"

#include <stdexcept>

namespace zz {

FuseEditor::FuseEditor(const ChipParams& chip, Buffer& buffer)
    : chip_(chip), buffer_(buffer), table_(fuse_settings(chip)),
      id_(chip.CHIPbit, buffer.lab_id1.get()) {
    chosen_.reserve(table_.settings.size());
    for (const FuseSetting& setting : table_.settings)
        chosen_.push_back(current_option(setting, label_word(buffer.lab_fuse(setting.word))));
}

void FuseEditor::choose(std::size_t s, std::size_t option) {
    if (option >= table_.settings.at(s).options.size())
        throw std::out_of_range("no such fuse option");
    chosen_[s] = option;
}

std::uint16_t FuseEditor::word(int k) const {
    std::int32_t value = chip_.fuse_blank_words.at(static_cast<std::size_t>(k - 1));
    for (std::size_t s = 0; s < table_.settings.size(); ++s)
        if (table_.settings[s].word == k && chosen_[s])
            value &= table_.settings[s].options[*chosen_[s]].value;
    // The BandGap bits are the chip's factory calibration: no option may change them.
    const std::int32_t shown = label_word(buffer_.lab_fuse(1));
    if (k == 1 && chip_.BandGap && shown >= 0)
        value = (value & ~kBandGapBits) | (shown & kBandGapBits);
    return static_cast<std::uint16_t>(value);
}

void FuseEditor::ok() {
    // All words first: word() reads word 1's label for the BandGap bits.
    std::vector<std::uint16_t> words;
    for (int k = 1; k <= table_.word_count; ++k)
        words.push_back(word(k));
    for (int k = 1; k <= table_.word_count; ++k)
        buffer_.lab_fuse(k) = "0x" + to_hex(words[static_cast<std::size_t>(k - 1)], 4);
    buffer_.lab_id1 = id_.label_text();
}

} // namespace zz
