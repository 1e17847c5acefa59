#pragma once

#include "files/hex_import.h"
#include "files/image_loader.h"

#include <filesystem>

namespace zz {

// Reads an Intel HEX file record by record into the loader until an end-of-file record, the end
// of the file or a line that does not start with ":". Checksums are not needed to load a record,
// but the first damaged record, and the first data the chip cannot take, give the warning.
LoadResult read_hex_image(ImageLoader& loader, const std::filesystem::path& path);

} // namespace zz
