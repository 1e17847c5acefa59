#include "files/image_export.h"

#include "base/atomic_file.h"
#include "base/hex_text.h"
#include "files/hex_export.h"
#include "files/hex_import.h"

#include <algorithm>

namespace zz {

std::string binary_image(const ChipParams& chip, const Buffer& buffer) {
    const std::size_t cells =
        std::min(static_cast<std::size_t>(std::max<std::int64_t>(chip.ROMsize, 0)),
                 buffer.cell_count(Area::rom));
    const bool bytes = chip.CHIPbit == 4;
    std::string image;
    image.reserve(cells * (bytes ? 1 : 2));
    for (std::size_t i = 0; i < cells; ++i) {
        // A cell that is not hex reads -1, as everywhere the buffer is read: FFh bytes.
        const auto value = static_cast<std::uint32_t>(hex_to_int(buffer.cell(Area::rom, i)));
        image += static_cast<char>(value & 0xFF);
        if (!bytes)
            image += static_cast<char>((value >> 8) & 0xFF);
    }
    return image;
}

void export_binary_file(const ChipParams& chip, const Buffer& buffer,
                        const std::filesystem::path& path) {
    write_file_atomically(path, binary_image(chip, buffer));
}

void export_image_file(const ChipParams& chip, const Buffer& buffer,
                       const std::filesystem::path& path) {
    if (chip.CHIPbit < 1 || chip.CHIPbit > 5)
        return;
    if (is_hex_file_name(path))
        export_hex_file(chip, buffer, path);
    else
        export_binary_file(chip, buffer, path);
}

} // namespace zz
