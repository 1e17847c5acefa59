// The request/reply helpers of the link: every wait of an operation has the shape of wait_reply.
#include "base/hex_text.h"
#include "link/link.h"
#include "link/link_texts.h"

#include <algorithm>
#include <vector>

namespace zz {

namespace {
std::vector<std::uint8_t> bytes_of(std::string_view hex) {
    const std::string bytes = hex_pairs_to_bytes(hex);
    return {bytes.begin(), bytes.end()};
}
} // namespace

void Link::expect_exactly(std::string_view hex) {
    port_->expect_reply(ExpectedReply::exactly(bytes_of(hex)));
}

void Link::expect_bytes(std::size_t count, std::string_view starts_hex) {
    port_->expect_reply(ExpectedReply{count, bytes_of(starts_hex)});
}

bool Link::wait_reply(int timeout_ms, const std::function<bool()>& done) {
    ReplyTimedOut = false;
    Timer2.set_interval(timeout_ms);
    Timer2.start();
    // Timer2 ends the wait; the deadline is a second guard for a handler that runs inside the
    // wait and stops Timer2 for a wait of its own.
    const std::int64_t deadline = loop_.now_ms() + timeout_ms;
    bool held = false;
    while (!ReplyTimedOut && !port_lost_ && loop_.now_ms() <= deadline) {
        loop_.process_events();
        if (done()) {
            held = true;
            break;
        }
        // `done` changes only as events are delivered, and a pause ends at each delivery (a port
        // wakes its loop) and each due timer: looking again every poll step would only cost each
        // board's thread a thousand turns a second.
        loop_.poll_pause(static_cast<int>(deadline - loop_.now_ms()) + 1);
    }
    Timer2.stop();
    return held;
}

bool Link::send_and_wait(std::string_view command, int settle_ms, int timeout_ms,
                         int min_bytes) {
    ReplyText.clear();
    mscomm1send(command);
    loop_.poll_pause(settle_ms);
    return wait_reply(timeout_ms, [&] { return reply_bytes() >= min_bytes; });
}

std::string Link::take_reply() {
    std::string reply = std::move(ReplyText);
    ReplyText.clear();
    return reply;
}

void Link::fail_receive() {
    // The lost port is said instead, once the operation has ended.
    if (port_lost_)
        return;
    signal_failure();
    op_.show_message(texts::kReceiveError, texts::kError, Icon::Error);
    status.Label11 = std::string(texts::kReady);
}

bool Link::send_d(std::string_view command, std::string_view expected) {
    loop_.process_events();
    expect_exactly(expected);
    send_and_wait(command, 5, 1000, 1);
    if (reply_bytes() >= 1 && take_reply() == expected)
        return true;
    fail_receive();
    return false;
}

std::string Link::send0d() {
    constexpr int kBlockBytes = 27;
    if (!send_d("04", "56"))
        return "00";
    ReplyText.clear();
    expect_bytes(kBlockBytes, "43");
    mscomm1send("0D");
    loop_.poll_pause(6);
    // Only a block of exactly 27 bytes ends the wait early; a longer one is taken at the time-out.
    wait_reply(1000, [&] { return reply_bytes() == kBlockBytes; });
    if (reply_bytes() < kBlockBytes) {
        fail_receive();
        return "00";
    }
    std::string block = take_reply();
    if (!block.starts_with("43")) {
        fail_receive();
        return "00";
    }
    if (!send_d("05", "76"))
        return "00";
    return block;
}

std::string Link::power_sequence(const ChipParams& chip) const {
    const std::string& ps = chip.PowerSequence;
    const bool icsp = chip.ICSPonly || flags_.N_ICSP;
    const bool vpp_first = flags_.UseVPPFirstProgramEntry1;
    if (icsp && vpp_first)
        return "03";
    if (icsp) {
        if (ps == "02")
            return "01";
        if (ps == "04")
            return "03";
        return ps;
    }
    if (vpp_first) {
        if (ps == "01")
            return "03";
        if (ps == "02")
            return "04";
    }
    return ps;
}

std::string Link::setup_frame(const ChipParams& chip) const {
    // Sizes are rendered with at least four digits and the first four are sent.
    const auto size4 = [](std::int64_t v) {
        return to_hex(static_cast<std::uint32_t>(v), 4).substr(0, 4);
    };
    return "03" + size4(chip.ROMsize) + size4(chip.EEPROMsize) + chip.CoreType + chip.ProgramFlags +
           chip.ProgramDelay + power_sequence(chip) + chip.EraseMode + chip.ProgramTries +
           chip.OverProgram;
}

bool Link::send03(const ChipParams& chip) {
    expect_exactly("49");
    send_and_wait(setup_frame(chip), 3, 500, 1);
    if (reply_bytes() >= 1 && ReplyText == "49") {
        ReplyText.clear();
        return true;
    }
    fail_receive();
    return false;
}

std::string Link::send_rets(std::string_view command, int byte_count) {
    loop_.process_events();
    expect_bytes(static_cast<std::size_t>(std::max(byte_count, 0)));
    send_and_wait(command, 5, 2000, byte_count);
    if (reply_bytes() < byte_count) {
        fail_receive();
        return "00";
    }
    return take_reply();
}

} // namespace zz
