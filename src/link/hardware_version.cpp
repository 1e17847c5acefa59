#include "link/hardware_version.h"

#include "base/hex_text.h"
#include "link/link_texts.h"

namespace zz {

namespace {

// A USB bridge hands the text over frame by frame and the line may pause between the frames; the
// wait for four bytes would then take a cut text and leave its end to the next exchange.
constexpr int kTextRestMs = 50;

void collect_rest_of_text(Link& link) {
    for (std::size_t had = 0; link.reply_bytes() >= 4 && link.ReplyText.size() != had;) {
        had = link.ReplyText.size();
        link.wait_reply(kTextRestMs, [&] { return link.ReplyText.size() != had; });
    }
}

} // namespace

std::string hardware_version_command(Link& link, bool shown) {
    if (link.Busy)
        return {};
    link.Busy = true;
    link.check_com_open(); // the board's readiness is not tested: the query may wake it
    link.CollectReplies = true;
    link.status.Label11 = "Reading Hardware version.....";
    link.loop().process_events();
    link.send_and_wait("15", 0, 2000, 4);
    collect_rest_of_text(link);
    // Taken before any restart, so the handshake's "50" is not shown as part of the version.
    const std::string version = hex_pairs_to_bytes(link.take_reply());
    if (version.size() < 4) {
        link.status.Label11 = std::string(texts::kReady);
        link.reset_program_tries(9);
    }
    if (shown)
        link.op().show_message("Hardware version:" + version, texts::kInformation,
                               Icon::Information);
    link.status.Label11 = std::string(texts::kReady);
    link.finish_operation();
    link.Busy = false;
    return version.size() < 4 ? std::string() : version;
}

} // namespace zz
