// Serial numbers through the Program command of a session on the virtual board: the chips, the
// image file, the file watch, the production log and the settings file.
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
using ::testing::MatchesRegex;

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

std::vector<std::string> lines_of(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A 16F877A image whose number lies in words 0x10 (0005, least significant) and 0x11 (0000),
// loaded into a ready session; numbering on for 0x10-0x11 with "Save".
class SessionSerial : public ::testing::Test {
protected:
    SessionSerial() {
        chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell_and_view(Area::rom, 0, "2805");
        image.set_cell_and_view(Area::rom, 0x10, "0005");
        image.set_cell_and_view(Area::rom, 0x11, "0000");
        export_hex_file(chip, image, file);
    }

    Session& start(std::filesystem::path settings = {}) {
        fresh_chip();
        session = std::make_unique<Session>(parts.env(kData, std::move(settings)));
        session->startup();
        parts.loop.run_for(500);
        session->load_command(file.string());
        SerialSettings s;
        s.inc_start_add = 0x10;
        s.inc_end_add = 0x11;
        s.inc_save = true;
        session->serial_settings = s;
        session->buffer.SerialNumberEnabled = true;
        session->flags.N33.checked = true; // no message after each chip
        return *session;
    }

    void fresh_chip() { parts.board.insert_chip(VirtualChip(chip)); }
    void program() {
        session->program_command();
        parts.loop.run_for(200);
    }
    std::uint16_t chip_word(std::size_t address) { return parts.board.chip()->rom().at(address); }
    std::string file_word(std::size_t address) {
        Buffer b;
        b.clrbuffer(chip);
        read_image_file(chip, b, file);
        return std::string(b.cell(Area::rom, address));
    }
    void log_to(const std::filesystem::path& path) {
        session->production_log = std::make_shared<const ProductionLog>(path);
    }

    testing::TempFolder folder;
    std::filesystem::path file = folder.path() / "image.hex";
    std::filesystem::path log = folder.path() / "log.csv";
    ChipParams chip;
    test::SessionParts parts;
    std::unique_ptr<Session> session;
};

TEST_F(SessionSerial, EachChipGetsTheNextNumberAndTheFileKeepsTheOneAfter) {
    Session& s = start();
    s.flags.N35.checked = true; // "Auto Update Files"
    log_to(log);
    for (int n = 0; n < 3; ++n) {
        fresh_chip();
        program();
        EXPECT_EQ(chip_word(0x10), 5 + n) << n;
        EXPECT_EQ(chip_word(0x11), 0) << n;
        EXPECT_EQ(chip_word(0), 0x2805) << n;
    }
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0008");
    EXPECT_EQ(file_word(0x10), "0008");
    EXPECT_EQ(s.statistics.lab_pass.get(), "Pass:0003");

    const auto lines = lines_of(log);
    ASSERT_EQ(lines.size(), 4u);
    for (int n = 0; n < 3; ++n)
        EXPECT_THAT(lines[static_cast<std::size_t>(n) + 1],
                    MatchesRegex("[-0-9T:.+]+,RO-ZUZ330,Virtual board,16F877A," + file.string() +
                                 ",0x[0-9A-F]{4},0000000" + std::to_string(5 + n) +
                                 ",pass,,[0-9]+"));

    // The save does not bring the file back over the buffer; a change from elsewhere does.
    s.buffer.set_cell_and_view(Area::rom, 0, "1234");
    parts.loop.run_for(2500);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "1234");
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                               std::chrono::seconds(2));
    parts.loop.run_for(1500);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "2805");
}

TEST_F(SessionSerial, AFailedChipKeepsTheNumberForTheNextAndIsOnRecord) {
    Session& s = start();
    log_to(log);
    parts.board.chip()->set_weak_cell(0x10);
    program();
    EXPECT_EQ(s.statistics.lab_error.get(), "Fail:0001");
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0005");
    EXPECT_EQ(file_word(0x10), "0005");
    fresh_chip();
    program();
    EXPECT_EQ(chip_word(0x10), 5);
    const auto lines = lines_of(log);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[1], HasSubstr(",00000005,fail,Error in programming ROM at address 0x0010,"));
    EXPECT_THAT(lines[2], HasSubstr(",00000005,pass,,"));
}

TEST_F(SessionSerial, ReservedNumbersComeFromTheFileAndAFailureLeavesAGap) {
    Session& s = start();
    s.reserve_serial_numbers = true;
    log_to(log);
    parts.board.chip()->set_weak_cell(0x10);
    program();
    EXPECT_EQ(file_word(0x10), "0006");
    fresh_chip();
    program();
    EXPECT_EQ(chip_word(0x10), 6);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0006"); // the file advanced, not the buffer
    EXPECT_EQ(file_word(0x10), "0007");

    // Another program took numbers meanwhile: the next chip gets the file's.
    Buffer other;
    other.clrbuffer(chip);
    read_image_file(chip, other, file);
    other.set_cell_and_view(Area::rom, 0x10, "0020");
    export_hex_file(chip, other, file);
    fresh_chip();
    program();
    EXPECT_EQ(chip_word(0x10), 0x20);

    // A file that cannot be read takes no number and programs no chip; it is on record.
    std::filesystem::remove(file);
    fresh_chip();
    program();
    EXPECT_EQ(chip_word(0x10), 0x3FFF);
    const auto lines = lines_of(log);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_THAT(lines[1], HasSubstr(",00000005,fail,"));
    EXPECT_THAT(lines[2], HasSubstr(",00000006,pass,"));
    EXPECT_THAT(lines[3], HasSubstr(",00000020,pass,"));
    EXPECT_THAT(lines[4], HasSubstr(",,fail,No serial number taken from " + file.string() + ": "));
}

TEST_F(SessionSerial, TestAdvancesWithoutSavingAndTheUserIdRepaints) {
    Session& s = start();
    s.ser_inc();
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0006");
    EXPECT_EQ(file_word(0x10), "0005"); // only a passed chip saves
    SerialSettings id = s.serial_settings;
    id.inc_rom = false;
    s.serial_settings = id;
    s.buffer.lab_id1 = "0x0000000F";
    s.ser_inc();
    EXPECT_EQ(s.buffer.lab_id1.get(), "0x00000010");
}

TEST_F(SessionSerial, SettingsComeFromTheFileAndGoBackAtExitWithTheLogFile) {
    const auto settings = folder.path() / kSettingsFileName;
    folder.write(kSettingsFileName,
                 "[START]\r\nprod_log=/tmp/line.csv\r\n[INC]\r\ninc_enabled=1\r\n"
                 "inc_start_add=32\r\ninc_step=3\r\ninc_16bit=0\r\n");
    fresh_chip();
    session = std::make_unique<Session>(parts.env(kData, settings));
    Session& s = *session;
    s.startup();
    EXPECT_EQ(s.serial_settings.get().inc_start_add, 32);
    EXPECT_EQ(s.serial_settings.get().inc_step, 3);
    EXPECT_FALSE(s.serial_settings.get().inc_16bit);
    EXPECT_EQ(s.production_log_file, "/tmp/line.csv");
    // Selecting the chip at start-up blanked the buffer, which switches numbering off.
    EXPECT_FALSE(s.buffer.SerialNumberEnabled.get());

    SerialSettings changed = s.serial_settings;
    changed.inc_end_add = 40;
    s.serial_settings = changed;
    s.buffer.SerialNumberEnabled = true;
    s.close_requested();
    s.shutdown();
    const AppSettings stored = load_settings(settings);
    EXPECT_TRUE(stored.inc_enabled);
    EXPECT_EQ(serial_settings_of(stored), changed);
    EXPECT_EQ(stored.prod_log, "/tmp/line.csv");
}

TEST_F(SessionSerial, TheLogItemAsksForItsFileOnceAndForgetsOneThatCannotBeOpened) {
    Session& s = start();
    int asked = 0;
    std::string answer;
    const auto choose = [&] {
        ++asked;
        return answer;
    };
    s.production_log_command(choose); // cancelled
    EXPECT_FALSE(s.flags.N_prodlog.checked.get());
    answer = (folder.path() / "missing" / "log.csv").string();
    s.production_log_command(choose);
    EXPECT_FALSE(s.flags.N_prodlog.checked.get());
    ASSERT_FALSE(parts.op.messages.empty());
    EXPECT_THAT(parts.op.messages.back().text, HasSubstr("Production log: cannot open "));
    EXPECT_TRUE(s.production_log_file.empty());

    answer = log.string();
    s.production_log_command(choose);
    EXPECT_TRUE(s.flags.N_prodlog.checked.get());
    ASSERT_NE(s.production_log, nullptr);
    s.production_log_command(choose); // off
    EXPECT_EQ(s.production_log, nullptr);
    s.production_log_command(choose); // on again, with the same file
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(s.production_log->path(), log);
}

} // namespace
} // namespace zz
