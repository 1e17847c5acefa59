#pragma once

#include "cli/auto_options.h"
#include "cli/calibration_options.h"
#include "cli/fill_options.h"
#include "cli/job_options.h"
#include "cli/production_options.h"
#include "cli/records_options.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace zz::cli {

// Bad usage: the message is printed with the usage text and the program exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The steps of `program --steps LIST`, by the program option they tick.
struct ProgramSteps {
    bool blank = true;
    bool erase = true;
    bool eeprom = true;
    bool rom = true;
    bool fuses = true;
    bool verify = true; // "Write finish again verify once ": the program memory read back
};

// The window's option flags that a board command may set.
struct FlagOptions {
    bool icsp = false;                    // "&ICSP Mode"
    bool vpp_first = false;               // "Use VPP First Program Entry"
    bool no_chip_check = false;           // "Do not check chip type during program"
    std::optional<bool> osccal_from_chip; // "&Cal Program Options": true chip, false file
};

// What the program says about itself instead of running a command.
struct InfoOptions {
    bool version = false;
    std::string list; // "options", "commands" or "families", for the shell's completion
};

// --set NAME=OPTION (in the order given) and --set-id HEX: fuse editor choices for the buffer.
struct FuseEdits {
    std::vector<std::string> set;
    std::optional<std::string> set_id;
};

// `upgrade-firmware [--image FILE]`: empty takes the model's image in the data folder.
struct FirmwareOptions {
    std::string image;
};

// serve-board: the virtual board on a pseudo-terminal.
struct ServeOptions {
    std::string link;    // a symbolic link to the slave side, made while serving
    std::string deliver; // "fifo", "fifo:N", "byte" or "frame:MS"; empty: fifo
};

// station: where the control socket listens, and the token its clients give.
struct ListenOptions {
    std::string address;    // unix:PATH or tcp:HOST:PORT
    std::string token_file; // empty: no token
    bool allow_job_change = false; // clients may set the released job every board runs
};

struct CliOptions {
    std::optional<int> model;
    std::optional<std::string> port;
    bool virtual_board = false;
    std::optional<std::string> virtual_chip;
    std::string chip_image;
    std::string chip_save;
    std::optional<std::string> family;
    std::optional<std::string> chip;
    std::string data_dir;
    bool yes = false;
    std::optional<bool> answer; // --yes or --no, when given
    bool trace = false;
    bool json = false;
    bool quiet = false;
    bool help = false;
    std::optional<ProgramSteps> steps;
    FuseEdits fuse_edits;
    FillOptions fill;
    CalibrationOptions calibration;
    FirmwareOptions firmware;
    ProductionOptions production;
    RecordsOptions records;
    ServeOptions serve;
    ListenOptions listen;
    FlagOptions flags;
    InfoOptions info;
    BoardsOptions boards;
    JobOptions job;
    std::string command;
    std::vector<std::string> args;
};

// What a command needs besides its arguments.
enum class CommandKind {
    offline, // files and databases only: no port is opened
    search,  // probes every port itself
    board,   // one operation on the board
    serve,   // the virtual board on a pseudo-terminal, until stopped
    store,   // the production records database only
    job,     // production jobs: made from files, kept in the records database
};

struct CommandInfo {
    const char* name;
    int arg_count;
    CommandKind kind;
    int optional_args = 0; // arguments that may follow the required ones
};

// The command of that name, or nullptr.
const CommandInfo* find_command(const std::string& name);
// Every command, in the order of the usage text.
std::span<const CommandInfo> command_table();

// The option being parsed, as a group of options sees it.
class OptionArg {
public:
    virtual ~OptionArg() = default;
    // The option's value: the text after "=", else the next argument. Throws UsageError when
    // there is none.
    virtual std::string value() = 0;
};

// A group of options that belong to one feature, each group in a file of its own.
struct OptionGroup {
    // Takes the option `name` into `o` and returns true, or returns false for a name the group
    // does not know. An option without a value must not call arg.value().
    bool (*parse)(const std::string& name, OptionArg& arg, CliOptions& o);
    // Refuses combinations of the group's options with the command (throws UsageError); may be
    // null.
    void (*check)(const CliOptions& o, const CommandInfo& command);
    // Lines of the usage text for the group's options.
    const char* help;
};

// `job create`: the options a job is made of are the ones program takes.
bool creates_job(const CliOptions& o);

// Options may come before or after the command; "--" ends them. Throws UsageError.
CliOptions parse_options(const std::vector<std::string>& arguments);

std::string usage_text();

} // namespace zz::cli
