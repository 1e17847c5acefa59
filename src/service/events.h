#pragma once
// The lines the service writes: each a JSON object whose "event" names it.
#include "app/board_panel.h"
#include "records/chip_record.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace zz::service {

using nlohmann::json;

// The protocol's version, in hello: grows when a command or event changes meaning.
inline constexpr int kProtocolVersion = 1;

// One line as written: compact, with a newline, bytes that are not UTF-8 replaced.
std::string event_line(const json& event);

json error_event(const std::string& message, std::optional<int> board = std::nullopt);
// A board of hello's list.
json board_json(int number, const BoardPanel& panel);
// A board of status's list.
json status_json(int number, const BoardPanel& panel);
json record_json(const ChipRecord& record);

} // namespace zz::service
