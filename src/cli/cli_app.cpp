#include "cli/cli_app.h"

#include "app/settings_file.h"
#include "cli/board_runs.h"
#include "cli/board_wait.h"
#include "cli/cli_commands.h"
#include "cli/flag_options.h"
#include "cli/job_command.h"
#include "cli/ports_command.h"
#include "cli/records_command.h"
#include "cli/serve_board.h"
#include "cli/station_command.h"
#include "cli/stop_signals.h"
#include "device/chip_family.h"
#include "device/data_folder.h"
#include "link/port_access.h"
#include "sim/chip_image.h"
#include "sim/virtual_line.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace zz::cli {

namespace {

std::filesystem::path data_folder(const CliOptions& o) {
    if (!o.data_dir.empty())
        return o.data_dir;
    auto candidates = standard_data_dirs();
    candidates.emplace_back(ZZ_SOURCE_DIR "/data"); // a build that is not installed
    return find_data_dir(candidates);
}

// The settings file gives the defaults; the options override them. The command line never
// writes the file back: the window's choices stay the window's.
AppSettings run_settings(const CliOptions& o) {
    AppSettings s = load_settings(settings_path(executable_dir()));
    s.filename.clear(); // the window's last file is not this command's input
    if (s.prog_type < 1 || s.prog_type > 4)
        s.prog_type = 3;
    s.prog_type = o.model.value_or(s.prog_type);
    s.COM = o.port.value_or(s.COM);
    s.chip_mode = o.family.value_or(std::string(kAllChipFamily));
    s.chip_type = o.chip.value_or(s.chip_type);
    if (!o.records.db.empty())
        s.records_db = o.records.db;
    return s;
}

// Unknown names are bad usage; found before any port is touched.
void check_names(const CliOptions& o, const AppSettings& s, const ChipDatabase& database) {
    if (!find_chip_family(s.chip_mode))
        throw UsageError("unknown chip family \"" + s.chip_mode + "\"");
    const bool family_default = o.family && !o.chip;
    if (!family_default && !database.knows(s.prog_type, s.chip_type))
        throw UsageError("no chip \"" + s.chip_type + "\" for programmer model " +
                         std::to_string(s.prog_type) + " in " + database.data_dir().string());
    if (o.virtual_chip && !database.knows(s.prog_type, *o.virtual_chip))
        throw UsageError("no chip \"" + *o.virtual_chip + "\" for programmer model " +
                         std::to_string(s.prog_type) + " in " + database.data_dir().string());
}

// One board of several: its part of the summary, the prefix of every line printed for it, and
// the station and plan all of them share, settled once.
struct BoardShare {
    StationBoard& board;
    int number; // among the station's boards, from 1
    std::string prefix;
    Station& station;
    const StationPlan& plan;
};

// The line to a board: the virtual board on its virtual clock (a command runs in CPU time and
// the same way every time), or a serial port. The start-up search stays on the chosen port: use
// `find` to search every port.
BoardFactory board_factory(const CliOptions& o, const CommandInfo& command, int model) {
    if (o.virtual_board)
        return [model](const std::string& name) { return virtual_line(model, name, false); };
    if (command.kind == CommandKind::search)
        return [](const std::string&) { return serial_line(system_serial_ports); };
    return [](const std::string& name) {
        return serial_line([name] { return std::vector<std::string>{name}; });
    };
}

// The port a single board's line is called: the virtual board's own name, or the chosen port.
std::string single_port(const CliOptions& o, const AppSettings& s) {
    return o.virtual_board ? std::string("Virtual board") : s.COM;
}

bool uses_production(const std::string& command) {
    return command == "program" || command == "auto";
}

// One command on one board. One of several boards (`share`) prints each line after its prefix,
// draws no progress bar and takes the numbering and the log settled for all of them.
class Run {
public:
    Run(const CliOptions& o, const CommandInfo& command, const AppSettings& settings,
        const std::filesystem::path& data_dir, BoardLine line, BoardShare* share = nullptr)
        : o_(o), command_(command), share_(share), prefix_(share ? share->prefix : ""),
          op_(o.yes, o.json, o.quiet, prefix_), out_(o.json, prefix_), line_(std::move(line)),
          session_(SessionEnv{
              *line_.loop, op_, *line_.port, data_dir, {}, line_.lister, o.virtual_board}),
          progress_(session_.link().status, !o.quiet && !o.json && !share), c_{o,        op_,
                                                                               out_,     line_,
                                                                               session_, progress_,
                                                                               {}} {
        session_.settings = settings;
        session_.ask_before_blank_image = false; // load_file_to_program warns
        // --model is the person's choice: the board search at start-up may follow another
        // board, but a firmware upgrade then stops before anything is sent.
        session_.chosen_model = o.model;
        session_.link().status.Label11.observe(
            [this](const std::string& text) { c_.statuses.push_back(text); });
        if (o.trace)
            session_.link().set_trace([this](bool sent, std::string_view hex) {
                std::fprintf(stderr, "%s%s %.*s\n", prefix_.c_str(), sent ? ">" : "<",
                             static_cast<int>(hex.size()), hex.data());
            });
        if (share) {
            c_.board = &share->board;
            c_.station = &share->station;
            c_.production = share->plan;
        }
    }

    // Before several boards start: the station, the numbering and the log for all of them,
    // judged once.
    int prepare(std::unique_ptr<Station>& station, StationPlan& plan) {
        const int status = settle_production(true, station);
        plan = c_.production;
        if (status != kSuccess && o_.json)
            std::printf("%s\n", out_.object(o_.command, status, op_.shown()).c_str());
        return status;
    }

    int execute() {
        const int status = command_.kind == CommandKind::board ? on_board() : offline();
        if (share_)
            out_.field("port", json_quote(share_->board.port));
        if (o_.json)
            std::printf("%s\n", out_.object(o_.command, status, op_.shown()).c_str());
        return status;
    }

private:
    void select_chip() {
        if (o_.family && !o_.chip) {
            session_.ComboBox2 = *o_.family;
            session_.family_changed();
        }
    }

    // Bad serial-number options, a log that cannot be opened and a records database that cannot
    // be used stop the run before the board is touched.
    int settle_production(bool several_boards, std::unique_ptr<Station>& station) {
        select_offline(session_);
        select_chip();
        const int status = prepare_production(c_);
        return status != kSuccess ? status : open_station(c_, several_boards, station);
    }

    int offline() {
        select_offline(session_);
        select_chip();
        return run_command(c_);
    }

    int on_board() {
        if (!share_ && uses_production(o_.command))
            if (const int status = settle_production(false, station_); status != kSuccess)
                return finish(status);
        session_.startup();
        select_chip();
        std::optional<VirtualSocket> socket;
        if (VirtualBoard* board = line_.board.get()) {
            const std::string name = o_.virtual_chip.value_or(session_.ComboBox1.get());
            socket.emplace(*board,
                           session_.database().load(session_.ProgrammerModel, name, ChipParams{}),
                           o_, op_, out_, share_ ? share_->number : 0);
            c_.socket = &*socket;
            if (!socket->insert())
                return finish(kBadInput);
        }
        const bool ready = wait_board_ready(session_);
        // After the handshake: a board found to be of another model selects the chip again,
        // which unticks "Use VPP First Program Entry".
        if (const int status = apply_flag_options(session_, o_.flags, op_); status != kSuccess)
            return finish(status);
        int status = run_command(c_);
        // A board that never answered has been reported by the command; its watchdog would only
        // say so again.
        if (ready)
            wait_board_idle(session_);
        else if (!line_.board)
            explain_closed_port();
        if (status == kSuccess && op_.error_shown())
            status = kFailed; // the board did not come back after the operation
        if (socket && !socket->save() && status == kSuccess)
            status = kFailed;
        c_.socket = nullptr;
        return finish(status);
    }

    // "Not responding" may mean that this user may not open the port: say so, and what helps.
    void explain_closed_port() {
        const std::string& port = session_.discovery().selector.text.get();
        std::error_code error;
        if (std::filesystem::exists(port, error) && !port_access(port).may_open)
            op_.show_message(permission_denied_text(port), "Error", Icon::Error);
    }

    int finish(int status) {
        session_.close_requested();
        session_.shutdown();
        return status;
    }

    const CliOptions& o_;
    const CommandInfo& command_;
    BoardShare* share_;
    std::unique_ptr<Station> station_; // a single board's; gone after its session
    std::string prefix_;
    CliOperator op_;
    CliOutput out_;
    BoardLine line_;
    Session session_;
    ProgressMeter progress_;
    CliContext c_;
};

// Each board its own session, loop and port, on a thread of its own.
int several_boards(const CliOptions& o, const CommandInfo& command, const AppSettings& settings,
                   const std::filesystem::path& data_dir, const std::vector<std::string>& ports) {
    std::unique_ptr<Station> station;
    StationPlan plan;
    const BoardFactory factory = board_factory(o, command, settings.prog_type);
    // Settled before any port is opened: the line is only made, not opened.
    if (const int status =
            Run(o, command, settings, data_dir, factory(ports.front())).prepare(station, plan);
        status != kSuccess)
        return status;
    station->set_board_factory(plan.job ? board_factory(o, command, plan.job->job.model)
                                        : factory);
    const int status = station->run_boards(ports, [&](StationBoard& board, BoardLine& line) {
        CliOptions own = o;
        own.port = board.port;
        AppSettings board_settings = settings;
        board_settings.COM = board.port;
        if (plan.job)
            with_job_chip(board_settings, plan.job->job);
        const auto at = std::find(ports.begin(), ports.end(), board.port);
        BoardShare share{board, static_cast<int>(at - ports.begin()) + 1, board.port + ": ",
                         *station, plan};
        return Run(own, command, board_settings, data_dir, std::move(line), &share).execute();
    });
    print_summary(o, *station, status);
    return status;
}

} // namespace

int run_cli(const CliOptions& o) {
    const CommandInfo& command = *find_command(o.command);
    if (o.command == "ports")
        return ports_command(o);
    const AppSettings settings = run_settings(o);
    if (command.kind == CommandKind::store)
        return store_command(o, settings);
    const std::filesystem::path data_dir = data_folder(o);
    if (command.kind == CommandKind::job)
        return job_command(o, settings, data_dir);
    check_names(o, settings, ChipDatabase(data_dir));
    if (command.kind == CommandKind::serve)
        return serve_board(o, settings, data_dir);
    if (o.command == "station")
        return station_command(o, settings, data_dir);
    if (o.command == "auto")
        catch_stop_signals();
    const std::vector<std::string> ports = several_board_ports(o);
    if (ports.empty())
        return Run(o, command, settings, data_dir,
                   board_factory(o, command, settings.prog_type)(single_port(o, settings)))
            .execute();
    return several_boards(o, command, settings, data_dir, ports);
}

} // namespace zz::cli
