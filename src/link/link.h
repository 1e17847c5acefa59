#pragma once

#include "base/loop.h"
#include "base/observable.h"
#include "base/operator.h"
#include "base/timer.h"
#include "device/chip_params.h"
#include "link/port.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace zz {

// What the window's status row shows; written by the link and by the chip operations.
struct LinkStatus {
    Value<std::string> Label5{"COM1"}; // port name
    Value<bool> Label5_enabled{true};  // greyed while the port is switched off
    Value<std::string> Label10;        // programmer / connection state
    Value<std::string> Label11;        // status line
    Value<int> progress_position{0};   // ProgressBar1
    Value<int> progress_max{32};
};

// The options of the window that the link reads; owned by the session.
struct LinkFlags {
    Flag& N18;                      // "&Turn Serial Off": the port is switched off
    Flag& N31;                      // "Mute"
    Flag& N_ICSP;                   // "&ICSP Mode"
    Flag& UseVPPFirstProgramEntry1; // "Use VPP First Program Entry"
};

// The request/reply layer between the application and the programmer board: sending hex
// commands, the board's announcements and the handshake, the waiting helpers with their
// time-outs and failure signalling, and the watchdog, reply and idle timers.
class Link {
public:
    Link(Loop& loop, Port& port, Operator& op, LinkFlags flags);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Link state; the operations read and write these directly.
    bool CollectReplies = false;
    std::string ReplyText; // hex of the bytes collected while CollectReplies is set
    bool ReplyTimedOut = false;
    Value<bool> BoardReady{false};
    Value<bool> Busy{false};
    bool StartupSearchPending = false;
    Value<int> ProgrammerModel{3};
    bool AppClosing = false;

    LinkStatus status;
    Timer Timer1; // board watchdog, 2000 ms
    Timer Timer2; // reply time-out, set before each wait
    Timer Timer3; // idle port release

    Loop& loop() { return loop_; }
    Port& port() { return *port_; }
    // The person, as the operations speak to them: while a lost port ends an operation, what the
    // operation would still say about the board is held back, questions are answered No and no
    // tone sounds, so the loss is said once.
    Operator& op() { return voice_; }
    const LinkFlags& flags() const { return flags_; }
    // Moves the link to another port (a real one or the virtual board).
    void set_port(Port& port);

    // One line per exchange: `sent` true for a command, false for one delivery received.
    using TraceSink = std::function<void(bool sent, std::string_view hex)>;
    void set_trace(TraceSink sink) { trace_ = std::move(sink); }
    // Called when the watchdog expires while StartupSearchPending is set (the board search).
    void set_startup_search(std::function<void()> search) { startup_search_ = std::move(search); }
    // Called with the port's name once a lost port has been closed.
    using PortLostHandler = std::function<void(const std::string& name)>;
    void set_port_lost_handler(PortLostHandler handler) { port_lost_handler_ = std::move(handler); }
    // The port was lost during the operation under way; the operation ends without the board.
    bool port_lost() const { return port_lost_; }

    // --- transport ---
    void mscomm1send(std::string_view command);
    void Comm1ReceiveData(std::span<const std::uint8_t> bytes);
    // The port's device has gone (unplugged, hung up): the port is closed and shown closed, and
    // the person is told once, at once or when the operation under way has ended.
    void Comm1Lost();
    bool send_d(std::string_view command, std::string_view expected);
    std::string send0d(); // "00" on failure
    bool send03(const ChipParams& chip);
    std::string send_rets(std::string_view command, int byte_count); // "00" on failure
    void check_com_open();
    bool reset_program();
    // reset_program up to `tries` times, stopping at the first success.
    bool reset_program_tries(int tries = 9);

    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

    void signal_success();
    void signal_failure();
    // The failure path of every helper: signal_failure, the receive error, status "Ready".
    void fail_receive();

    // --- waiting ---
    // The reply to the next command, where it is known: `hex` exactly, or `count` bytes that
    // begin with `starts_hex`. A line that ends its deliveries as it pauses then hands the reply
    // over as soon as it is complete.
    void expect_exactly(std::string_view hex);
    void expect_bytes(std::size_t count, std::string_view starts_hex = {});
    int reply_bytes() const { return static_cast<int>(ReplyText.size() / 2); }
    // The reply wait: Timer2 set to `timeout_ms`, until `done` holds or the time-out, processing
    // events at each delivery and due timer. Returns whether `done` held.
    bool wait_reply(int timeout_ms, const std::function<bool()>& done);
    // Clears ReplyText, sends, sleeps `settle_ms`, and waits for at least `min_bytes`.
    bool send_and_wait(std::string_view command, int settle_ms, int timeout_ms, int min_bytes);
    // Takes ReplyText and clears it.
    std::string take_reply();

    // --- the operation frame ---
    // Busy, port check, "not responding" unless ready, CollectReplies, then `body`, then the
    // closing "01" and the watchdog. `before_ready_check` runs after the port check and may stop
    // the operation (returning false) with its own message. Returns false when refused.
    bool run_operation(const std::function<void()>& body,
                       const std::function<bool()>& before_ready_check = {});
    // Ends an operation: CollectReplies cleared, "01" sent, watchdog started.
    void finish_operation();
    // Before the port is (re)opened: the board, restarting, must announce itself anew.
    void forget_board();
    // After the port was (re)opened and DTR switched on: the port counts as on, and the board
    // must announce itself before the watchdog expires.
    void expect_announcement();
    // The watchdog for the board's announcement, unless the handshake is already done: a board
    // may restart as its port opens (one behind a pseudo-terminal, which has no DTR line) and
    // have announced itself during the settling pause.
    void watch_for_announcement();

    // The effective power sequence byte sent in the set-up frame.
    std::string power_sequence(const ChipParams& chip) const;
    // The set-up frame "03..." of a chip.
    std::string setup_frame(const ChipParams& chip) const;

private:
    class OperationVoice : public Operator {
    public:
        explicit OperationVoice(Link& link) : link_(link) {}
        void show_message(std::string_view text, std::string_view caption, Icon icon) override;
        bool ask_yes_no(std::string_view text, std::string_view caption) override;
        bool play_tone(int hz, int ms) override;

    private:
        Link& link_;
    };

    void on_announcement(std::string hex);
    bool send_bytes(std::span<const std::uint8_t> bytes);
    bool sound_tone(int ms);
    void show_port_closed();
    void say_port_lost();

    Loop& loop_;
    Port* port_;
    Operator& op_;
    OperationVoice voice_{*this};
    LinkFlags flags_;
    TraceSink trace_;
    std::function<void()> startup_search_;
    PortLostHandler port_lost_handler_;
    bool port_lost_ = false;
    std::string lost_port_name_;
    // The start of an identity or of "50" that came alone, kept to join with its rest.
    std::string held_announcement_;
    std::int64_t held_at_ms_ = 0;
};

} // namespace zz
