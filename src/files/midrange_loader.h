#pragma once

#include "files/image_loader.h"

#include <array>
#include <optional>

namespace zz {

// The 12-bit and 14-bit cores: word-addressed program memory (HEX byte address = 2 x word),
// data EEPROM at word 2100h (low bytes), the 14-bit user ID at words 2000h-2003h (low bytes) and
// the configuration words at FFFh (12-bit) or 2007h/2008h (14-bit).
class MidrangeLoader : public ImageLoader {
public:
    enum class Core { bit12, bit14 };

    MidrangeLoader(const ChipParams& chip, Buffer& buffer, Core core);

    Step place(std::int64_t address, std::span<const std::uint8_t> data) override;
    bool extended_addresses() const override { return false; }
    std::size_t binary_units() const override;
    void place_binary(std::size_t index, std::uint16_t value) override;
    void finish() override;

private:
    enum class Region { none, quiet, program, eeprom, id, config1, config2 };

    Region region(std::int64_t word) const;
    // A word outside program memory; `value` already masked for a binary image.
    void place_word(std::int64_t word, Region where, std::uint16_t value);
    void finish_config();
    void finish_band_gap();

    const ChipParams& chip_;
    Buffer& buffer_;
    Core core_;
    std::uint8_t high_mask_;
    std::size_t rom_words_;
    std::size_t eeprom_bytes_;
    std::array<std::optional<std::uint8_t>, 4> id_{};
    std::array<std::optional<std::uint16_t>, 2> config_{};
};

} // namespace zz
