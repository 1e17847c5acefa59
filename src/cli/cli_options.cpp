#include "cli/cli_options.h"
#include "cli/fuse_options.h"
#include "cli/firmware_options.h"

#include "cli/serve_board_options.h"
#include "cli/station_options.h"
#include "cli/flag_options.h"
#include "cli/info_options.h"

#include <array>
#include <charconv>
#include <sstream>
#include <utility>

namespace zz::cli {

namespace {

constexpr CommandInfo kCommands[] = {
    {"ports", 0, CommandKind::offline},
    {"find", 0, CommandKind::search},
    {"chips", 0, CommandKind::offline},
    {"info", 0, CommandKind::offline},
    {"checksum", 1, CommandKind::offline},
    {"convert", 2, CommandKind::offline},
    {"dump", 1, CommandKind::offline},
    {"fuses", 0, CommandKind::offline, 1},
    {"read", 1, CommandKind::board},
    {"erase", 0, CommandKind::board},
    {"blank", 0, CommandKind::board},
    {"verify", 1, CommandKind::board},
    {"program", 0, CommandKind::board, 1},
    {"write-rom", 1, CommandKind::board},
    {"write-eeprom", 1, CommandKind::board},
    {"write-fuses", 1, CommandKind::board},
    {"version", 0, CommandKind::board},
    {"calibration", 0, CommandKind::board},
    {"upgrade-firmware", 0, CommandKind::board},
    {"serve-board", 0, CommandKind::serve},
    {"auto", 0, CommandKind::board, 1},
    {"station", 0, CommandKind::board, 1},
    {"records", 0, CommandKind::store},
    {"sequence", 1, CommandKind::store},
    {"job", 1, CommandKind::job, 2},
};

int parse_model(const std::string& text) {
    int model = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), model);
    if (ec != std::errc{} || end != text.data() + text.size() || model < 1 || model > 4)
        throw UsageError("--model takes a programmer model 1..4, not \"" + text + "\"");
    return model;
}

ProgramSteps parse_steps(const std::string& list) {
    ProgramSteps steps{false, false, false, false, false, false};
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item == "blank")
            steps.blank = true;
        else if (item == "erase")
            steps.erase = true;
        else if (item == "eeprom")
            steps.eeprom = true;
        else if (item == "rom")
            steps.rom = true;
        else if (item == "fuses")
            steps.fuses = true;
        else if (item == "verify")
            steps.verify = true;
        else
            throw UsageError("--steps takes blank,erase,eeprom,rom,fuses,verify, not \"" + item +
                             "\"");
    }
    return steps;
}

// The options every command shares: the board, the chip, the answers and the output.
bool parse_general_option(const std::string& name, OptionArg& arg, CliOptions& o) {
    if (name == "--model")
        o.model = parse_model(arg.value());
    else if (name == "--port")
        o.boards.ports.push_back(*(o.port = arg.value()));
    else if (name == "--virtual-chip")
        o.virtual_chip = arg.value();
    else if (name == "--chip-image")
        o.chip_image = arg.value();
    else if (name == "--chip-save")
        o.chip_save = arg.value();
    else if (name == "--family")
        o.family = arg.value();
    else if (name == "--chip")
        o.chip = arg.value();
    else if (name == "--data-dir")
        o.data_dir = arg.value();
    else if (name == "--steps")
        o.steps = parse_steps(arg.value());
    else if (name == "--virtual-board")
        o.virtual_board = true;
    else if (name == "--yes" || name == "--no") {
        const bool yes = name == "--yes";
        if (o.answer && *o.answer != yes)
            throw UsageError("--yes and --no exclude each other");
        o.answer = o.yes = yes;
    } else if (name == "--trace")
        o.trace = true;
    else if (name == "--json")
        o.json = true;
    else if (name == "--quiet")
        o.quiet = true;
    else
        return false;
    return true;
}

void check_general_options(const CliOptions& o, const CommandInfo& command) {
    if (o.steps && o.command != "program" && !creates_job(o))
        throw UsageError("--steps belongs to the program and job create commands");
    const bool chip_options = o.virtual_chip || !o.chip_image.empty() || !o.chip_save.empty();
    const bool serves = command.kind == CommandKind::serve;
    if (chip_options && !o.virtual_board && !serves)
        throw UsageError(
            "--virtual-chip, --chip-image and --chip-save need --virtual-board or serve-board");
    if (chip_options && command.kind != CommandKind::board && !serves)
        throw UsageError("--virtual-chip, --chip-image and --chip-save need a board command");
}

constexpr const char* kGeneralHelp = R"(  --model N            programmer model 1..4 (default: the settings file's, else 3)
  --port NAME          serial port (default: the settings file's)
  --virtual-board      use the virtual board instead of a port
  --virtual-chip NAME  chip in the virtual board's socket (default: the selected chip)
  --chip-image FILE    load the virtual chip's memories from this image file first
  --chip-save FILE     after the command, save the virtual chip's memories (HEX, or a raw
                       image when FILE does not end in .hex)
  --family NAME        chip family text as in the chip family selector (default "All Chip")
  --chip NAME          chip (default: the settings file's)
  --data-dir DIR       folder with the chip databases (default: the installed one)
  --yes | --no         answer to questions asked during an operation (default: --no)
  --trace              print every exchange with the board on stderr, one line each
  --json               print the result as one JSON object instead of text
  --quiet              print only errors and the data a command is asked for
  --steps LIST         program's steps, a comma list of blank,erase,eeprom,rom,fuses,verify
                       (default: all six, as the window ticks them); verify reads the program
                       memory back after writing it (16-bit cores and serial EEPROMs always do)
)";

// Every group of options, in the order of the usage text.
constexpr OptionGroup kOptionGroups[] = {
    {parse_general_option, check_general_options, kGeneralHelp},
    kFlagOptions,
    {parse_boards_option, check_boards_options, kBoardsHelp},
    kFuseOptions,
    {parse_fill_option, check_fill_options, kFillHelp},
    {parse_calibration_option, check_calibration_options, kCalibrationHelp},
    {parse_production_option, check_production_options, kProductionHelp},
    {parse_records_option, check_records_options, kRecordsHelp},
    {parse_job_option, check_job_options, kJobHelp},
    kFirmwareOptions,
    kServeBoardOptions,
    kStationOptions,
    kInfoOptions,
};

class Parser : private OptionArg {
public:
    explicit Parser(const std::vector<std::string>& arguments) : args_(arguments) {}

    CliOptions run() {
        std::vector<std::string> positional;
        bool options_ended = false;
        while (at_ < args_.size()) {
            const std::string arg = args_[at_++];
            if (options_ended || !arg.starts_with("-") || arg == "-")
                positional.push_back(arg);
            else if (arg == "--")
                options_ended = true;
            else
                option(arg);
        }
        if (!positional.empty()) {
            o_.command = positional.front();
            o_.args.assign(positional.begin() + 1, positional.end());
        }
        return o_;
    }

private:
    std::string value() override {
        if (inline_value_)
            return *std::exchange(inline_value_, std::nullopt);
        if (at_ >= args_.size())
            throw UsageError(name_ + " needs a value");
        return args_[at_++];
    }

    void option(const std::string& arg) {
        name_ = arg;
        inline_value_.reset();
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name_ = arg.substr(0, eq);
            inline_value_ = arg.substr(eq + 1);
        }
        for (const OptionGroup& group : kOptionGroups) {
            if (!group.parse(name_, *this, o_))
                continue;
            if (inline_value_)
                throw UsageError(name_ + " takes no value");
            return;
        }
        throw UsageError("unknown option " + name_);
    }

    const std::vector<std::string>& args_;
    std::size_t at_ = 0;
    std::string name_;
    std::optional<std::string> inline_value_;
    CliOptions o_;
};

std::string argument_count(const CommandInfo& info) {
    const std::string least = std::to_string(info.arg_count);
    if (!info.optional_args)
        return least;
    return least + " to " + std::to_string(info.arg_count + info.optional_args);
}

void check_command(const CliOptions& o) {
    if (o.command.empty())
        throw UsageError("no command given");
    const CommandInfo* info = find_command(o.command);
    if (!info)
        throw UsageError("unknown command \"" + o.command + "\"");
    const int given = static_cast<int>(o.args.size());
    if (given < info->arg_count || given > info->arg_count + info->optional_args)
        throw UsageError(o.command + " takes " + argument_count(*info) + " argument(s), not " +
                         std::to_string(given));
    for (const OptionGroup& group : kOptionGroups)
        if (group.check)
            group.check(o, *info);
}

} // namespace

bool creates_job(const CliOptions& o) {
    return o.command == "job" && !o.args.empty() && o.args[0] == "create";
}

std::span<const CommandInfo> command_table() {
    return kCommands;
}

const CommandInfo* find_command(const std::string& name) {
    for (const CommandInfo& info : kCommands)
        if (name == info.name)
            return &info;
    return nullptr;
}

CliOptions parse_options(const std::vector<std::string>& arguments) {
    CliOptions options = Parser(arguments).run();
    if (!asks_program_info(options))
        check_command(options);
    return options;
}

std::string usage_text() {
    std::string text = "Usage: ze-zuzu-cli [options] COMMAND [ARGS]\n\noptions:\n";
    for (const OptionGroup& group : kOptionGroups)
        text += group.help;
    return text + R"(
commands:
  ports                         list serial ports: device, USB id, description, whether this
                                user may open it (and if not, how to get access), and an FTDI
                                bridge's latency timer
  find                          search every port for a board; print model and port
  chips                         list the chips of the family
  info                          print every parameter of the selected chip
  checksum FILE                 load FILE into the buffer; print "Checksum 0xNNNN"
  convert IN OUT                load IN and save it as OUT (each HEX or binary by extension)
  dump FILE                     load FILE and print the buffer grid and the label values
  fuses [FILE]                  the chip's fuse settings with their options and, with FILE,
                                the option the image selects: Watchdog Timer = Off   (Off, On)
  read OUT                      read the chip and save it as OUT (HEX, or binary by extension)
  erase                         erase the chip, then check that it is blank
  blank                         check that the chip is blank
  verify FILE                   compare the chip with FILE
  program FILE | --job NAME     the window's Program: the --steps ticked, in their fixed order;
                                the production options above apply
  auto FILE | --job NAME [--count N]
                                Auto Program: chip after chip as the board senses them, until
                                N chips passed, the target is reached, or SIGINT/SIGTERM;
                                one line per chip and a summary
  station --listen ADDRESS [FILE | --job NAME]
                                the boards as a service: clients drive them with JSON Lines
                                on a control socket (docs/service.md) until SIGINT/SIGTERM
  write-rom FILE                program and verify the program memory from FILE
  write-eeprom FILE             program and verify the data EEPROM from FILE
  write-fuses FILE              program and verify the ID and configuration words from FILE
  version                       the board's hardware version
  calibration                   read the chip's OSCCAL calibration word and BandGap bits
  upgrade-firmware [--image FILE]
                                replace the board's firmware (default FILE: the model's image
                                up320.hex, up330.hex or up300.hex in the data folder)
  serve-board                   the virtual board on a pseudo-terminal: prints its path, answers
                                there in real time until SIGINT or SIGTERM
  records                       the chips on record in the records database (--db), oldest
                                first; --serial, --sequence, --station and --since choose them,
                                --json gives one object a line, --csv the production log's
                                lines, --summary per station and port: passed, failed, yield,
                                chips per hour
  sequence NAME [--values FILE] the state of sequence NAME: next value, used, failed, left;
                                with --values, make it a list sequence of FILE's hex values
  job create FILE --image IMG   make the job file FILE (NAME.zzjob) from IMG and the options:
                                --chip, --steps, --set, --set-id, --serial..., --sequence,
                                --icsp, --vpp-first, --no-chip-check, --osccal-from and the
                                job create options above
  job release FILE              release the job file into the records database: its next
                                revision, which never changes
  job list                      the released jobs, each by its latest revision
  job show NAME[@REV]           a released job: its settings, fingerprint, job checksum and the
                                chips done
  job export NAME[@REV] FILE    write a released job back to a job file
  job password                  set the engineer's password (read from standard input), which
                                leaves the window's operator mode

exit status: 0 success, 1 the operation failed or was refused, 2 bad usage or unreadable input
)";
}

} // namespace zz::cli
