// Auto Program in the window on the virtual board with a person at its socket: the button, the
// locked lists, the status line, and Stop or the window closing from inside the running loop.
#include "sim/socket_operator.h"
#include "window_fixture.h"

#include <optional>

namespace zz::test {
namespace {

class AutoProgramWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        start();
        person.emplace(board, OperatorTimes{300, 200},
                       [this] { return VirtualChip(session->chip()); });
    }

    bool lists_enabled() const {
        return widget("ComboBox1")->isEnabled() && widget("ComboBox2")->isEnabled() &&
               widget("cmbbxcomnum")->isEnabled();
    }

    std::optional<SocketOperator> person;
};

TEST_F(AutoProgramWindowTest, RunsChipAfterChipUntilStopIsClicked) {
    EXPECT_FALSE(button("Button10")->isEnabled());
    click("N_autoprog");
    EXPECT_TRUE(action("N_autoprog")->isChecked());
    ASSERT_TRUE(button("Button10")->isEnabled());
    QStringList shown; // status line, with the button's caption and whether the lists are usable
    session->link().status.Label11.observe([&](const std::string& text) {
        shown << QString::fromStdString(text) + " / " + button("Button10")->text() +
                     (lists_enabled() ? " / lists" : "");
    });
    // The Stop click arrives while the loop waits for the third chip's removal.
    session->statistics.lab_pass.observe([this](const std::string& pass) {
        if (pass == "Pass:0003")
            click("Button10");
    });
    click("Button10");
    EXPECT_EQ(label("lab_pass")->text(), "Pass:0003");
    EXPECT_EQ(label("lab_error")->text(), "Fail:0000");
    EXPECT_EQ(status(), "Ready");
    EXPECT_EQ(button("Button10")->text(), "Auto Program");
    EXPECT_TRUE(lists_enabled());
    EXPECT_TRUE(shown.contains("Waiting for chip insertion... / Stop"));
    EXPECT_TRUE(shown.contains("Waiting for chip removal... / Stop"));
    EXPECT_EQ(shown.filter("lists").size(), 1) << shown.join("\n").toStdString(); // "Ready"
    EXPECT_EQ(person->chips_removed(), 2);
    EXPECT_FALSE(session->link().Busy.get());
}

TEST_F(AutoProgramWindowTest, ClosingTheWindowEndsTheLoop) {
    click("N_autoprog");
    window->show();
    session->statistics.lab_pass.observe([this](const std::string& pass) {
        if (pass == "Pass:0002")
            window->close();
    });
    click("Button10");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(label("lab_pass")->text(), "Pass:0002");
    EXPECT_EQ(status(), "Ready");
    // The wait ends, and the closing window restarts nothing.
    const auto commands = board.commands();
    EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()),
              (std::vector<std::string>{"13", "01"}));
    EXPECT_FALSE(session->link().Busy.get());
}

} // namespace
} // namespace zz::test
