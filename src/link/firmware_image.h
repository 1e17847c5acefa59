#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zz {

// A firmware image for the programmer board, as read from its text file.
//
// Line 1 is the version line: its first character is ignored, the rest is the version text.
// Every further line is a data line: a colon and 32 hex digits (eight 16-bit words, low byte
// first; anything after them is ignored). ":00000001FF" or a line without a leading colon ends
// the data, empty lines are skipped, and at most kMaxDataLines lines are taken.
struct FirmwareImage {
    static constexpr int kMaxDataLines = 768;
    static constexpr int kWordsPerLine = 8;
    static constexpr std::size_t kMaxWords = 6144; // the board's firmware memory

    std::string version; // shown in the question to the operator
    // The data words in file order, four upper-case digits per word, high byte first.
    std::string words;
    int data_lines = 0;
};

// The image, or the reason it cannot be used (`error`, one line, naming the file).
struct FirmwareImageRead {
    std::optional<FirmwareImage> image;
    std::string error;
};

// Reads the file. Beyond the format above, a data line with fewer than 32 hex digits after its
// colon, or a file without any data line, is refused: sending it would leave the board with
// firmware nobody wrote.
FirmwareImageRead read_firmware_image(const std::filesystem::path& file);
// The same on the file's text; `name` stands for the file in the error.
FirmwareImageRead parse_firmware_image(const std::string& text, const std::string& name);

} // namespace zz
