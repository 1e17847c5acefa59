#include "sim/hand_over.h"

#include "sim/wire_time.h"

#include <charconv>
#include <utility>

namespace zz {

namespace {

// The number after `prefix`, or nullopt when `text` is not the prefix and a number alone.
std::optional<int> number_after(std::string_view text, std::string_view prefix) {
    if (!text.starts_with(prefix))
        return std::nullopt;
    const std::string_view digits = text.substr(prefix.size());
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    return n;
}

} // namespace

std::optional<HandOver> HandOver::parse(std::string_view text) {
    if (text == "fifo")
        return HandOver{Kind::Fifo};
    if (text == "byte")
        return HandOver{Kind::Byte};
    if (const std::optional<int> n = number_after(text, "fifo:"))
        if (*n == 1 || *n == 4 || *n == 8 || *n == 14)
            return HandOver{Kind::Fifo, 1, static_cast<std::size_t>(*n)};
    if (const std::optional<int> ms = number_after(text, "frame:"))
        if (*ms >= 1 && *ms <= 1000)
            return HandOver{Kind::Frame, *ms};
    return std::nullopt;
}

std::string HandOver::text() const {
    switch (kind) {
    case Kind::Fifo:
        return fifo_trigger == kFifoTrigger ? "fifo" : "fifo:" + std::to_string(fifo_trigger);
    case Kind::Byte:
        return "byte";
    case Kind::Frame:
        break;
    }
    return "frame:" + std::to_string(frame_ms);
}

void HandOverQueue::push(std::span<const std::uint8_t> bytes, std::int64_t start_us) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        push_byte(bytes[i], start_us + wire_us(static_cast<std::int64_t>(i) + 1));
}

// When a byte that starts a group of its own is handed over.
std::int64_t HandOverQueue::due_alone(std::int64_t end_us) const {
    switch (mode_.kind) {
    case HandOver::Kind::Byte:
        return end_us;
    case HandOver::Kind::Fifo:
        return end_us + wire_us(HandOver::kFifoTimeoutChars);
    case HandOver::Kind::Frame:
        break;
    }
    const std::int64_t frame_us = std::int64_t{mode_.frame_ms} * 1000;
    return (end_us + frame_us - 1) / frame_us * frame_us;
}

void HandOverQueue::push_byte(std::uint8_t byte, std::int64_t end_us) {
    const std::int64_t due = due_alone(end_us);
    if (!groups_.empty()) {
        Group& g = groups_.back();
        // A FIFO takes the byte while its time-out has not run out; a frame takes what ends in it.
        const bool joins = mode_.kind == HandOver::Kind::Fifo    ? !g.closed && end_us < g.due_us
                           : mode_.kind == HandOver::Kind::Frame ? g.due_us == due
                                                                 : false;
        if (joins) {
            g.bytes.push_back(byte);
            g.last_end_us = end_us;
            g.due_us = due;
            close_at_trigger(g);
            return;
        }
    }
    close_at_trigger(groups_.emplace_back(Group{{byte}, end_us, due, false}));
}

// A FIFO filled to its trigger level is handed over as its last byte ends.
void HandOverQueue::close_at_trigger(Group& g) const {
    if (mode_.kind == HandOver::Kind::Fifo && g.bytes.size() >= mode_.fifo_trigger) {
        g.due_us = g.last_end_us;
        g.closed = true;
    }
}

std::vector<std::uint8_t> HandOverQueue::take_due(std::int64_t now_us) {
    std::vector<std::uint8_t> due;
    while (!groups_.empty() && groups_.front().due_us <= now_us) {
        Group& g = groups_.front();
        due.insert(due.end(), g.bytes.begin(), g.bytes.end());
        if (g.due_us > g.last_end_us)
            waits_.emplace_back(g.last_end_us, g.due_us);
        groups_.pop_front();
    }
    return due;
}

std::optional<std::int64_t> HandOverQueue::next_due_us() const {
    if (groups_.empty())
        return std::nullopt;
    return groups_.front().due_us;
}

std::vector<HandOverQueue::Waited> HandOverQueue::take_waits() {
    return std::exchange(waits_, {});
}

} // namespace zz
