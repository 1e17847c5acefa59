#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zz {

// The SHA-256 of the bytes, as 64 lower-case hex digits.
std::string sha256_hex(std::string_view bytes);
// The SHA-256 of the file's contents. Throws std::runtime_error naming the file when it cannot
// be read.
std::string sha256_of_file(const std::filesystem::path& path);

} // namespace zz
