#include "link/firmware_image.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

namespace zz {

namespace {

constexpr std::string_view kEndLine = ":00000001FF";
constexpr std::size_t kDataDigits = 32;

std::string_view trimmed_end(std::string_view line) {
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.remove_suffix(1);
    return line;
}

bool hex_digits(std::string_view text) {
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string upper(std::string_view digits) {
    std::string out(digits);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Eight words, low byte first in the file, as image text with the high byte first.
void append_words(std::string_view digits, std::string& words) {
    for (std::size_t w = 0; w < FirmwareImage::kWordsPerLine; ++w) {
        words += upper(digits.substr(4 * w + 2, 2));
        words += upper(digits.substr(4 * w, 2));
    }
}

} // namespace

FirmwareImageRead parse_firmware_image(const std::string& text, const std::string& name) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line))
        return {std::nullopt, "The firmware image " + name + " is empty"};
    FirmwareImage image;
    const std::string_view version = trimmed_end(line);
    image.version = std::string(version.empty() ? version : version.substr(1));
    for (int number = 2; std::getline(in, line); ++number) {
        const std::string_view data = trimmed_end(line);
        if (data.empty())
            continue;
        if (data == kEndLine || data.front() != ':' ||
            image.data_lines == FirmwareImage::kMaxDataLines)
            break;
        const std::string_view digits = data.substr(1, kDataDigits);
        if (digits.size() < kDataDigits || !hex_digits(digits))
            return {std::nullopt, "The firmware image " + name + ", line " +
                                      std::to_string(number) +
                                      ": a data line needs 32 hex digits after its colon"};
        append_words(digits, image.words);
        ++image.data_lines;
    }
    if (image.data_lines == 0)
        return {std::nullopt, "The firmware image " + name + " holds no data lines"};
    return {std::move(image), {}};
}

FirmwareImageRead read_firmware_image(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(file, error).parent_path();
    if (!std::filesystem::exists(file, error))
        return {std::nullopt, "The firmware image " + file.filename().string() +
                                  " was not found in " + folder.string()};
    std::ifstream in(file, std::ios::binary);
    if (!in || std::filesystem::is_directory(file, error))
        return {std::nullopt, "The firmware image " + file.string() + " cannot be read"};
    std::ostringstream text;
    text << in.rdbuf();
    return parse_firmware_image(text.str(), file.string());
}

} // namespace zz
