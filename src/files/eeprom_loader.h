#pragma once

#include "files/image_loader.h"

namespace zz {

// Serial EEPROMs: program memory only, organised in bytes (CHIPbit 4, HEX byte address = cell)
// or in 16-bit words (CHIPbit 5, the low byte first). The labels stay as they are.
class EepromLoader : public ImageLoader {
public:
    enum class Cells { bytes, words };

    EepromLoader(const ChipParams& chip, Buffer& buffer, Cells cells);

    Step place(std::int64_t address, std::span<const std::uint8_t> data) override;
    int binary_unit_bytes() const override { return cells_ == Cells::bytes ? 1 : 2; }
    std::size_t binary_units() const override { return cell_count_; }
    bool place_binary(std::size_t index, std::uint16_t value) override;
    void finish() override {}

private:
    Buffer& buffer_;
    Cells cells_;
    std::size_t cell_count_;
};

} // namespace zz
