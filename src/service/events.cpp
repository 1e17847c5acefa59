#include "service/events.h"

namespace zz::service {

std::string event_line(const json& event) {
    return event.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

json error_event(const std::string& message, std::optional<int> board) {
    json event{{"event", "error"}, {"message", message}};
    if (board)
        event["board"] = *board;
    return event;
}

json board_json(int number, const BoardPanel& p) {
    return {{"board", number}, {"port", p.port}, {"model", p.model}, {"firmware", p.firmware}};
}

namespace {

const char* phase_name(BoardPhase phase) {
    switch (phase) {
    case BoardPhase::no_board:
        return "no_board";
    case BoardPhase::ready:
        return "ready";
    case BoardPhase::waiting:
        return "waiting";
    case BoardPhase::working:
        return "working";
    case BoardPhase::question:
        return "question";
    case BoardPhase::passed:
        return "passed";
    case BoardPhase::failed:
        break;
    }
    return "failed";
}

} // namespace

json status_json(int number, const BoardPanel& p) {
    json board{{"board", number},     {"state", phase_name(p.phase)}, {"text", phase_text(p)},
               {"busy", p.busy},      {"auto", p.auto_running},      {"passed", p.passed},
               {"failed", p.failed},  {"serial", p.serial}};
    if (!p.question.empty())
        board["question"] = p.question;
    return board;
}

json record_json(const ChipRecord& r) {
    return {{"id", r.id},
            {"time_ms", r.time_ms},
            {"station", r.station},
            {"port", r.port},
            {"model", r.model},
            {"chip", r.chip},
            {"image", r.image},
            {"checksum", r.checksum},
            {"serial", r.serial},
            {"result", std::string(result_name(r.result))},
            {"message", r.message},
            {"elapsed_ms", r.elapsed_ms},
            {"job", r.job},
            {"lot", r.lot}};
}

} // namespace zz::service
