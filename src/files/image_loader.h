#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zz {

// Where one memory organisation (CHIPbit) puts the bytes of an image file in the buffer, and
// what it shows in the labels once the file is read.
class ImageLoader {
public:
    // Bytes taken by one step of a HEX record (at least one). `dropped`: the chip has no place
    // for them. Locations the chip has but the loader leaves unread are taken, not dropped.
    struct Step {
        std::size_t consumed = 1;
        bool dropped = false;
    };

    virtual ~ImageLoader() = default;

    // Places the first one or two of `data` (never empty) at byte address `address`.
    virtual Step place(std::int64_t address, std::span<const std::uint8_t> data) = 0;

    // A binary image is a sequence of units: bytes (1) or words with the low byte first (2).
    virtual int binary_unit_bytes() const { return 2; }
    // Units past this index hold nothing the chip can take; reading stops there.
    virtual std::size_t binary_units() const = 0;
    // False when the unit holds data (not the erased value) that the chip has no place for.
    virtual bool place_binary(std::size_t index, std::uint16_t value) = 0;

    // After the whole file: the ID, configuration and BandGap labels.
    virtual void finish() = 0;
};

// The loader for the chip's CHIPbit; null for a value that names no memory organisation.
std::unique_ptr<ImageLoader> make_image_loader(int chip_bit, const ChipParams& chip,
                                               Buffer& buffer);

// Program cells and EEPROM cells the file may fill: the chip's size, at most the buffer's cells.
std::size_t rom_limit(const ChipParams& chip, const Buffer& buffer);
std::size_t eeprom_limit(const ChipParams& chip, const Buffer& buffer);

// Cell writes with the printable view. A byte replaces its half of a four-digit word cell and
// keeps the other half.
void set_word_cell(Buffer& buffer, std::size_t index, std::uint16_t word);
void set_word_cell_byte(Buffer& buffer, std::size_t index, bool high, std::uint8_t byte);
void set_byte_cell(Buffer& buffer, Area area, std::size_t index, std::uint8_t byte);

} // namespace zz
