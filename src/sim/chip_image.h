#pragma once

#include "device/chip_params.h"
#include "files/hex_import.h"
#include "sim/virtual_chip.h"

#include <filesystem>

namespace zz {

// The memories of a virtual chip as an image file, Intel HEX in the layout of its CHIPbit or a raw
// image as the file's name says, with a buffer of the chip's parameters carrying the data between
// the chip and the file.

// Writes what the file holds into the chip. Cells the file leaves blank keep the chip's own
// value, so the factory calibration word survives an image without one.
LoadResult load_chip_image(VirtualChip& chip, const ChipParams& params,
                           const std::filesystem::path& path);

// Throws std::runtime_error when the file cannot be written.
void save_chip_image(const VirtualChip& chip, const ChipParams& params,
                     const std::filesystem::path& path);

} // namespace zz
