#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"

#include <filesystem>
#include <string>

namespace zz {

// Write the buffer as Intel HEX in the address layout of CHIPbit 1 ... 5 (the one the readers
// take back), replacing the file only once the new one is complete. They throw
// std::runtime_error when the file cannot be written; the old file then stays as it was.
void Export12bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path);
void Export14bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path);
void Export16bitHexFile(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path);
void Export8bitHexFile(const ChipParams& chip, const Buffer& buffer,
                       const std::filesystem::path& path);
void Export8_2bitHexFile(const ChipParams& chip, const Buffer& buffer,
                         const std::filesystem::path& path);

// The text the writer for chip.CHIPbit writes; empty for any other value.
std::string hex_image_text(const ChipParams& chip, const Buffer& buffer);

// The writer for chip.CHIPbit; nothing is written for any other value.
void export_hex_file(const ChipParams& chip, const Buffer& buffer,
                     const std::filesystem::path& path);

} // namespace zz
