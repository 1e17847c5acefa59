#include "board_fixture.h"
#include "sim/firmware_version.h"
#include "sim/socket_operator.h"

namespace zz::test {
namespace {

TEST_F(BoardTest, SocketWatchReportsInsertionAndRemoval) {
    power_up();
    board.remove_chip();
    EXPECT_EQ(exchange("12", 100), "41");
    board.insert_chip_at(500, VirtualChip(pic14()));
    loop.run_until(549);
    EXPECT_EQ(take(), "");
    loop.run_until(550); // 50 ms for the contacts to settle
    EXPECT_EQ(take(), "59");
    EXPECT_EQ(exchange("50"), "50");
    EXPECT_EQ(exchange("13", 100), "41");
    board.remove_chip_at(1000);
    loop.run_until(1100);
    EXPECT_EQ(take(), "59");
}

TEST_F(BoardTest, SocketWatchReportsAChipAlreadyThereEveryTime) {
    power_up();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(exchange("12", 100), "4159");
        EXPECT_EQ(exchange("50"), "50");
    }
}

TEST_F(BoardTest, NewCommandEndsTheWatch) {
    power_up();
    board.remove_chip();
    EXPECT_EQ(exchange("12"), "41");
    EXPECT_EQ(exchange("04"), "56");
    board.insert_chip(VirtualChip(pic14()));
    loop.run_for(100);
    EXPECT_EQ(take(), "");
}

// The person takes the chip out 300 ms after a "13" that finds it, and puts the next one in 200 ms
// later; a "13" while a change is under way, or on an empty socket, changes nothing. A script
// puts chips in and takes them out at given times.
TEST_F(BoardTest, PersonAtTheSocketChangesChipsAfterEachRemovalWatch) {
    power_up();
    std::vector<std::int64_t> removed_at;
    SocketOperator person(
        board, {200, 300}, [] { return VirtualChip(pic14()); },
        [&](const VirtualChip&) { removed_at.push_back(loop.now_ms()); });
    const std::int64_t start = loop.now_ms();
    exchange("13", 100);
    exchange("13", 100); // while the first change is under way
    const auto expect_at = [&](std::int64_t at, bool present) {
        loop.run_until(start + at);
        EXPECT_EQ(board.has_chip(), present) << at;
    };
    expect_at(299, true);
    expect_at(300, false);
    expect_at(500, true);
    board.remove_chip();
    exchange("13", 1000); // on an empty socket
    expect_at(2000, false);
    schedule_visits(board, {{start + 3000, start + 3500}}, [] { return VirtualChip(pic14()); });
    expect_at(3000, true);
    expect_at(3500, false);
    EXPECT_EQ(removed_at, std::vector<std::int64_t>{start + 300});
    EXPECT_EQ(person.chips_removed(), 1);
}

TEST(OperatorTimes, InsertAndRemoveInWholeMilliseconds) {
    EXPECT_EQ(parse_operator_times("500,3600000")->remove_ms, 3600000);
    for (const char* bad : {"", "500", ",5", "-1,5", "5,x", "5,3600001", "5,5,5"})
        EXPECT_FALSE(parse_operator_times(bad)) << bad;
}

TEST_F(BoardTest, EmptySocketReadsZeros) {
    power_up();
    board.remove_chip();
    EXPECT_EQ(exchange("0D"), "43" + std::string(52, '0'));
    EXPECT_EQ(exchange("0C", 100), std::string(512, '0'));
    EXPECT_EQ(exchange("0F3F", 100), "4E");
    EXPECT_EQ(write_stream("070020", {}), "4E00000000");
    EXPECT_EQ(exchange("0A342A3FFF", 20), "43");
}

TEST_F(BoardTest, ChipOfAnotherTypeAnswersItsOwnId) {
    board.insert_chip(VirtualChip(pic18(), ChipFacts{3}));
    power_up();
    ASSERT_EQ(exchange(setup_frame(pic14())), "49");
    EXPECT_EQ(exchange("0D").substr(2, 4), "2304");
}

TEST_F(BoardTest, FirmwareUpgradeTakesImageReadsItBackAndReportsNewVersion) {
    power_up();
    EXPECT_EQ(exchange("55"), "55");
    const std::vector<std::uint16_t> words = generated_firmware("V3.01", 6144);
    std::string image;
    std::vector<std::string> blocks;
    for (std::uint16_t w : words) {
        if (image.size() % 64 == 0)
            blocks.emplace_back();
        blocks.back() += to_hex(w, 4);
        image += to_hex(w, 4);
    }
    EXPECT_EQ(write_stream("072000", blocks), "50");
    EXPECT_EQ(blocks_sent, 384u);
    EXPECT_EQ(board.firmware(), words);
    EXPECT_EQ(exchange("0B", 1000), image);
    EXPECT_EQ(exchange("15"), "56322E3337"); // the old firmware runs until a restart
    port.set_dtr(DtrControl::Disable);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(take(), "4204");
    EXPECT_EQ(exchange("15"), "56332E3031");
    EXPECT_EQ(board.chip()->rom()[0], 0x3FFF); // the chip was not touched
}

TEST_F(BoardTest, FirmwareVersionComesFromItsTableOrItsSum) {
    EXPECT_EQ(firmware_version_text(generated_firmware("V2.40 RO", 6144)), "V2.40 RO");
    EXPECT_EQ(firmware_version_text(generated_firmware(std::string(20, 'A'), 6144)),
              std::string(16, 'A'));
    // 3400h is a RETLW of a control character: no table.
    EXPECT_EQ(firmware_version_text(std::vector<std::uint16_t>{0x3400, 0x3456, 0x0002}), "CS6858");
}

TEST_F(BoardTest, InterruptedUpgradeKeepsTheOldVersion) {
    power_up();
    EXPECT_EQ(exchange("55"), "55");
    EXPECT_EQ(first_reply("072000"), "59");
    port.set_dtr(DtrControl::Disable);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(exchange("15"), "56322E3337");
}

TEST_F(BoardTest, ModelOneHasNoUpgradeMode) {
    board.set_model(1);
    power_up();
    EXPECT_EQ(take(), "4202");
    EXPECT_EQ(exchange("55"), "");
}

TEST_F(BoardTest, RestartInTheMiddleOfAStream) {
    board.add_fault(Fault::restart(0x0B, 30, 1));
    power_up();
    const std::string got = exchange("0B", 200);
    // About 30 chunks of 64 bytes, then the identity after the boot delay.
    ASSERT_GT(got.size(), 4u);
    EXPECT_EQ(got.substr(got.size() - 4), "4204");
    EXPECT_LT(got.size(), 8192u * 4);
    EXPECT_EQ(exchange("50"), "50");
}

TEST_F(BoardTest, IdentityCanBeSilenced) {
    board.add_fault(Fault::silent(fault_target::kIdentity, 1));
    power_up();
    EXPECT_EQ(take(), "");
    port.set_dtr(DtrControl::Disable);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(take(), "4204");
}

TEST_F(BoardTest, PortGoingAwayStopsEverythingUntilReopened) {
    power_up();
    take();
    send("0B");
    loop.run_for(5);
    port.set_gone(true);
    loop.run_for(500);
    received.clear();
    EXPECT_TRUE(port.is_open());
    EXPECT_FALSE(port.write(std::vector<std::uint8_t>{0x50}));
    port.close();
    EXPECT_THROW(port.open(), CommError);
    port.set_gone(false);
    EXPECT_FALSE(port.is_open());
    power_up();
    EXPECT_EQ(take(), "4204");
}

TEST_F(BoardTest, WireTimingMakesAProgrammingCycleTakeRealisticTime) {
    board.set_wire_timing(true);
    load(pic14());
    const std::int64_t start = loop.now_ms();
    EXPECT_EQ(write_stream("072000", {}), "50");
    const std::int64_t write_ms = loop.now_ms() - start;
    // 512 blocks: 32 bytes out (8.3 ms), one 1 ms row write, 1 ms board time, 59h back (0.26 ms)
    EXPECT_GE(write_ms, 512 * 10);
    EXPECT_LE(write_ms, 512 * 13);
    const std::int64_t read_start = loop.now_ms();
    EXPECT_EQ(exchange("0B", 6000).size(), 8192u * 4);
    const std::int64_t read_ms = board.trace().back().time_ms - read_start;
    EXPECT_NEAR(read_ms, 16384 * 10 * 1000 / 38400, 5); // 4.27 s of wire
}

} // namespace
} // namespace zz::test
