// Operator mode in the window: a released job opened at start or from "Open Job...", only the
// production controls live, the job on show with its count, and leaving with the engineer's
// password.
#include "app/engineer_password.h"
#include "files/hex_export.h"
#include "job/job_file.h"
#include "modal_dialog.h"
#include "records/records_env.h"
#include "window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

class OperatorModeTest : public WindowFixture {
protected:
    void SetUp() override {
        start();
        session->set_station(station.get());
        fingerprint = release("line", false);
        release("batch", true);
    }
    void TearDown() override {
        window.reset(); // its questions to the store end before the store goes
        session->set_station(nullptr);
    }

    // A 16F877A job of ten chips, a jump at 0.
    std::string release(const char* name, bool require_lot) {
        const ChipParams chip = session->database().load(3, "16F877A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell(Area::rom, 0, "2812");
        Job job;
        job.name = name;
        job.chip = "16F877A";
        job.image_hex = hex_image_text(chip, image);
        job.quantity = 10;
        job.require_lot = require_lot;
        const std::string print = job_fingerprint(job);
        store().release_job(name, print, job_file_text(job, true), "eng");
        return print;
    }
    RecordsStore& store() const { return *station->store(); }
    bool enabled(const char* name) const {
        if (QAction* a = action(name))
            return a->isEnabled();
        return widget(name)->isEnabled();
    }
    // The controls that are not usable, of `names`.
    std::vector<std::string> disabled(const std::vector<std::string>& names) const {
        std::vector<std::string> off;
        for (const std::string& name : names)
            if (!enabled(name.c_str()))
                off.push_back(name);
        return off;
    }
    // Leaves operator mode, typing `password` when it is asked for.
    void leave(const char* password) {
        with_modal_dialog([this] { click(kLeaveJobItem); },
                          [password](QDialog& dialog) {
                              dialog.findChild<QLineEdit*>("Edit1")->setText(password);
                              dialog.findChild<QPushButton*>("Button1")->click();
                          });
    }
    bool shows_done(const char* text) {
        return QTest::qWaitFor([&] { return label("lab_job_done")->text() == text; }, 5000);
    }

    testing::StoreEnv records;
    std::unique_ptr<Station> station = std::make_unique<Station>(records.open("bench-1"));
    std::string fingerprint;
};

const std::vector<std::string> kLocked{
    "N5",   "N6",        "Button1",        "SpeedButton1", "SpeedButton3",
    "N161", "ComboBox1", "ComboBox2",      "cmbbxcomnum",  "Button3",
    "N19",  "N21",       "CheckBox_erase", "n36",          "N_TYPE_320",
    "N30",  "N10",       "SpeedButton4",   kOpenJobItem};
const std::vector<std::string> kLive{"N9",         "Button9", "Button5", "SpeedButton6",
                                     "N_autoprog", "Button7", "Button8", "N_records",
                                     "N8",         "N24",     "N25",     kLeaveJobItem};

TEST_F(OperatorModeTest, AJobLeavesOnlyProductionLiveAndShowsItselfAndItsCount) {
    EXPECT_FALSE(enabled(kLeaveJobItem));
    window->start_job({"line", "Ann", ""});
    ASSERT_TRUE(session->job_locked.get()) << ::testing::PrintToString(desktop.messages);
    EXPECT_EQ(disabled(kLocked), kLocked);
    EXPECT_EQ(disabled(kLive), std::vector<std::string>{});
    const std::string print = fingerprint.substr(0, 8);
    EXPECT_THAT(label("lab_job_print")->text().toStdString(), ::testing::StartsWith(print));
    EXPECT_THAT(window->windowTitle().toStdString(), HasSubstr(print + "  no lot  operator Ann"));
    EXPECT_THAT(label("Label4")->text().toStdString(), HasSubstr("job line@1 " + print));
    EXPECT_TRUE(label("lab_job")->isVisibleTo(window.get()));
    EXPECT_FALSE(widget("Image1")->isVisibleTo(window.get()));
    EXPECT_TRUE(shows_done("0 of 10 done"));
    board.insert_chip(VirtualChip(session->chip()));
    click("Button9");
    loop.run_for(200);
    EXPECT_TRUE(shows_done("1 of 10 done")) << ::testing::PrintToString(desktop.messages);
    EXPECT_THAT(label("Label4")->text().toStdString(), HasSubstr("1 of 10 done"));
}

TEST_F(OperatorModeTest, TheLockCombinesWithTheCoresOwnStatesAndGivesThemBack) {
    window->start_job({"line", "Ann", ""});
    session->controls.Button3 = false; // as a chip without fuses would
    session->controls.SpeedButton4 = false;
    session->controls.SpeedButton4 = true; // back on while locked: still off
    session->flags.CheckBox_erase.enabled = false;
    EXPECT_FALSE(enabled("SpeedButton4"));
    EXPECT_FALSE(enabled("N10"));
    session->controls.N10 = false;
    click(kLeaveJobItem); // no password set: anyone may leave
    EXPECT_FALSE(session->job_locked.get());
    EXPECT_EQ(desktop.messages.back(), kNoEngineerPassword);
    EXPECT_EQ(disabled(kLocked),
              (std::vector<std::string>{"Button3", "N19", "CheckBox_erase", "N10"}));
}

TEST_F(OperatorModeTest, LeavingTakesTheEngineersPassword) {
    set_engineer_password(store(), "secret");
    window->start_job({"line", "Ann", "L-1"});
    ASSERT_TRUE(session->job_locked.get());
    leave("Secret");
    EXPECT_TRUE(session->job_locked.get());
    EXPECT_THAT(desktop.messages.back(), HasSubstr("That is not the engineer's password."));
    EXPECT_EQ(disabled(kLocked), kLocked);
    leave("secret");
    EXPECT_FALSE(session->job_locked.get());
    EXPECT_EQ(disabled(kLocked), std::vector<std::string>{});
    EXPECT_FALSE(label("lab_job")->isVisibleTo(window.get()));
    EXPECT_THAT(window->windowTitle().toStdString(), ::testing::Not(HasSubstr("operator Ann")));
}

TEST_F(OperatorModeTest, AStartJobThatCannotOpenSaysWhyOnceAndTheWindowStaysFree) {
    const std::pair<JobStart, const char*> cases[] = {
        {{"batch", "Ann", ""}, "The job batch needs a lot"},
        {{"nothing", "Ann", ""}, "There is no released job nothing"},
        {{"line@2", "Ann", ""}, "There is no released job line@2"},
        {{"line", "", ""}, "no operator is named"},
    };
    for (const auto& [start, why] : cases) {
        desktop.messages.clear();
        window->start_job(start);
        EXPECT_FALSE(session->job_locked.get()) << why;
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_THAT(desktop.messages[0], HasSubstr("The job " + start.job + " is not opened: "));
        EXPECT_THAT(desktop.messages[0], HasSubstr(why));
        EXPECT_THAT(desktop.messages[0], HasSubstr("normal mode"));
        EXPECT_EQ(disabled(kLocked), std::vector<std::string>{});
    }
    window->start_job({"batch", "Ann", "L-1"});
    EXPECT_TRUE(session->job_locked.get());
}

TEST_F(OperatorModeTest, OpenJobListsTheReleasedJobsAndOpensTheChosenOne) {
    const OpenedDialog opened = with_modal_dialog(
        [this] { click(kOpenJobItem); },
        [&](QDialog& d) {
            auto* list = d.findChild<QTreeWidget*>("JobList");
            ASSERT_TRUE(QTest::qWaitFor([list] { return list->topLevelItemCount() == 2; }, 5000));
            const QTreeWidgetItem* line = list->topLevelItem(1);
            EXPECT_EQ(line->text(0), "line@1");
            EXPECT_EQ(line->text(1).toStdString(), fingerprint.substr(0, 8));
            EXPECT_EQ(line->text(2), "16F877A");
            EXPECT_EQ(line->text(3), "0/10");
            list->setCurrentItem(list->topLevelItem(1));
            d.findChild<QPushButton*>("Button1")->click();
            EXPECT_THAT(desktop.messages.back(), HasSubstr("Give the operator's name"));
            EXPECT_TRUE(d.isVisible());
            d.findChild<QLineEdit*>("Edit1")->setText("Ann");
            d.findChild<QPushButton*>("Button1")->click();
            EXPECT_FALSE(d.isVisible());
        });
    EXPECT_EQ(opened.name, "job_form");
    EXPECT_TRUE(session->job_locked.get());
    EXPECT_EQ(session->job()->title(), "line@1");
    EXPECT_EQ(session->job()->operator_name, "Ann");
}

} // namespace
} // namespace zz::test
