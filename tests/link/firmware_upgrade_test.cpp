#include "base/hex_text.h"
#include "link/firmware_upgrade.h"
#include "link_fixture.h"
#include "sim/firmware_version.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace zz::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

class FirmwareUpgrade : public LinkFixture {
protected:
    FirmwareUpgrade() {
        std::filesystem::create_directories(dir);
        link.Timer3.set_interval(100'000); // the port stays open between the test's steps
    }
    ~FirmwareUpgrade() override { std::filesystem::remove_all(dir); }

    // An image of `lines` data lines with the version table of "V" + `version`.
    std::vector<std::uint16_t> write_image(int lines, const std::string& version = "2.40") {
        words = generated_firmware("V" + version, static_cast<std::size_t>(lines) * 8);
        std::ofstream(image) << firmware_image_file_text(version, words);
        return words;
    }

    bool upgrade(const std::string& blank = "3FFF") {
        op.answers.push_back(true);
        return firmware_upgrade_command(link, {image, blank});
    }

    bool sent(const std::string& command) const {
        return std::find(exchange.begin(), exchange.end(), "> " + command) != exchange.end();
    }
    std::size_t blocks_sent() const {
        return static_cast<std::size_t>(std::count_if(
            exchange.begin(), exchange.end(), [](const std::string& e) { return e.size() == 66; }));
    }
    // The frame's end whatever happened: the board restarted, "Ready", "01", Busy cleared.
    void expect_frame_ended() {
        EXPECT_FALSE(link.Busy.get());
        EXPECT_FALSE(link.CollectReplies);
        EXPECT_EQ(link.status.Label11.get(), "Ready");
        EXPECT_EQ(link.status.progress_max.get(), 32);
        EXPECT_EQ(link.status.progress_position.get(), 0);
        EXPECT_THAT(exchange, Contains("> 01"));
        EXPECT_TRUE(link.Timer1.enabled());
    }

    const std::filesystem::path dir =
        std::filesystem::path(ZZ_BINARY_DIR) / "firmware-upgrade-test" /
        ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::filesystem::path image = dir / "up330.hex";
    std::vector<std::uint16_t> words;
};

TEST_F(FirmwareUpgrade, FullImageIsSentReadBackAndTheNewVersionShown) {
    ready_board();
    write_image(768);
    EXPECT_TRUE(upgrade());
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text, "You whether want upgrade hardware go V2.40");
    EXPECT_EQ(op.questions[0].caption, "Inquiry");
    EXPECT_EQ(op.texts(), std::vector<std::string>{"hardware successfully upgraded, hardware "
                                                   "version:V2.40"});
    EXPECT_EQ(op.messages[0].caption, "Information");
    EXPECT_EQ(board.firmware(), words);
    EXPECT_EQ(blocks_sent(), 384u);
    // Upgrade mode, the stream, the read-back, the version of the restarted board.
    const auto at = [&](const std::string& c) {
        return std::find(exchange.begin(), exchange.end(), "> " + c) - exchange.begin();
    };
    EXPECT_LT(at("55"), at("072000"));
    EXPECT_LT(at("072000"), at("0B"));
    EXPECT_LT(at("0B"), at("15"));
    EXPECT_EQ(exchange.back(), "> 01");
    expect_frame_ended();
}

TEST_F(FirmwareUpgrade, ShortImagesArePaddedWithTheBlankWordAndSucceed) {
    struct Case {
        int lines;
        const char* blank;
        std::uint16_t padding;
    };
    // 101 lines leave half a block; a serial EEPROM's blank is one byte wide.
    for (const Case& c :
         {Case{100, "3FFF", 0x3FFF}, Case{101, "0FFF", 0x0FFF}, Case{3, "FF", 0xFFFF}}) {
        SCOPED_TRACE(c.lines);
        port.close();
        ready_board();
        write_image(c.lines);
        EXPECT_TRUE(upgrade(c.blank)) << ::testing::PrintToString(op.texts());
        std::vector<std::uint16_t> expected = words;
        expected.resize(6144, c.padding);
        EXPECT_EQ(board.firmware(), expected);
        EXPECT_EQ(blocks_sent(), 384u);
        expect_frame_ended();
    }
}

TEST_F(FirmwareUpgrade, EndOfTransferMayShowInEitherByteOfTheReply) {
    ready_board();
    write_image(768);
    board.add_fault(Fault::reply(fault_target::kRomBlock, {0x00, 0x50}, 384));
    EXPECT_TRUE(upgrade());
    EXPECT_TRUE(sent("0B"));
}

TEST_F(FirmwareUpgrade, ModelOfAnotherBoardStopsBeforeUpgradeMode) {
    board.set_model(2);
    start_board(); // the identity does not match: no handshake
    write_image(768);
    EXPECT_FALSE(upgrade());
    ASSERT_FALSE(op.messages.empty());
    EXPECT_EQ(op.messages[0].text,
              "The board is a RA-320 programmer, but RO-ZUZ330 is selected.\r\nChoose the board's "
              "model (Option, Select Programmer; --model N on the command line) before upgrading "
              "its firmware.");
    EXPECT_EQ(op.messages[0].caption, "Error");
    EXPECT_FALSE(sent("55"));
    EXPECT_FALSE(sent("072000"));
    expect_frame_ended();
}

TEST_F(FirmwareUpgrade, MissingImageSaysWhereItWasLookedFor) {
    ready_board();
    EXPECT_FALSE(upgrade());
    EXPECT_EQ(op.texts(), std::vector<std::string>{"The firmware image up330.hex was not found "
                                                   "in " +
                                                   dir.string()});
    EXPECT_TRUE(op.questions.empty());
    EXPECT_FALSE(sent("55"));
    expect_frame_ended();
}

TEST_F(FirmwareUpgrade, NoAnswerLeavesTheBoardAlone) {
    ready_board();
    write_image(768);
    op.answers.push_back(false);
    EXPECT_FALSE(firmware_upgrade_command(link, {image, "3FFF"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(sent("55"));
    expect_frame_ended();
}

struct FailureCase {
    const char* what;
    std::vector<Fault> faults;
    const char* message;
    const char* not_sent; // the step the failure must stop before
};

TEST_F(FirmwareUpgrade, FailuresAreReportedAndTheFrameStillEnds) {
    const FailureCase cases[] = {
        {"no identity",
         {Fault::silent(fault_target::kIdentity)},
         "The board is not responding\r\nplease reset device...",
         "55"},
        {"no upgrade mode",
         {Fault::silent(0x55)},
         "The board is not responding\r\nplease reset device...",
         "072000"},
        {"the board stops answering mid-transfer",
         {Fault::silent(fault_target::kRomBlock, 100)},
         "Receive data error,\r\nplease reset device...",
         "0B"},
        {"an unexpected reply",
         {Fault::reply(fault_target::kRomBlock, {0x4E}, 7)},
         "Receive data error,\r\nplease reset device...",
         "0B"},
        {"the read-back stops",
         {Fault::reply(0x0B, std::vector<std::uint8_t>(100, 0))},
         "Receive data error,\r\nplease reset device...",
         "15"},
        {"the read-back differs",
         {Fault::reply(0x0B, std::vector<std::uint8_t>(12288, 0))},
         "Upgrade hardware fail",
         "15"},
        {"no version after the restart", {Fault::silent(0x15)}, "Upgrade hardware fail", ""},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        board.clear_faults();
        port.close();
        ready_board();
        write_image(768);
        for (const Fault& f : c.faults)
            board.add_fault(f);
        EXPECT_FALSE(upgrade());
        EXPECT_THAT(op.texts(), Contains(c.message)) << ::testing::PrintToString(op.texts());
        if (*c.not_sent) {
            EXPECT_FALSE(sent(c.not_sent));
        }
        board.clear_faults();
        expect_frame_ended();
    }
}

TEST_F(FirmwareUpgrade, BoardThatKeepsAskingForBlocksFails) {
    board.set_firmware_words(6400); // 400 blocks: more than the host sends
    ready_board();
    write_image(768);
    EXPECT_FALSE(upgrade());
    EXPECT_EQ(blocks_sent(), 388u);
    EXPECT_THAT(op.texts(), Contains("Upgrade hardware fail"));
    EXPECT_FALSE(sent("0B"));
}

TEST_F(FirmwareUpgrade, BoardWithoutHandshakeIsUpgradedWithoutTheWatchdogBreakingIn) {
    board.set_wire_timing(true);             // the transfer takes seconds
    board.add_fault(Fault::silent(0x50, 1)); // the handshake never ends
    start_board();
    ASSERT_FALSE(link.BoardReady.get());
    ASSERT_TRUE(link.Timer1.enabled());
    write_image(768);
    EXPECT_TRUE(upgrade());
    EXPECT_THAT(op.texts(), Not(Contains(HasSubstr("not responding"))));
}

TEST_F(FirmwareUpgrade, ModelOneHasNoUpgradeAndNothingRuns) {
    link.ProgrammerModel = 1;
    board.set_model(1);
    ready_board();
    write_image(768);
    EXPECT_FALSE(upgrade());
    EXPECT_TRUE(op.questions.empty());
    EXPECT_FALSE(sent("55"));
}

TEST_F(FirmwareUpgrade, ProgressFollowsTheTransferAndTheReadBack) {
    ready_board();
    write_image(768);
    std::vector<std::pair<int, int>> seen; // (max, position)
    link.status.progress_position.observe(
        [&](int p) { seen.emplace_back(link.status.progress_max.get(), p); });
    std::vector<std::string> statuses;
    link.status.Label11.observe([&](const std::string& s) { statuses.push_back(s); });
    EXPECT_TRUE(upgrade());
    EXPECT_THAT(seen, Contains(std::pair{6144, 6128}));
    EXPECT_THAT(seen, Contains(std::pair{24576, 24576}));
    EXPECT_THAT(statuses, Contains("Start upgrade hardware...."));
    EXPECT_THAT(statuses, Contains("test whether upgrade is successful.."));
    EXPECT_THAT(statuses, Contains("Hardware upgrade result"));
}

} // namespace
} // namespace zz::test
