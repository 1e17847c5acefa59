#pragma once

#include "files/hex_import.h"
#include "files/image_loader.h"

#include <filesystem>

namespace zz {

// Reads a raw image from its start: bytes, or words with the low byte first (a final odd byte
// is ignored), placed as unit index 0, 1, 2 ... Units the loader has no place for, and data
// past the chip's last location unless it is erased (FFh), are named as dropped.
LoadResult read_binary_image(ImageLoader& loader, const std::filesystem::path& path);

} // namespace zz
