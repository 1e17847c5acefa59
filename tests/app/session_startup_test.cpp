// Start-up, the settings file, shutdown, the programmer models and the file watch.
#include "device/temp_folder.h"
#include "link/link_texts.h"
#include "session_env.h"
#include "sim/firmware_version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace zz {
namespace {

class SessionStartup : public ::testing::Test {
protected:
    std::filesystem::path settings() const { return folder.path() / kSettingsFileName; }
    void write_settings(const std::string& text) { folder.write(kSettingsFileName, text); }
    Session& start(std::optional<int> chosen_model = std::nullopt) {
        session = std::make_unique<Session>(parts.env(ZZ_SOURCE_DIR "/data", settings()));
        session->chosen_model = chosen_model;
        session->startup();
        return *session;
    }

    testing::TempFolder folder;
    test::SessionParts parts;
    std::unique_ptr<Session> session;
};

TEST_F(SessionStartup, FirstRunWithoutSettingsReachesReadyWithTheDefaults) {
    Session& s = start();
    const auto started = parts.loop.now_ms();
    EXPECT_EQ(s.ComboBox1.get(), "16F877A");
    EXPECT_EQ(s.ComboBox2.get(), "All Chip");
    EXPECT_EQ(s.ProgrammerModel.get(), 3);
    EXPECT_TRUE(s.flags.N31.checked.get());
    EXPECT_EQ(s.chip().ROMsize, 8192);
    EXPECT_EQ(s.caption.get(), "ZE-ZUZU V2.37  ");
    EXPECT_TRUE(s.model_items[2].checked.get());
    EXPECT_FALSE(s.Label4.get().empty());
    // Ready as soon as the board has booted and answered the handshake (20 ms boot, replies 1 ms).
    while (!s.link().BoardReady.get() && parts.loop.now_ms() < started + 2000)
        parts.loop.run_for(1);
    EXPECT_TRUE(s.link().BoardReady.get());
    EXPECT_LE(parts.loop.now_ms() - started, 25);
    EXPECT_EQ(s.link().status.Label11.get(), "Ready");
    EXPECT_TRUE(parts.op.messages.empty());
}

// On a line without DTR (a pseudo-terminal) the board restarts as start-up opens the port and can
// be ready before start-up ends: no watchdog and no search follow.
TEST_F(SessionStartup, ABoardReadyBeforeStartUpEndsStaysReady) {
    for (const int boot_ms : {3, 16, 40}) {
        session.reset();
        parts.port.close();
        parts.port.set_dtr_line(false);
        parts.board.set_boot_delay_ms(boot_ms);
        parts.board.clear_trace();
        Session& s = start();
        parts.loop.run_for(3000);
        EXPECT_TRUE(s.link().BoardReady.get()) << boot_ms;
        EXPECT_FALSE(s.link().StartupSearchPending) << boot_ms;
        EXPECT_FALSE(s.link().Timer1.enabled()) << boot_ms;
        EXPECT_TRUE(parts.op.messages.empty()) << boot_ms;
        EXPECT_EQ(parts.board.commands(), std::vector<std::string>{"50"}) << boot_ms;
    }
}

TEST_F(SessionStartup, StoredFileThatIsGoneLeavesThePlainCaptionWithoutAMessage) {
    write_settings("[START]\r\nfilename=" + (folder.path() / "gone.hex").string() + "\r\n");
    Session& s = start();
    EXPECT_EQ(s.caption.get(), "ZE-ZUZU V2.37");
    EXPECT_TRUE(parts.op.messages.empty());
}

// Data the chip has no place for is named on the notice line, which the board's greeting leaves.
TEST_F(SessionStartup, StoredFileIsLoadedWithItsChecksumAndDroppedData) {
    folder.write("one.hex", ":020000000A30C4\r\n:020000040001F9\r\n:02000E00A43F0D\r\n"
                            ":00000001FF\r\n");
    write_settings("[START]\r\nfilename=" + (folder.path() / "one.hex").string() + "\r\n");
    Session& s = start();
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "300A");
    EXPECT_EQ(s.buffer.lab_fuse(1).get(), "0x3FFF");
    EXPECT_NE(s.buffer.lab_checksum.get(), "Checksum  0xFFFF");
    EXPECT_EQ(s.caption.get(), "ZE-ZUZU V2.37  " + (folder.path() / "one.hex").string());
    parts.loop.run_for(100);
    EXPECT_EQ(s.link().status.Label11.get(), "Ready");
    EXPECT_EQ(s.Label4.get(),
              "Warning: one.hex: data outside this chip dropped at 0x1000E-0x1000F");
    EXPECT_TRUE(parts.op.messages.empty());
}

TEST_F(SessionStartup, GarbageSettingsStartUsable) {
    write_settings("\x01garbage\n[START]\nprog_type=7\nchip_type=NoSuchChip\nchip_in_time=x\n"
                   "[COMSET]\nCOM=/dev/does-not-exist\n");
    Session& s = start();
    EXPECT_EQ(s.chip().ROMsize, 8192); // unknown chip: every key at its default
    for (const Flag& item : s.model_items)
        EXPECT_FALSE(item.checked.get()); // no model is ticked
    // No model accepts the board's identity; the watchdog's search then takes the board's model.
    parts.loop.run_for(2000);
    EXPECT_EQ(s.ProgrammerModel.get(), 3);
    parts.loop.run_for(3000);
    EXPECT_TRUE(s.link().BoardReady.get());
    EXPECT_TRUE(parts.op.messages.empty());
}

TEST_F(SessionStartup, SettingsAreWrittenAtShutdownAndReadBack) {
    Session& s = start();
    s.ComboBox2 = "PIC 14bit MCU";
    s.family_changed();
    s.flags.N31.toggle();
    s.flags.N32.toggle(); // not saved
    s.close_requested();
    s.shutdown();
    const AppSettings stored = load_settings(settings());
    EXPECT_EQ(stored.chip_mode, "PIC 14bit MCU");
    EXPECT_EQ(stored.chip_type, "12F629");
    EXPECT_FALSE(stored.mute);
    EXPECT_EQ(stored.COM, "COM1"); // the virtual board is not stored as the port

    test::SessionParts again;
    Session second(again.env(ZZ_SOURCE_DIR "/data", settings()));
    second.startup();
    EXPECT_EQ(second.ComboBox1.get(), "12F629");
    EXPECT_FALSE(second.flags.N31.checked.get());
    EXPECT_FALSE(second.flags.N32.checked.get());
}

TEST_F(SessionStartup, ClosingStopsBoardRestarts) {
    Session& s = start();
    parts.loop.run_for(100);
    s.close_requested();
    EXPECT_TRUE(s.CloseRequested);
    EXPECT_FALSE(s.link().reset_program());
}

TEST_F(SessionStartup, ChoosingAnotherModelThanTheBoardsIsReportedByTheWatchdog) {
    parts.board.set_model(1);
    Session& s = start();
    parts.loop.run_for(3000); // the start-up search finds the model-1 board
    ASSERT_EQ(s.ProgrammerModel.get(), 1);
    parts.op.messages.clear();
    int positions = 0;
    s.show_chip_position = [&] { ++positions; };
    s.select_model(2);
    EXPECT_EQ(s.link().status.Label10.get(), "Programmer RA-320");
    EXPECT_TRUE(s.model_items[1].checked.get());
    EXPECT_FALSE(s.model_items[0].checked.get());
    EXPECT_EQ(positions, 0);
    parts.loop.run_for(2000);
    EXPECT_EQ(parts.op.texts(), std::vector<std::string>{texts::kBoardNotResponding});
    EXPECT_EQ(s.link().status.Label10.get(), "RA320:Reset failed.");
}

// The board search at start-up follows a board of another model; a firmware upgrade does so only
// when the person has not chosen the model, or started the search themselves.
TEST_F(SessionStartup, AFirmwareUpgradeGoesOnlyToABoardOfTheChosenModel) {
    struct Case {
        const char* name;
        std::optional<int> chosen;
        bool own_search; // the person's "Auto Find Board", with the board's model changed after
        bool upgraded;
    };
    const Case cases[] = {
        {"chosen model, another board", 3, false, false},
        {"nothing chosen", std::nullopt, false, true},
        {"the person's own search", 3, true, true},
    };
    const std::filesystem::path image = folder.path() / "up.hex";
    std::ofstream(image) << firmware_image_file_text("2.50", generated_firmware("V2.50", 6144));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parts.board.set_model(c.own_search ? 3 : 2);
        Session& s = start(c.chosen);
        parts.loop.run_for(3000);
        if (c.own_search) {
            parts.board.set_model(2);
            s.discovery().N29Click();
            parts.loop.run_for(1000);
        }
        ASSERT_EQ(s.ProgrammerModel.get(), 2) << "the search follows the board";
        parts.op.messages.clear();
        parts.op.answers.push_back(true);
        parts.board.clear_trace();
        EXPECT_EQ(s.firmware_upgrade_command(image), c.upgraded);
        const std::vector<std::string> commands = parts.board.commands();
        EXPECT_EQ(std::count(commands.begin(), commands.end(), "55"), c.upgraded ? 1 : 0);
        if (!c.upgraded) {
            EXPECT_THAT(parts.op.texts().front(),
                        ::testing::StartsWith(
                            "The board is a RA-320 programmer, but RO-ZUZ330 is selected."));
        }
        session.reset();
        parts.port.close();
    }
}

TEST_F(SessionStartup, ModelMenusFollowTheModel) {
    Session& s = start();
    struct Case {
        int model;
        bool n23, position, icsp;
    };
    for (const Case& c : {Case{1, false, true, true}, Case{2, true, true, true},
                          Case{3, true, false, true}, Case{4, true, false, false}}) {
        s.select_model(c.model);
        EXPECT_EQ(s.N23.get(), c.n23) << c.model;
        EXPECT_EQ(s.N22.get(), c.position) << c.model;
        EXPECT_EQ(s.flags.N_chip_not.enabled.get(), c.position) << c.model;
        EXPECT_EQ(s.flags.N_ICSP.enabled.get(), c.icsp) << c.model;
        EXPECT_EQ(s.flags.N_autoprog.enabled.get(), c.icsp) << c.model;
    }
    s.select_model(3); // nothing enables in-circuit mode again after model 4
    EXPECT_FALSE(s.flags.N_ICSP.enabled.get());
}

TEST_F(SessionStartup, IcspModeIsRefusedForSerialEeprom) {
    Session& s = start();
    int positions = 0;
    s.show_chip_position = [&] { ++positions; };
    s.icsp_command();
    EXPECT_TRUE(s.flags.N_ICSP.checked.get());
    EXPECT_EQ(positions, 1);
    s.icsp_command();
    EXPECT_FALSE(s.flags.N_ICSP.checked.get());
    EXPECT_EQ(positions, 1);

    s.ComboBox2 = "I2C/SPI EEPROM";
    s.family_changed();
    s.icsp_command();
    EXPECT_FALSE(s.flags.N_ICSP.checked.get());
    EXPECT_EQ(parts.op.texts(), std::vector<std::string>{"Then chip not icsp mode"});
}

TEST_F(SessionStartup, FileWatchReloadsAChangedFileButNotOurOwnSave) {
    const auto file = folder.path() / "watched.hex";
    folder.write("watched.hex", ":020000000A30C4\r\n:00000001FF\r\n");
    Session& s = start();
    s.flags.N35.checked = true;
    s.load_command(file.string());
    ASSERT_EQ(s.buffer.cell(Area::rom, 0), "300A");

    // Our own save does not reload.
    s.buffer.set_cell_and_view(Area::rom, 1, "1234");
    s.save_command(file.string());
    s.buffer.set_cell_and_view(Area::rom, 1, "3FFF");
    parts.loop.run_for(1000);
    EXPECT_EQ(s.buffer.cell(Area::rom, 1), "3FFF");

    // Another program's change is loaded within a second.
    folder.write("watched.hex", ":020000000B30C3\r\n:00000001FF\r\n");
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                               std::chrono::seconds(2));
    parts.loop.run_for(1000);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "300B");
    EXPECT_EQ(s.link().status.Label11.get(), "Ready");

    // A reload that drops data says so on the status line.
    folder.write("watched.hex", ":020000000D30C1\r\n:02401000BB3FB4\r\n:00000001FF\r\n");
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                               std::chrono::seconds(3));
    parts.loop.run_for(1000);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "300D");
    EXPECT_EQ(s.link().status.Label11.get(),
              "Warning: watched.hex: data outside this chip dropped at 0x4010-0x4011");

    // With "Auto Update Files" off nothing happens.
    s.flags.N35.checked = false;
    folder.write("watched.hex", ":020000000C30C2\r\n:00000001FF\r\n");
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                               std::chrono::seconds(4));
    parts.loop.run_for(1000);
    EXPECT_EQ(s.buffer.cell(Area::rom, 0), "300D");
}

} // namespace
} // namespace zz
