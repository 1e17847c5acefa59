#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"
#include "dialogs/fuse/fuse_id.h"
#include "dialogs/fuse/fuse_settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zz {

// The "Edit Fuses" dialog's rules: one setting per fuse line, each showing the option that its
// configuration word selects, and the user ID. Nothing reaches the buffer until ok(); dropping
// the editor is Cancel.
class FuseEditor {
public:
    // Built from the chip's fuse lines and the configuration words and ID in the buffer's labels.
    FuseEditor(const ChipParams& chip, Buffer& buffer);

    const std::vector<FuseSetting>& settings() const { return table_.settings; }
    const std::vector<int>& unreadable_lines() const { return table_.unreadable; }
    int word_count() const { return table_.word_count; }

    // The option shown for setting `s`; none when its word selects no option.
    std::optional<std::size_t> chosen(std::size_t s) const { return chosen_.at(s); }
    void choose(std::size_t s, std::size_t option);

    FuseIdField& id() { return id_; }
    const FuseIdField& id() const { return id_; }

    // Word k (1 ... word_count()) as OK builds it: its blank value ANDed with the chosen option
    // of every setting of the word. The BandGap bits of word 1 stay as the buffer has them.
    std::uint16_t word(int k) const;

    // OK: writes the words to lab_fuse1 ... and the padded ID to lab_id1.
    void ok();

private:
    const ChipParams& chip_;
    Buffer& buffer_;
    FuseSettings table_;
    std::vector<std::optional<std::size_t>> chosen_;
    FuseIdField id_;
};

} // namespace zz
