#include "link/receive_collector.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::int64_t kMs = 1'000'000;     // ns
constexpr std::int64_t kByteTime = 260'417; // ns: one byte at 38400 baud 8N1

class ReceiveCollectorTest : public ::testing::Test {
protected:
    // Feeds `count` bytes one per read, `spacing` ns apart from `start`; returns the last time.
    std::int64_t feed(int count, std::int64_t start, std::int64_t spacing,
                      std::int64_t interval = kMs) {
        std::int64_t t = start;
        for (int i = 0; i < count; ++i, t += spacing) {
            const std::uint8_t b = next_++;
            collector.add({&b, 1}, t, interval);
        }
        return t - spacing;
    }

    std::vector<Bytes> deliveries;
    ReceiveCollector collector{2048, [this](Bytes b) { deliveries.push_back(std::move(b)); }};
    std::uint8_t next_ = 0;
};

TEST_F(ReceiveCollectorTest, BytesOfOneReplyMakeOneDeliveryAPauseMakesTwo) {
    std::int64_t last = feed(10, 0, kByteTime);
    collector.expire(last + kMs - 1);
    EXPECT_TRUE(deliveries.empty()) << "the line has not paused for 1 ms yet";
    EXPECT_EQ(collector.deadline_ns(), last + kMs);
    collector.expire(last + kMs);
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].size(), 10u);

    last = feed(2, last + 3 * kMs, kByteTime); // a 3 ms pause, then two bytes
    collector.expire(last + kMs);
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[1], (Bytes{10, 11}));
    EXPECT_FALSE(collector.deadline_ns());
}

// A reader held up past the deadline finds the rest of the reply already there: it goes at once,
// with the bytes held, and not cut off from them.
TEST_F(ReceiveCollectorTest, AReaderThatWakesLateHandsOverAllItHasAtOnce) {
    feed(1, 0, 0);
    const std::uint8_t rest[] = {1, 2, 3, 4};
    collector.add(rest, 3 * kMs, kMs); // no expire() between the reads
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0, 1, 2, 3, 4}}));
    EXPECT_FALSE(collector.deadline_ns());
}

TEST_F(ReceiveCollectorTest, AFullDeliveryGoesAtOnceAndTheRestAtThePause) {
    const Bytes big(3000, 0x55);
    collector.add(big, 0, kMs);
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].size(), 2048u);
    collector.expire(kMs);
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[1].size(), 952u);
}

TEST_F(ReceiveCollectorTest, IntervalZeroDeliversEachReadAsItComes) {
    feed(3, 0, kByteTime / 10, 0);
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0}, {1}, {2}}));
    EXPECT_FALSE(collector.deadline_ns());
}

TEST_F(ReceiveCollectorTest, TheIntervalInForceAtTheLastByteDecides) {
    feed(1, 0, 0, 100 * kMs);
    feed(1, 50 * kMs, 0, 100 * kMs); // still within the long interval: joined
    feed(1, 51 * kMs, 0, 0);         // the interval set to 0: everything goes now
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0, 1, 2}}));
}

} // namespace
} // namespace zz
