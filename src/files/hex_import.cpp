#include "files/hex_import.h"

#include "files/binary_reader.h"
#include "files/hex_reader.h"
#include "files/image_loader.h"

namespace zz {

namespace {

LoadResult read_with(int chip_bit, const ChipParams& chip, Buffer& buffer,
                     const std::filesystem::path& path) {
    const auto loader = make_image_loader(chip_bit, chip, buffer);
    if (!loader)
        return {};
    return is_hex_file_name(path) ? read_hex_image(*loader, path)
                                  : read_binary_image(*loader, path);
}

} // namespace

void name_dropped_data(LoadResult& result, const std::string& file_name) {
    if (result.dropped.empty())
        return;
    result.warning += result.warning.empty() ? "Warning: " + file_name + ": " : "; ";
    result.warning += "data outside this chip dropped at " + result.dropped.text();
}

bool is_hex_file_name(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string_view extension = std::string_view(name).substr(dot);
    return extension == ".hex" || extension == ".HEX";
}

LoadResult read_image_text(const ChipParams& chip, Buffer& buffer, std::string_view hex,
                           const std::string& name) {
    const auto loader = make_image_loader(chip.CHIPbit, chip, buffer);
    return loader ? read_hex_text(*loader, hex, name) : LoadResult{};
}

LoadResult read12bitfile(const ChipParams& chip, Buffer& buffer,
                         const std::filesystem::path& path) {
    return read_with(1, chip, buffer, path);
}

LoadResult read14bitfile(const ChipParams& chip, Buffer& buffer,
                         const std::filesystem::path& path) {
    return read_with(2, chip, buffer, path);
}

LoadResult read16bitfile(const ChipParams& chip, Buffer& buffer,
                         const std::filesystem::path& path) {
    return read_with(3, chip, buffer, path);
}

LoadResult read8bitfile(const ChipParams& chip, Buffer& buffer, const std::filesystem::path& path) {
    return read_with(4, chip, buffer, path);
}

LoadResult read8_2bitfile(const ChipParams& chip, Buffer& buffer,
                          const std::filesystem::path& path) {
    return read_with(5, chip, buffer, path);
}

LoadResult read_image_file(const ChipParams& chip, Buffer& buffer,
                           const std::filesystem::path& path) {
    switch (chip.CHIPbit) {
    case 1:
        return read12bitfile(chip, buffer, path);
    case 2:
        return read14bitfile(chip, buffer, path);
    case 3:
        return read16bitfile(chip, buffer, path);
    case 4:
        return read8bitfile(chip, buffer, path);
    case 5:
        return read8_2bitfile(chip, buffer, path);
    default:
        return {};
    }
}

} // namespace zz
