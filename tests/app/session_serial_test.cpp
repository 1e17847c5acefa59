// Serial numbers reserved from the image by the Program command of a session on the virtual
// board, the production record of each chip, and the serial settings in the settings file.
#include "device/chip_database.h"
#include "device/temp_folder.h"
#include "files/hex_export.h"
#include "files/hex_import.h"
#include "session_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

namespace zz {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

// A 16F877A image whose number lies in words 0x10 (0005, least significant) and 0x11 (0000).
TEST(SessionSerial, ReservedNumbersComeFromTheFileAndAFailureLeavesAGap) {
    testing::TempFolder folder;
    const auto file = folder.path() / "image.hex";
    const auto log = folder.path() / "log.csv";
    const ChipParams chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
    Buffer image;
    image.clrbuffer(chip);
    image.set_cell_and_view(Area::rom, 0x10, "0005");
    image.set_cell_and_view(Area::rom, 0x11, "0000");
    export_hex_file(chip, image, file);
    const auto on_disk = [&] {
        read_image_file(chip, image, file);
        return std::string(image.cell(Area::rom, 0x10));
    };

    test::SessionParts parts;
    parts.board.insert_chip(VirtualChip(chip));
    Session s(parts.env(kData));
    s.startup();
    parts.loop.run_for(500);
    s.load_command(file.string());
    s.serial_settings = SerialSettings{0x10, 0x11, 1, true, false, false, false, true, true};
    s.buffer.SerialNumberEnabled = true;
    s.reserve_serial_numbers = true;
    s.production_log = std::make_shared<const ProductionLog>(log);
    const auto program = [&](bool weak) {
        parts.board.insert_chip(VirtualChip(chip));
        if (weak)
            parts.board.chip()->set_weak_cell(0x10);
        s.program_command();
        parts.loop.run_for(200);
        return parts.board.chip()->rom().at(0x10);
    };
    program(true);
    EXPECT_EQ(s.statistics.lab_error.get(), "Fail:0001");
    EXPECT_EQ(on_disk(), "0006");
    EXPECT_EQ(program(false), 6);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0006"); // the file advanced, not the buffer
    EXPECT_EQ(on_disk(), "0007");
    // A file that cannot be read takes no number and programs no chip; it is on record.
    std::filesystem::remove(file);
    EXPECT_EQ(program(false), 0x3FFF);

    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_THAT(lines[1], HasSubstr(",00000005,fail,Error in programming ROM at address 0x0010,"));
    EXPECT_THAT(lines[2], HasSubstr(",00000006,pass,,"));
    EXPECT_THAT(lines[3], HasSubstr(",,fail,No serial number taken from " + file.string() + ": "));
}

TEST(SessionSerial, SettingsComeFromTheFileAndGoBackAtExitWithTheLogFile) {
    testing::TempFolder folder;
    const auto settings = folder.path() / kSettingsFileName;
    folder.write(kSettingsFileName,
                 "[START]\r\nprod_log=/tmp/line.csv\r\nuse_sequence=1\r\nsequence=LINE\r\n"
                 "[INC]\r\ninc_enabled=1\r\n"
                 "inc_start_add=32\r\ninc_step=3\r\ninc_16bit=0\r\n");
    test::SessionParts parts;
    Session s(parts.env(kData, settings));
    s.startup();
    SerialSettings expected{32, 0, 3, true, false, false, false, false, false};
    EXPECT_EQ(s.serial_settings.get(), expected);
    EXPECT_EQ(s.production_log_file, "/tmp/line.csv");
    EXPECT_TRUE(s.use_sequence.get());
    EXPECT_EQ(s.sequence_name.get(), "LINE");
    // Selecting the chip at start-up blanked the buffer, which switches numbering off.
    EXPECT_FALSE(s.buffer.SerialNumberEnabled.get());

    expected.inc_end_add = 40;
    s.serial_settings = expected;
    s.buffer.SerialNumberEnabled = true;
    s.sequence_name = "MAC";
    s.close_requested();
    s.shutdown();
    const AppSettings stored = load_settings(settings);
    EXPECT_TRUE(stored.inc_enabled);
    EXPECT_EQ(serial_settings_of(stored), expected);
    EXPECT_EQ(stored.prod_log, "/tmp/line.csv");
    EXPECT_EQ(std::pair(stored.use_sequence, stored.sequence), std::pair(true, std::string("MAC")));
}

} // namespace
} // namespace zz
