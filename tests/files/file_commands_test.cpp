#include "base/virtual_loop.h"
#include "files/file_commands.h"
#include "hex_fixture.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using testing::HexFiles;

class FileCommands : public ::testing::Test {
protected:
    FileCommandContext context(const std::string& chosen) {
        return FileCommandContext{
            .Busy = false,
            .chosen_path = chosen,
            .chip = chip,
            .buffer = files.buffer,
            .CurrentFileName = current,
            .caption = caption,
            .op = op,
            .arm_file_watch = [this] { ++armed; },
            .show_warning = [this](std::string_view text) { warnings.emplace_back(text); },
            .process_events = {},
        };
    }

    ChipParams chip = testing::pic16f877a();
    HexFiles files;
    VirtualLoop loop;
    test::RecordingOperator op{loop};
    std::string current;
    Value<std::string> caption{"ZE-ZUZU V2.37"};
    int armed = 0;
    std::vector<std::string> warnings;
};

TEST_F(FileCommands, LoadBlanksReadsAndSums) {
    const auto path = files.write("a.hex", ":02000000413F7E\r\n:02400E00FF3F73\r\n:00000001FF\r\n");
    files.buffer.clrbuffer(chip);
    files.buffer.set_cell(Area::rom, 5, "0000");
    auto ctx = context(path.string());
    load_command(ctx);
    EXPECT_EQ(current, path.string());
    EXPECT_EQ(caption.get(), "ZE-ZUZU V2.37  " + path.string());
    EXPECT_EQ(files.rom(0), "3F41");
    EXPECT_EQ(files.rom(5), "3FFF");
    EXPECT_EQ(files.buffer.lab_checksum.get(), "Checksum 0x1F41"); // 8191 x 3FFF + 3F41 + 3FFF
    EXPECT_EQ(armed, 1);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Warning: line 2 of a.hex: checksum error");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(FileCommands, BusyOrCancelledDoesNothing) {
    auto ctx = context("");
    load_command(ctx);
    save_command(ctx);
    auto busy = context((files.folder.path() / "x.hex").string());
    busy.Busy = true;
    load_command(busy);
    save_command(busy);
    EXPECT_EQ(current, "");
    EXPECT_EQ(caption.get(), "ZE-ZUZU V2.37");
    EXPECT_EQ(armed, 0);
    EXPECT_FALSE(std::filesystem::exists(files.folder.path() / "x.hex"));
}

TEST_F(FileCommands, UnopenableBinaryLeavesBlankBuffer) {
    const std::string missing = (files.folder.path() / "gone.bin").string();
    files.buffer.set_cell(Area::rom, 0, "0000");
    auto ctx = context(missing);
    load_command(ctx);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Error in file " + missing + ".");
    EXPECT_EQ(op.messages[0].caption, "Error");
    EXPECT_EQ(op.messages[0].icon, Icon::Error);
    EXPECT_EQ(files.rom(0), "3FFF");
}

TEST_F(FileCommands, SaveWritesAndAppendsToCaption) {
    files.buffer.clrbuffer(chip);
    files.buffer.lab_fuse(1) = "0x3FFF";
    const auto path = files.folder.path() / "s.hex";
    auto ctx = context(path.string());
    save_command(ctx);
    EXPECT_EQ(current, path.string());
    EXPECT_NE(files.read("s.hex").find(":02400E00FF3F72\r\n"), std::string::npos);
    EXPECT_EQ(caption.get(), "ZE-ZUZU V2.37 -- " + path.string());
    const std::string bad = (files.folder.path() / "no" / "t.hex").string();
    auto failing = context(bad);
    save_command(failing);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(
        op.messages[0].text.rfind("Error occured when saving file\r\ncannot create " + bad, 0), 0u)
        << op.messages[0].text;
    EXPECT_EQ(op.messages[0].caption, "Error");
    EXPECT_EQ(caption.get(), "ZE-ZUZU V2.37 -- " + path.string() + " -- " + bad);
    EXPECT_EQ(armed, 2);
}

// A file someone made read-only stays as it is, also for root (whom the permission bits do not
// stop); a writable one keeps its permissions when replaced.
TEST_F(FileCommands, SaveRefusesReadOnlyFilesAndKeepsPermissions) {
    namespace fs = std::filesystem;
    files.buffer.clrbuffer(chip);
    const struct {
        const char* name;
        fs::perms perms;
        bool replaced;
    } cases[] = {{"locked.hex", fs::perms::owner_read | fs::perms::group_read, false},
                 {"locked.bin", fs::perms::owner_read, false},
                 {"private.hex", fs::perms::owner_read | fs::perms::owner_write, true}};
    for (const auto& c : cases) {
        const auto path = files.write(c.name, "old");
        fs::permissions(path, c.perms);
        op.messages.clear();
        auto ctx = context(path.string());
        save_command(ctx);
        EXPECT_EQ(files.read(c.name) == "old", !c.replaced) << c.name;
        EXPECT_EQ(fs::status(path).permissions(), c.perms) << c.name;
        ASSERT_EQ(op.messages.size(), c.replaced ? 0u : 1u) << c.name;
        if (!c.replaced) {
            EXPECT_EQ(op.messages[0].text, "Error occured when saving file\r\n" + path.string() +
                                               " is read-only: it was not replaced");
        }
    }
}

} // namespace
} // namespace zz
