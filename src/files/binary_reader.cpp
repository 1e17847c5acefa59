#include "files/binary_reader.h"

#include "files/line_reader.h"

#include <memory>
#include <vector>

namespace zz {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

// Feeds the file's units to the loader and notes the data it has no place for: units the loader
// drops, and the first byte but FFh after the last unit, where reading stops.
class BinaryScan {
public:
    BinaryScan(ImageLoader& loader, DroppedData& dropped)
        : loader_(loader), dropped_(dropped),
          unit_(static_cast<std::size_t>(loader.binary_unit_bytes())),
          units_(loader.binary_units()) {}

    void take(const std::uint8_t* bytes, std::size_t count);
    // The file offset of the first byte past the chip that is not FFh; -1 while there is none.
    std::int64_t surplus_at() const { return surplus_at_; }

private:
    void place(std::uint16_t value);

    ImageLoader& loader_;
    DroppedData& dropped_;
    std::size_t unit_;
    std::size_t units_;
    std::size_t index_ = 0;
    std::int64_t offset_ = 0; // of the next byte in the file
    std::int64_t surplus_at_ = -1;
    int pending_ = -1; // the low byte of a word cut by a block end
};

void BinaryScan::place(std::uint16_t value) {
    if (!loader_.place_binary(index_, value))
        dropped_.add(static_cast<std::int64_t>(index_ * unit_), unit_);
    ++index_;
}

void BinaryScan::take(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t pos = 0; pos < count && surplus_at_ < 0; ++pos, ++offset_) {
        if (index_ >= units_) {
            if (bytes[pos] != 0xFF)
                surplus_at_ = offset_;
        } else if (unit_ == 1) {
            place(bytes[pos]);
        } else if (pending_ < 0) {
            pending_ = bytes[pos];
        } else {
            place(static_cast<std::uint16_t>((bytes[pos] << 8) | pending_));
            pending_ = -1;
        }
    }
}

// Past the chip the file is not read on (it may be a device that never ends): the dropped range
// runs to the end the file's size gives.
void drop_surplus(DroppedData& dropped, std::int64_t from, const std::filesystem::path& path) {
    std::error_code failed;
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path, failed));
    dropped.add(from, failed || size <= from ? 1 : static_cast<std::size_t>(size - from));
}

} // namespace

LoadResult read_binary_image(ImageLoader& loader, const std::filesystem::path& path) {
    const std::string failure = "Error in file " + path.string() + ".";
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {false, failure, {}, {}};
    LoadResult result;
    BinaryScan scan(loader, result.dropped);
    std::vector<std::uint8_t> block(kBlockBytes);
    while (scan.surplus_at() < 0) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (got == 0)
            break;
        scan.take(block.data(), got);
    }
    if (std::ferror(file.get()))
        return {false, failure, {}, {}};
    loader.finish();
    if (scan.surplus_at() >= 0)
        drop_surplus(result.dropped, scan.surplus_at(), path);
    name_dropped_data(result, path.filename().string());
    return result;
}

} // namespace zz
