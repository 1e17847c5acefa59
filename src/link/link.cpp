#include "link/link.h"

#include "base/hex_text.h"
#include "link/link_texts.h"
#include "link/programmer_model.h"

#include <vector>

namespace zz {

namespace {
constexpr int kWatchdogMs = 2000;
constexpr std::size_t kMaxCommandBytes = 256; // the board's command buffer
// A USB bridge's latency timer can put 16 ms between the two bytes of an identity.
constexpr std::int64_t kSplitJoinMs = 50;

bool proper_prefix(std::string_view text, std::string_view of) {
    return text.size() < of.size() && of.starts_with(text);
}
} // namespace

Link::Link(Loop& loop, Port& port, Operator& op, LinkFlags flags)
    : Timer1(loop, kWatchdogMs, [this] { Timer1Timer(); }),
      Timer2(loop, 1000, [this] { Timer2Timer(); }), Timer3(loop, 10000, [this] { Timer3Timer(); }),
      loop_(loop), port_(&port), op_(op), flags_(flags) {
    set_port(port);
}

Link::~Link() {
    port_->on_receive({});
    port_->on_lost({});
}

void Link::set_port(Port& port) {
    port_->on_receive({});
    port_->on_lost({});
    port_ = &port;
    port_->on_receive([this](std::span<const std::uint8_t> bytes) { Comm1ReceiveData(bytes); });
    port_->on_lost([this] { Comm1Lost(); });
}

void Link::mscomm1send(std::string_view command) {
    // The loss has been said; the rest of the operation has nobody to talk to.
    if (port_lost_)
        return;
    if (flags_.N18) {
        op_.show_message(texts::kPortNotInitialized, texts::kInformation, Icon::Information);
        return;
    }
    Timer3.stop();
    if (command.empty())
        return;
    // Pairs are taken while their first digit lies before the last character, so a single
    // trailing digit is ignored.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(command.size() / 2);
    for (std::size_t k = 0; 2 * k + 1 < command.size(); ++k) {
        const std::int32_t value = hex_to_int(command.substr(2 * k, 2));
        if (value < 0) {
            op_.show_message(texts::kProblemSending, texts::kError, Icon::Error);
            return;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    if (send_bytes(bytes))
        return;
    // The writer may find the device gone before the port's report of it is dispatched.
    if (port_->lost())
        Comm1Lost();
    else
        op_.show_message(texts::kWriteDataFail, texts::kError, Icon::Error);
}

bool Link::send_bytes(std::span<const std::uint8_t> bytes) {
    // A command longer than the board's buffer is refused rather than overrun.
    if (bytes.empty() || bytes.size() > kMaxCommandBytes)
        return false;
    if (!port_->write(bytes))
        return false;
    if (trace_)
        trace_(true, bytes_to_hex(bytes));
    return true;
}

void Link::Comm1ReceiveData(std::span<const std::uint8_t> bytes) {
    std::string hex = bytes_to_hex(bytes);
    if (trace_)
        trace_(false, hex);
    if (CollectReplies) {
        held_announcement_.clear();
        ReplyText += hex;
        return;
    }
    on_announcement(std::move(hex));
}

void Link::on_announcement(std::string hex) {
    const ProgrammerModelInfo* model = programmer_model(ProgrammerModel);
    // A line that hands bytes over one by one, or per USB frame, can split an identity or "50";
    // the start is kept and joined with the rest when that comes soon enough.
    if (!held_announcement_.empty() && loop_.now_ms() - held_at_ms_ <= kSplitJoinMs)
        hex = held_announcement_ + hex;
    held_announcement_.clear();
    if ((model && proper_prefix(hex, model->identity)) || proper_prefix(hex, "50")) {
        held_announcement_ = std::move(hex);
        held_at_ms_ = loop_.now_ms();
        return;
    }
    if (model && hex == model->identity) {
        status.Label10 = std::string(model->announced);
        Timer1.stop();
        StartupSearchPending = false;
        expect_exactly("50"); // the board's half of the handshake
        mscomm1send("50");
        Timer1.start();
    } else if (hex.starts_with("51")) {
        Timer1.stop();
        mscomm1send("50");
        Timer1.start();
    } else if (hex == "50") {
        Timer1.stop();
        // Ready follows the identity, which may have come before the search was set up.
        StartupSearchPending = false;
        BoardReady = true;
        status.progress_position = 0;
        Timer3.set_interval(model ? model->idle_release_ms : 10000);
        Timer3.start();
        status.Label11 = std::string(texts::kReady);
    }
}

void Link::Timer1Timer() {
    Timer1.stop();
    if (StartupSearchPending) {
        if (startup_search_)
            startup_search_();
        return;
    }
    op_.show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
    if (const ProgrammerModelInfo* model = programmer_model(ProgrammerModel))
        status.Label10 = std::string(model->lost);
    status.Label11 = std::string(texts::kCommunicationFailed);
    pump_delay(loop_, 1);
    BoardReady = false;
}

void Link::Timer2Timer() {
    ReplyTimedOut = true;
    Timer2.stop();
}

void Link::Timer3Timer() {
    Timer3.stop();
    const std::string& name = port_->name();
    // The first two ports stay open: boards on them are never released.
    if (name == "com1" || name == "com2" || name == "COM1" || name == "COM2")
        return;
    if (flags_.N18 || Busy)
        return;
    Busy = true;
    try {
        flags_.N18.checked = true;
        port_->set_dtr(DtrControl::Disable);
        port_->close();
        pump_delay(loop_, 50);
    } catch (const std::exception&) {
    }
    Busy = false;
}

bool Link::run_operation(const std::function<void()>& body,
                         const std::function<bool()>& before_ready_check) {
    if (Busy)
        return false;
    Busy = true;
    check_com_open();
    if (port_lost_) {
        say_port_lost();
        Busy = false;
        return false;
    }
    if (before_ready_check && !before_ready_check()) {
        Busy = false;
        return false;
    }
    if (!BoardReady) {
        op_.show_message(texts::kBoardNotResponding, texts::kError, Icon::Error);
        Busy = false;
        return false;
    }
    CollectReplies = true;
    try {
        body();
    } catch (...) {
        finish_operation();
        Busy = false;
        throw;
    }
    finish_operation();
    Busy = false;
    return true;
}

void Link::forget_board() {
    BoardReady = false;
    CollectReplies = false;
}

void Link::expect_announcement() {
    status.Label5_enabled = true;
    watch_for_announcement();
    flags_.N18.checked = false;
}

void Link::watch_for_announcement() {
    if (!BoardReady)
        Timer1.start();
}

void Link::finish_operation() {
    CollectReplies = false;
    port_->expect_reply({}); // announcements are joined as the line pauses
    if (port_lost_) {
        say_port_lost(); // no board to hand back, no watchdog to wait for
        return;
    }
    mscomm1send("01");
    Timer1.start();
}

} // namespace zz
