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

// A reply the wait knows ends its delivery as soon as it is complete; anything else waits for
// the line to pause, as before.
TEST_F(ReceiveCollectorTest, AnExpectedReplyIsDeliveredAsSoonAsItIsComplete) {
    struct Case {
        const char* name;
        ExpectedReply reply;
        std::vector<Bytes> reads; // one byte time apart
        std::vector<Bytes> at_once;
        std::vector<Bytes> after_pause;
        Bytes held = {}; // read before the reply is expected
    };
    const ExpectedReply ack = ExpectedReply::exactly({0x59}), block{3, {0x43}};
    const Case cases[] = {
        {"in one read", ack, {{0x59}}, {{0x59}}, {}},
        {"byte by byte", block, {{0x43}, {0x01}, {0x02}}, {{0x43, 0x01, 0x02}}, {}},
        {"with more in the same read", ack, {{0x59, 0x00}}, {{0x59, 0x00}}, {}},
        {"more in a later read", ack, {{0x59}, {0x00}}, {{0x59}}, {{0x00}}},
        {"another reply", ack, {{0x4E}, {0x01}}, {}, {{0x4E, 0x01}}},
        {"another first byte", block, {{0x42}, {0x01}, {0x02}}, {}, {{0x42, 0x01, 0x02}}},
        {"not yet complete", block, {{0x43}, {0x01}}, {}, {{0x43, 0x01}}},
        {"held bytes go first", ack, {{0x59}}, {{0x76}, {0x59}}, {}, {0x76}},
        {"nothing expected", {}, {{0x59}}, {}, {{0x59}}},
        {"over one delivery", {3000, {}}, {Bytes(3000, 7)}, {Bytes(2048, 7), Bytes(952, 7)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        deliveries.clear();
        std::int64_t at = 0;
        if (!c.held.empty())
            read(c.held, at);
        collector.expect(c.reply);
        for (const Bytes& bytes : c.reads)
            read(bytes, at += kByteTime);
        EXPECT_EQ(deliveries, c.at_once);
        collector.expire(at + kMs);
        std::vector<Bytes> all = c.at_once;
        all.insert(all.end(), c.after_pause.begin(), c.after_pause.end());
        EXPECT_EQ(deliveries, all);
    }
}

} // namespace
} // namespace zz
