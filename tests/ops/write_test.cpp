#include "link/link_texts.h"
#include "ops/chip_commands.h"
#include "ops/ops_texts.h"
#include "ops/rom_eeprom_write.h"
#include "ops_fixture.h"
#include "sim/board_fault.h"

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class WriteTest : public OpsFixture {};

TEST_F(WriteTest, RomWriteCountsUpToNextMultipleOf32) {
    ChipParams p; // 8K words, blank 3FFF
    const struct {
        int last_used; // -1: blank image
        std::int64_t count;
    } cases[] = {{-1, 0x40}, {0, 0x40},  {31, 0x20},  {32, 0x40},
                 {63, 0x40}, {64, 0x60}, {8191, 8192}};
    for (const auto& c : cases) {
        std::string image;
        for (int i = 0; i < p.ROMsize; ++i)
            image += i == c.last_used ? "0000" : "3FFF";
        EXPECT_EQ(rom_write_count(p, image), c.count) << c.last_used;
    }
    p.ROMsize = 16;
    EXPECT_EQ(rom_write_count(p, std::string(64, 'F')), 16);
}

TEST_F(WriteTest, EepromWriteCountsOneBytePastLastUsedInWholeUnits) {
    ChipParams p; // 256 bytes
    const struct {
        int used;
        std::int64_t count;
    } cases[] = {{-1, 0}, {0, 2}, {1, 4}, {2, 4}, {100, 102}, {255, 256}};
    for (const auto& c : cases) {
        std::string image;
        for (int i = 0; i < p.EEPROMsize; ++i)
            image += i == c.used ? "00" : "FF";
        EXPECT_EQ(eeprom_write_count(p, image), c.count) << c.used;
    }
}

TEST_F(WriteTest, RomWriteWithLastUsedWordAt0123) {
    use_chip("16F877A");
    buffer.set_cell_and_view(Area::rom, 0x123, "0123");
    ready();
    rom_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + Strings{"04", "070140"} + times(20, {"blk32"}) +
                       Strings{"05", "04", "0B", "05", "01"}));
    EXPECT_EQ(board.chip()->rom()[0x123], 0x0123);
    EXPECT_EQ(op.texts(), Strings{texts::kWriteRomComplete});
    expect_closed();
}

TEST_F(WriteTest, RomWriteWithoutReadBackOnMidRangeCore) {
    use_chip("16F877A");
    n36.checked = false;
    ready();
    rom_command(ctx);
    EXPECT_EQ(sent(),
              (kIdCheck + Strings{"04", "070040"} + times(4, {"blk32"}) + Strings{"05", "01"}));
}

TEST_F(WriteTest, BoardReportingUnprogrammableWordNamesItsAddress) {
    for (int model : {3, 4}) {
        link.ProgrammerModel = model;
        board.set_model(model);
        use_chip("16F877A");
        board.chip()->set_weak_cell(0x21);
        buffer.set_cell_and_view(Area::rom, 0x21, "1111");
        ready();
        rom_command(ctx);
        std::string expected = "Error in programming ROM at address 0x0021";
        if (model == 4)
            expected += "\r\nPlease check:\r\n1.Power supply switch is ON\r\n2.Power supply "
                        "jumper (J2) position\r\n3.Programer jumper J5/6/7/8 position";
        EXPECT_EQ(op.texts(), Strings{expected});
        expect_closed();
        port.close();
    }
}

TEST_F(WriteTest, ReadBackDifferenceShowsGoodAndBad) {
    use_chip("16F877A");
    board.chip()->set_read_fault(5, 0x0001);
    buffer.set_cell_and_view(Area::rom, 5, "1234");
    ready();
    rom_command(ctx);
    EXPECT_EQ(op.texts(), Strings{"Error in programming ROM at address 0x0005\r\nGood:1234\r\n"
                                  "Bad:1235"});
    expect_closed();
}

TEST_F(WriteTest, EepromWriteAndItsLimits) {
    use_chip("16F877A");
    buffer.set_cell_and_view(Area::eeprom, 2, "A5");
    ready();
    eeprom_command(ctx);
    EXPECT_EQ(sent(),
              (kIdCheck + Strings{"04", "080004", "blk2", "blk2", "05", "04", "0C", "05", "01"}));
    EXPECT_EQ(board.chip()->eeprom()[2], 0xA5);
    EXPECT_EQ(op.texts(), Strings{texts::kEepromComplete});
    settle();
    buffer.set_cell_and_view(Area::eeprom, 2, "FF");
    exchange.clear();
    eeprom_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + Strings{"04", "05", "01"}));
    settle();
    use_chip("10F200");
    exchange.clear();
    op.messages.clear();
    eeprom_command(ctx);
    EXPECT_TRUE(exchange.empty());
    EXPECT_EQ(op.texts(), Strings{texts::kNoEeprom});
    EXPECT_FALSE(link.Busy.get());
}

TEST_F(WriteTest, FuseIdOf14BitCoreKeepsChipBandgap) {
    use_chip("12F629", ChipFacts{.bandgap = 2});
    buffer.lab_fuse(1) = "0x31C4";
    buffer.lab_id1 = "0x12345678";
    ready();
    fuse_id_command(ctx);
    EXPECT_EQ(sent(),
              (kIdCheck + kInfo + Strings{"04", "093030", "blk22", "05"} + kInfo + Strings{"01"}));
    const Strings cmds = board.commands();
    EXPECT_EQ(cmds[cmds.size() - 6], "12345678FFFFFFFFC421" + std::string(24, 'F'));
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x21C4");
    EXPECT_EQ(op.texts(), Strings{texts::kIdFusesComplete});
}

TEST_F(WriteTest, FuseIdOf16BitCoreFromMenu) {
    use_chip("18F452");
    buffer.lab_id1 = "0x0102030405060708";
    ready();
    fuse_id_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + Strings{"04", "0B", "093030", "blk22", "110000", "blk22", "05"} +
                       kInfo + Strings{"50", "50", "01"}));
    EXPECT_EQ(board.chip()->id()[7], 0x08);
    // Exact comparison on 16-bit cores: unimplemented bits of the buffer's FFFF read back as 0;
    // the board is reset by the failure signal and by the command ("50" of each handshake).
    EXPECT_EQ(op.texts(), Strings{"Error in programming FUSES..1\r\nGood:FFFF\r\nBad:2700"});
}

TEST_F(WriteTest, FuseCompareOfOneWordChipIgnoresUnimplementedBits) {
    use_chip("16F877A");
    chip.FUSEOR = 0x0100;
    buffer.lab_fuse(1) = "0xFFFF"; // bits 15-14 do not exist, bit 8 is forced
    ready();
    fuse_id_command(ctx);
    EXPECT_EQ(op.texts(), Strings{texts::kIdFusesComplete});
    settle();
    buffer.lab_id1 = "0x12FF5678";
    board.add_fault(Fault::reply(0x0D, {0x43, 0x0E, 0x20, 0x12, 0x00, 0x56, 0x78, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xFF, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                 2));
    op.messages.clear();
    fuse_id_command(ctx);
    EXPECT_EQ(op.texts(), Strings{"Error in programming ID..2\r\nGood:FF\r\nBad:00"});
    expect_closed();
}

} // namespace
} // namespace zz::test
