// The production log's CSV fields and times, and the number reservation in the image file that
// sessions on several threads share (several programs: tests/cli).
#include "records/production_log.h"
#include "app/serial_reservation.h"
#include "device/temp_folder.h"
#include "files/hex_export.h"
#include "files/hex_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace zz {
namespace {

TEST(ProductionLog, CsvQuotingAndTheLocalTimeWithItsOffset) {
    for (const auto& [text, field] : {std::pair{"plain", "plain"},
                                      {"a,b", "\"a,b\""},
                                      {"say \"Hi\"", "\"say \"\"Hi\"\"\""},
                                      {"two\nlines", "\"two\nlines\""},
                                      {" pad", "\" pad\""}})
        EXPECT_EQ(csv_field(text), field) << text;
    setenv("TZ", "XYZ-5:30", 1); // 5 h 30 min east of UTC
    tzset();
    EXPECT_EQ(iso_time(7, local_utc_offset_min(7)), "1970-01-01T05:30:00.007+05:30");
    unsetenv("TZ");
    tzset();
}

// Sessions on several threads take numbers from one 14-bit image (words 0x10 and 0x11).
TEST(Reservation, EachTakesTheFilesNumberAndNoneIsTakenTwice) {
    testing::TempFolder folder;
    const auto file = folder.path() / "image.hex";
    ChipParams chip;
    chip.ROMsize = 64;
    SerialSettings serial;
    serial.inc_start_add = 0x10;
    serial.inc_end_add = 0x11;
    Buffer image;
    image.clrbuffer(chip);
    image.set_cell_and_view(Area::rom, 0x10, "0005");
    image.set_cell_and_view(Area::rom, 0x11, "0000");
    image.set_cell_and_view(Area::rom, 0, "2805");
    export_hex_file(chip, image, file);

    constexpr int kThreads = 3;
    constexpr int kEach = 15;
    std::vector<std::vector<std::string>> taken(kThreads);
    std::vector<std::thread> threads;
    for (auto& list : taken)
        threads.emplace_back([&] {
            Buffer own;
            own.clrbuffer(chip);
            for (int n = 0; n < kEach; ++n) {
                reserve_serial_number(chip, own, serial, file);
                list.push_back(serial_text(chip, own, serial));
                EXPECT_EQ(own.cell(Area::rom, 0), "3FFF"); // only the number is taken
            }
        });
    for (auto& t : threads)
        t.join();
    std::set<std::string> all;
    for (const auto& list : taken)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(*all.begin(), "00000005");
    Buffer on_disk;
    on_disk.clrbuffer(chip);
    read_image_file(chip, on_disk, file);
    EXPECT_EQ(on_disk.cell(Area::rom, 0x10), "0032"); // 5 + 45
    EXPECT_EQ(on_disk.cell(Area::rom, 0), "2805");
}

} // namespace
} // namespace zz
