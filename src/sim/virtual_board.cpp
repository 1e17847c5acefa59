#include "sim/virtual_board.h"

#include "base/hex_text.h"
#include "link/port.h"
#include "sim/firmware_version.h"
#include "sim/wire_time.h"

#include <algorithm>

namespace zz {

VirtualBoard::VirtualBoard(Loop& loop, int model)
    : loop_(loop), chip_(VirtualChip(ChipParams{})),
      firmware_(generated_firmware("V2.37", kFirmwareWords)) {
    set_model(model);
}

void VirtualBoard::set_model(int model) {
    model_ = std::clamp(model, 1, 4);
}

std::vector<std::string> VirtualBoard::commands() const {
    std::vector<std::string> out;
    for (const TraceEntry& e : trace_) {
        if (!e.from_board)
            out.push_back(e.hex);
    }
    return out;
}

void VirtualBoard::send_at(std::int64_t time_ms, std::vector<std::uint8_t> bytes) {
    schedule_.add(time_ms * 1000, BoardSchedule::Owner::Script,
                  [this, bytes = std::move(bytes)] { deliver(bytes); });
}

std::int64_t VirtualBoard::now_us() const {
    return std::max(loop_.now_us(), clock_us_);
}

void VirtualBoard::host_write(std::span<const std::uint8_t> bytes) {
    trace_.push_back(TraceEntry{loop_.now_ms(), false, bytes_to_hex(bytes)});
    std::vector<std::uint8_t> block(bytes.begin(), bytes.end());
    clock_us_ = now_us();
    if (!wire_timing_) {
        receive(block);
        return;
    }
    // The block is taken when its last byte has crossed the line.
    const std::int64_t first_us = std::max(rx_free_us_, clock_us_);
    rx_free_us_ = first_us + wire_us(std::ssize(block));
    busy_.add(first_us, rx_free_us_);
    schedule_.add(rx_free_us_, BoardSchedule::Owner::Script,
                  [this, block = std::move(block)] { receive(block); });
}

void VirtualBoard::set_dtr(bool active) {
    clock_us_ = now_us();
    if (active == (phase_ != Phase::Off))
        return;
    if (active) {
        restart();
        return;
    }
    phase_ = Phase::Off;
    schedule_.drop_board_actions();
    pending_.clear();
}

void VirtualBoard::restart() {
    schedule_.drop_board_actions();
    pending_.clear();
    input_ = Input::Command;
    watch_ = Watch::None;
    upgrade_mode_ = false;
    if (firmware_complete_) {
        version_text_ = firmware_version_text(firmware_);
        firmware_complete_ = false;
    }
    phase_ = Phase::Booting;
    tx_free_us_ = clock_us_;
    work_free_us_ = clock_us_;
    busy_.add(clock_us_, clock_us_ + boot_delay_us_);
    schedule_.add(clock_us_ + boot_delay_us_, BoardSchedule::Owner::Board, [this] {
        phase_ = Phase::Running;
        if (!dead_)
            answer(fault_target::kIdentity, {{0x42, static_cast<std::uint8_t>(model_ + 1)}}, 0);
    });
}

void VirtualBoard::receive(const std::vector<std::uint8_t>& bytes) {
    for (std::uint8_t b : bytes) {
        if (phase_ != Phase::Running || dead_)
            return;
        receive_byte(b);
    }
}

std::optional<std::int64_t> VirtualBoard::next_due_ms() const {
    if (auto due = schedule_.next_due_us())
        return ceil_ms(*due);
    return std::nullopt;
}

void VirtualBoard::dispatch(std::int64_t now_ms) {
    dispatch_us(now_ms * 1000);
}

void VirtualBoard::dispatch_us(std::int64_t now_us) {
    schedule_.run_until(now_us, [this](std::int64_t t) { clock_us_ = t; });
}

void VirtualBoard::answer(int target, Reply reply, std::int64_t board_us) {
    const AnswerShape shape = faults_.on_command(target);
    const std::int64_t start = std::max(clock_us_, work_free_us_);
    work_free_us_ = start + board_us;
    busy_.add(start, work_free_us_ + std::int64_t{shape.delay_ms} * 1000);
    if (shape.restart_ms) {
        schedule_.add(clock_us_ + std::int64_t{*shape.restart_ms} * 1000,
                      BoardSchedule::Owner::Board, [this] { restart(); });
    }
    if (shape.silent)
        return;
    if (shape.replaced)
        reply.bytes = shape.replacement;
    reply.bytes.insert(reply.bytes.end(), shape.extra.begin(), shape.extra.end());
    std::vector<std::int64_t> gaps_us;
    if (!shape.sizes.empty()) {
        reply.sizes = shape.sizes;
        for (int gap : shape.gaps_ms)
            gaps_us.push_back(std::int64_t{gap} * 1000);
        reply.gap_us = 1000;
    }
    transmit(reply.bytes, work_free_us_ + std::int64_t{shape.delay_ms} * 1000, reply.sizes, gaps_us,
             reply.gap_us);
}

void VirtualBoard::transmit(const std::vector<std::uint8_t>& bytes, std::int64_t ready_us,
                            const std::vector<int>& sizes, const std::vector<std::int64_t>& gaps_us,
                            std::int64_t default_gap_us) {
    std::size_t at = 0;
    std::int64_t t = ready_us;
    std::int64_t busy_from = ready_us; // the board works through the pauses of a stream
    for (std::size_t piece = 0; at < bytes.size(); ++piece) {
        std::size_t n = bytes.size() - at;
        if (piece < sizes.size())
            n = std::min(n, static_cast<std::size_t>(std::max(sizes[piece], 1)));
        n = std::min(n, Port::kMaxDelivery);
        if (piece > 0)
            t += piece - 1 < gaps_us.size() ? gaps_us[piece - 1] : default_gap_us;
        const std::int64_t start = std::max(t, tx_free_us_);
        tx_free_us_ = start + (wire_timing_ ? wire_us(static_cast<std::int64_t>(n)) : 0);
        t = tx_free_us_;
        busy_.add(busy_from, tx_free_us_);
        busy_from = tx_free_us_;
        std::vector<std::uint8_t> chunk(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
        schedule_.add(paced_output_ ? start : t, BoardSchedule::Owner::Board,
                      [this, chunk = std::move(chunk)] { deliver(chunk); });
        at += n;
    }
}

void VirtualBoard::deliver(const std::vector<std::uint8_t>& bytes) {
    // Traced before the host sees it: the host may answer from inside its receive handler.
    const std::size_t index = trace_.size();
    trace_.push_back(TraceEntry{loop_.now_ms(), true, bytes_to_hex(bytes)});
    if (!output_ || !output_(bytes))
        trace_.erase(trace_.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace zz
