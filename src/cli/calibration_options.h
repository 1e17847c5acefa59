#pragma once

#include <optional>
#include <string>

namespace zz::cli {

struct CliContext;
struct CliOptions;
struct CommandInfo;
class OptionArg;

// --osccal HEX and --bandgap BITS: the calibration dialog's two fields.
struct CalibrationOptions {
    std::optional<std::string> osccal;
    std::optional<std::string> bandgap;
};

// The option group of --osccal and --bandgap.
bool parse_calibration_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_calibration_options(const CliOptions& o, const CommandInfo& command);
extern const char kCalibrationHelp[];

// Writes the values given into the loaded buffer as the calibration dialog's OK does, with its
// checks; kBadInput after a refusal has been printed (the buffer then unchanged).
int apply_calibration_values(CliContext& c);

} // namespace zz::cli
