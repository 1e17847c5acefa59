#pragma once

#include <string>
#include <vector>

namespace zz::cli {

struct CliContext;
struct CliOptions;
struct CommandInfo;
class OptionArg;

// One --fill AREA:START-END=VALUE, its parts as given.
struct FillRequest {
    bool eeprom = false;
    std::string start;
    std::string end;
    std::string value;
    std::string text; // the whole value of the option
};

// --fill, in the order given.
struct FillOptions {
    std::vector<FillRequest> requests;
};

// The option group of --fill.
bool parse_fill_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_fill_options(const CliOptions& o, const CommandInfo& command);
extern const char kFillHelp[];

// Fills the loaded buffer as the buffer edit dialog's "Start fill" and OK do, with their checks
// and messages; kBadInput after the first refusal has been printed (the buffer then unchanged).
int apply_fills(CliContext& c);

} // namespace zz::cli
