#include "board_fixture.h"

namespace zz::test {
namespace {

// Program words as the streams carry them: four digits per word, high byte first.
std::string words_hex(const std::vector<std::uint16_t>& words) {
    std::string out;
    for (std::uint16_t w : words)
        out += to_hex(w, 4);
    return out;
}

std::vector<std::string> blocks_of(const std::string& hex, std::size_t digits = 64) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < hex.size(); i += digits) {
        out.push_back(hex.substr(i, digits));
        out.back().resize(digits, 'F');
    }
    return out;
}

TEST_F(BoardTest, RomStreamComesInManyDeliveriesAndMatchesTheChip) {
    load(pic14());
    board.chip()->rom()[0] = 0x2805;
    board.chip()->rom()[8191] = 0x0123;
    const std::string stream = exchange("0B", 1000);
    ASSERT_EQ(stream.size(), 8192u * 4);
    EXPECT_EQ(stream.substr(0, 8), "28053FFF");
    EXPECT_EQ(stream.substr(stream.size() - 4), "0123");
    EXPECT_EQ(board.trace().size(), 2u + 2 + 8192 * 2 / 64); // identity, "03", "49", "0B", chunks
}

TEST_F(BoardTest, ChipOf64KWordsIsReadWholeThoughTheFrameCutsItsSize) {
    ChipParams big = pic18();
    big.ROMsize = 65536; // the frame carries "1000"
    load(big);
    board.chip()->rom()[65535] = 0x1234;
    const std::string stream = exchange("0B", 20000);
    ASSERT_EQ(stream.size(), 65536u * 4);
    EXPECT_EQ(stream.substr(stream.size() - 4), "1234");
}

struct RoundTrip {
    const char* name;
    ChipParams params;
    std::size_t digits_per_cell;
};

class ProgramAndReadBack : public BoardTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(ProgramAndReadBack, KeepsEveryCell) {
    const RoundTrip& c = GetParam();
    load(c.params);
    const auto cells = static_cast<std::size_t>(c.params.ROMsize);
    const std::uint32_t mask = c.digits_per_cell == 2 ? 0xFF : hex_to_int(c.params.ROMblank);
    std::string image;
    for (std::size_t a = 0; a < cells; ++a)
        image += to_hex(static_cast<std::uint32_t>(a * 37 + 5) & mask, c.digits_per_cell);
    const std::string count = to_hex(static_cast<std::uint32_t>(cells), 4);
    EXPECT_EQ(write_stream("07" + count, blocks_of(image)), "50");
    EXPECT_EQ(blocks_sent, (cells * c.digits_per_cell / 2 + 31) / 32);
    EXPECT_EQ(exchange("0B", 3000), image);
}

INSTANTIATE_TEST_SUITE_P(EveryCore, ProgramAndReadBack,
                         ::testing::Values(RoundTrip{"pic12", pic12(), 4},
                                           RoundTrip{"pic14", pic14(), 4},
                                           RoundTrip{"pic18", pic18(), 4},
                                           RoundTrip{"eeprom8", serial_eeprom(false), 2},
                                           RoundTrip{"eeprom16", serial_eeprom(true), 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BoardTest, RomWriteStopsAtTheCountAndEndsWith50) {
    load(pic14());
    EXPECT_EQ(write_stream("070140", blocks_of(words_hex({0x1234}))), "50");
    EXPECT_EQ(blocks_sent, 20u); // 0x140 words in blocks of 16
    EXPECT_EQ(board.chip()->rom()[0], 0x1234);
}

TEST_F(BoardTest, EepromWriteTakesTwoByteUnitsUntilTheCount) {
    load(pic14());
    EXPECT_EQ(write_stream("080005", {"0102", "0304", "0506"}, 4), "50");
    EXPECT_EQ(blocks_sent, 3u);
    const auto& ee = board.chip()->eeprom();
    EXPECT_EQ(std::vector<std::uint8_t>(ee.begin(), ee.begin() + 6),
              (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0xFF}));
}

TEST_F(BoardTest, WordThatWillNotProgramIsReportedWithItsAddress) {
    load(pic14());
    board.chip()->set_weak_cell(0x0123);
    const std::string r = write_stream("070140", {});
    EXPECT_EQ(r, "4E01233FFF"); // address 0123h, the cell still reads blank
    EXPECT_EQ(blocks_sent, 0x123u / 16 + 1);
    EXPECT_EQ(exchange("04"), "56"); // the stream is over: commands again
}

TEST_F(BoardTest, OtpCellCanOnlyClearBits) {
    load(pic12(false));
    EXPECT_EQ(write_stream("070020", blocks_of(words_hex({0x0A0F}))), "50");
    // 0x0A0F -> 0x0F0F needs bits set again: the board gives up with 4Eh.
    EXPECT_EQ(write_stream("070020", blocks_of(words_hex({0x0F0F}))), "4E00000A0F");
    EXPECT_EQ(board.chip()->rom()[0], 0x0A0F);
    EXPECT_EQ(exchange("0E"), "59"); // no electrical erase for an OTP chip
    EXPECT_EQ(board.chip()->rom()[0], 0x0A0F);
}

TEST_F(BoardTest, StuckBitShowsOnlyAtReadBack) {
    load(pic14());
    board.chip()->set_read_fault(2, 0x0004);
    EXPECT_EQ(write_stream("070020", {}), "50");
    EXPECT_EQ(exchange("0B", 1000).substr(8, 4), "3FFB");
}

TEST_F(BoardTest, EndTrailerAfterTheLastBlock) {
    load(pic14());
    board.set_end_trailer(true);
    EXPECT_EQ(write_stream("070020", {}), "503F3F");
    EXPECT_EQ(write_stream("080002", {}, 4), "503F3F");
}

TEST_F(BoardTest, BlockAnswerFaultsCountBlocks) {
    load(pic14());
    board.add_fault(Fault::silent(fault_target::kRomBlock, 3));
    EXPECT_EQ(write_stream("070140", {}), "");
    EXPECT_EQ(blocks_sent, 3u);
}

TEST_F(BoardTest, IdAndConfigurationWriteShowsInTheInfoBlock) {
    load(pic14());
    EXPECT_EQ(exchange("093030"), "");
    EXPECT_EQ(exchange("12345678FFFFFFFF"
                       "F43F" +
                       std::string(24, 'F')),
              "59");
    EXPECT_EQ(exchange("0D").substr(6, 24), "12345678FFFFFFFF"
                                            "F43F"
                                            "FFFF");
}

TEST_F(BoardTest, SecondConfigurationWriteOfTheSixteenBitCoreKeepsTheId) {
    load(pic18());
    const std::string fuses = "FF270F0F0001850000C00FE00F40";
    EXPECT_EQ(exchange("093030"
                       "0102030405060708" +
                       fuses),
              "59");
    EXPECT_EQ(exchange("110000"
                       "0000000000000000" +
                       fuses),
              "59");
    EXPECT_EQ(exchange("0D").substr(6, 44), "0102030405060708" + fuses);
}

TEST_F(BoardTest, EraseLosesCalibrationAndZeroARestoresIt) {
    load(pic14_bandgap(), ChipFacts{0, 0x2A, 1});
    std::string info = exchange("0D");
    EXPECT_EQ(info.substr(22, 4), "FF11"); // BandGap bits 01
    EXPECT_EQ(info.substr(50, 4), "2A34");
    EXPECT_EQ(exchange("0E"), "59");
    info = exchange("0D");
    EXPECT_EQ(info.substr(22, 4), "FF31");
    EXPECT_EQ(info.substr(50, 4), "FF3F");
    EXPECT_EQ(exchange("0A342A11FF", 20), "59");
    info = exchange("0D");
    EXPECT_EQ(info.substr(22, 4), "FF11");
    EXPECT_EQ(info.substr(50, 4), "2A34");
}

TEST_F(BoardTest, BlankCheckTicksThenVerdict) {
    load(pic14());
    std::string ticks;
    for (int i = 0; i < 32; ++i)
        ticks += "42";
    EXPECT_EQ(exchange("0F3F", 500), ticks + "59");
    EXPECT_EQ(board.trace().back().hex, "59"); // every tick and the verdict come on their own
    EXPECT_EQ(board.trace()[board.trace().size() - 2].hex, "42");
    board.chip()->rom()[0x300] = 0x0000;
    EXPECT_EQ(exchange("0F3F", 500), "4242424E"); // ticks after cells 256, 512, 768
    EXPECT_EQ(exchange("10"), "59");
    board.chip()->eeprom()[7] = 0;
    EXPECT_EQ(exchange("10"), "4E");
}

} // namespace
} // namespace zz::test
