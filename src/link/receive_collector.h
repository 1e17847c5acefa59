#pragma once

#include "link/port.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace zz {

// Joins what the device hands over into deliveries as the serial line pauses: a delivery is
// complete once no byte has come for the read interval, once it holds the most one delivery may
// carry, or once it completes the reply that is expected. A read interval of 0 delivers each read
// as it comes. Times are in ns on a monotonic clock; the caller reads the device and the clock, so
// this runs the same on any timeline.
class ReceiveCollector {
public:
    using Emit = std::function<void(std::vector<std::uint8_t>)>;

    ReceiveCollector(std::size_t max_delivery, Emit emit)
        : max_delivery_(max_delivery), emit_(std::move(emit)) {}

    // Bytes read at `now_ns`, with the read interval in force then.
    void add(std::span<const std::uint8_t> bytes, std::int64_t now_ns, std::int64_t interval_ns);
    // Completes the pending delivery when its interval has passed by `now_ns`.
    void expire(std::int64_t now_ns);
    // When the pending delivery completes unless more bytes come; nullopt when nothing is pending.
    std::optional<std::int64_t> deadline_ns() const;
    // Completes whatever is pending (the line is going away).
    void flush();
    // Bytes of the expected reply still to come once it has begun; 0 when none is expected, it
    // has not begun, or it turned out otherwise.
    std::size_t bytes_to_come() const {
        return expected_.bytes > 0 && seen_ > 0 ? expected_.bytes - seen_ : 0;
    }
    // The reply that the bytes added from now on are expected to make: the read that completes
    // it ends its delivery (with any bytes that came along in that read). Bytes held from before
    // are completed at once. A reply that turns out otherwise is no longer expected, and the
    // line's pause ends it.
    void expect(ExpectedReply reply);

private:
    void emit_full();
    // Whether `bytes` complete the expected reply.
    bool completes(std::span<const std::uint8_t> bytes);

    std::size_t max_delivery_;
    Emit emit_;
    std::vector<std::uint8_t> pending_;
    std::int64_t deadline_ns_ = 0;
    ExpectedReply expected_;
    std::size_t seen_ = 0; // bytes of the expected reply so far
};

} // namespace zz
