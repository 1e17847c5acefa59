#include "app/board_panel.h"

namespace zz {

namespace {

std::string waiting_text(const BoardPanel& p) {
    if (p.status.find("removal") == std::string::npos)
        return "Waiting for a chip";
    if (p.last_result < 0)
        return "Take the chip out";
    return std::string(p.last_result ? "Passed" : "Failed") +
           (p.last_result && !p.serial.empty() ? " " + p.serial : "") + ": take the chip out";
}

std::string working_text(const BoardPanel& p) {
    std::string text = p.status;
    while (!text.empty() && text.back() == '.')
        text.pop_back();
    if (p.progress_max > 0 && p.progress > 0)
        text += " " + std::to_string(100 * p.progress / p.progress_max) + " %";
    return text;
}

} // namespace

std::string phase_text(const BoardPanel& p) {
    switch (p.phase) {
    case BoardPhase::no_board:
        return "No board";
    case BoardPhase::ready:
        return "Ready";
    case BoardPhase::waiting:
        return waiting_text(p);
    case BoardPhase::working:
        return working_text(p);
    case BoardPhase::question:
        return "Waiting for an answer";
    case BoardPhase::passed:
        return "Passed" + (p.serial.empty() ? std::string() : " " + p.serial);
    case BoardPhase::failed:
        break;
    }
    return "Failed";
}

} // namespace zz
