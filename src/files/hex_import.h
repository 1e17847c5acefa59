#pragma once

#include "device/buffer.h"
#include "device/chip_params.h"
#include "files/dropped_data.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zz {

// What a load did. A file that loads but holds damaged records or data the chip cannot take
// loads all it can; `warning` then names the first damaged record and every range of dropped
// data, for the status line.
struct LoadResult {
    bool ok = true;
    std::string error;   // when !ok: the text of the error message box
    std::string warning; // empty when the file was clean
    DroppedData dropped; // byte addresses (file offsets of a binary image) the chip has not
};

// Names the dropped ranges in the warning: after it, or as "Warning: NAME: ..." alone.
void name_dropped_data(LoadResult& result, const std::string& file_name);

// The extension (with its dot) ".hex" or ".HEX" means Intel HEX; anything else a binary image.
bool is_hex_file_name(const std::filesystem::path& path);

// Read the file into the buffer by the address map of CHIPbit 1 ... 5. They do not blank the
// buffer first; the caller decides.
LoadResult read12bitfile(const ChipParams& chip, Buffer& buffer, const std::filesystem::path& path);
LoadResult read14bitfile(const ChipParams& chip, Buffer& buffer, const std::filesystem::path& path);
LoadResult read16bitfile(const ChipParams& chip, Buffer& buffer, const std::filesystem::path& path);
LoadResult read8bitfile(const ChipParams& chip, Buffer& buffer, const std::filesystem::path& path);
LoadResult read8_2bitfile(const ChipParams& chip, Buffer& buffer,
                          const std::filesystem::path& path);

// Intel HEX text in memory read by the reader for chip.CHIPbit; `name` stands for the file.
LoadResult read_image_text(const ChipParams& chip, Buffer& buffer, std::string_view hex,
                           const std::string& name);

// The reader for chip.CHIPbit; nothing is read (and ok is returned) for any other value.
LoadResult read_image_file(const ChipParams& chip, Buffer& buffer,
                           const std::filesystem::path& path);

} // namespace zz
