#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <filesystem>
#include <string>

namespace zz {

// The buffer as a raw image: a serial EEPROM every cell in address order (16-bit word parts low
// byte first), a PIC chip its program memory, ROMsize words, each low byte first. This is what
// the binary reader takes back.
std::string binary_image(const ChipParams& chip, const Buffer& buffer);

// Writes binary_image, replacing the file only once the new one is complete; throws
// std::runtime_error when the file cannot be written, and the old file then stays as it was.
void export_binary_file(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path);

// Saves in the form the file's name is read in (is_hex_file_name): Intel HEX by the writer for
// CHIPbit, else a raw image, so that what is saved loads back the same. Nothing is written for a
// CHIPbit that names no memory organisation.
void export_image_file(const ChipParams& chip, const Buffer& buffer,
                       const std::filesystem::path& path);

} // namespace zz
