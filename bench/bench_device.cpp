// Times chip selection over every chip of programmer model 3 and the whole-buffer operations on
// the largest buffer. Usage: bench_device [DATA_FOLDER]
#include "app/session.h"
#include "bench_support.h"
#include "device/chip_family.h"
#include "files/checksum.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Keeps results that are otherwise unused from being optimised away.
volatile std::size_t sink;

double ms_of(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Median of `runs` timings of `work`.
double median_ms(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(ms_of(work));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int bench_selection(const std::filesystem::path& data) {
    constexpr int kModel = 3;
    zz::bench::VirtualSession parts(data);
    zz::Session& session = parts.session;
    session.ProgrammerModel = kModel;
    std::set<std::string> chips;
    for (const auto& family : zz::kChipFamilies)
        for (const auto& name : session.database().chip_list(kModel, family.text))
            chips.insert(name);
    if (chips.empty()) {
        std::printf("chip selection: skipped, no chip lists of model %d in %s\n", kModel,
                    data.c_str());
        return 0;
    }
    std::vector<std::pair<double, std::string>> times;
    for (const auto& name : chips) {
        session.ComboBox1 = name;
        times.emplace_back(ms_of([&] { session.chip_changed(); }), name);
    }
    std::sort(times.begin(), times.end());
    std::printf("chip selection, model %d, %zu chips: median %.3f ms, worst %.3f ms (%s)\n", kModel,
                times.size(), times[times.size() / 2].first, times.back().first,
                times.back().second.c_str());
    return 0;
}

void bench_buffer(const char* what, const zz::ChipParams& chip) {
    constexpr int kRuns = 21;
    zz::Buffer buffer;
    std::string image;
    std::printf("%s:\n", what);
    std::printf("  clrbuffer           %8.3f ms\n",
                median_ms(kRuns, [&] { buffer.clrbuffer(chip); }));
    std::printf("  buffer_rom          %8.3f ms\n",
                median_ms(kRuns, [&] { image = buffer.buffer_rom(); }));
    std::printf("  buffer_eeprom       %8.3f ms\n",
                median_ms(kRuns, [&] { sink = buffer.buffer_eeprom().size(); }));
    std::printf("  str_rom_to_buffer   %8.3f ms\n", median_ms(kRuns, [&] {
                    buffer.RomImageText = image;
                    buffer.str_rom_to_buffer();
                }));
    std::printf("  calc_checksum       %8.3f ms\n",
                median_ms(kRuns, [&] { zz::calc_checksum(chip, buffer); }));
    std::printf("  grid text, all rows %8.3f ms\n", median_ms(kRuns, [&] {
                    std::size_t length = 0;
                    for (int row = 0; row < buffer.row_count(); ++row)
                        for (int column = 0; column < zz::Buffer::kColumnCount; ++column)
                            length += buffer.grid_text(row, column).size();
                    sink = length;
                }));
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path data = argc > 1 ? argv[1] : ZZ_SOURCE_DIR "/data";
    bench_selection(data);

    zz::ChipParams pic18;
    pic18.ROMsize = 65536;
    pic18.EEPROMsize = 1024;
    pic18.CHIPbit = 3;
    pic18.ROMblank = "FFFF";
    pic18.FUSEblank = "FFFF FFFF FFFF FFFF FFFF FFFF FFFF";
    zz::parse_fuse_blank(pic18);
    bench_buffer("largest PIC buffer (65536 words + 1024 EEPROM bytes)", pic18);

    zz::ChipParams eeprom;
    eeprom.ROMsize = 131072;
    eeprom.EEPROMsize = 0;
    eeprom.CHIPbit = 4;
    eeprom.ROMblank = "FF";
    bench_buffer("largest serial EEPROM buffer (131072 bytes)", eeprom);
    return 0;
}
