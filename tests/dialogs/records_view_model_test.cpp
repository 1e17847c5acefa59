// The rules of the "Production Records" view: the last chips newest first, the serial-number
// filter, today's hours as bars, and what it says without a store.
#include "records/records_env.h"
#include "dialogs/records/records_view_model.h"

#include <gtest/gtest.h>

#include <optional>

namespace zz {
namespace {

ChipRecord chip(std::string serial, ChipResult result) {
    ChipRecord r;
    r.port = "/dev/ttyUSB0";
    r.chip = "16F877A";
    r.serial = std::move(serial);
    r.result = result;
    r.message = result == ChipResult::failed ? "Verify failed" : "";
    r.elapsed_ms = 4657;
    return r;
}

// One read, as the view runs it: asked for, run (here on the test's thread), and applied.
void read(RecordsViewModel& view) {
    const std::optional<RecordsQuery> query = view.request();
    ASSERT_TRUE(query);
    EXPECT_FALSE(view.apply(read_records(*query)));
}

class RecordsViewTest : public ::testing::Test {
protected:
    // A chip recorded `hours` after local midnight of the test's day.
    void add(double hours, std::string serial, ChipResult result = ChipResult::passed) {
        clock = day + static_cast<std::int64_t>(hours * 3'600'000);
        store->add(chip(std::move(serial), result));
    }

    const std::int64_t day = local_day_start_ms(1'796'000'000'000); // a day in 2026
    std::int64_t clock = day;
    testing::StoreEnv env;
    std::unique_ptr<RecordsStore> store = env.open("bench-1", [this] { return clock; });
};

TEST_F(RecordsViewTest, LastChipsNewestFirstNarrowedToOneSerialNumber) {
    add(8.1, "00000005");
    add(8.2, "00000006", ChipResult::failed);
    add(9.5, "00000007");
    RecordsViewModel view([this] { return clock; });
    view.set_store(store.get());
    EXPECT_EQ(view.status(), "Reading the records database...");
    read(view);
    ASSERT_EQ(view.row_count(), 3);
    EXPECT_EQ(view.cell(0, 4), "00000007");
    const std::string row[] = {"bench-1", "/dev/ttyUSB0", "16F877A",      "00000006",
                               "failed",  "4657",         "Verify failed"};
    for (int c = 1; c < RecordsViewModel::kColumnCount; ++c)
        EXPECT_EQ(view.cell(1, c), row[c - 1]);
    EXPECT_EQ(view.cell(1, 0).size(), 19u); // "2026-12-08 14:03:07"
    EXPECT_EQ(std::vector<bool>({view.failed(0), view.failed(1), view.failed(2)}),
              std::vector<bool>({false, true, false}));
    EXPECT_EQ(view.status(), "3 chips shown; today 2 passed, 1 failed, yield 66.7 %");
    // Typed as the filter field takes keys: in upper case, hex only.
    std::string typed;
    for (char key : std::string("0000x0006"))
        if (const char taken = RecordsViewModel::filter_key(key))
            typed += taken;
    view.set_filter(typed);
    read(view);
    ASSERT_EQ(view.row_count(), 1);
    EXPECT_EQ(view.cell(0, 4), "00000006");
    view.set_filter("00-06"); // pasted: not a number, so no chip
    read(view);
    EXPECT_EQ(view.row_count(), 0);
}

// Bars scale to the busiest hour; one chip among many still shows.
TEST_F(RecordsViewTest, TodaysHoursAreBarsOfPassedAndFailedChips) {
    for (int n = 0; n < 40; ++n)
        add(10.5, "A" + std::to_string(n));
    add(11.5, "B1", ChipResult::failed);
    add(11.6, "B2");
    add(-1, "yesterday");
    RecordsViewModel view([this] { return day + 12 * 3'600'000; });
    view.set_store(store.get());
    read(view);
    const auto bars = view.bars(100);
    struct Expected {
        std::size_t hour;
        int passed, failed;
    };
    for (const Expected& e :
         {Expected{10, 100, 0}, Expected{11, 3, 3}, Expected{9, 0, 0}, Expected{23, 0, 0}}) {
        SCOPED_TRACE(e.hour);
        EXPECT_EQ(bars[e.hour].passed, e.passed);
        EXPECT_EQ(bars[e.hour].failed, e.failed);
    }
    EXPECT_EQ(view.hours()[11].failed, 1);
}

// One read runs at a time; what is asked for meanwhile is read once it is in, and an answer for
// a filter that has changed since is not shown.
TEST_F(RecordsViewTest, OneReadAtATimeAndNoAnswerForAnEarlierFilter) {
    add(8.1, "00000005");
    add(8.2, "00000006");
    RecordsViewModel view([this] { return clock; });
    view.set_store(store.get());
    const std::optional<RecordsQuery> first = view.request();
    ASSERT_TRUE(first);
    EXPECT_FALSE(view.request()); // a chip finished while the first read runs
    EXPECT_TRUE(view.reading());
    const std::optional<RecordsQuery> second = view.apply(read_records(*first));
    ASSERT_TRUE(second); // the one asked for meanwhile
    EXPECT_EQ(view.row_count(), 2);
    view.set_filter("00000005");
    EXPECT_FALSE(view.request());
    const std::optional<RecordsQuery> third = view.apply(read_records(*second));
    EXPECT_EQ(view.row_count(), 2) << "an answer for every chip, the filter is 00000005 now";
    ASSERT_TRUE(third);
    EXPECT_EQ(third->filter, "00000005");
    EXPECT_FALSE(view.apply(read_records(*third)));
    EXPECT_EQ(view.row_count(), 1);
    EXPECT_FALSE(view.reading());
}

// A store that cannot be read keeps the rows shown and says why; the next good read clears it.
TEST_F(RecordsViewTest, AnUnreadableStoreKeepsWhatWasShown) {
    add(8.1, "00000005");
    RecordsViewModel view([this] { return clock; });
    view.set_store(store.get());
    read(view);
    RecordsSnapshot failed;
    failed.error = "server gone";
    ASSERT_TRUE(view.request());
    EXPECT_FALSE(view.apply(failed));
    EXPECT_EQ(view.row_count(), 1);
    EXPECT_EQ(view.status(), "The records database cannot be read: server gone");
    read(view);
    EXPECT_EQ(view.status(), "1 chips shown; today 1 passed, 0 failed, yield 100.0 %");
}

TEST(RecordsView, WithoutAStoreItSaysWhy) {
    RecordsViewModel view;
    view.set_store(nullptr, "Cannot open the records database sqlite:/x: disk full");
    EXPECT_FALSE(view.request());
    EXPECT_EQ(view.row_count(), 0);
    EXPECT_EQ(view.status(),
              "No records database: Cannot open the records database sqlite:/x: disk full");
    for (const auto& bar : view.bars(50))
        EXPECT_EQ(bar.passed + bar.failed, 0);
}

} // namespace
} // namespace zz
