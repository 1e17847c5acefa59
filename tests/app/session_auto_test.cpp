// The production loop of a session: arming it, and its serial numbers and production records.
#include "device/temp_folder.h"
#include "link/link_texts.h"
#include "session_env.h"
#include "sim/socket_operator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

namespace zz {
namespace {

using Strings = std::vector<std::string>;
const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

class SessionAuto : public ::testing::Test {
protected:
    void SetUp() override {
        s.startup();
        parts.loop.run_for(500);
        ASSERT_TRUE(s.link().BoardReady.get());
    }

    test::SessionParts parts;
    Session s{parts.env(kData)};
};

TEST_F(SessionAuto, ArmingWarnsDisarmsAndIsRefusedWhileRunning) {
    const std::tuple<const char*, Strings> cases[] = {
        {"16F877A", {texts::kIcspWarning}},
        {"24xx01", {texts::kOtpChip, texts::kIcspWarning}},
    };
    for (const auto& [chip, messages] : cases) {
        SCOPED_TRACE(chip);
        s.ComboBox1 = std::string(chip);
        s.chip_changed();
        parts.op.messages.clear();
        for (bool armed : {true, false}) {
            s.auto_program_menu_command();
            EXPECT_EQ(s.flags.N_autoprog.checked.get(), armed);
            EXPECT_EQ(s.controls.Button10.get(), armed);
        }
        EXPECT_EQ(parts.op.texts(), messages);
    }
    s.auto_program_menu_command();
    s.controls.Button10_caption = std::string(texts::kStopCaption);
    parts.op.messages.clear();
    s.auto_program_menu_command();
    EXPECT_EQ(parts.op.texts(), Strings{texts::kPleaseStop});
    EXPECT_TRUE(s.flags.N_autoprog.checked.get());
    // Nor can another programmer model (another chip) be chosen under a running loop.
    s.link().Busy = true;
    s.select_model(2);
    EXPECT_EQ(s.ProgrammerModel.get(), 3);
}

// Three chips, the second failing: each has its line in the log with the number it got, and
// the number advances only after a pass.
TEST_F(SessionAuto, EveryChipIsNumberedAndOnRecord) {
    testing::TempFolder folder;
    const auto log = folder.path() / "log.csv";
    s.serial_settings = SerialSettings{0x10, 0x11, 1, true, false, false, false, true, false};
    s.buffer.set_cell_and_view(Area::rom, 0x10, "0005");
    s.buffer.set_cell_and_view(Area::rom, 0x11, "0000");
    s.buffer.SerialNumberEnabled = true;
    s.production_log = std::make_shared<const ProductionLog>(log);
    int made = 0;
    SocketOperator person(parts.board, {300, 200}, [&] {
        VirtualChip chip(s.chip());
        if (++made == 1)
            chip.set_weak_cell(0x10);
        return chip;
    });
    int finished = 0;
    s.chip_finished = [&](const ChipRecord&) { ++finished; };
    int cycles = 0;
    const AutoProgramResult result = s.auto_program_command({[&] {
        if (++cycles == 3)
            s.CloseRequested = true;
    }});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(finished, 3);
    EXPECT_EQ(s.statistics.lab_pass.get(), "Pass:0002");
    EXPECT_EQ(s.statistics.lab_error.get(), "Fail:0001");
    EXPECT_EQ(s.buffer.cell(Area::rom, 0x10), "0007");
    std::ifstream in(log);
    Strings lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    using ::testing::HasSubstr;
    EXPECT_THAT(lines[1], HasSubstr(",00000005,pass,,"));
    EXPECT_THAT(lines[2], HasSubstr(",00000006,fail,Error in programming ROM at address 0x0010,"));
    EXPECT_THAT(lines[3], HasSubstr(",00000006,pass,,"));
}

// Programming a buffer that holds no data leaves the chip blank: the person is asked first, by
// Program and by Auto Program alike. Any data at all, a configuration word included, asks nothing.
TEST_F(SessionAuto, ABlankImageIsProgrammedOnlyAfterYes) {
    const struct {
        const char* name;
        bool program; // else Auto Program
        const char* fuse1;
        std::deque<bool> answers;
        std::size_t questions;
        const char* passed;
    } cases[] = {{"ProgramNo", true, "0x3FFF", {false}, 1, "Pass:0000"},
                 {"ProgramYes", true, "0x3FFF", {true}, 1, "Pass:0001"},
                 {"ProgramFuseWord", true, "0x3F72", {}, 0, "Pass:0001"},
                 {"AutoNo", false, "0x3FFF", {false}, 1, "Pass:0000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s.reset_statistics();
        s.buffer.lab_fuse(1) = c.fuse1;
        parts.op.questions.clear();
        parts.op.answers = c.answers;
        parts.board.clear_trace();
        if (c.program)
            s.program_command();
        else
            EXPECT_FALSE(s.auto_program_command().started);
        parts.loop.run_for(200);
        EXPECT_EQ(parts.op.questions.size(), c.questions);
        for (const auto& question : parts.op.questions)
            EXPECT_EQ(
                question.text,
                "The image holds no data: the chip will be left blank.\r\nProgram it anyway?");
        EXPECT_EQ(s.statistics.lab_pass.get(), c.passed);
        EXPECT_EQ(parts.board.commands().empty(), c.passed == std::string("Pass:0000"));
    }
}

} // namespace
} // namespace zz
