// upgrade-firmware on the virtual board, with images made by tools/gen_firmware_image.py.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class CliFirmwareTest : public ::testing::Test {
protected:
    CliFirmwareTest() : dir(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    std::string image(const std::string& name, const std::string& options = "") {
        const RunResult r =
            run_shell(dir, std::string("python3 '") + ZZ_SOURCE_DIR +
                               "/tools/gen_firmware_image.py' '" + (dir / name) + "' " + options);
        EXPECT_EQ(r.status, 0) << r.err;
        return dir / name;
    }

    ScratchDir dir;
};

TEST_F(CliFirmwareTest, FullAndShortImagesUpgradeTheBoardAndPrintTheNewVersion) {
    const std::pair<std::string, const char*> cases[] = {
        {"2.40", ""},
        {"2.41", " --lines 3"},
    };
    for (const auto& [version, lines] : cases) {
        SCOPED_TRACE(version);
        const std::string file = image("up.hex", "--version " + version + lines);
        const RunResult r =
            run_cli(dir, "--virtual-board --model 3 upgrade-firmware --image '" + file + "' --yes");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "Information: hardware successfully upgraded, hardware version:V" +
                             version + "\n");
        EXPECT_EQ(r.err, "Inquiry: You whether want upgrade hardware go V" + version +
                             " -- answered Yes\n");
    }
}

TEST_F(CliFirmwareTest, JsonCarriesTheVersion) {
    const RunResult r = run_cli(dir, "--virtual-board --json upgrade-firmware --image '" +
                                         image("up.hex", "--version 3.0.1") + "' --yes");
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, HasSubstr("\"version\":\"V3.0.1\""));
}

TEST_F(CliFirmwareTest, RefusalsAndMissingImagesFail) {
    const std::string file = image("up.hex");
    struct Case {
        std::string arguments;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"--virtual-board upgrade-firmware --image '" + file + "' --no", 1,
         "Inquiry: You whether want upgrade hardware go V2.40 -- answered No\n"},
        {"--virtual-board --model 2 upgrade-firmware", 1,
         "Error: The firmware image up320.hex was not found in " ZZ_SOURCE_DIR "/data\n"},
        {"--virtual-board upgrade-firmware --image '" + (dir / "none.hex") + "' --yes", 1,
         "Error: The firmware image none.hex was not found in " + dir.path().string() + "\n"},
        {"--virtual-board --model 1 upgrade-firmware --image '" + file + "' --yes", 1,
         "Error: upgrade-firmware is not available for the programmer VO310Z2/DI310D2\n"},
        {"--virtual-board version --image '" + file + "'", 2,
         "ze-zuzu-cli: --image belongs to the upgrade-firmware and job create commands\nTry 'ze-zuzu-cli "
         "--help'.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const RunResult r = run_cli(dir, c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_THAT(r.out, Not(HasSubstr("successfully")));
    }
}

} // namespace
} // namespace zz::test
