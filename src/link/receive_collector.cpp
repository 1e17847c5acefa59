#include "link/receive_collector.h"

#include <algorithm>
#include <utility>

namespace zz {

void ReceiveCollector::add(std::span<const std::uint8_t> bytes, std::int64_t now_ns,
                           std::int64_t interval_ns) {
    // A reader that wakes after the deadline cannot tell when these bytes came: they may be the
    // rest of the same reply. They go at once with what was held, which waited long enough.
    const bool late = !pending_.empty() && now_ns >= deadline_ns_;
    const bool complete = completes(bytes);
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    emit_full();
    deadline_ns_ = now_ns + std::max<std::int64_t>(interval_ns, 0);
    if (late || interval_ns <= 0 || complete)
        flush();
}

void ReceiveCollector::expect(ExpectedReply reply) {
    flush();
    expected_ = std::move(reply);
    seen_ = 0;
}

bool ReceiveCollector::completes(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        if (expected_.bytes == 0)
            return false;
        if (seen_ < expected_.starts.size() && byte != expected_.starts[seen_]) {
            expected_ = {};
            return false;
        }
        if (++seen_ >= expected_.bytes) {
            expected_ = {};
            return true;
        }
    }
    return false;
}

void ReceiveCollector::expire(std::int64_t now_ns) {
    if (!pending_.empty() && now_ns >= deadline_ns_)
        flush();
}

std::optional<std::int64_t> ReceiveCollector::deadline_ns() const {
    if (pending_.empty())
        return std::nullopt;
    return deadline_ns_;
}

void ReceiveCollector::flush() {
    emit_full();
    if (!pending_.empty())
        emit_(std::exchange(pending_, {}));
}

void ReceiveCollector::emit_full() {
    while (pending_.size() >= max_delivery_) {
        const auto cut = pending_.begin() + static_cast<std::ptrdiff_t>(max_delivery_);
        std::vector<std::uint8_t> full(pending_.begin(), cut);
        pending_.erase(pending_.begin(), cut);
        emit_(std::move(full));
    }
}

} // namespace zz
