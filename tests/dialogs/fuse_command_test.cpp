// The "Fuses" command over a session: when the editor opens, and what follows its closing.
#include "dialogs/fuse/fuse_command.h"

#include "app/session_env.h"
#include "device/temp_folder.h"

#include <gtest/gtest.h>

namespace zz::test {
namespace {

struct Fixture {
    explicit Fixture(const std::string& chip) {
        session.ComboBox1 = chip;
        session.chip_changed();
    }
    // Runs the command, OK or Cancel; false when the editor did not open.
    bool run(bool ok) {
        bool opened = false;
        command.run([&](FuseEditor& editor) {
            opened = true;
            editor.choose(0, 0);
            if (ok)
                editor.ok();
        });
        return opened;
    }
    SessionParts parts;
    Session session{parts.env(ZZ_SOURCE_DIR "/data")};
    FuseCommand command{session.fuse_target()};
};

TEST(FuseCommand, AfterOkOrCancelTheBandGapLabelAndChecksumFollowWord1) {
    for (const bool ok : {true, false}) {
        Fixture f("12F629");
        Buffer& b = f.session.buffer;
        b.lab_fuse(1) = "0x11FF";
        b.lab_checksum = "stale";
        ASSERT_TRUE(f.run(ok));
        EXPECT_EQ(b.lab_fuse(1).get(), ok ? "0x11F8" : "0x11FF") << "LP oscillator on OK";
        EXPECT_EQ(b.lab_band.get(), "BandGap  01");
        EXPECT_EQ(b.lab_checksum.get().substr(0, 11), "Checksum 0x");
    }
}

TEST(FuseCommand, NothingOpensWhileBusy) {
    Fixture f("16F877A");
    f.session.link().Busy = true;
    EXPECT_FALSE(f.run(true));
}

TEST(FuseCommand, UnreadableLinesAreReportedOncePerChip) {
    testing::TempFolder data;
    data.write("3-chip0.ini", "[BAD]\nROMsize=1024\nLIST1=\"Good\",\"a\"=FFFE\nLIST2=\"Broken\n"
                              "LIST3=\"Bad\",\"b\"=XYZW\n");
    SessionParts parts;
    Session session(parts.env(data.path()));
    session.ComboBox1 = "BAD";
    session.chip_changed();
    FuseCommand command(session.fuse_target());
    for (int opening = 0; opening < 2; ++opening)
        command.run([](FuseEditor& editor) { EXPECT_EQ(editor.settings().size(), 1u); });
    ASSERT_EQ(parts.op.messages.size(), 1u);
    EXPECT_EQ(parts.op.messages[0].text, "The fuse lines LIST2, LIST3 of the chip BAD cannot be "
                                         "read.\r\nThe fuse editor leaves them out.");
}

} // namespace
} // namespace zz::test
