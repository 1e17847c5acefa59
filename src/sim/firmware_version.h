#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// The board's firmware keeps its version text as a table of RETLW instructions (34xxh, the
// character in the low byte) from word 0 on: the text runs up to the first word that is not a
// RETLW of a printable character, at most kMaxVersionLength characters. Firmware without the
// table reports "CS" and the four hex digits of the 16-bit sum of its words, so every image
// still gives a version of its own.
inline constexpr std::size_t kMaxVersionLength = 16;
std::string firmware_version_text(std::span<const std::uint16_t> words);

// Firmware made up for tests and rehearsals: the version table of `version_text`, then words
// that differ from word to word, `word_count` in all.
std::vector<std::uint16_t> generated_firmware(std::string_view version_text,
                                              std::size_t word_count);

// The text of a firmware image file holding `words` (a multiple of eight), with the version
// line "V" + `version` and the end line.
std::string firmware_image_file_text(std::string_view version,
                                     std::span<const std::uint16_t> words);

} // namespace zz
