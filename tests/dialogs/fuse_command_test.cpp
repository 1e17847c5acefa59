// The "Fuses" command over a session: when the editor opens, and what follows its closing.
#include "dialogs/fuse/fuse_command.h"
#include "dialogs/fuse/fuse_names.h"
#include "files/checksum.h"

#include "app/session_env.h"
#include "device/temp_folder.h"

#include <gtest/gtest.h>

namespace zz::test {
namespace {

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

class FuseCommandTest : public ::testing::Test {
protected:
    void select(const std::string& chip) {
        session.ComboBox1 = chip;
        session.chip_changed();
    }
    // Runs the command; `edit` works on the open editor. Returns whether the editor opened.
    bool run(const std::function<void(FuseEditor&)>& edit) {
        bool opened = false;
        command.run([&](FuseEditor& editor) {
            opened = true;
            edit(editor);
        });
        return opened;
    }

    SessionParts parts;
    Session session{parts.env(kData)};
    FuseCommand command{session};
};

TEST_F(FuseCommandTest, OkKeepsTheBandGapAndRefreshesItsLabelAndTheChecksum) {
    select("12F629");
    session.buffer.lab_fuse(1) = "0x21F7"; // BandGap 10, Watchdog off
    session.buffer.lab_band = "BandGap  11";
    EXPECT_TRUE(run([](FuseEditor& editor) {
        ASSERT_EQ(choose_by_name(editor, "Watchdog Timer", "On"), "");
        editor.ok();
    }));
    EXPECT_EQ(session.buffer.lab_fuse(1).get(), "0x21FF");
    EXPECT_EQ(session.buffer.lab_band.get(), "BandGap  10");
    const std::string checksum = session.buffer.lab_checksum.get();
    calc_checksum(session.chip(), session.buffer);
    EXPECT_EQ(session.buffer.lab_checksum.get(), checksum);
    EXPECT_NE(checksum, "Checksum 0xFFFF");
}

TEST_F(FuseCommandTest, CancelChangesNoWordButTheBandGapAndChecksumAreRefreshed) {
    select("12F629");
    session.buffer.lab_fuse(1) = "0x11F7";
    session.buffer.lab_id1 = "0x12345678";
    session.buffer.lab_band = "BandGap  11";
    session.buffer.lab_checksum = "stale";
    EXPECT_TRUE(run([](FuseEditor& editor) { editor.choose(0, 0); }));
    EXPECT_EQ(session.buffer.lab_fuse(1).get(), "0x11F7");
    EXPECT_EQ(session.buffer.lab_id1.get(), "0x12345678");
    EXPECT_EQ(session.buffer.lab_band.get(), "BandGap  01");
    EXPECT_NE(session.buffer.lab_checksum.get(), "stale");
}

TEST_F(FuseCommandTest, NothingOpensWhileBusyOrForASerialEeprom) {
    select("16F877A");
    session.link().Busy = true;
    session.buffer.lab_checksum = "stale";
    EXPECT_FALSE(run([](FuseEditor&) {}));
    EXPECT_EQ(session.buffer.lab_checksum.get(), "stale");
    session.link().Busy = false;
    EXPECT_TRUE(run([](FuseEditor&) {}));
    select("24xx01");
    EXPECT_FALSE(run([](FuseEditor&) {}));
}

TEST(FuseCommand, UnreadableLinesAreReportedOncePerChip) {
    testing::TempFolder data;
    const std::string chip = "[BAD]\r\nROMsize=1024\r\nCHIPbit=2\r\nFUSEblank=3FFF\r\n"
                             "LIST1=\"Good\",\"a\"=FFFE\r\nLIST2=\"Broken\r\n"
                             "LIST3=\"Bad\",\"b\"=XYZW\r\n";
    data.write("3-chip0.ini", chip);
    SessionParts parts;
    Session session(parts.env(data.path()));
    session.ProgrammerModel = 3;
    session.ComboBox1 = "BAD";
    session.chip_changed();
    FuseCommand command(session);
    std::size_t settings = 0;
    for (int opening = 0; opening < 2; ++opening)
        command.run([&](FuseEditor& editor) { settings = editor.settings().size(); });
    EXPECT_EQ(settings, 1u);
    ASSERT_EQ(parts.op.messages.size(), 1u);
    EXPECT_EQ(parts.op.messages[0].text, "The fuse lines LIST2, LIST3 of the chip BAD cannot be "
                                         "read.\r\nThe fuse editor leaves them out.");
    EXPECT_EQ(parts.op.messages[0].caption, "Warning");
}

} // namespace
} // namespace zz::test
