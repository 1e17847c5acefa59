// Every menu item and button of the window reaches its command: each is usable for a chip that
// has the feature, and using it does what its command does.
#include "modal_dialog.h"
#include "window_fixture.h"

#include <QApplication>

#include <algorithm>

namespace zz::test {
namespace {

enum class Reaches {
    board,     // the board receives a command beginning with `what`
    dialog,    // a modal dialog opens: object name `what`, title `title`
    modeless,  // a window that stays beside the main window: object name `what`
    toggle,    // the control's own check mark inverts
    message,   // a message beginning with `what` is shown
    status,    // the status line shows `what` on the way
    desktop,   // the desktop is asked for `what`: "load", "save", "log" or "help"
    counters,  // the statistics go back to zero
    closes,    // the window closes
    auto_loop, // the production loop starts and stops
};

struct Case {
    const char* control;
    Reaches reaches;
    const char* what = "";
    const char* title = "";
    const char* chip = "";  // another chip than the fixture's 16F877A
    const char* first = ""; // a control used before (a model or the state the control needs)
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.control;
}

const Case kCases[] = {
    // File
    {"N5", Reaches::desktop, "load"},
    {"N6", Reaches::desktop, "save"},
    {"N8", Reaches::closes},
    // Program
    {"N9", Reaches::board, "07"},
    {"N10", Reaches::board, "0E"},
    {"N11", Reaches::board, "0F"},
    {"N12", Reaches::board, "0C"},
    {"EEPROM1", Reaches::board, "08"},
    {"N13", Reaches::board, "07"},
    {"ID1", Reaches::board, "093030"},
    {"N14", Reaches::board, "0B"},
    {"N15", Reaches::dialog, "cal_form", "OSCCAL", "12F629"},
    // Option
    {"N_TYPE_310", Reaches::toggle},
    {"N_TYPE_320", Reaches::toggle},
    {"N_TYPE_330", Reaches::toggle, "", "", "", "N_TYPE_320"},
    {"KT3001", Reaches::toggle},
    {"N16", Reaches::status, "Resetting programer..."},
    {"N18", Reaches::toggle},
    {"N29", Reaches::message, "RO-ZUZ330 Programmer found in the"},
    {"N22", Reaches::dialog, "chip_form", "Device Position", "", "N_TYPE_320"},
    {"N161", Reaches::dialog, "edit_form", "Edit buffer"},
    {"N19", Reaches::dialog, "fuse_form", "Edit Fuses"},
    {"N31", Reaches::toggle},
    {"UseVPPFirstProgramEntry1", Reaches::toggle},
    {"N33", Reaches::toggle},
    {"N_chip_not", Reaches::toggle, "", "", "", "N_TYPE_320"},
    {"N32", Reaches::toggle},
    {"N_ICSP", Reaches::dialog, "chip_form", "Device Position"},
    {"n_calchip", Reaches::toggle, "", "", "", "N_calfile"},
    {"N_calfile", Reaches::toggle},
    {"N35", Reaches::toggle},
    {"N21", Reaches::modeless, "inc_form"},
    {"N_prodlog", Reaches::desktop, "log"},
    {"N_records", Reaches::modeless, "records_form"},
    {"N_autoprog", Reaches::toggle},
    {"chipinsockettime1", Reaches::dialog, "chipintime_form", "Time Settings for Chip In Socket"},
    {"N23", Reaches::message, "The firmware image up330.hex was not found"},
    // Help
    {"N24", Reaches::desktop, "help"},
    {"N25", Reaches::dialog, "AboutBox", "About"},
    {"N26", Reaches::board, "15"},
    // Tool buttons
    {"SpeedButton1", Reaches::desktop, "load"},
    {"SpeedButton2", Reaches::desktop, "save"},
    {"SpeedButton3", Reaches::dialog, "edit_form", "Edit buffer"},
    {"SpeedButton4", Reaches::board, "0E"},
    {"SpeedButton5", Reaches::board, "0F"},
    {"SpeedButton6", Reaches::board, "07"},
    {"SpeedButton7", Reaches::board, "0B"},
    {"SpeedButton8", Reaches::board, "0C"},
    // Buttons and check boxes
    {"Button1", Reaches::desktop, "load"},
    {"Button2", Reaches::desktop, "save"},
    {"Button3", Reaches::dialog, "fuse_form", "Edit Fuses"},
    {"Button4", Reaches::dialog, "cal_form", "OSCCAL", "12F629"},
    {"Button5", Reaches::board, "07"},
    {"Button6", Reaches::message, "Current buffer Checksum 0x"},
    {"Button7", Reaches::counters},
    {"Button8", Reaches::dialog, "prog_name", "Statistic"},
    {"Button9", Reaches::board, "07"},
    {"Button10", Reaches::auto_loop, "12", "", "", "N_autoprog"},
    {"CheckBox_blank", Reaches::toggle},
    {"CheckBox_erase", Reaches::toggle},
    {"CheckBox_wr_ee", Reaches::toggle},
    {"CheckBox_wr_rom", Reaches::toggle},
    {"n36", Reaches::toggle},
    {"CheckBox_wr_id", Reaches::toggle},
};

class EveryControlTest : public WindowFixture, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        start();
        if (*GetParam().chip)
            choose("ComboBox1", GetParam().chip);
        if (*GetParam().first)
            click(GetParam().first);
        loop.run_for(500);
        board.clear_trace();
        desktop.messages.clear();
    }

    bool enabled(const char* name) const {
        if (QAction* a = action(name))
            return a->isEnabled();
        return button(name)->isEnabled();
    }
    bool checked(const char* name) const {
        if (QAction* a = action(name))
            return a->isChecked();
        return button(name)->isChecked();
    }
    bool sent(const std::string& prefix) const {
        const auto commands = board.commands();
        return std::any_of(commands.begin(), commands.end(),
                           [&](const std::string& c) { return c.starts_with(prefix); });
    }
    bool said(const std::string& prefix) const {
        return std::any_of(desktop.messages.begin(), desktop.messages.end(),
                           [&](const std::string& m) { return m.starts_with(prefix); });
    }
    int requests(const std::string& what) const {
        if (what == "load")
            return desktop.load_requests;
        if (what == "save")
            return desktop.save_requests;
        if (what == "log")
            return desktop.log_requests;
        return desktop.help.empty() ? 0 : 1;
    }
    QWidget* top_level(const char* name) const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return w;
        return nullptr;
    }
};

TEST_P(EveryControlTest, ReachesItsCommand) {
    const Case& c = GetParam();
    ASSERT_TRUE(enabled(c.control)) << "disabled";
    const std::string what = c.what;
    switch (c.reaches) {
    case Reaches::board:
        session->buffer.set_cell_and_view(Area::eeprom, 3, "12"); // something to write
        click(c.control);
        loop.run_for(200);
        EXPECT_TRUE(sent(what)) << ::testing::PrintToString(board.commands())
                                << ::testing::PrintToString(desktop.messages);
        break;
    case Reaches::dialog: {
        const OpenedDialog opened = with_modal_dialog([&] { click(c.control); });
        EXPECT_EQ(opened.name.toStdString(), what);
        EXPECT_EQ(opened.title.toStdString(), c.title);
        break;
    }
    case Reaches::modeless: {
        click(c.control);
        QWidget* shown = top_level(c.what);
        ASSERT_NE(shown, nullptr);
        shown->close();
        break;
    }
    case Reaches::toggle: {
        const bool before = checked(c.control);
        click(c.control);
        EXPECT_NE(checked(c.control), before);
        break;
    }
    case Reaches::message:
        click(c.control);
        loop.run_for(200);
        EXPECT_TRUE(said(what)) << ::testing::PrintToString(desktop.messages);
        break;
    case Reaches::status: {
        std::vector<std::string> shown;
        session->link().status.Label11.observe([&](const std::string& s) { shown.push_back(s); });
        click(c.control);
        loop.run_for(2500);
        EXPECT_NE(std::find(shown.begin(), shown.end(), what), shown.end());
        EXPECT_EQ(status(), "Ready");
        break;
    }
    case Reaches::desktop: {
        const int before = requests(what);
        click(c.control);
        EXPECT_EQ(requests(what), before + 1);
        break;
    }
    case Reaches::counters:
        session->statistics.lab_pass = "Pass:0005";
        session->statistics.lab_error = "Fail:0002";
        click(c.control);
        EXPECT_EQ(label("lab_pass")->text(), "Pass:0000");
        EXPECT_EQ(label("lab_error")->text(), "Fail:0000");
        break;
    case Reaches::closes:
        window->show();
        click(c.control);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(session->CloseRequested);
        break;
    case Reaches::auto_loop:
        // Stop once the loop waits for the chip to be taken out again.
        session->link().status.Label11.observe([this, &c](const std::string& s) {
            if (s == "Waiting for chip removal...")
                click(c.control);
        });
        click(c.control);
        EXPECT_TRUE(sent(what)) << ::testing::PrintToString(board.commands());
        EXPECT_EQ(label("lab_pass")->text(), "Pass:0001");
        EXPECT_EQ(button(c.control)->text(), "Auto Program");
        EXPECT_EQ(status(), "Ready");
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Window, EveryControlTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.control); });

} // namespace
} // namespace zz::test
