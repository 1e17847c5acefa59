#pragma once

#include "files/image_loader.h"
#include "files/midrange_layout.h"

#include <array>
#include <optional>
#include <vector>

namespace zz {

// The 12-bit and 14-bit cores: word-addressed program memory (HEX byte address = 2 x word).
// 12-bit: data EEPROM at word 2100h (low bytes), configuration word at FFFh; the user ID after
// program memory is not read. 14-bit: the user ID, configuration words and data EEPROM by the
// chip's layout; an enhanced mid-range chip also takes them where the classic layout puts them,
// so images saved in that layout load as before.
class MidrangeLoader : public ImageLoader {
public:
    enum class Core { bit12, bit14 };

    MidrangeLoader(const ChipParams& chip, Buffer& buffer, Core core);

    Step place(std::int64_t address, std::span<const std::uint8_t> data) override;
    std::size_t binary_units() const override;
    bool place_binary(std::size_t index, std::uint16_t value) override;
    void finish() override;

private:
    enum class Region { none, quiet, program, eeprom, id, config };
    // A region and the place in it: the word's index, EEPROM byte, ID byte or configuration word.
    struct Place {
        Region region = Region::none;
        std::size_t index = 0;
    };

    Place place_of(std::int64_t word) const;
    Place place_of_12bit(std::int64_t word) const;
    Place place_in(const MidrangeLayout& layout, std::int64_t word) const;
    void place_byte(Place where, bool high, std::uint8_t byte);
    // A word outside program memory; `value` already masked for a binary image.
    void place_word(Place where, std::uint16_t value);
    void finish_config();
    void finish_band_gap();

    const ChipParams& chip_;
    Buffer& buffer_;
    Core core_;
    std::uint8_t high_mask_;
    std::vector<MidrangeLayout> layouts_; // 14-bit: the chip's own first
    std::size_t rom_words_;
    std::size_t eeprom_bytes_;
    int config_words_;
    std::array<std::optional<std::uint8_t>, 4> id_{};
    std::array<std::optional<std::uint16_t>, 2> config_{};
};

} // namespace zz
