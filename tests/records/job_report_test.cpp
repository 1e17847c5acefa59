// The end-of-job report: what it counts from a job's records, and its text, JSON and page.
#include "records/job_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace zz {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::int64_t kEight = 1'796'716'800'000; // 2026-12-08T08:00:00Z
constexpr std::int64_t kMinute = 60'000;

constexpr ChipResult P = ChipResult::passed;
constexpr ChipResult F = ChipResult::failed;
constexpr ChipResult A = ChipResult::abandoned;
constexpr ChipResult R = ChipResult::reserved;

// A chip of job "line", lot "L7", finished `minute` minutes after 08:00 UTC.
struct Chip {
    ChipResult result = P;
    std::string serial;
    int minute = 0;
    std::string message;
    std::string station = "bench-1";
    std::string port = "/dev/ttyUSB0";
    int offset_min = 0;
    std::string lot = "L7";
    std::string job = "line";
    std::int64_t revision = 1;
};

std::vector<ChipRecord> records_of(const std::vector<Chip>& chips) {
    std::vector<ChipRecord> out;
    for (const Chip& c : chips) {
        ChipRecord r;
        r.result = c.result;
        r.serial = c.serial;
        r.time_ms = kEight + c.minute * kMinute;
        r.utc_offset_min = c.offset_min;
        r.message = c.message;
        r.station = c.station;
        r.port = c.port;
        r.lot = c.lot;
        r.job = c.job;
        r.job_revision = c.revision;
        r.job_fingerprint = std::string(64, c.revision > 0 ? 'a' : 'f');
        out.push_back(r);
    }
    return out;
}

JobReport report_of(const std::vector<Chip>& chips, std::optional<std::string> lot = "L7",
                    std::optional<std::int64_t> quantity = 10) {
    return make_job_report(records_of(chips), "line", std::move(lot), quantity);
}

TEST(JobReport, CountsFinishedChipsOfTheJobAndLotOnly) {
    using Counts = std::array<std::int64_t, 4>; // passed, failed, abandoned, in progress
    struct Case {
        std::vector<Chip> chips;
        std::optional<std::string> lot;
        Counts counts;
        double yield;
    };
    const Case cases[] = {
        {{}, "L7", {0, 0, 0, 0}, 0.0},
        {{{P}, {P}, {P}, {F}, {A}}, "L7", {3, 2, 1, 0}, 0.6},          // abandoned fail too
        {{{P}, {R}, {R}}, "L7", {1, 0, 0, 2}, 1.0},                    // being programmed: not done
        {{{P}, {.job = "x"}, {.lot = "L8"}}, "L7", {1, 0, 0, 0}, 1.0}, // other jobs and lots
        {{{P}, {.lot = "L8"}, {.lot = ""}}, std::nullopt, {3, 0, 0, 0}, 1.0}, // any lot
        {{{P}, {.result = F, .lot = ""}}, "", {0, 1, 0, 0}, 0.0},             // chips without a lot
    };
    for (const Case& c : cases) {
        const JobReport r = report_of(c.chips, c.lot);
        const Counts counts = {r.counts.passed, r.counts.failed, r.counts.abandoned, r.in_progress};
        EXPECT_EQ(counts, c.counts) << &c - cases;
        EXPECT_DOUBLE_EQ(r.counts.yield(), c.yield) << &c - cases;
    }
}

TEST(JobReport, SerialNumbersFirstLastAndGaps) {
    using Strings = std::vector<std::string>;
    struct Case {
        std::vector<Chip> chips;
        Strings first_last;
        Strings gaps;
    };
    const Case cases[] = {
        {{{P}, {F}}, {"", ""}, {}},
        {{{P, "10"}, {F, "11"}, {P, "12"}, {A, "13"}, {R, "14"}}, {"10", "14"}, {"11", "13"}},
        {{{F, "10"}, {P, "10"}, {P, "11"}}, {"10", "11"}, {}},     // failed, then passed: no gap
        {{{F, "10"}, {F, "10"}, {P, "11"}}, {"10", "11"}, {"10"}}, // failed twice: one gap
        {{{F, "0A"}, {P, "0B"}, {F, "09"}}, {"0A", "09"}, {"09", "0A"}}, // gaps in number order
        {{{P}, {P, "07"}, {F}, {P, "09"}, {P}}, {"07", "09"}, {}},       // chips without a number
    };
    for (const Case& c : cases) {
        const JobReport r = report_of(c.chips);
        EXPECT_EQ(Strings({r.first_serial, r.last_serial}), c.first_last) << &c - cases;
        EXPECT_EQ(r.gaps, c.gaps) << &c - cases;
    }
}

TEST(JobReport, StationsBoardsFailuresAndVersions) {
    const std::string verify = "Verify failed at 0x0010";
    const JobReport r = report_of({
        {.station = "bench-2"},
        {.result = F, .message = verify, .station = "bench-2", .port = "/dev/ttyUSB1"},
        {.result = F, .message = "No chip in the socket"},
        {.result = F, .message = verify, .revision = 2},
        {.result = A, .revision = 0},
        {.revision = 2},
        {.result = R, .station = "bench-3", .revision = 2}, // no finished chip: no station
    });
    using Place = std::tuple<std::string, std::string, std::int64_t, std::int64_t, std::int64_t>;
    std::vector<Place> places;
    for (const StationCounts& s : r.stations)
        places.emplace_back(s.station, "", s.counts.passed, s.counts.failed, s.counts.abandoned);
    for (const BoardCounts& b : r.boards)
        places.emplace_back(b.station, b.port, b.counts.passed, b.counts.failed,
                            b.counts.abandoned);
    EXPECT_EQ(places, (std::vector<Place>{{"bench-1", "", 1, 3, 1},
                                          {"bench-2", "", 1, 1, 0},
                                          {"bench-1", "/dev/ttyUSB0", 1, 3, 1},
                                          {"bench-2", "/dev/ttyUSB0", 1, 0, 0},
                                          {"bench-2", "/dev/ttyUSB1", 0, 1, 0}}));
    // Most frequent first, ties by message.
    std::vector<std::pair<std::string, std::int64_t>> failures;
    for (const FailureCount& f : r.failures)
        failures.emplace_back(f.message, f.chips);
    EXPECT_EQ(failures, (decltype(failures){{verify, 2}, {"", 1}, {"No chip in the socket", 1}}));
    // By revision; chips being programmed count too.
    std::vector<std::tuple<std::int64_t, char, std::int64_t>> versions;
    for (const JobVersion& v : r.versions)
        versions.emplace_back(v.revision, v.fingerprint.at(0), v.chips);
    EXPECT_EQ(versions, (decltype(versions){{0, 'f', 1}, {1, 'a', 3}, {2, 'a', 3}}));
}

TEST(JobReport, EveryLocalHourFromTheFirstChipsToTheLastOnes) {
    using Hour = std::tuple<std::string, std::int64_t, std::int64_t>; // "12-08 08:00", P, F
    struct Case {
        std::vector<Chip> chips;
        std::vector<Hour> hours;
    };
    const Case cases[] = {
        {{}, {}},
        {{{.minute = 1}, {.result = F, .minute = 59}}, {{"12-08 08:00", 1, 1}}},
        {{{.minute = 5}, {.result = A, .minute = 130}}, // an empty hour between
         {{"12-08 08:00", 1, 0}, {"12-08 09:00", 0, 0}, {"12-08 10:00", 0, 1}}},
        {{{.offset_min = 60}, {.minute = 61, .offset_min = -90}}, // the station's own clock
         {{"12-08 07:00", 1, 0}, {"12-08 08:00", 0, 0}, {"12-08 09:00", 1, 0}}},
        {{{.minute = -481}, {.minute = -479}}, {{"12-07 23:00", 1, 0}, {"12-08 00:00", 1, 0}}},
        {{{P}, {.result = R, .minute = 200}}, {{"12-08 08:00", 1, 0}}}, // not finished: no hour
    };
    for (const Case& c : cases) {
        std::vector<Hour> hours;
        for (const HourCounts& h : report_of(c.chips).hours)
            hours.emplace_back(hour_text(h.local_ms).substr(5), h.passed, h.failed);
        EXPECT_EQ(hours, c.hours) << &c - cases;
    }
}

TEST(JobReport, TextHeadlineAndLines) {
    const std::vector<Chip> chips = {{P, "10"}, {P, "11"}, {F, "12"}, {P, "13"}, {R, "14"}};
    struct Case {
        std::optional<std::string> lot;
        std::optional<std::int64_t> quantity;
        std::string text;
    };
    const Case cases[] = {
        {"L7", 10, "Job line, lot L7: 3 of 10 chips passed, 1 failed, yield 75.0 %\n"},
        {"L7", 10, "\n1 chip being programmed now\n"},
        {"L7", 10, "\nSerial numbers 10..14, gaps: 12\n"},
        {std::nullopt, std::nullopt, "Job line: 3 chips passed, 1 failed, yield 75.0 %\n"},
        {"", 5,
         "Job line, no lot: 0 of 5 chips passed, 0 failed, yield 0.0 %\n"
         "No chips of this job on record\n"},
    };
    for (const Case& c : cases)
        EXPECT_THAT(job_report_text(report_of(chips, c.lot, c.quantity)), HasSubstr(c.text));
}

TEST(JobReport, JsonWithNullForWhatIsNotKnown) {
    const auto j = nlohmann::json::parse(
        job_report_json(report_of({{P, "10"}, {.result = F, .serial = "11", .minute = 70}})));
    EXPECT_EQ(j["quantity"], 10);
    EXPECT_EQ(j["failed"], 1);
    EXPECT_EQ(j["yield"], 0.5);
    EXPECT_EQ(j["serials"]["gaps"], nlohmann::json({"11"}));
    EXPECT_EQ(j["first"], "2026-12-08T08:00:00.000+00:00");
    EXPECT_EQ(j["hours"][1]["hour"], "2026-12-08 09:00");
    EXPECT_EQ(j["boards"][0]["port"], "/dev/ttyUSB0");
    const auto none =
        nlohmann::json::parse(job_report_json(report_of({}, std::nullopt, std::nullopt)));
    for (const char* key : {"lot", "quantity", "first", "last", "serials"})
        EXPECT_TRUE(none[key].is_null()) << key;
    // A message that is not UTF-8 still makes a JSON object.
    EXPECT_TRUE(nlohmann::json::accept(job_report_json(report_of({{F, "", 0, "\xff"}}))));
}

TEST(JobReport, PageIsSelfContainedWithTextFromRecordsEscaped) {
    const JobReport r = report_of({
        {.serial = "0010", .station = "a&b"},
        {.result = F, .serial = "0011", .minute = 65, .message = "<script>alert(1)</script>"},
        {.serial = "0012", .minute = 130},
    });
    const std::string page = job_report_html(r);
    EXPECT_THAT(page, HasSubstr("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_THAT(page, Not(HasSubstr("<script")));
    EXPECT_THAT(page, HasSubstr("<td>a&amp;b</td>"));
    EXPECT_THAT(page, HasSubstr("<svg"));
    EXPECT_THAT(page, HasSubstr("@media print"));
    for (const char* outside : {"http://", "https://", "<link", "src=", "@import", "url("})
        EXPECT_THAT(page, Not(HasSubstr(outside))) << outside;
    // One bar part per hour and result that has chips, and the legend's two.
    const std::string chart = job_report_chart_svg(r.hours);
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = chart.find(what); at != std::string::npos;
             at = chart.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("class=\"pass\""), 2u + 1u);
    EXPECT_EQ(count("class=\"fail\""), 1u + 1u);
    EXPECT_EQ(count("<title>"), 3u);
    // A lot's text in the title and headline is escaped too.
    EXPECT_THAT(job_report_html(report_of({}, "<b>")),
                HasSubstr("<title>Job line, lot &lt;b&gt;</title>"));
}

} // namespace
} // namespace zz
