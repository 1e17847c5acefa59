#pragma once

#include "base/loop.h"
#include "sim/board_fault.h"
#include "sim/board_schedule.h"
#include "sim/virtual_chip.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zz {

// One exchange on the line: a block the host wrote or a delivery the board made.
struct TraceEntry {
    std::int64_t time_ms;
    bool from_board;
    std::string hex; // upper-case digit pairs
};

// A stand-in for the programmer board: it parses the host's byte stream by protocol state
// (commands have known lengths, however the host splits or joins its writes), answers on a
// microsecond clock and hands its answers to the port that carries them.
class VirtualBoard {
public:
    // Hands a delivery to the host; false when nobody took it (port closed).
    using Output = std::function<bool(std::span<const std::uint8_t>)>;

    explicit VirtualBoard(Loop& loop, int model = 3); // model 1..4 -> identity 42 02..42 05

    void set_model(int model);
    int model() const { return model_; }
    void set_version_text(std::string text); // answer to "15"
    void set_wire_timing(bool on) { wire_timing_ = on; }
    void set_boot_delay_ms(int ms) { boot_delay_us_ = std::int64_t{ms} * 1000; }

    const std::vector<TraceEntry>& trace() const { return trace_; }
    void clear_trace() { trace_.clear(); }
    std::vector<std::string> commands() const; // hex of each block the host wrote, in order

    // Faults.
    void add_fault(Fault fault) { faults_.add(std::move(fault)); }
    void clear_faults() { faults_.clear(); }
    // A dead board neither announces itself nor answers anything.
    void set_dead(bool dead) { dead_ = dead; }
    // Sends `bytes` on its own at `time_ms` (whatever state it is in, also when dead).
    void send_at(std::int64_t time_ms, std::vector<std::uint8_t> bytes);

    // The socket.
    void insert_chip(VirtualChip chip);
    void remove_chip();
    bool has_chip() const { return chip_.has_value(); }
    VirtualChip* chip() { return chip_ ? &*chip_ : nullptr; }

    // For the port: the host's bytes, the DTR line, and the delivery of due answers.
    void host_write(std::span<const std::uint8_t> bytes);
    void set_dtr(bool active);
    void set_output(Output output) { output_ = std::move(output); }
    std::optional<std::int64_t> next_due_ms() const;
    void dispatch(std::int64_t now_ms);

private:
    enum class Phase { Off, Booting, Running };

    std::int64_t now_us() const;
    void restart();
    void reset_state();
    void receive(const std::vector<std::uint8_t>& bytes);
    void receive_byte(std::uint8_t byte);
    void execute(const std::vector<std::uint8_t>& command);
    void answer_info_block();
    // Answers the command being executed `board_us` after it arrived, shaped by the faults.
    void answer(std::vector<std::uint8_t> bytes, std::int64_t board_us = kProcessUs);
    // Sends `bytes` once ready at `ready_us`, in deliveries of `sizes` with `gaps_ms` between.
    void transmit(std::vector<std::uint8_t> bytes, std::int64_t ready_us,
                  const std::vector<int>& sizes = {}, const std::vector<int>& gaps_ms = {});
    void deliver(const std::vector<std::uint8_t>& bytes);

    static constexpr std::int64_t kProcessUs = 1000;

    Loop& loop_;
    int model_ = 3;
    std::string version_text_ = "V2.37";
    bool wire_timing_ = false;
    bool dead_ = false;
    std::int64_t boot_delay_us_ = 20'000;

    Phase phase_ = Phase::Off;
    std::int64_t clock_us_ = 0;    // time of the event being handled
    std::int64_t rx_free_us_ = 0;  // host -> board line busy until
    std::int64_t tx_free_us_ = 0;  // board -> host line busy until
    std::int64_t work_free_us_ = 0; // the board finishes its current work
    std::vector<std::uint8_t> pending_; // command bytes received so far
    AnswerShape shape_;                 // faults hitting the command being executed

    std::optional<VirtualChip> chip_;
    FaultList faults_;
    BoardSchedule schedule_;
    std::vector<TraceEntry> trace_;
    Output output_;
};

} // namespace zz
