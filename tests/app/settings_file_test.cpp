#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zz {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() {
        dir = fs::temp_directory_path() / ("zz_settings_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir / kSettingsFileName;
    }
    ~SettingsFile() override { fs::remove_all(dir); }
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string read() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir, path;
};

TEST_F(SettingsFile, FirstRunGivesTheDefaults) {
    const AppSettings s = load_settings(path);
    EXPECT_EQ(s, AppSettings{});
    EXPECT_EQ(s.chip_type, "16F877A");
    EXPECT_EQ(s.chip_mode, "All Chip");
    EXPECT_EQ(s.COM, "COM1");
    EXPECT_EQ(s.prog_type, 3);
    EXPECT_TRUE(s.mute);
    EXPECT_FALSE(s.inc_enabled);
    EXPECT_TRUE(s.inc_rom);
    EXPECT_TRUE(s.inc_16bit);
    EXPECT_EQ(s.inc_step, 1);
}

TEST_F(SettingsFile, WrittenInTheFixedOrderAndReadBackIdentically) {
    AppSettings s;
    s.COM = "/dev/ttyUSB0";
    s.chip_type = "12F629";
    s.chip_mode = "PIC 14bit MCU";
    s.filename = "/home/op/blink.hex";
    s.prog_type = 2;
    s.mute = false;
    s.n35 = true;
    s.chip_in_time = 4;
    s.prod_log = "/home/op/line 1.csv";
    s.records_db = "postgresql://ann@db/line";
    s.station = "line-2";
    s.use_sequence = true;
    s.sequence = "LINE";
    s.job = "line@3";
    s.operator_name = "Ann Lee";
    s.lot = "L-17";
    s.boards = {"/dev/ttyUSB0", "Virtual board 2"};
    s.remote = "tcp:0.0.0.0:7070";
    s.remote_token_file = "/etc/ze-zuzu/token";
    s.inc_start_add = 0x3FE;
    s.inc_enabled = true;
    s.inc_16bit = false;
    save_settings(path, s);
    EXPECT_EQ(load_settings(path), s);
    EXPECT_EQ(read(), "[COMSET]\r\nCOM=/dev/ttyUSB0\r\n"
                      "\r\n[START]\r\nchip_mode=PIC 14bit MCU\r\nchip_type=12F629\r\n"
                      "filename=/home/op/blink.hex\r\nprog_type=2\r\nmute=0\r\nfast=0\r\nn35=1\r\n"
                      "chip_in_time=4\r\nprod_log=/home/op/line 1.csv\r\n"
                      "records_db=postgresql://ann@db/line\r\nstation=line-2\r\n"
                      "use_sequence=1\r\nsequence=LINE\r\njob=line@3\r\noperator=Ann Lee\r\n"
                      "lot=L-17\r\nboards=/dev/ttyUSB0,Virtual board 2\r\nremote=tcp:0.0.0.0:7070\r\n"
                      "remote_token_file=/etc/ze-zuzu/token\r\n"
                      "\r\n[INC]\r\ninc_start_add=1022\r\ninc_end_add=0\r\ninc_step=1\r\n"
                      "inc_enabled=1\r\ninc_rom=1\r\ninc_eeprom=0\r\ninc_hiadd=0\r\n"
                      "inc_nohigh=0\r\ninc_16bit=0\r\ninc_save=0\r\n");
}

TEST_F(SettingsFile, AStationsJobIsReadFromStartOnlyAndKeptAsWritten) {
    write("[START]\r\njob=line@3\r\noperator=Ann Lee\r\n[INC]\r\nlot=L-17\r\n");
    const AppSettings s = load_settings(path);
    EXPECT_EQ(s.job, "line@3");
    EXPECT_EQ(s.operator_name, "Ann Lee");
    EXPECT_EQ(s.lot, ""); // in [INC]: not the station's lot
    save_settings(path, s);
    EXPECT_EQ(load_settings(path), s);
}

// The boards of a line, as written by hand: blanks around a name and empty names are dropped.
TEST_F(SettingsFile, TheBoardsListIsReadNameByName) {
    const struct {
        const char* line;
        std::vector<std::string> boards;
    } cases[] = {
        {"boards=", {}},
        {"boards=/dev/ttyUSB0", {"/dev/ttyUSB0"}},
        {"boards= /dev/ttyUSB0 ,, /dev/ttyACM1,", {"/dev/ttyUSB0", "/dev/ttyACM1"}},
        {"boards=Virtual board 1,Virtual board 2", {"Virtual board 1", "Virtual board 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        write(std::string("[START]\r\n") + c.line + "\r\n");
        EXPECT_EQ(load_settings(path).boards, c.boards);
    }
}

TEST_F(SettingsFile, GarbageAndMissingKeysFallBackKeyByKey) {
    write("\x01\x02 garbage line\n[START]\nchip_type=18F452\nprog_type=seven\nmute=\n"
          "chip_in_time=99\n[INC\ninc_step=5\n");
    const AppSettings s = load_settings(path);
    EXPECT_EQ(s.chip_type, "18F452");
    EXPECT_EQ(s.prog_type, 3);      // not a number
    EXPECT_TRUE(s.mute);            // empty
    EXPECT_EQ(s.chip_in_time, 99);  // read as stored; its users bound it
    EXPECT_EQ(s.inc_step, 1);       // "[INC" is no header: the key sits in [START]
}

TEST_F(SettingsFile, SavingKeepsOtherContentOfTheFile) {
    write("; written by hand\r\n[START]\r\nchip_type=16F84A\r\nextra=kept\r\n");
    AppSettings s = load_settings(path);
    save_settings(path, s);
    const std::string text = read();
    EXPECT_NE(text.find("; written by hand"), std::string::npos);
    EXPECT_NE(text.find("extra=kept"), std::string::npos);
    EXPECT_EQ(load_settings(path).chip_type, "16F84A");
}

TEST_F(SettingsFile, LivesBesideTheProgramOrInTheUsersConfigFolder) {
    EXPECT_EQ(settings_path(dir), path); // writable folder
    const fs::path config = dir / "config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(settings_path("/proc"), config / "ze-zuzu" / kSettingsFileName);
    EXPECT_TRUE(fs::is_directory(config / "ze-zuzu"));
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace zz
