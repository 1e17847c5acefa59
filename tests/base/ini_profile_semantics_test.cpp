#include "base/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zz {
namespace {

const char* kText = "; chips\r\n"
                    "[16F877A]\r\n"
                    "ROMsize=8192\r\n"
                    "  EEPROMsize = 256  \r\n"
                    "CALword=abc\r\n"
                    "Quoted=\"  spaced  \"\r\n"
                    "Hex=0x10\r\n"
                    "\r\n"
                    "[12f629]\r\n"
                    "ROMsize=1024\r\n"
                    "[Empty]\r\n";

TEST(IniProfile, ReadsLikeAProfileReader) {
    auto p = IniProfile::parse(kText);
    EXPECT_EQ(p.sections(), (std::vector<std::string>{"16F877A", "12f629", "Empty"}));
    EXPECT_EQ(p.read_int("16f877a", "romsize", 0), 8192);
    EXPECT_EQ(p.read_int("12F629", "ROMsize", 0), 1024);
    EXPECT_EQ(p.read_int("16F877A", "EEPROMsize", 0), 256);
    EXPECT_EQ(p.read_int("16F877A", "CALword", 7), 7); // not numeric
    EXPECT_EQ(p.read_int("16F877A", "Missing", 9), 9);
    EXPECT_EQ(p.read_int("Nowhere", "ROMsize", 3), 3);
    EXPECT_EQ(p.read_int("16F877A", "Hex", 0), 16);
    EXPECT_EQ(p.read_string("16F877A", "Quoted", ""), "  spaced  ");
    EXPECT_EQ(p.read_string("16F877A", "Missing", "dflt"), "dflt");
    EXPECT_TRUE(p.read_bool("16F877A", "ROMsize", false));
    EXPECT_FALSE(p.read_bool("16F877A", "CALword", false));
    EXPECT_TRUE(p.has_section("EMPTY"));
}

TEST(IniProfile, NumbersOutOfRangeOrMalformedGiveTheDefault) {
    std::int32_t v = 0;
    EXPECT_TRUE(parse_profile_int("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(parse_profile_int("2147483648", v));
    EXPECT_FALSE(parse_profile_int("12x", v));
    EXPECT_FALSE(parse_profile_int("", v));
    EXPECT_FALSE(parse_profile_int("-", v));
    EXPECT_TRUE(parse_profile_int("$FFFFFFFF", v));
    EXPECT_EQ(v, -1);
}

TEST(IniProfile, WritingAKeyKeepsTheRestOfTheFile) {
    auto p = IniProfile::parse(kText);
    p.write_int("16f877a", "ROMSIZE", 4096);     // replaced in place, case of the new key written
    p.write_string("12F629", "ChipID", "800F");  // appended to its section
    p.write_bool("NEW", "mute", true);           // new section at the end
    const std::string expected = "; chips\r\n"
                                 "[16F877A]\r\n"
                                 "ROMSIZE=4096\r\n"
                                 "  EEPROMsize = 256  \r\n"
                                 "CALword=abc\r\n"
                                 "Quoted=\"  spaced  \"\r\n"
                                 "Hex=0x10\r\n"
                                 "\r\n"
                                 "[12f629]\r\n"
                                 "ROMsize=1024\r\n"
                                 "ChipID=800F\r\n"
                                 "[Empty]\r\n"
                                 "\r\n"
                                 "[NEW]\r\n"
                                 "mute=1\r\n";
    EXPECT_EQ(p.text(), expected);
}

TEST(IniProfile, SaveReplacesTheFileWholeAndMissingFilesReadEmpty) {
    auto dir = std::filesystem::temp_directory_path() / "zz_ini_test";
    std::filesystem::create_directories(dir);
    auto path = dir / "settings.ini";
    std::filesystem::remove(path);
    EXPECT_TRUE(IniProfile::load(path).sections().empty());

    IniProfile p;
    p.write_string("COMSET", "COM", "/dev/ttyUSB0");
    p.save(path);
    EXPECT_EQ(IniProfile::load(path).read_string("comset", "com", ""), "/dev/ttyUSB0");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    // A folder that cannot be written throws and leaves nothing.
    EXPECT_THROW(p.save(dir / "missing-folder" / "x.ini"), std::runtime_error);
    std::filesystem::remove_all(dir);
}

TEST(IniProfile, LongValuesAreCutLikeTheProfileReader) {
    auto p = IniProfile::parse("[a]\nk=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(p.read_string("a", "k", "").size(), 2047u);
}

} // namespace
} // namespace zz
