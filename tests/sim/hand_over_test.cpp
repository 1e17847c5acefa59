#include "board_fixture.h"
#include "sim/hand_over.h"
#include "sim/wire_time.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What the application is handed, and when: (us, bytes) per hand-over, polling every 10 us.
std::vector<std::pair<std::int64_t, Bytes>> hand_overs(HandOverQueue& q, std::int64_t until_us) {
    std::vector<std::pair<std::int64_t, Bytes>> out;
    for (std::int64_t t = 0; t <= until_us; t += 10) {
        Bytes due = q.take_due(t);
        if (!due.empty())
            out.emplace_back(t, std::move(due));
    }
    return out;
}

Bytes count(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i);
    return b;
}

TEST(HandOverTest, FifoHandsOverEightAtATimeAndTheRestAfterFourCharacterTimes) {
    HandOverQueue q(*HandOver::parse("fifo"));
    const Bytes sent = count(20);
    q.push(sent, 0);
    const auto got = hand_overs(q, 20'000);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].second, Bytes(sent.begin(), sent.begin() + 8));
    EXPECT_LE(got[0].first - wire_us(8), 10);
    EXPECT_EQ(got[1].second.size(), 8u);
    EXPECT_EQ(got[2].second.size(), 4u);
    EXPECT_GE(got[2].first, wire_us(20) + wire_us(4));
    // A byte that comes within the time-out joins; one after it starts anew.
    q.push(Bytes{1}, 100'000);
    q.push(Bytes{2}, 100'000 + wire_us(3));
    q.push(Bytes{3}, 100'000 + wire_us(10));
    const auto later = hand_overs(q, 120'000);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_EQ(later[0].second, (Bytes{1, 2}));
    const auto waits = q.take_waits();
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.back().second - waits.back().first, wire_us(4));
}

// A FIFO with its trigger at one byte hands each byte over as its stop bit ends.
TEST(HandOverTest, FifoTriggeredByEachByteWaitsForNoTimeOut) {
    HandOverQueue q(*HandOver::parse("fifo:1"));
    q.push(Bytes{7, 8}, 0);
    const auto got = hand_overs(q, 5'000);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_LE(got[0].first - wire_us(1), 10);
    EXPECT_LE(got[1].first - wire_us(2), 10);
    EXPECT_TRUE(q.take_waits().empty());
}

TEST(HandOverTest, ModesReadBackAsTheyAreWrittenAndOthersAreRefused) {
    for (const char* text : {"fifo", "fifo:1", "fifo:14", "byte", "frame:1", "frame:1000"})
        EXPECT_EQ(HandOver::parse(text)->text(), text);
    EXPECT_EQ(HandOver::parse("fifo:8")->text(), "fifo");
    for (const char* text : {"fifo:2", "fifo:", "fifo:1x", "frame:0", "frame:1001", "bytes", ""})
        EXPECT_FALSE(HandOver::parse(text)) << text;
}

TEST(HandOverTest, FramesHandOverWhatEndedInThemAtTheirEnd) {
    HandOverQueue q(*HandOver::parse("frame:16"));
    q.push(Bytes{0x42, 0x04}, 15'600); // the identity straddles the frame boundary at 16 ms
    const auto got = hand_overs(q, 40'000);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (std::pair<std::int64_t, Bytes>{16'000, {0x42}}));
    EXPECT_EQ(got[1], (std::pair<std::int64_t, Bytes>{32'000, {0x04}}));
    EXPECT_FALSE(q.next_due_us());
}

} // namespace
} // namespace zz

namespace zz::test {
namespace {

// The board's count of its busy time: boot, each byte on the line, each answer's work, and a
// stream's pauses; the waits of the host between exchanges are not in it.
TEST_F(BoardTest, BusyTimeCountsTheBoardAndTheLineButNotTheHost) {
    board.set_wire_timing(true);
    power_up(); // 20 ms boot, the identity
    EXPECT_EQ(board.busy_time().total_us(), 20'000 + wire_us(2));
    loop.run_for(100); // the host thinks
    board.clear_busy_time();
    exchange("50");
    EXPECT_EQ(board.busy_time().total_us(), wire_us(1) + 1000 + wire_us(1));
    board.clear_busy_time();
    board.set_paced_output(true); // the same count when a port paces the bytes itself
    exchange("0B", 5000);
    const std::int64_t stream_us = wire_us(1) + 1000 + wire_us(2 * 8192);
    EXPECT_NEAR(static_cast<double>(board.busy_time().total_us()), static_cast<double>(stream_us),
                256.0); // rounding per delivery of 64 bytes
}

} // namespace
} // namespace zz::test
