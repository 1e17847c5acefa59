// The core part of start-up for the largest chip: settings, chip database, buffer and the last
// file (an 18F8722 image: 65536 words and 1024 EEPROM bytes, every cell used). The board part runs
// on a virtual clock, so the figure is the application's own work. Prints figures only.
#include "bench_support.h"
#include "files/hex_export.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Writes a settings file naming the chip and a full image of it; returns the settings path.
fs::path prepare(const fs::path& data, const fs::path& folder) {
    zz::bench::VirtualSession parts(data);
    zz::Session& s = parts.session;
    s.ComboBox2 = "PIC 16bit MCU";
    s.ComboBox1 = "18F8722";
    s.chip_changed();
    for (std::size_t i = 0; i < s.buffer.cell_count(zz::Area::rom); ++i)
        s.buffer.set_cell_and_view(zz::Area::rom, i, i % 3 ? "1234" : "ABCD");
    for (std::size_t i = 0; i < s.buffer.cell_count(zz::Area::eeprom); ++i)
        s.buffer.set_cell_and_view(zz::Area::eeprom, i, "5A");
    const fs::path image = folder / "full.hex";
    zz::export_hex_file(s.chip(), s.buffer, image);
    zz::AppSettings settings;
    settings.chip_mode = "PIC 16bit MCU";
    settings.chip_type = "18F8722";
    settings.filename = image.string();
    const fs::path ini = folder / zz::kSettingsFileName;
    zz::save_settings(ini, settings);
    return ini;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path data = argc > 1 ? fs::path(argv[1]) : fs::path(ZZ_SOURCE_DIR "/data");
    const fs::path folder = fs::temp_directory_path() / "zz-bench-startup";
    fs::create_directories(folder);
    const fs::path ini = prepare(data, folder);

    std::vector<double> times;
    for (int run = 0; run < 11; ++run) {
        zz::VirtualLoop loop;
        zz::bench::SilentOperator op;
        zz::VirtualBoard board(loop, 3);
        zz::VirtualPort port(loop, board);
        zz::Session session(zz::SessionEnv{loop, op, port, data, ini, {}, true});
        const auto start = Clock::now();
        session.startup();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (session.buffer.cell(zz::Area::rom, 1) != "1234") {
            std::printf("start-up did not load the stored file\n");
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start-up core (settings, 18F8722 database entry, 65536-word buffer, full HEX file): "
        "median %.1f ms, worst %.1f ms (target: under 100 ms)\n",
        times[times.size() / 2], times.back());
    fs::remove_all(folder);
    return 0;
}
