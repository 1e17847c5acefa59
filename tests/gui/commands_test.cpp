#include "window_fixture.h"

#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <functional>

namespace zz::test {
namespace {

class CommandsTest : public WindowFixture {
protected:
    void SetUp() override {
        start();
        board.clear_trace();
    }

    bool said(const std::string& text) const {
        return std::find(desktop.messages.begin(), desktop.messages.end(), text) !=
               desktop.messages.end();
    }
    void settle() { loop.run_for(200); }
};

TEST_F(CommandsTest, ProgramFromTheWindowPassesOnTheVirtualBoard) {
    click("Button9");
    settle();
    EXPECT_TRUE(said("Programming complete.")) << ::testing::PrintToString(desktop.messages);
    EXPECT_EQ(label("lab_pass")->text(), "Pass:0001");
    EXPECT_EQ(label("lab_error")->text(), "Fail:0000");
    click("Button7");
    EXPECT_EQ(label("lab_pass")->text(), "Pass:0000");
}

TEST_F(CommandsTest, HardwareVersionIsShown) {
    click("N26");
    settle();
    EXPECT_TRUE(said("Hardware version:V2.37")) << ::testing::PrintToString(desktop.messages);
}

TEST_F(CommandsTest, FileCommandsAskForAFileAndLoadIt) {
    for (const char* control : {"N5", "Button1", "SpeedButton1"})
        click(control);
    EXPECT_EQ(desktop.load_requests, 3);
    for (const char* control : {"N6", "Button2", "SpeedButton2"})
        click(control);
    EXPECT_EQ(desktop.save_requests, 3);

    const auto file = std::filesystem::path(ZZ_BINARY_DIR) / "gui-test-load.hex";
    std::ofstream(file) << ":0400000012345678D8\n:00000001FF\n";
    desktop.load_answer = file.string();
    click("Button1");
    EXPECT_EQ(window->windowTitle().toStdString(), "ZE-ZUZU V2.37  " + file.string());
    const QModelIndex first = window->grid_model().index(1, 1);
    EXPECT_EQ(first.data().toString(), "3412");
    std::filesystem::remove(file);
}

TEST_F(CommandsTest, ChecksumHelpExitAndPortCommands) {
    click("Button6");
    ASSERT_FALSE(desktop.messages.empty());
    EXPECT_TRUE(desktop.messages.back().starts_with("Current buffer Checksum"));
    click("N24");
    EXPECT_EQ(desktop.help, kDataDir / "ze-zuzuen.html");

    click("N18");
    EXPECT_TRUE(action("N18")->isChecked());
    click("N18");
    EXPECT_FALSE(action("N18")->isChecked());
    settle();

    board.clear_trace();
    click("N16"); // a restart: the board announces itself again
    settle();
    EXPECT_EQ(status(), "Ready");

    window->show();
    click("N8");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(session->CloseRequested);
}

TEST_F(CommandsTest, ProgrammerModelFromTheMenu) {
    click("N_TYPE_320");
    EXPECT_TRUE(action("N_TYPE_320")->isChecked());
    EXPECT_FALSE(action("N_TYPE_330")->isChecked());
    EXPECT_EQ(session->ProgrammerModel.get(), 2);
    click("N_TYPE_330");
    EXPECT_EQ(session->ProgrammerModel.get(), 3);
    EXPECT_FALSE(action("N_TYPE_320")->isChecked());
}

TEST_F(CommandsTest, ShortcutsTriggerTheirItems) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    settle();
    EXPECT_TRUE(said("Programming complete."));
    desktop.load_requests = 0;
    QTest::keyClick(window.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(desktop.load_requests, 1);
}

} // namespace
} // namespace zz::test

namespace zz::test {
namespace {

// What a person does first: load a file, program it, verify it, and read it back, watching the
// progress bar move.
TEST_F(CommandsTest, LoadProgramVerifyAndReadBack) {
    const auto file = std::filesystem::path(ZZ_BINARY_DIR) / "gui-test-flow.hex";
    std::ofstream(file) << ":0400000012345678D8\n:02400E00F23F7F\n:00000001FF\n";
    desktop.load_answer = file.string();
    click("Button1");
    int progress_max = 0;
    session->link().status.progress_max.observe([&](const int& max) {
        progress_max = std::max(progress_max, max);
    });

    click("Button9");
    settle();
    EXPECT_TRUE(said("Programming complete.")) << ::testing::PrintToString(desktop.messages);
    EXPECT_GT(progress_max, 32);
    click("SpeedButton7");
    settle();
    EXPECT_TRUE(said("Data verification complete")) << ::testing::PrintToString(desktop.messages);

    session->buffer.clrbuffer(session->chip());
    click("SpeedButton8");
    settle();
    EXPECT_EQ(window->grid_model().index(1, 1).data().toString(), "3412");
    EXPECT_EQ(window->grid_model().index(1, 2).data().toString(), "3856");
    EXPECT_EQ(label("lab_fuse1")->text(), "0x3FF2");
    EXPECT_EQ(status(), "Ready");
    std::filesystem::remove(file);
}

} // namespace
} // namespace zz::test

namespace zz::test {
namespace {

TEST_F(CommandsTest, ATypedPortNameIsTakenOnReturn) {
    auto* box = window->findChild<QComboBox*>(QStringLiteral("cmbbxcomnum"));
    box->lineEdit()->setText(QStringLiteral("/dev/serial/by-id/usb-board"));
    emit box->lineEdit()->returnPressed();
    EXPECT_EQ(session->discovery().selector.text.get(), "/dev/serial/by-id/usb-board");
    EXPECT_EQ(session->link().status.Label5.get(), "/dev/serial/by-id/usb-board");
}

} // namespace
} // namespace zz::test
