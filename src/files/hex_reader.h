#pragma once

#include "files/hex_import.h"
#include "files/image_loader.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zz {

// Reads an Intel HEX file record by record into the loader until an end-of-file record, the end
// of the file or a line that does not start with ":". Upper-address records (types 2 and 4) move
// the addresses that follow. Checksums are not needed to load a record, but the first damaged
// record gives the warning; so do the bytes the chip has no place for, which are dropped one by
// one (the rest of their record still loads) and named by their address ranges.
LoadResult read_hex_image(ImageLoader& loader, const std::filesystem::path& path);
// The same for Intel HEX text held in memory; `name` stands for the file in warnings.
LoadResult read_hex_text(ImageLoader& loader, std::string_view text, const std::string& name);

} // namespace zz
