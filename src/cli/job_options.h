#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zz::cli {

struct CliOptions;
struct CommandInfo;
class OptionArg;

// Production jobs: the job `program` and `auto` run (and who runs it), what `job create` puts
// into a job, and the job `records` looks at.
struct JobOptions {
    std::string job;           // --job NAME[@REV], or with --engineer a job file
    std::string lot;           // --lot TEXT: on each record; a records filter
    std::string operator_name; // --operator NAME
    bool engineer = false;     // --engineer: a job file that has not been released may run
    // job create
    std::string name;                      // --name NAME
    std::optional<std::int64_t> quantity;  // --quantity N
    bool require_lot = false;              // --require-lot
    std::vector<std::string> preserve;     // --preserve eeprom:START-END / rom:START-END
    std::vector<std::string> notes;        // --note TEXT
    bool lot_given = false;                // --lot was given (an empty lot is a filter too)
};

bool parse_job_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_job_options(const CliOptions& o, const CommandInfo& command);
extern const char kJobHelp[];

// The option that would change what the job says, when `program` or `auto` run a job: the
// first given, as typed ("--chip"); empty when none is.
std::string option_against_job(const CliOptions& o);

} // namespace zz::cli
