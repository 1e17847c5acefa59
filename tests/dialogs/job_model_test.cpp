// Operator mode's rules without a window: the controls that stay live, what is shown of the job,
// the start-up job, "Open Job..." and the engineer's password.
#include "dialogs/job/engineer_gate.h"
#include "dialogs/job/job_model.h"
#include "dialogs/job/operator_mode.h"
#include "records/records_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

TEST(OperatorMode, OnlyTheProductionControlsStayLive) {
    for (const char* name :
         {"N9", "Button9", "Button5", "SpeedButton6", "N_autoprog", "Button10", "Button7",
          "Button8", "N_records", "N8", "N24", "N25", kLeaveJobItem, "N3"})
        EXPECT_TRUE(live_in_operator_mode(name)) << name;
    for (const char* name : {"N5",        "Button1",      "SpeedButton1",
                             "N6",        "SpeedButton3", "N161",
                             "ComboBox1", "ComboBox2",    "cmbbxcomnum",
                             "Button3",   "N19",          "Button4",
                             "N15",       "N21",          "CheckBox_erase",
                             "n36",       "N30",          "N_TYPE_330",
                             "N_ICSP",    "N23",          "N26",
                             "N10",       kOpenJobItem,   "",
                             "n9"})
        EXPECT_FALSE(live_in_operator_mode(name)) << name;
}

TEST(OperatorMode, TheJobOnTheNoticeLineCaptionAndPanel) {
    const JobShown job{"line@3", "a1b2c3d4", "0x1A2B", "16F877A", 10, "L-17", "Ann"};
    EXPECT_EQ(job_notice(job, 3), "Operator mode: job line@3 a1b2c3d4, job checksum 0x1A2B, "
                                  "16F877A, 3 of 10 done, lot L-17, operator Ann");
    EXPECT_EQ(job_caption("ZE-ZUZU V1  job line@3", job),
              "ZE-ZUZU V1  job line@3  a1b2c3d4  lot L-17  operator Ann");
    EXPECT_THAT(job_panel_lines(job, std::nullopt),
                ::testing::ElementsAre("Job line@3", "a1b2c3d4  0x1A2B", "16F877A", "? of 10 done",
                                       "Lot L-17", "Operator Ann"));
    const JobShown no_lot{"line@3", "a1b2c3d4", "0x1A2B", "16F877A", std::nullopt, "", "Ann"};
    EXPECT_THAT(job_notice(no_lot, 7), HasSubstr(", 7 done, no lot,"));
    EXPECT_EQ(job_panel_lines(no_lot, 7)[4], "No lot");
}

TEST(OperatorMode, TheCommandLineWinsOverTheSettingsFileKeyByKey) {
    const JobStart file{"line", "Ann", "L-1"};
    struct Case {
        JobStartOptions given;
        JobStart expected;
    };
    const Case cases[] = {
        {{}, {"line", "Ann", "L-1"}},
        {{std::nullopt, "Bob"}, {"line", "Bob", "L-1"}},
        {{std::nullopt, std::nullopt, "L-2"}, {"line", "Ann", "L-2"}},
        // Another job: the file's lot is not its lot.
        {{"other@2"}, {"other@2", "Ann", ""}},
        {{"other@2", std::nullopt, "L-9"}, {"other@2", "Ann", "L-9"}},
    };
    for (const Case& c : cases) {
        const JobStart start = start_job(c.given, file);
        EXPECT_EQ(start.job, c.expected.job);
        EXPECT_EQ(start.operator_name, c.expected.operator_name);
        EXPECT_EQ(start.lot, c.expected.lot);
    }
    EXPECT_THAT(start_job_missing({"line", " ", ""}), HasSubstr("no operator is named"));
    EXPECT_EQ(start_job_missing({"line", "Ann", ""}), "");
}

JobRow row(const char* name, std::int64_t revision, std::optional<std::int64_t> quantity,
           bool require_lot = false, const char* error = "") {
    return {name, revision, {"a1b2c3d4", "16F84A", quantity, require_lot}, 3, error};
}

class JobModelTest : public ::testing::Test {
protected:
    JobModelTest() {
        model.listed({row("line", 2, 10), row("batch", 1, std::nullopt, true),
                      row("old", 4, 5, false, "unknown key")});
    }
    JobModel model{true, "sqlite:/line.sqlite"};
};

TEST_F(JobModelTest, ListsEachJobWithItsRevisionChipAndDone) {
    EXPECT_EQ(model.status(), "3 released jobs in sqlite:/line.sqlite; done counts every lot.");
    const std::vector<std::string> line{model.cell(0, 0), model.cell(0, 1), model.cell(0, 2),
                                        model.cell(0, 3)};
    EXPECT_THAT(line, ::testing::ElementsAre("line@2", "a1b2c3d4", "16F84A", "3/10"));
    EXPECT_EQ(model.cell(1, 3), "3");
    EXPECT_EQ(model.cell(2, 2), "cannot be read");
    model.listed({});
    EXPECT_THAT(model.status(), HasSubstr("No job is released in sqlite:/line.sqlite"));
    model.list_failed("server gone");
    EXPECT_EQ(model.status(), "The released jobs cannot be read: server gone");
    EXPECT_THAT(JobModel(false, "no database").status(),
                HasSubstr("No released job can be listed: no database"));
}

TEST_F(JobModelTest, OkNeedsAJobAnOperatorAndTheLotTheJobAsksFor) {
    struct Case {
        int row;
        const char* file;
        const char* operator_name;
        const char* lot;
        const char* reference; // nullptr: refused
        const char* message = "";
    };
    const Case cases[] = {
        {-1, "", "Ann", "", nullptr, "Choose a released job"},
        {0, "", " ", "", nullptr, "Give the operator's name"},
        {0, "", " Ann ", "", "line@2"},
        {1, "", "Ann", "", nullptr, "The job batch@1 needs a lot"},
        {1, "", "Ann", " L-7 ", "batch@1"},
        {2, "", "Ann", "", nullptr, "The job old@4 cannot be read: unknown key"},
        {-1, "/jobs/line.zzjob", "Ann", "", "/jobs/line.zzjob"},
    };
    for (const Case& c : cases) {
        JobModel m{true, "db"};
        m.listed({row("line", 2, 10), row("batch", 1, std::nullopt, true),
                  row("old", 4, 5, false, "unknown key")});
        m.choose_row(c.row);
        if (*c.file)
            m.choose_file(c.file);
        m.operator_name = c.operator_name;
        m.lot = c.lot;
        const std::optional<JobRequest> request = m.accept();
        ASSERT_EQ(request.has_value(), c.reference != nullptr) << c.row << " " << m.message();
        if (!request) {
            EXPECT_THAT(m.message(), HasSubstr(c.message));
            continue;
        }
        EXPECT_EQ(request->reference, c.reference);
        EXPECT_EQ(request->operator_name, "Ann");
        EXPECT_EQ(request->lot, c.row == 1 ? "L-7" : "");
        EXPECT_EQ(request->engineer, *c.file != '\0');
    }
}

TEST_F(JobModelTest, AFileAndARowExcludeEachOther) {
    model.choose_row(0);
    EXPECT_FALSE(model.choose_file("/jobs/line.hex"));
    EXPECT_THAT(model.message(), HasSubstr("ends in .zzjob"));
    EXPECT_EQ(model.chosen_row(), 0);
    ASSERT_TRUE(model.choose_file("/jobs/line.zzjob"));
    EXPECT_EQ(model.chosen_row(), -1);
    model.choose_row(1);
    EXPECT_EQ(model.job_file(), "");
    model.listed({}); // read again: nothing is chosen from the old list
    EXPECT_EQ(model.chosen_row(), -1);
}

TEST(JobList, TheLatestRevisionsWithTheirPassedChipsInEveryLot) {
    testing::StoreEnv env;
    auto store = env.open();
    store->release_job("line", "f1", "chip=16F84A", "eng");
    store->release_job("line", "f2", "chip=16F628A", "eng");
    store->release_job("old", "f3", "broken", "eng");
    for (const auto& [lot, result] : {std::pair{"L-1", ChipResult::passed},
                                      {"L-2", ChipResult::passed},
                                      {"L-2", ChipResult::failed}}) {
        ChipRecord chip;
        chip.job = "line";
        chip.job_revision = 2;
        chip.lot = lot;
        chip.result = result;
        store->add(chip);
    }
    const auto read = [](const ReleasedJob& r) {
        if (r.content == "broken")
            throw std::runtime_error("not a job");
        return JobFacts{r.fingerprint, r.content.substr(5), 10, false};
    };
    const std::vector<JobRow> rows = list_released_jobs(*store, read);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].reference(), "line@2");
    EXPECT_EQ(rows[0].facts.chip, "16F628A");
    EXPECT_EQ(rows[0].done, 2);
    EXPECT_EQ(rows[1].reference(), "old@1");
    EXPECT_EQ(rows[1].error, "not a job");
}

// The database's answers and the person's, and what the gate then says.
struct GateCase {
    EngineerTask task;
    bool store_open;
    bool set;
    std::optional<std::string> typed; // nullopt: cancelled
    bool store_lost = false;
    bool passes = false;
    const char* said = ""; // the start of the one message; "": none
};

TEST(EngineerGate, ThePasswordLeavesAndOpensJobFilesOnlyWhenItCanBeChecked) {
    using enum EngineerTask;
    const GateCase cases[] = {
        {leave_operator_mode, false, true, "secret", false, false,
         "The engineer's password cannot be checked: db gone\nThe window stays"},
        {open_job_file, false, false, "secret", false, false,
         "The engineer's password cannot be checked: db gone\nThe job file is not opened."},
        {leave_operator_mode, true, false, std::nullopt, false, true, kNoEngineerPassword},
        {open_job_file, true, false, std::nullopt, false, true},
        {leave_operator_mode, true, true, "secret", false, true},
        {leave_operator_mode, true, true, "Secret", false, false,
         "That is not the engineer's password.\nThe window stays in operator mode."},
        {open_job_file, true, true, "", false, false, "That is not the engineer's password."},
        {leave_operator_mode, true, true, std::nullopt, false, false},
        {leave_operator_mode, true, true, "secret", true, false,
         "The engineer's password cannot be checked: server gone"},
    };
    for (const GateCase& c : cases) {
        SCOPED_TRACE(c.typed.value_or("(cancelled)"));
        QuietOperator op;
        int asked = 0;
        const PasswordChecks checks{[&] { return c.set; },
                                    [&](const std::string& password) {
                                        if (c.store_lost)
                                            throw StoreError("server gone", true);
                                        return password == "secret";
                                    },
                                    [&] {
                                        ++asked;
                                        return c.typed;
                                    }};
        EXPECT_EQ(engineer_passes(c.task, c.store_open, "db gone", checks, op), c.passes);
        if (*c.said)
            EXPECT_THAT(op.last_message, ::testing::StartsWith(c.said));
        else
            EXPECT_EQ(op.last_message, "");
        EXPECT_EQ(asked, c.store_open && c.set ? 1 : 0);
    }
}

} // namespace
} // namespace zz::test
