// The end-of-job report from the command line: a job released with its quantity, chips
// programmed on the virtual board and put under the job in the SQLite file (with sqlite3, as a
// station running the job would have recorded them), and `records` with --job and --lot.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

class CliReportTest : public CliTest {
protected:
    // Job "line" released for 10 chips; chips 00000005 to 00000007 of lot L7, the second failed
    // with a message that is markup. False without sqlite3.
    bool make_job() {
        if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0)
            return false;
        const std::string image = " --image image.hex --chip 16F877A --quantity 10";
        EXPECT_EQ(run_cli_in(dir, "job create line.zzjob" + image).status, 0);
        EXPECT_EQ(run_cli_in(dir, "job release line.zzjob").status, 0);
        EXPECT_EQ(run_cli_in(dir, "--virtual-board --chip 16F877A --serial rom --serial-start 10 "
                                  "--serial-end 11 --sequence LINE --count 3 program image.hex")
                      .status,
                  0);
        const std::string sql = "UPDATE records SET job = 'line', job_revision = 1, lot = 'L7'; "
                                "UPDATE records SET result = 'failed', message = "
                                "'<script>x</script>' WHERE serial = '00000006'";
        const RunResult r = run_shell(dir, "sqlite3 '" + (dir / "data/ze-zuzu/production.sqlite") +
                                               "' \"" + sql + "\"");
        EXPECT_EQ(r.status, 0) << r.err;
        return true;
    }
};

TEST_F(CliReportTest, ReportAsTextJsonAndPageAndTheJobFilter) {
    if (!make_job())
        GTEST_SKIP() << "sqlite3 is not installed";
    const RunResult text = run_cli(dir, "records --report --job line --lot L7");
    ASSERT_EQ(text.status, 0) << text.err;
    const Strings lines = lines_of(text.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Job line, lot L7: 2 of 10 chips passed, 1 failed, yield 66.7 %");
    EXPECT_THAT(text.out, HasSubstr("Serial numbers 00000005..00000007, gaps: 00000006\n"));
    EXPECT_THAT(text.out, HasSubstr("<script>x</script>")); // a terminal shows it as it is

    const RunResult json = run_cli(dir, "records --report --job line --json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("{\"job\":\"line\",\"lot\":null,\"quantity\":10,"
                                    "\"passed\":2,\"failed\":1,"));

    const std::string page = dir / "report.html";
    const RunResult html = run_cli(dir, "records --report --job line --html '" + page + "'");
    ASSERT_EQ(html.status, 0) << html.err;
    EXPECT_EQ(html.out, "Report written to " + page + "\n");
    EXPECT_THAT(read_text(page), HasSubstr("&lt;script&gt;x&lt;/script&gt;"));
    EXPECT_THAT(read_text(page), HasSubstr("<svg"));

    // The listing: the job after each record; another lot or job has none.
    const Strings listed = lines_of(run_cli(dir, "records --job line --lot L7").out);
    ASSERT_EQ(listed.size(), 3u);
    for (const std::string& line : listed)
        EXPECT_THAT(line, EndsWith("\tjob line@1"));
    EXPECT_EQ(run_cli(dir, "records --job line --lot L8").out, "");
    EXPECT_EQ(run_cli(dir, "records --job other").out, "");
    EXPECT_THAT(run_cli(dir, "records --json --job line").out,
                HasSubstr(",\"job\":\"line\",\"job_revision\":1,\"job_fingerprint\":\"\","
                          "\"job_checksum\":\"\",\"lot\":\"L7\",\"operator\":\"\","
                          "\"preserved\":\"\"}\n"));
}

TEST_F(CliReportTest, OptionsThatDoNotGoTogetherExitTwoAndAJobWithoutChips) {
    struct Case {
        const char* arguments;
        const char* message;
    };
    const Case cases[] = {
        {"records --report", "--report tells how a job went: it needs --job NAME"},
        {"records --html x.html --job line", "--html writes the report: it needs --report"},
        {"records --report --job line --csv", "--report excludes --csv and --summary"},
        {"records --report --job line --summary", "--report excludes --csv and --summary"},
        {"sequence A --report", "--report belongs to the records command"},
        {"records --job line@2", "records --job takes a job's NAME"},
        {"records --lot L7", "records --lot chooses chips of a job: it needs --job NAME"},
    };
    for (const Case& c : cases) {
        const RunResult r = run_cli(dir, c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments;
        EXPECT_THAT(r.err, HasSubstr(c.message)) << c.arguments;
        EXPECT_EQ(r.out, "") << c.arguments;
    }
    // A job never released has no quantity.
    EXPECT_EQ(run_cli(dir, "records --report --job never").out,
              "Job never: 0 chips passed, 0 failed, yield 0.0 %\nNo chips of this job on record\n");
}

} // namespace
} // namespace zz::test
