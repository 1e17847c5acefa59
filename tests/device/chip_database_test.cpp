#include "device/chip_database.h"

#include "device/temp_folder.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using testing::TempFolder;

class ChipDatabaseTest : public ::testing::Test {
protected:
    TempFolder folder;
    ChipDatabase database{folder.path()};
    ChipParams previous;
};

TEST_F(ChipDatabaseTest, ListsTheFamilysSectionsInFileOrder) {
    folder.write("2-chip14bit.ini", "[16F84A]\r\n[12F629]\r\nx=1\r\n[16f628a]\r\n");
    EXPECT_EQ(database.chip_list(2, "PIC 14bit MCU"),
              (std::vector<std::string>{"16F84A", "12F629", "16f628a"}));
    EXPECT_TRUE(database.chip_list(3, "PIC 14bit MCU").empty()); // other model: no file
    EXPECT_TRUE(database.chip_list(2, "PIC 16bit MCU").empty()); // missing file
    EXPECT_TRUE(database.chip_list(2, "pic 14bit mcu").empty()); // not a family text
}

TEST_F(ChipDatabaseTest, TheFirstFileWithANonzeroRomSizeDefinesTheChip) {
    folder.write("3-chip0.ini", "[16F84A]\nROMsize=0\nEEPROMsize=1\n");
    folder.write("3-chip2.ini", "[16F628A]\nROMsize=2048\n");
    folder.write("3-chip3.ini", "[16f84a]\nROMsize=1024\nEEPROMsize=64\n");
    folder.write("3-chip5.ini", "[16F84A]\nROMsize=4096\n");
    EXPECT_EQ(database.definition_index(3, "16F84A"), 3);
    const ChipParams chip = database.load(3, "16F84A", previous);
    EXPECT_EQ(chip.ROMsize, 1024);
    EXPECT_EQ(chip.EEPROMsize, 64);
    // Other keys keep their defaults.
    EXPECT_EQ(chip.CHIPbit, 2);
    EXPECT_EQ(chip.ChipID, "200E");
    EXPECT_EQ(database.definition_index(3, "16F628A"), 2);
    EXPECT_EQ(database.definition_index(2, "16F84A"), ChipDatabase::kFallbackFileIndex);
}

TEST_F(ChipDatabaseTest, AnUndefinedChipTakesEveryDefaultUnlessFileSixDefinesIt) {
    folder.write("1-chip0.ini", "[16F877A]\nROMsize=8192\n");
    const ChipParams unknown = database.load(1, "NoSuchChip", previous);
    const ChipParams defaults;
    EXPECT_EQ(unknown.ROMsize, defaults.ROMsize);
    EXPECT_EQ(unknown.EEPROMsize, defaults.EEPROMsize);
    EXPECT_EQ(unknown.ROMblank, defaults.ROMblank);
    EXPECT_EQ(unknown.FuseWordCount, 1);

    // Index 6 is read although its ROMsize was never looked at.
    folder.write("1-chip6.ini", "[NoSuchChip]\nEEPROMsize=16\nROMsize=0\n");
    EXPECT_EQ(database.load(1, "NoSuchChip", previous).EEPROMsize, 16);
    EXPECT_EQ(database.load(1, "NoSuchChip", previous).ROMsize, 0);
}

TEST_F(ChipDatabaseTest, ReadsEveryKey) {
    folder.write("2-chip1.ini", "[18F452]\n"
                                "EraseMode=0A\nFlashChip=0\nPowerSequence=02\nProgramDelay=03\n"
                                "ProgramTries=04\nOverProgram=05\nCoreType=06\nROMsize=16384\n"
                                "EEPROMsize=256\nSocketImage=40\nCALword=1\nBandGap=7\n"
                                "ICSPonly=1\nChipID=2004\nCHIPbit=3\nROMblank=FFFF\nFUSEOR=32\n"
                                "ProgramFlags=08\nFUSEblank=2700 0F0F 0100 0085 C00F E00F 400F\n"
                                "LIST1=\"Oscillator\"\"LP\",F8FF\nLIST46=last\n");
    const ChipParams c = database.load(2, "18f452", previous);
    EXPECT_EQ(c.EraseMode, "0A");
    EXPECT_FALSE(c.FlashChip);
    EXPECT_EQ(c.PowerSequence + c.ProgramDelay + c.ProgramTries + c.OverProgram + c.CoreType,
              "0203040506");
    EXPECT_EQ(c.ROMsize, 16384);
    EXPECT_EQ(c.EEPROMsize, 256);
    EXPECT_EQ(c.SocketImage, 40);
    EXPECT_TRUE(c.CALword && c.BandGap && c.ICSPonly);
    EXPECT_EQ(c.ChipID, "2004");
    EXPECT_EQ(c.CHIPbit, 3);
    EXPECT_EQ(c.ROMblank, "FFFF");
    EXPECT_EQ(c.FUSEOR, 32);
    EXPECT_EQ(c.ProgramFlags, "08");
    EXPECT_EQ(c.FuseWordCount, 7);
    EXPECT_EQ(c.fuse_blank_words[6], 0x400F);
    EXPECT_EQ(c.LIST[0], "\"Oscillator\"\"LP\",F8FF");
    EXPECT_EQ(c.LIST[1], "");
    EXPECT_EQ(c.LIST[45], "last");
}

// Broken lines, a section cut short, non-numeric values and an odd FUSEblank: no crash, and
// every unreadable key takes its default.
TEST_F(ChipDatabaseTest, ABrokenFileSelectsWithTheDefaults) {
    folder.write("4-chip0.ini", "garbage without equals\n"
                                "=no key\n"
                                "[Broken\n"
                                "[12F675]\n"
                                "ROMsize=1024\n"
                                "EEPROMsize=lots\n"
                                "CHIPbit=\n"
                                "CALword=yes\n"
                                "SocketImage=40 ; pins\n"
                                "FUSEblank=31FF 3F\n"
                                "[Truncated]");
    previous.fuse_blank_words[0] = 0x0FFF;
    previous.FuseWordCount = 1;
    const ChipParams c = database.load(4, "12F675", previous);
    EXPECT_EQ(c.ROMsize, 1024);
    EXPECT_EQ(c.EEPROMsize, 256);
    EXPECT_EQ(c.CHIPbit, 2);
    EXPECT_FALSE(c.CALword);
    EXPECT_EQ(c.SocketImage, 8);
    EXPECT_EQ(c.FUSEblank, "31FF 3F");
    EXPECT_EQ(c.fuse_blank_words[0], 0x0FFF); // the previous chip's word stays
    EXPECT_EQ(c.FuseWordCount, 1);

    const ChipParams truncated = database.load(4, "Truncated", previous);
    EXPECT_EQ(truncated.ROMsize, 8192);
}

} // namespace
} // namespace zz
