#pragma once

#include <filesystem>
#include <string_view>

namespace zz {

// Writes `contents` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a failed or interrupted write never leaves a half-written file where the old one
// was. The new file keeps the old one's permissions. An old file that its user may not write, or
// that has no write permission at all, is refused. Throws std::runtime_error with the reason
// (naming the file) on failure; the old file is then untouched.
void write_file_atomically(const std::filesystem::path& path, std::string_view contents);

} // namespace zz
