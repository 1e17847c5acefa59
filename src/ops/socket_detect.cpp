#include "ops/socket_detect.h"

namespace zz {

namespace {

constexpr int kAnswerMs = 2000;  // for "41" and for the "50" acknowledgement
constexpr int kSettleMs = 60;    // after "41", before the report is looked for, unless it is in
// The report's wait looks for a stop this often (ms): soon enough for a person, and rare enough
// that sixteen boards waiting for their chips cost next to nothing.
constexpr int kReportPollMs = 20;

SocketWatch watch_socket(Link& link, std::string_view command, const bool& CloseRequested) {
    const auto failed = [&link](SocketWatch how) {
        link.fail_receive();
        return how;
    };
    link.expect_exactly("41");
    if (!link.send_and_wait(command, 0, kAnswerMs, 1))
        return failed(SocketWatch::silent);
    if (link.take_reply() != "41")
        return failed(SocketWatch::failed);
    Loop& loop = link.loop();
    pump_until(loop, kSettleMs + 1, [&link] { return link.reply_bytes() >= 1; });
    // The board reports when the person has acted, which may take any time.
    while (link.reply_bytes() < 1) {
        loop.poll_pause(kReportPollMs);
        loop.process_events();
        if (CloseRequested)
            return SocketWatch::stopped;
    }
    if (!link.take_reply().starts_with("59"))
        return failed(SocketWatch::failed);
    link.expect_exactly("50");
    if (!link.send_and_wait("50", 0, kAnswerMs, 1))
        return failed(SocketWatch::silent);
    if (link.take_reply() != "50")
        return failed(SocketWatch::failed);
    return SocketWatch::reported;
}

} // namespace

SocketWatch CHIP_IN_SOCKET_DETECT(Link& link, const bool& CloseRequested) {
    return watch_socket(link, "12", CloseRequested);
}

SocketWatch CHIP_OUT_SOCKET_DETECT(Link& link, const bool& CloseRequested) {
    return watch_socket(link, "13", CloseRequested);
}

} // namespace zz
