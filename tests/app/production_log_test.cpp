// The production log's CSV lines and its appending file, and the number reservation in the
// image file that several programs share.
#include "app/production_log.h"
#include "app/serial_reservation.h"
#include "device/temp_folder.h"
#include "files/hex_export.h"
#include "files/hex_import.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace zz {
namespace {

using ::testing::MatchesRegex;

std::vector<std::string> lines_of(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(ProductionLog, FieldsAreQuotedOnlyWhereCsvNeedsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"Hi\"", "\"say \"\"Hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {" padded", "\" padded\""},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(csv_field(text), field) << text;

    ProductionRecord r{"2026-01-02T03:04:05.006+01:00",
                       "RO-ZUZ330",
                       "/dev/ttyUSB0",
                       "16F877A",
                       "/home/op/a,b.hex",
                       "0x1A2B",
                       "00060000",
                       false,
                       "Receive data error, please reset device...",
                       20612};
    EXPECT_EQ(csv_line(r), "2026-01-02T03:04:05.006+01:00,RO-ZUZ330,/dev/ttyUSB0,16F877A,"
                           "\"/home/op/a,b.hex\",0x1A2B,00060000,fail,"
                           "\"Receive data error, please reset device...\",20612\n");
    r.passed = true;
    r.message.clear();
    EXPECT_THAT(csv_line(r), ::testing::EndsWith(",00060000,pass,,20612\n"));
}

TEST(ProductionLog, LocalTimeCarriesItsOffsetWithAColon) {
    const char* saved = std::getenv("TZ");
    const std::string old = saved ? saved : "";
    setenv("TZ", "XYZ-5:30", 1); // 5 h 30 min east of UTC
    tzset();
    const auto when = std::chrono::system_clock::from_time_t(0) + std::chrono::milliseconds(7);
    EXPECT_EQ(iso_local_time(when), "1970-01-01T05:30:00.007+05:30");
    if (saved)
        setenv("TZ", old.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_THAT(iso_local_time(std::chrono::system_clock::now()),
                MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}"
                             "[+-][0-9]{2}:[0-9]{2}"));
}

TEST(ProductionLog, OneHeaderAndWholeLinesFromSeveralWritersAtOnce) {
    testing::TempFolder folder;
    const auto path = folder.path() / "log.csv";
    constexpr int kWriters = 4;
    constexpr int kLines = 40;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            const ProductionLog log(path); // each opens the new file itself
            ProductionRecord r;
            r.chip = "writer" + std::to_string(w);
            r.message = std::string(300, 'x'); // long lines, still whole
            for (int n = 0; n < kLines; ++n) {
                r.elapsed_ms = n;
                log.append(r);
            }
        });
    for (auto& t : writers)
        t.join();
    const auto lines = lines_of(path);
    ASSERT_EQ(lines.size(), 1u + kWriters * kLines);
    EXPECT_EQ(lines[0] + "\n", csv_header());
    std::set<std::string> seen;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        EXPECT_THAT(lines[k], MatchesRegex(",,,writer[0-9],,,,fail,x{300},[0-9]+")) << k;
        seen.insert(lines[k]);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kWriters * kLines));

    { const ProductionLog again(path); } // an existing log gets no second header
    EXPECT_EQ(lines_of(path).size(), lines.size());
}

TEST(ProductionLog, AFileThatCannotBeOpenedIsReportedWithItsName) {
    try {
        ProductionLog log("/nonexistent-folder/log.csv");
        FAIL() << "opened";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("/nonexistent-folder/log.csv"));
    }
}

// A 14-bit chip whose number lies in words 0x10 (least significant) and 0x11.
class Reservation : public ::testing::Test {
protected:
    Reservation() {
        chip.CHIPbit = 2;
        chip.ROMsize = 64;
        chip.EEPROMsize = 16;
        chip.ROMblank = "3FFF";
        serial.inc_start_add = 0x10;
        serial.inc_end_add = 0x11;
        serial.inc_save = true;
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell_and_view(Area::rom, 0x10, "0005");
        image.set_cell_and_view(Area::rom, 0x11, "0000");
        image.set_cell_and_view(Area::rom, 0, "2805"); // the rest of the image
        export_hex_file(chip, image, file);
        buffer.clrbuffer(chip);
    }

    std::string on_disk(std::size_t address) {
        Buffer b;
        b.clrbuffer(chip);
        read_image_file(chip, b, file);
        return std::string(b.cell(Area::rom, address));
    }

    testing::TempFolder folder;
    std::filesystem::path file = folder.path() / "image.hex";
    ChipParams chip;
    SerialSettings serial;
    Buffer buffer;
};

TEST_F(Reservation, TheChipGetsTheFilesNumberAndTheFileTheNext) {
    reserve_serial_number(chip, buffer, serial, file);
    EXPECT_EQ(buffer.cell(Area::rom, 0x10), "0005");
    EXPECT_EQ(buffer.cell(Area::rom, 0x11), "0000");
    EXPECT_EQ(buffer.cell(Area::rom, 0), "3FFF"); // only the number is taken
    EXPECT_EQ(on_disk(0x10), "0006");
    EXPECT_EQ(on_disk(0), "2805");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "image.hex.lock"));
    reserve_serial_number(chip, buffer, serial, file);
    EXPECT_EQ(buffer.cell(Area::rom, 0x10), "0006");
}

TEST_F(Reservation, SessionsOnSeveralThreadsNeverShareANumber) {
    constexpr int kThreads = 3;
    constexpr int kEach = 15;
    std::vector<std::vector<std::string>> taken(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            Buffer own;
            own.clrbuffer(chip);
            for (int n = 0; n < kEach; ++n) {
                reserve_serial_number(chip, own, serial, file);
                taken[static_cast<std::size_t>(t)].push_back(serial_text(chip, own, serial));
            }
        });
    for (auto& t : threads)
        t.join();
    std::set<std::string> all;
    for (const auto& list : taken)
        all.insert(list.begin(), list.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(*all.begin(), "00000005");
    EXPECT_EQ(on_disk(0x10), "0032"); // 5 + 45
}

TEST_F(Reservation, AFileThatCannotBeReadTakesNoNumber) {
    std::filesystem::remove(file);
    EXPECT_THROW(reserve_serial_number(chip, buffer, serial, file), std::runtime_error);
    EXPECT_EQ(buffer.cell(Area::rom, 0x10), "3FFF");
}

} // namespace
} // namespace zz
