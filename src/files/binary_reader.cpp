#include "files/binary_reader.h"

#include "files/line_reader.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zz {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

// Feeds the file's units to the loader and notes whether anything but FFh follows the last one.
class BinaryScan {
public:
    explicit BinaryScan(ImageLoader& loader)
        : loader_(loader), unit_(static_cast<std::size_t>(loader.binary_unit_bytes())),
          units_(loader.binary_units()) {}

    void take(const std::uint8_t* bytes, std::size_t count);
    // Whether more blocks are worth reading.
    bool wants_more() const { return !surplus; }

    bool surplus = false;

private:
    ImageLoader& loader_;
    std::size_t unit_;
    std::size_t units_;
    std::size_t index_ = 0;
    int pending_ = -1; // the low byte of a word cut by a block end
};

void BinaryScan::take(const std::uint8_t* bytes, std::size_t count) {
    std::size_t pos = 0;
    while (pos < count && index_ < units_) {
        if (unit_ == 1) {
            loader_.place_binary(index_++, bytes[pos++]);
        } else if (pending_ < 0) {
            pending_ = bytes[pos++];
        } else {
            loader_.place_binary(index_++,
                                 static_cast<std::uint16_t>((bytes[pos++] << 8) | pending_));
            pending_ = -1;
        }
    }
    surplus = surplus ||
              std::any_of(bytes + pos, bytes + count, [](std::uint8_t b) { return b != 0xFF; });
}

} // namespace

LoadResult read_binary_image(ImageLoader& loader, const std::filesystem::path& path) {
    const std::string failure = "Error in file " + path.string() + ".";
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {false, failure, {}};
    BinaryScan scan(loader);
    std::vector<std::uint8_t> block(kBlockBytes);
    while (scan.wants_more()) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
        if (got == 0)
            break;
        scan.take(block.data(), got);
    }
    if (std::ferror(file.get()))
        return {false, failure, {}};
    loader.finish();
    LoadResult result;
    if (scan.surplus)
        result.warning =
            "Warning: " + path.filename().string() + " holds more data than this chip can take";
    return result;
}

} // namespace zz
