#pragma once

#include <QImage>

#include <filesystem>

namespace zz {

// Decodes a JPEG file into an RGB image; a null image when the file is missing or damaged.
QImage decode_jpeg(const std::filesystem::path& path);

} // namespace zz
