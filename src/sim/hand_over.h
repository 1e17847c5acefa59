#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// How the receiving end of the line hands the application what has crossed it: like a UART's
// FIFO (a block once `fifo_trigger` bytes wait, or 4 character times after the last byte; Linux
// drives a 16550A at 8, and its sysfs rx_trig_bytes takes 1, 4, 8 or 14), each byte as its stop
// bit ends (a UART at low latency), or everything once per USB frame of `frame_ms` (a USB bridge
// polled by its host or flushed by its latency timer).
struct HandOver {
    enum class Kind { Fifo, Byte, Frame };
    Kind kind = Kind::Fifo;
    int frame_ms = 1;
    std::size_t fifo_trigger = kFifoTrigger; // bytes

    static constexpr std::size_t kFifoTrigger = 8; // bytes
    static constexpr int kFifoTimeoutChars = 4;

    // "fifo" (trigger 8), "fifo:N" (N 1, 4, 8 or 14), "byte" or "frame:MS" (MS 1..1000); nullopt
    // for anything else.
    static std::optional<HandOver> parse(std::string_view text);
    std::string text() const;
};

// The bytes the board has sent, each timed by the end of its stop bit on the line, waiting to be
// handed over.
class HandOverQueue {
public:
    explicit HandOverQueue(HandOver mode) : mode_(mode) {}

    // Bytes that begin to cross the line at `start_us`, one after another at 38400 baud.
    void push(std::span<const std::uint8_t> bytes, std::int64_t start_us);
    // Takes the bytes due by `now_us`, in order.
    std::vector<std::uint8_t> take_due(std::int64_t now_us);
    // When the next bytes fall due; nullopt when none wait.
    std::optional<std::int64_t> next_due_us() const;
    void clear() { groups_.clear(); }

    // Each group's wait from the end of its last byte to its hand-over, which the line itself
    // does not already account for: (from, to) in us, for the caller to count.
    using Waited = std::pair<std::int64_t, std::int64_t>;
    std::vector<Waited> take_waits();

private:
    // Bytes handed over together.
    struct Group {
        std::vector<std::uint8_t> bytes;
        std::int64_t last_end_us;
        std::int64_t due_us;
        bool closed; // takes no more bytes
    };

    void push_byte(std::uint8_t byte, std::int64_t end_us);
    void close_at_trigger(Group& g) const;
    std::int64_t due_alone(std::int64_t end_us) const;

    HandOver mode_;
    std::deque<Group> groups_;
    std::vector<Waited> waits_;
};

} // namespace zz
