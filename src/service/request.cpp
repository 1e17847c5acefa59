#include "service/request.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <utility>

namespace zz::service {

namespace {

using nlohmann::json;

constexpr std::array<std::pair<std::string_view, Command>, 10> kCommands{{
    {"hello", Command::hello},
    {"status", Command::status},
    {"program", Command::program},
    {"auto", Command::auto_mode},
    {"stop", Command::stop},
    {"answer", Command::answer},
    {"subscribe", Command::subscribe},
    {"records", Command::records},
    {"record", Command::record},
    {"job", Command::job},
}};

// Thrown for a field that is missing or of the wrong kind; becomes the error event's message.
struct BadField {
    std::string why;
};

const json* field(const json& request, const char* name, bool required) {
    const auto at = request.find(name);
    if (at != request.end())
        return &*at;
    if (required)
        throw BadField{std::string("\"") + name + "\" is missing"};
    return nullptr;
}

std::optional<int> board_of(const json& request, bool required) {
    const json* board = field(request, "board", required);
    if (!board)
        return std::nullopt;
    if (!board->is_number_integer() || board->get<std::int64_t>() < 1 ||
        board->get<std::int64_t>() > 1'000'000)
        throw BadField{"\"board\" is a board number from 1"};
    return board->get<int>();
}

std::string text_of(const json& request, const char* name) {
    const json* value = field(request, name, true);
    if (!value->is_string() || value->get_ref<const std::string&>().empty())
        throw BadField{std::string("\"") + name + "\" is a text that is not empty"};
    return value->get<std::string>();
}

bool switch_of(const json& request, const char* name) {
    const json* value = field(request, name, true);
    if (!value->is_boolean())
        throw BadField{std::string("\"") + name + "\" is true or false"};
    return value->get<bool>();
}

void since_of(const json& request, Request& r) {
    const json* since = field(request, "since", false);
    if (!since)
        return;
    if (since->is_number_integer())
        r.since_ms = since->get<std::int64_t>();
    else if (since->is_string())
        r.since_id = since->get<std::string>();
    else
        throw BadField{"\"since\" is a time (UTC ms since 1970) or a record id"};
}

void arguments(const json& request, Request& r) {
    switch (r.command) {
    case Command::hello:
    case Command::status:
        return;
    case Command::program:
    case Command::stop:
        r.board = board_of(request, true);
        return;
    case Command::auto_mode:
        r.board = board_of(request, true);
        r.on = switch_of(request, "on");
        return;
    case Command::answer:
        r.board = board_of(request, true);
        r.on = switch_of(request, "yes");
        return;
    case Command::subscribe:
        r.board = board_of(request, false);
        return;
    case Command::records:
        return since_of(request, r);
    case Command::record:
        r.id = text_of(request, "id");
        return;
    case Command::job:
        r.name = text_of(request, "name");
        return;
    }
}

Parsed parse_object(const json& request) {
    if (!request.is_object())
        return std::string("a request is a JSON object");
    Request r;
    if (const auto token = request.find("token"); token != request.end()) {
        if (!token->is_string())
            return std::string("\"token\" is a text");
        r.token = token->get<std::string>();
    }
    const auto cmd = request.find("cmd");
    if (cmd == request.end() || !cmd->is_string())
        return std::string("a request names its command in \"cmd\"");
    r.cmd = cmd->get<std::string>();
    const auto known = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&r](const auto& c) { return c.first == r.cmd; });
    if (known == kCommands.end())
        return "unknown command \"" + r.cmd + "\"";
    r.command = known->second;
    try {
        arguments(request, r);
    } catch (const BadField& e) {
        return r.cmd + ": " + e.why;
    }
    return r;
}

} // namespace

std::string too_long_text() {
    return "the request is longer than " + std::to_string(kMaxRequestBytes) + " bytes";
}

Parsed parse_request(std::string_view line) {
    if (line.size() > kMaxRequestBytes)
        return too_long_text();
    const json request = json::parse(line, nullptr, false);
    if (request.is_discarded())
        return std::string("malformed JSON");
    return parse_object(request);
}

} // namespace zz::service
