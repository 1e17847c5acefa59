#pragma once

#include "files/image_loader.h"

#include <array>
#include <optional>

namespace zz {

// The 16-bit core: byte-addressed program memory, user ID bytes at 200000h-200007h, the seven
// configuration words at 300000h-30000Dh (low byte first) and data EEPROM at F00000h.
class Pic18Loader : public ImageLoader {
public:
    Pic18Loader(const ChipParams& chip, Buffer& buffer);

    Step place(std::int64_t address, std::span<const std::uint8_t> data) override;
    // A binary image holds program memory only.
    std::size_t binary_units() const override { return rom_words_; }
    bool place_binary(std::size_t index, std::uint16_t value) override;
    void finish() override;

private:
    static constexpr std::size_t kIdBytes = 8;
    static constexpr std::size_t kConfigBytes = 14;

    const ChipParams& chip_;
    Buffer& buffer_;
    std::size_t rom_words_;
    std::size_t eeprom_bytes_;
    // Missing bytes read as FFh.
    std::array<std::optional<std::uint8_t>, kIdBytes> id_{};
    std::array<std::optional<std::uint8_t>, kConfigBytes> config_{};
};

} // namespace zz
