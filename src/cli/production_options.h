#pragma once

#include <optional>
#include <string>

namespace zz::cli {

struct CliOptions;
struct CommandInfo;
class OptionArg;

// The options of `program` and `auto` for production: serial numbers, the production log and
// several chips in a row.
struct ProductionOptions {
    std::optional<std::string> serial;       // --serial rom|eeprom|id
    std::optional<std::string> serial_start; // hex, as typed into the dialog
    std::optional<std::string> serial_end;
    std::optional<int> serial_step;
    std::optional<bool> serial_hex; // --serial-format hex|dec
    bool serial_from_high = false;
    bool serial_low_byte = false;
    bool serial_save = false;
    bool no_serial = false;
    std::string log;          // --log FILE
    std::optional<int> count; // --count N: program, N chips (1); auto, N passes (no limit)

    // Any option that switches numbering on.
    bool any_serial() const {
        return serial || serial_start || serial_end || serial_step || serial_hex ||
               serial_from_high || serial_low_byte || serial_save;
    }
};

bool parse_production_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_production_options(const CliOptions& o, const CommandInfo& command);
extern const char kProductionHelp[];

} // namespace zz::cli
