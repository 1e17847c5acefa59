// Sending commands and the request/reply helpers, with their failure paths.
#include "link/link_texts.h"
#include "link_fixture.h"

namespace zz::test {
namespace {

using Requests = LinkFixture;

TEST_F(Requests, CommandTextsAreSentAsBytesOrRefusedWithTheirMessage) {
    struct Case {
        std::string command;
        std::vector<std::string> sent;
        std::string message;
    };
    const Case cases[] = {
        {"015", {"> 01"}, ""},
        {"0a0B", {"> 0A0B"}, ""},
        {"0", {}, texts::kWriteDataFail},
        {"0G", {}, texts::kProblemSending},
        {"", {}, ""},
        {std::string(514, '0'), {}, texts::kWriteDataFail}, // over the board's 256 bytes
        {std::string(512, '0'), {"> " + std::string(512, '0')}, ""},
    };
    port.open();
    for (const auto& c : cases) {
        exchange.clear();
        op.messages.clear();
        link.mscomm1send(c.command);
        EXPECT_EQ(exchange, c.sent) << c.command;
        EXPECT_EQ(op.texts(), c.message.empty() ? std::vector<std::string>{}
                                                : std::vector<std::string>{c.message})
            << c.command;
    }
}

TEST_F(Requests, NothingIsSentWhileThePortIsSwitchedOffOrRefusesTheBlock) {
    port.open();
    N18.checked = true;
    link.mscomm1send("01");
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kPortNotInitialized});
    EXPECT_EQ(op.messages[0].caption, "Information");
    N18.checked = false;
    port.set_write_refused(true);
    link.mscomm1send("01");
    EXPECT_EQ(op.messages.back().text, texts::kWriteDataFail);
    EXPECT_TRUE(exchange.empty());
    port.close();
    port.set_write_refused(false);
    link.mscomm1send("01"); // a closed port has no writer
    EXPECT_EQ(op.messages.back().text, texts::kWriteDataFail);
}

TEST_F(Requests, SendDAcceptsOnlyTheExactReply) {
    ready_board();
    link.CollectReplies = true;
    EXPECT_TRUE(link.send_d("04", "56"));
    EXPECT_EQ(exchange, (std::vector<std::string>{"> 04", "< 56"}));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(link.ReplyText.empty());

    // A reply joined from two deliveries counts as one.
    board.add_fault(Fault::split(0x05, {1}, {3}, 1));
    EXPECT_TRUE(link.send_d("05", "76"));
}

TEST_F(Requests, SendDFailsOnExtraBytesSilenceAndWrongReplies) {
    struct Case {
        const char* name;
        Fault fault;
    };
    const Case cases[] = {
        {"extra byte", Fault::extra(0x04, {0x00}, 1)},
        {"silence", Fault::silent(0x04, 1)},
        {"wrong reply", Fault::reply(0x04, {0x57}, 1)},
        {"too late", Fault::delay(0x04, 1100, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.close();
        board.clear_faults();
        ready_board();
        board.add_fault(c.fault);
        link.CollectReplies = true;
        link.status.Label11 = "busy";
        EXPECT_FALSE(link.send_d("04", "56"));
        EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kReceiveError});
        EXPECT_EQ(op.messages[0].caption, "Error");
        EXPECT_EQ(link.status.Label11.get(), "Ready");
        // The failure signal restarted the board, which answered at the first try.
        EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:already connected");
        link.CollectReplies = false;
    }
}

TEST_F(Requests, FailureSignalTriesNineResetsOnADeadBoardAndSoundsThreeTones) {
    ready_board();
    link.CollectReplies = true;
    N31.checked = false;
    board.set_dead(true);
    const auto start = loop.now_ms();
    EXPECT_FALSE(link.send_d("04", "56"));
    // Nine restarts of about a second each cost virtual time only.
    EXPECT_GT(loop.now_ms() - start, 9 * 1000);
    EXPECT_EQ(op.tones, (std::vector<std::pair<int, int>>{{1000, 200}, {1000, 200}, {1000, 200}}));
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kReceiveError});
}

TEST_F(Requests, ToneFailureIsReportedAndTheOperationGoesOn) {
    ready_board();
    N31.checked = false;
    op.sound_works = false;
    link.signal_success();
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kSoundError});
    EXPECT_EQ(op.messages[0].caption, "Information");
    N31.checked = true;
    op.messages.clear();
    link.signal_success();
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(Requests, Send0dReturnsTheBlockBracketedByOpenAndClose) {
    ready_board();
    link.CollectReplies = true;
    const std::string block = link.send0d();
    EXPECT_EQ(block.size(), 54u);
    EXPECT_TRUE(block.starts_with("43"));
    ASSERT_EQ(exchange.size(), 6u);
    EXPECT_EQ(exchange[0], "> 04");
    EXPECT_EQ(exchange[2], "> 0D");
    EXPECT_EQ(exchange[4], "> 05");
}

TEST_F(Requests, Send0dTakesALongerBlockAtTheTimeOutAndRefusesAWrongMarker) {
    ready_board();
    link.CollectReplies = true;
    board.add_fault(Fault::extra(0x0D, {0xAA}, 1));
    const auto start = loop.now_ms();
    std::string block = link.send0d();
    EXPECT_EQ(block.size(), 56u);
    EXPECT_TRUE(block.ends_with("AA"));
    EXPECT_GE(loop.now_ms() - start, 1000);

    std::vector<std::uint8_t> wrong(27, 0x44);
    board.add_fault(Fault::reply(0x0D, wrong, 1));
    EXPECT_EQ(link.send0d(), "00");
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kReceiveError});

    board.clear_faults();
    board.add_fault(Fault::reply(0x0D, {0x43, 0x00}, 1)); // short
    EXPECT_EQ(link.send0d(), "00");
}

TEST_F(Requests, Send03SendsTheSetUpFrameOfTheChip) {
    ready_board();
    link.CollectReplies = true;
    ChipParams chip; // every key at its default
    EXPECT_TRUE(link.send03(chip));
    // Sizes 2000h and 0100h, then CoreType, ProgramFlags, ProgramDelay, power sequence,
    // EraseMode, ProgramTries and OverProgram.
    EXPECT_EQ(exchange, (std::vector<std::string>{"> 032000010009000101050101", "< 49"}));
}

TEST_F(Requests, SetUpFrameRendersSizesWithTheirFirstFourDigits) {
    ChipParams chip;
    chip.ROMsize = 0x10000;
    chip.EEPROMsize = 0x400;
    chip.CoreType = "05";
    chip.ProgramFlags = "1A";
    chip.ProgramDelay = "0A";
    chip.PowerSequence = "02";
    chip.EraseMode = "00";
    chip.ProgramTries = "19";
    chip.OverProgram = "0B";
    EXPECT_EQ(link.setup_frame(chip), "03100004000"
                                      "51A0A0200190B");
}

TEST_F(Requests, PowerSequenceFollowsIcspAndVppFirst) {
    // Columns: ICSP; ICSP + VPP first; socket; socket + VPP first.
    const std::vector<std::pair<std::string, std::array<const char*, 4>>> table = {
        {"01", {"01", "03", "01", "03"}},
        {"02", {"01", "03", "02", "04"}},
        {"04", {"03", "03", "04", "04"}},
        {"10", {"10", "03", "10", "10"}},
    };
    ChipParams chip;
    for (const auto& [ps, expected] : table) {
        chip.PowerSequence = ps;
        for (int column = 0; column < 4; ++column) {
            N_ICSP.checked = column < 2;
            UseVPP.checked = column % 2 == 1;
            EXPECT_EQ(link.power_sequence(chip), expected[column]) << ps << " column " << column;
        }
    }
    // A chip that can only be programmed in circuit counts as ICSP mode.
    N_ICSP.checked = false;
    UseVPP.checked = false;
    chip.ICSPonly = true;
    chip.PowerSequence = "02";
    EXPECT_EQ(link.power_sequence(chip), "01");
}

TEST_F(Requests, Send03FailsOnAnyOtherReply) {
    ready_board();
    link.CollectReplies = true;
    board.add_fault(Fault::extra(0x03, {0x49}, 1));
    EXPECT_FALSE(link.send03(ChipParams{}));
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kReceiveError});
}

TEST_F(Requests, SendRetsWaitsForTheCountAndKeepsTheWholeReply) {
    ready_board();
    link.CollectReplies = true;
    board.set_version_text("V3.10");
    EXPECT_EQ(link.send_rets("15", 4), "56332E3130");
    board.set_version_text("V3");
    EXPECT_EQ(link.send_rets("15", 4), "00");
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kReceiveError});
}

TEST_F(Requests, ResetProgramRestartsTheBoardAndRedoesTheHandshake) {
    ready_board();
    link.CollectReplies = true;
    board.clear_trace();
    board.set_boot_delay_ms(21); // the identity comes between two looks of the wait
    EXPECT_TRUE(link.reset_program());
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 4204", "> 50", "< 50"}));
    const std::vector<TraceEntry>& trace = board.trace();
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[1].time_ms, trace[0].time_ms) << "the identity is answered as it comes";
    EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:already connected");

    board.set_model(2); // a board of another model is not taken back
    EXPECT_FALSE(link.reset_program());
}

TEST_F(Requests, ResetProgramDoesNothingWhileClosing) {
    ready_board();
    link.AppClosing = true;
    board.clear_trace();
    const auto start = loop.now_ms();
    EXPECT_FALSE(link.reset_program());
    EXPECT_EQ(loop.now_ms(), start);
    EXPECT_TRUE(board.trace().empty());
    EXPECT_TRUE(port.properties().Dtr == DtrControl::Enable);
}

TEST_F(Requests, ReceivedGarbageOnTheAnnouncementPathIsIgnored) {
    ready_board();
    link.BoardReady = false;
    board.send_at(loop.now_ms() + 1, {0x00, 0xFF, 0x42});
    board.send_at(loop.now_ms() + 3, {0x50, 0x50});
    loop.run_for(10);
    EXPECT_FALSE(link.BoardReady.get());
    EXPECT_TRUE(op.messages.empty());
}

} // namespace
} // namespace zz::test
