#include "files/hex_reader.h"

#include "files/hex_record.h"
#include "files/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace zz {

namespace {

constexpr int kDataRecord = 0;
constexpr int kEndRecord = 1;
constexpr int kSegmentRecord = 2;
constexpr int kLinearRecord = 4;

class HexScan {
public:
    HexScan(ImageLoader& loader, std::string file_name)
        : loader_(loader), file_name_(std::move(file_name)) {}

    // False when the line ends the reading.
    bool take(std::string_view line, bool overlong);
    void warn(std::string_view what) {
        if (result.warning.empty())
            result.warning = "Warning: line " + std::to_string(line_number_) + " of " + file_name_ +
                             ": " + std::string(what);
    }
    void next_line() { ++line_number_; }

    LoadResult result;
    bool end_seen = false;

private:
    void place_data(const HexRecord& record);
    void set_base(const HexRecord& record);

    ImageLoader& loader_;
    std::string file_name_;
    int line_number_ = 0;
    std::int64_t base_ = 0; // -1 after a damaged upper-address record: nothing fits
};

bool HexScan::take(std::string_view line, bool overlong) {
    if (line.empty())
        return true;
    if (line.front() != ':') {
        warn("not a record, the rest of the file was not read");
        return false;
    }
    const HexRecord record = parse_hex_record(line, overlong);
    if (record.problem == HexRecord::Problem::malformed)
        warn("damaged record");
    else if (record.problem == HexRecord::Problem::checksum)
        warn("checksum error");
    switch (record.type) {
    case kEndRecord:
        end_seen = true;
        return false;
    case kDataRecord:
        place_data(record);
        break;
    case kSegmentRecord:
    case kLinearRecord:
        set_base(record);
        break;
    default:
        break;
    }
    return true;
}

void HexScan::place_data(const HexRecord& record) {
    if (record.load < 0 || base_ < 0)
        return;
    const std::int64_t start = base_ + record.load;
    const auto data = record.data();
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::int64_t address = start + static_cast<std::int64_t>(pos);
        const auto step = loader_.place(address, data.subspan(pos));
        const std::size_t taken = std::clamp<std::size_t>(step.consumed, 1, data.size() - pos);
        if (step.dropped)
            result.dropped.add(address, taken);
        pos += taken;
    }
}

// Type 2 gives bits 4-19 of the addresses that follow (a segment), type 4 bits 16-31.
void HexScan::set_base(const HexRecord& record) {
    if (record.valid < 2) {
        base_ = -1;
        return;
    }
    const std::int64_t value = (std::int64_t{record.bytes[0]} << 8) | record.bytes[1];
    base_ = record.type == kSegmentRecord ? value << 4 : value << 16;
}

} // namespace

namespace {

// `name` names the file in warnings; `shown` in the errors.
LoadResult scan_file(ImageLoader& loader, std::FILE* file, const std::string& name,
                     const std::string& shown) {
    HexScan scan(loader, name);
    LineReader lines(file);
    std::string_view line;
    bool overlong = false;
    bool going = true;
    while (going && lines.next(line, overlong)) {
        scan.next_line();
        going = scan.take(line, overlong);
    }
    if (lines.failed())
        return {false, "Cannot read file " + shown + ": " + std::strerror(errno),
                scan.result.warning, {}};
    loader.finish();
    if (going && !scan.end_seen && scan.result.warning.empty())
        scan.result.warning = "Warning: " + name + " ends without an end-of-file record";
    name_dropped_data(scan.result, name);
    return scan.result;
}

} // namespace

LoadResult read_hex_image(ImageLoader& loader, const std::filesystem::path& path) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {false, "Cannot open file " + path.string() + ": " + std::strerror(errno), {}, {}};
    return scan_file(loader, file.get(), path.filename().string(), path.string());
}

LoadResult read_hex_text(ImageLoader& loader, std::string_view text, const std::string& name) {
    std::string copy(text); // fmemopen reads from writable memory on some systems
    const std::unique_ptr<std::FILE, FileCloser> file(
        copy.empty() ? nullptr : fmemopen(copy.data(), copy.size(), "rb"));
    if (!file) {
        loader.finish();
        LoadResult empty;
        empty.warning = "Warning: " + name + " ends without an end-of-file record";
        return empty;
    }
    return scan_file(loader, file.get(), name, name);
}

} // namespace zz
