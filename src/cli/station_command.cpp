#include "cli/station_command.h"

#include "app/board_runner.h"
#include "cli/board_runs.h"
#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/stop_signals.h"
#include "service/station_service.h"
#include "sim/socket_operator.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace zz::cli {

namespace {

// How often the wait for SIGINT or SIGTERM looks (ms).
constexpr int kSignalPollMs = 50;

// "Virtual board 1" ... N, every --port, every port where a board was found, or the one board.
std::vector<std::string> station_ports(const CliOptions& o, const AppSettings& s) {
    std::vector<std::string> ports = several_board_ports(o);
    if (ports.empty())
        ports.push_back(o.virtual_board ? std::string("Virtual board") : s.COM);
    return ports;
}

// On the real clock, where the clients live: a virtual board answers as a real one would, with
// a blank `chip` in its socket and, with --virtual-operator, a person at it.
BoardFactory station_lines(const CliOptions& o, int model, const ChipParams& chip) {
    if (!o.virtual_board)
        return [](const std::string& name) {
            return serial_line([name] { return std::vector<std::string>{name}; });
        };
    return [model, chip, person = o.boards.person](const std::string& name) {
        BoardLine line = virtual_line(model, name, true);
        line.board->insert_chip(VirtualChip(chip));
        if (person)
            line.attachment = std::make_shared<SocketOperator>(
                *line.board, *person, [chip] { return VirtualChip(chip); });
        return line;
    };
}

// What every board works with, settled before any of them is touched.
struct Settled {
    std::unique_ptr<Station> station;
    StationPlan plan;
    ChipParams chip;
    int model = 0;
};

// The numbering, the log, the store and the job judged once, and the image read, as for auto.
int settle(const CliOptions& o, const AppSettings& settings,
           const std::filesystem::path& data_dir, bool several, Settled& out) {
    CliOperator op(o.yes, o.json, o.quiet, "");
    CliOutput text(o.json, "");
    BoardLine line = serial_line({}); // only its session's loop: no port is opened
    Session session(SessionEnv{*line.loop, op, *line.port, data_dir, {}, line.lister, false});
    session.settings = settings;
    ProgressMeter progress(session.link().status, false);
    CliContext c{o, op, text, line, session, progress, {}};
    select_offline(session);
    if (o.family && !o.chip) {
        session.ComboBox2 = *o.family;
        session.family_changed();
    }
    int status = prepare_production(c);
    if (status == kSuccess)
        status = open_station(c, several, out.station);
    if (status == kSuccess && o.job.job.empty())
        status = load_file_to_program(c, o.args[0]);
    out.plan = c.production;
    out.chip = session.chip();
    out.model = out.plan.job ? out.plan.job->job.model : session.ProgrammerModel.get();
    return status;
}

std::unique_ptr<BoardRunner> start_board(const CliOptions& o, const AppSettings& settings,
                                         const std::filesystem::path& data_dir, Settled& s,
                                         const std::string& port) {
    BoardStart start{data_dir, settings, s.plan, o.virtual_board};
    start.settings.COM = port;
    start.settings.prog_type = s.model;
    if (s.plan.job)
        with_job_chip(start.settings, s.plan.job->job);
    else
        start.settings.filename = std::filesystem::absolute(o.args[0]).string();
    return std::make_unique<BoardRunner>(*s.station, s.station->open_line(port), std::move(start));
}

// `job {name}` over the socket: the released job read and judged as a start with --job reads
// it, then handed to every board, which takes it before its next chip.
std::string change_job(const CliOptions& o, const std::filesystem::path& data_dir, Settled& s,
                       const std::vector<BoardRunner*>& boards, const std::string& name,
                       std::string& title) {
    std::shared_ptr<const RunningJob> running;
    const ChipDatabase database(data_dir);
    try {
        running = open_running_job({name, o.job.lot, o.job.operator_name, false},
                                   s.station->store(), database);
    } catch (const std::exception& e) { // JobError, StoreError
        return e.what();
    }
    const Job& job = running->job;
    StationPlan plan = s.plan;
    plan.job = running;
    plan.numbered = job.serial.enabled;
    plan.serial = job.serial.settings;
    plan.sequence = job.serial.sequence;
    const ChipParams chip = database.load(job.model, job.chip, ChipParams{});
    if (boards.size() > 1)
        if (std::string refused = Station::sharing_refused(plan, chip); !refused.empty())
            return refused;
    s.plan = plan;
    for (BoardRunner* board : boards)
        board->use_plan(plan);
    title = running->title();
    std::fprintf(stderr, "Job %s, fingerprint %s: every board takes it before its next chip\n",
                 title.c_str(), short_fingerprint(running->fingerprint).c_str());
    return {};
}

void wait_for_stop_signal() {
    while (!stop_signal_caught())
        std::this_thread::sleep_for(std::chrono::milliseconds(kSignalPollMs));
}

// Until every board has ended its command, its chip on record; a board that takes longer than
// its question's wait is left to its runner's end.
void wait_for_chips(const std::vector<std::unique_ptr<BoardRunner>>& runners) {
    const auto deadline = std::chrono::steady_clock::now() + BoardRunner::kQuestionWait;
    const auto working = [&runners] {
        return std::any_of(runners.begin(), runners.end(), [](const auto& r) {
            const BoardPanel p = r->panel();
            return p.busy || p.commands_ended < p.commands_begun;
        });
    };
    while (working() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(kSignalPollMs));
}

} // namespace

int station_command(const CliOptions& o, const AppSettings& settings,
                    const std::filesystem::path& data_dir) {
    std::string token;
    try {
        if (!o.listen.token_file.empty())
            token = service::read_token_file(o.listen.token_file);
    } catch (const service::ServiceError& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        return kBadInput;
    }
    const std::vector<std::string> ports = station_ports(o, settings);
    Settled s;
    if (const int status = settle(o, settings, data_dir, ports.size() > 1, s); status != kSuccess)
        return status;
    s.station->set_board_factory(station_lines(o, s.model, s.chip));
    catch_stop_signals();
    std::vector<std::unique_ptr<BoardRunner>> runners;
    std::vector<BoardRunner*> boards;
    for (const std::string& port : ports)
        boards.push_back(runners.emplace_back(start_board(o, settings, data_dir, s, port)).get());
    {
        service::ServiceSetup setup{*s.station, boards,
                                    s.plan.job ? s.plan.job->title() : std::string(), token, {}};
        if (o.listen.allow_job_change)
            setup.change_job = [&](const std::string& name, std::string& title) {
                return change_job(o, data_dir, s, boards, name, title);
            };
        service::StationService service(std::move(setup));
        try {
            service.listen(o.listen.address);
        } catch (const service::ServiceError& e) {
            std::fprintf(stderr, "Error: %s\n", e.what());
            return kBadInput;
        }
        std::printf("Listening on %s\n", service.address().c_str());
        std::fflush(stdout);
        wait_for_stop_signal();
        std::fprintf(stderr, "Stopping: the chips being programmed finish first\n");
        service.refuse_chips();
        for (const auto& runner : runners)
            runner->stop();
        wait_for_chips(runners); // their clients are told of them
    }
    runners.clear();
    print_summary(o, *s.station, kSuccess);
    return kSuccess;
}

} // namespace zz::cli
