// The keeper of a station's records store: a store that cannot be opened is tried again with a
// growing pause and said so, one that can be is attached to the station, and a person's "try now"
// does not wait out the pause.
#include "app/store_keeper.h"
#include "records/records_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

namespace zz {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// Waits in real time (the keeper has a thread of its own) until `done`; false after 20 s.
template <class F> bool eventually(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(StoreKeeper, AStoreThatComesLaterIsAttachedOnceItCanBeOpened) {
    testing::StoreEnv env;
    // A plain file where the database's folder belongs: nothing can be made there yet.
    const std::filesystem::path later = env.folder.path() / "later";
    std::ofstream(later) << "in the way";
    Station station(nullptr, "the records database is being opened");
    std::atomic<int> told{0};
    StoreKeeper keeper(station,
                       StationOptions{"sqlite:" + (later / "line.sqlite").string(), "bench-1",
                                      env.folder.path() / "spool.sqlite"},
                       [&told] { ++told; });
    ASSERT_TRUE(eventually([&] { return keeper.state() == StoreKeeper::State::away; }));
    EXPECT_THAT(keeper.text(), StartsWith("Records: "));
    EXPECT_THAT(keeper.text(), HasSubstr(", trying again in 1 s"));
    EXPECT_EQ(station.store(), nullptr);
    EXPECT_FALSE(station.why_no_store().empty());
    std::filesystem::remove(later);
    std::filesystem::create_directories(later);
    keeper.try_now();
    ASSERT_TRUE(eventually([&] { return keeper.state() == StoreKeeper::State::open; }));
    ASSERT_NE(station.store(), nullptr);
    EXPECT_EQ(keeper.text(), "Records: sqlite:" + (later / "line.sqlite").string());
    EXPECT_GE(told.load(), 2); // away, then open
}

TEST(StoreKeeper, ThePauseGrowsWhileTheStoreStaysAway) {
    testing::StoreEnv env;
    Station station;
    // Nothing listens on port 1 of this host: refused at once.
    StoreKeeper keeper(station, StationOptions{"postgresql://127.0.0.1:1/none", "bench-1", {}});
    ASSERT_TRUE(eventually([&] { return keeper.text().find("again in 2 s") != std::string::npos; }));
    EXPECT_EQ(keeper.state(), StoreKeeper::State::away);
    EXPECT_THAT(keeper.text(), ::testing::Not(HasSubstr("password")));
}

} // namespace
} // namespace zz
