#pragma once

#include "base/loop.h"
#include "sim/board_fault.h"
#include "sim/board_schedule.h"
#include "sim/board_setup.h"
#include "sim/busy_time.h"
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
// microsecond clock and hands its answers to the port that carries them. docs/virtual-board.md
// describes the commands, the timing and the faults.
class VirtualBoard {
public:
    // Hands a delivery to the host; false when nobody took it (port closed).
    using Output = std::function<bool(std::span<const std::uint8_t>)>;

    static constexpr std::size_t kFirmwareWords = 6144;

    explicit VirtualBoard(Loop& loop, int model = 3); // model 1..4 -> identity 42 02..42 05

    void set_model(int model);
    int model() const { return model_; }
    // "15"; after a complete firmware download and a restart, the new firmware's version
    // (firmware_version_text).
    void set_version_text(std::string text) { version_text_ = std::move(text); }
    // The firmware memory, as the upgrade mode writes and reads it: kFirmwareWords words, or as
    // many as a board of another revision holds (added words blank, 3FFFh).
    const std::vector<std::uint16_t>& firmware() const { return firmware_; }
    void set_firmware_words(std::size_t words) { firmware_.resize(words, 0x3FFF); }
    void set_wire_timing(bool on) { wire_timing_ = on; }
    // Each delivery is handed to the output when its first byte starts on the line, for a port
    // that paces the bytes itself; otherwise when its last byte has crossed.
    void set_paced_output(bool on) { paced_output_ = on; }
    void set_boot_delay_ms(int ms) { boot_delay_us_ = std::int64_t{ms} * 1000; }

    // The time the board worked or the line carried a byte either way (us), since the last clear.
    const BusyTime& busy_time() const { return busy_; }
    // The time the board watched the socket for a change that then came ("12"/"13" until the
    // chip went in or out): a person's time, not the board's (us), since the last clear.
    const BusyTime& socket_waits() const { return socket_waits_; }
    void clear_busy_time() {
        busy_.clear();
        socket_waits_.clear();
    }

    const std::vector<TraceEntry>& trace() const { return trace_; }
    void clear_trace() { trace_.clear(); }
    std::vector<std::string> commands() const; // hex of each block the host wrote, in order

    // Faults.
    void add_fault(Fault fault) { faults_.add(std::move(fault)); }
    void clear_faults() { faults_.clear(); }
    // A dead board neither announces itself nor answers anything.
    void set_dead(bool dead) { dead_ = dead; }
    // The end message of write streams carries the trailer 3Fh 3Fh.
    void set_end_trailer(bool on) { end_trailer_ = on; }
    // Sends `bytes` on its own at `time_ms` (whatever state it is in, also when dead).
    void send_at(std::int64_t time_ms, std::vector<std::uint8_t> bytes);

    // The socket; the _at forms act at a virtual time.
    void insert_chip(VirtualChip chip);
    void remove_chip();
    void insert_chip_at(std::int64_t time_ms, VirtualChip chip);
    void remove_chip_at(std::int64_t time_ms);
    // Runs `action` at a virtual time, whatever the board is doing (it survives restarts).
    void run_at(std::int64_t time_ms, std::function<void()> action);
    // Told of every command the board takes, with the board time (ms) it arrived at; one
    // observer (a scripted person at the socket, say).
    using CommandObserver = std::function<void(std::uint8_t code, std::int64_t time_ms)>;
    void set_command_observer(CommandObserver observer) { command_observer_ = std::move(observer); }
    bool has_chip() const { return chip_.has_value(); }
    VirtualChip* chip() { return chip_ ? &*chip_ : nullptr; }

    // For the port: the host's bytes, the DTR line, and the delivery of due answers.
    void host_write(std::span<const std::uint8_t> bytes);
    void set_dtr(bool active);
    void set_output(Output output) { output_ = std::move(output); }
    std::optional<std::int64_t> next_due_ms() const;
    void dispatch(std::int64_t now_ms);
    // The same on the board's own microsecond clock.
    std::optional<std::int64_t> next_due_us() const { return schedule_.next_due_us(); }
    void dispatch_us(std::int64_t now_us);
    // The time of the event being handled (us): inside the output, when the delivery was due.
    std::int64_t event_us() const { return clock_us_; }

private:
    enum class Phase { Off, Booting, Running };
    // What the next bytes from the host are.
    enum class Input { Command, RomBlock, EepromUnit, IdBlock, ConfigBlock };
    enum class Watch { None, Insert, Remove };

    struct Reply {
        Reply(std::vector<std::uint8_t> b, std::vector<int> s = {}, std::int64_t gap = 1000)
            : bytes(std::move(b)), sizes(std::move(s)), gap_us(gap) {}
        std::vector<std::uint8_t> bytes;
        std::vector<int> sizes;     // deliveries; empty: one
        std::int64_t gap_us = 1000; // between deliveries, besides the wire time
    };

    // virtual_board.cpp: clock, line, restart
    std::int64_t now_us() const;
    void restart();
    void receive(const std::vector<std::uint8_t>& bytes);
    void answer(int target, Reply reply, std::int64_t board_us = kProcessUs);
    void transmit(const std::vector<std::uint8_t>& bytes, std::int64_t ready_us,
                  const std::vector<int>& sizes, const std::vector<std::int64_t>& gaps_us,
                  std::int64_t default_gap_us);
    void deliver(const std::vector<std::uint8_t>& bytes);

    // board_commands.cpp: parsing and the short commands
    void receive_byte(std::uint8_t byte);
    void execute(const std::vector<std::uint8_t>& command);
    void answer_info_block();
    void bulk_erase();
    void write_calibration(const std::vector<std::uint8_t>& command);
    void start_upgrade();

    // board_streams.cpp: read streams, write streams, blank check
    void read_rom();
    void read_eeprom();
    void blank_check_rom(std::uint8_t blank_high);
    void blank_check_eeprom();
    void start_write(Input input, std::int64_t count);
    void take_block(const std::vector<std::uint8_t>& block);
    bool program_rom_block(const std::vector<std::uint8_t>& block, std::int64_t& board_us);
    void take_eeprom_unit(const std::vector<std::uint8_t>& unit);
    void take_id_config_block(const std::vector<std::uint8_t>& block, bool with_id);
    std::vector<std::uint8_t> end_message() const;

    // board_socket.cpp
    void watch_socket(Watch watch);
    void check_watch();

    static constexpr std::int64_t kProcessUs = 1000;

    Loop& loop_;
    int model_ = 3;
    std::string version_text_ = "V2.37";
    bool wire_timing_ = false;
    bool paced_output_ = false;
    bool dead_ = false;
    bool end_trailer_ = false;
    std::int64_t boot_delay_us_ = 20'000;

    Phase phase_ = Phase::Off;
    std::int64_t clock_us_ = 0;         // time of the event being handled
    std::int64_t rx_free_us_ = 0;       // host -> board line busy until
    std::int64_t tx_free_us_ = 0;       // board -> host line busy until
    std::int64_t work_free_us_ = 0;     // the board finishes its current work
    std::vector<std::uint8_t> pending_; // bytes of the command or block being received
    Input input_ = Input::Command;
    BoardSetup setup_;
    bool upgrade_mode_ = false;
    bool firmware_complete_ = false;
    std::int64_t write_count_ = 0; // cells the running write stream takes
    std::int64_t write_done_ = 0;  // cells taken so far
    Watch watch_ = Watch::None;
    std::int64_t watch_from_us_ = 0; // the board's "41" has been given

    std::optional<VirtualChip> chip_;
    std::vector<std::uint16_t> firmware_;
    FaultList faults_;
    BoardSchedule schedule_;
    std::vector<TraceEntry> trace_;
    BusyTime busy_;
    BusyTime socket_waits_;
    Output output_;
    CommandObserver command_observer_;
};

} // namespace zz
