// Loads and saves full-size HEX images and compares the load with srec_cat converting the same
// file to binary. Prints figures only; nothing here passes or fails.
#include "base/hex_text.h"
#include "files/hex_export.h"
#include "files/hex_import.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 15;

double median_ms(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

zz::ChipParams chip(int chip_bit, std::int64_t rom, int eeprom, const char* blank,
                    const char* fuses) {
    zz::ChipParams c;
    c.CHIPbit = chip_bit;
    c.ROMsize = rom;
    c.EEPROMsize = eeprom;
    c.ROMblank = blank;
    c.FUSEblank = fuses;
    zz::parse_fuse_blank(c);
    return c;
}

// Writes a full image of varied words for the chip with our own writer.
void make_image(const zz::ChipParams& c, std::uint32_t mask, const fs::path& path) {
    zz::Buffer buffer;
    buffer.clrbuffer(c);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < buffer.cell_count(zz::Area::rom); ++i)
        buffer.set_cell_and_view(zz::Area::rom, i, zz::to_hex(random() & mask, 4));
    zz::export_hex_file(c, buffer, path);
}

double mb_per_s(std::uintmax_t bytes, double ms) {
    return static_cast<double>(bytes) / 1e6 / (ms / 1e3);
}

void bench_chip(const char* name, const zz::ChipParams& c, std::uint32_t mask,
                const fs::path& dir) {
    const fs::path image = dir / (std::string(name) + ".hex");
    const fs::path saved = dir / (std::string(name) + "-saved.hex");
    make_image(c, mask, image);
    const auto bytes = fs::file_size(image);
    zz::Buffer buffer;
    const double load = median_ms(kRuns, [&] {
        buffer.clrbuffer(c);
        zz::read_image_file(c, buffer, image);
    });
    const double save = median_ms(kRuns, [&] { zz::export_hex_file(c, buffer, saved); });
    const std::string command = "srec_cat " + image.string() + " -intel -o " +
                                (dir / "out.bin").string() + " -binary > /dev/null 2>&1";
    const double srec = median_ms(kRuns, [&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "srec_cat failed (is srecord installed?)\n");
    });
    std::printf("%-9s %7ju bytes  load %7.2f ms (%6.1f MB/s)  save %7.2f ms (%6.1f MB/s)  "
                "srec_cat %7.2f ms  load/srec_cat %.2f\n",
                name, bytes, load, mb_per_s(bytes, load), save, mb_per_s(bytes, save), srec,
                load / srec);
}

// One record repeated to 100 MB: the time must grow with the size only.
void bench_repeated_record(const fs::path& dir) {
    const fs::path path = dir / "repeated.hex";
    {
        const std::string record = ":10000000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F00\r\n";
        std::string block;
        while (block.size() < (1u << 20))
            block += record;
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < 100; ++i)
            out << block;
    }
    const auto c = chip(2, 8192, 256, "3FFF", "3FFF");
    zz::Buffer buffer;
    const double ms = median_ms(3, [&] {
        buffer.clrbuffer(c);
        zz::read_image_file(c, buffer, path);
    });
    std::printf("repeated record %ju bytes: load %.0f ms (%.1f MB/s)\n", fs::file_size(path), ms,
                mb_per_s(fs::file_size(path), ms));
}

} // namespace

int main() {
    char pattern[] = "/tmp/zz-bench-hex-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    bench_chip("PIC18-64K", chip(3, 65536, 1024, "FFFF", "FFFF FFFF FFFF FFFF FFFF FFFF FFFF"),
               0xFFFF, dir);
    bench_chip("16F877A", chip(2, 8192, 256, "3FFF", "3FFF"), 0x3FFF, dir);
    bench_repeated_record(dir);
    fs::remove_all(dir);
    return 0;
}
