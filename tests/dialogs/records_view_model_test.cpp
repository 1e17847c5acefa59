// The rules of the "Production Records" view: the last chips newest first, the serial-number
// filter, today's hours as bars, and what it says without a store.
#include "records/records_env.h"
#include "dialogs/records/records_view_model.h"

#include <gtest/gtest.h>

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
    RecordsViewModel view(store.get(), {}, [this] { return clock; });
    view.refresh();
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
    view.refresh();
    ASSERT_EQ(view.row_count(), 1);
    EXPECT_EQ(view.cell(0, 4), "00000006");
    view.set_filter("00-06"); // pasted: not a number, so no chip
    view.refresh();
    EXPECT_EQ(view.row_count(), 0);
}

// Bars scale to the busiest hour; one chip among many still shows.
TEST_F(RecordsViewTest, TodaysHoursAreBarsOfPassedAndFailedChips) {
    for (int n = 0; n < 40; ++n)
        add(10.5, "A" + std::to_string(n));
    add(11.5, "B1", ChipResult::failed);
    add(11.6, "B2");
    add(-1, "yesterday");
    RecordsViewModel view(store.get(), {}, [this] { return day + 12 * 3'600'000; });
    view.refresh();
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

TEST(RecordsView, WithoutAStoreItSaysWhy) {
    RecordsViewModel view(nullptr, "Cannot open the records database sqlite:/x: disk full");
    view.refresh();
    EXPECT_EQ(view.row_count(), 0);
    EXPECT_EQ(view.status(),
              "No records database: Cannot open the records database sqlite:/x: disk full");
    for (const auto& bar : view.bars(50))
        EXPECT_EQ(bar.passed + bar.failed, 0);
}

} // namespace
} // namespace zz
