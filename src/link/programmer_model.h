#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zz {

// What tells the four programmer models apart on the link and in the window.
struct ProgrammerModelInfo {
    int model;                       // 1..4
    std::string_view identity;       // the two bytes announced after a restart, as hex
    std::string_view menu_caption;   // "Select Programmer" item
    std::string_view announced;      // Label10 when the identity arrives
    std::string_view reconnected;    // Label10 after a successful reset_program
    std::string_view lost;           // Label10 when the watchdog expires
    std::string_view selected;       // Label10 after choosing the model
    std::string_view found;          // start of the board search's result message
    int idle_release_ms;             // Timer3 interval
};

// The model's facts, or nullptr outside 1..4.
const ProgrammerModelInfo* programmer_model(int model);
// The model announcing `identity_hex`, or nullopt.
std::optional<int> model_of_identity(std::string_view identity_hex);

} // namespace zz
