#pragma once

#include <filesystem>
#include <string_view>

namespace zz {

// Writes `contents` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a failed or interrupted write never leaves a half-written file where the old one
// was. Throws std::runtime_error with the reason on failure; the old file is then untouched.
void write_file_atomically(const std::filesystem::path& path, std::string_view contents);

} // namespace zz
