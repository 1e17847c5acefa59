#include "link/receive_collector.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::int64_t kMs = 1'000'000;     // ns
constexpr std::int64_t kByteTime = 260'417; // ns: one byte at 38400 baud 8N1

class ReceiveCollectorTest : public ::testing::Test {
protected:
    void read(Bytes bytes, std::int64_t at, std::int64_t interval = kMs) {
        collector.add(bytes, at, interval);
    }

    std::vector<Bytes> deliveries;
    ReceiveCollector collector{2048, [this](Bytes b) { deliveries.push_back(std::move(b)); }};
};

TEST_F(ReceiveCollectorTest, BytesOfOneReplyMakeOneDeliveryAPauseMakesTwo) {
    for (std::uint8_t i = 0; i < 10; ++i)
        read({i}, i * kByteTime);
    const std::int64_t last = 9 * kByteTime;
    collector.expire(last + kMs - 1);
    EXPECT_TRUE(deliveries.empty()) << "the line has not been quiet for 1 ms yet";
    collector.expire(last + kMs);
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].size(), 10u);

    read({10}, last + 3 * kMs); // after a 3 ms pause
    read({11}, last + 3 * kMs + kByteTime);
    collector.expire(last + 5 * kMs);
    EXPECT_EQ(deliveries.back(), (Bytes{10, 11}));
    EXPECT_FALSE(collector.deadline_ns());
}

// A reader held up past the deadline cannot tell when the bytes it finds came: they go at once
// with those it held, not cut off from them.
TEST_F(ReceiveCollectorTest, ALateReaderHandsOverAllItHasAtOnceAndFullDeliveriesGoAtOnce) {
    read({1}, 0);
    read({2, 3}, 3 * kMs);
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{1, 2, 3}}));
    read(Bytes(3000, 0x55), 4 * kMs);
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[1].size(), 2048u);
    collector.expire(5 * kMs);
    EXPECT_EQ(deliveries.back().size(), 952u);
}

TEST_F(ReceiveCollectorTest, TheIntervalInForceDecidesAndZeroDeliversEachRead) {
    read({0}, 0, 100 * kMs);
    read({1}, 50 * kMs, 100 * kMs); // within the long interval: joined
    EXPECT_TRUE(deliveries.empty());
    read({2}, 51 * kMs, 0);
    read({3}, 51 * kMs + 1, 0);
    EXPECT_EQ(deliveries, (std::vector<Bytes>{{0, 1, 2}, {3}}));
}

} // namespace
} // namespace zz
