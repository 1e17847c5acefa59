#include "cli/board_runs.h"

#include "base/real_loop.h"
#include "cli/cli_output.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace zz::cli {

namespace {

class QuietOperator : public Operator {
public:
    void show_message(std::string_view, std::string_view, Icon) override {}
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
    bool play_tone(int, int) override { return true; }
};

// The board search of the window, one port at a time and without its messages.
bool board_answers_on(const std::string& name) {
    RealLoop loop;
    SerialPort port(loop);
    QuietOperator op;
    Flag N18, N31{true}, N_ICSP, vpp_first;
    Link link(loop, port, op, LinkFlags{N18, N31, N_ICSP, vpp_first});
    BoardDiscovery search(link, [name] { return std::vector<std::string>{name}; });
    bool found = false;
    search.apply_found_model = [&found] { found = true; };
    link.StartupSearchPending = true; // a search without messages
    search.findbord();
    port.set_dtr(DtrControl::Disable);
    port.close();
    return found;
}

std::string summary_line(const std::string& port, const BoardTally& t) {
    return port + ": " + std::to_string(t.passed) + " passed, " + std::to_string(t.failed) +
           " failed" + (t.lost ? ", stopped answering and dropped" : "");
}

std::string summary_json(const std::vector<BoardShare>& boards, int status) {
    std::string out = "{\"summary\":[";
    for (std::size_t k = 0; k < boards.size(); ++k) {
        const BoardTally& t = boards[k].tally;
        out += std::string(k ? "," : "") + "{\"port\":" + json_quote(boards[k].port) +
               ",\"passed\":" + std::to_string(t.passed) +
               ",\"failed\":" + std::to_string(t.failed) +
               ",\"lost\":" + (t.lost ? "true" : "false") +
               ",\"exit\":" + std::to_string(t.status) + "}";
    }
    return out + "],\"exit\":" + std::to_string(status) + "}";
}

} // namespace

std::vector<std::string> several_board_ports(const CliOptions& o) {
    const BoardsOptions& b = o.boards;
    std::vector<std::string> ports;
    if (b.virtual_boards > 1) {
        for (int n = 1; n <= b.virtual_boards; ++n)
            ports.push_back("Virtual board " + std::to_string(n));
    } else if (b.ports_all_found) {
        for (const std::string& name : system_serial_ports())
            if (board_answers_on(name))
                ports.push_back(name);
        if (ports.empty())
            throw std::runtime_error("the board search found no board on any port");
    } else if (b.ports.size() > 1) {
        ports = b.ports;
    }
    // --ports-all-found with one board found runs it like a single board.
    if (ports.size() == 1 && !b.ports_all_found)
        ports.clear();
    return ports;
}

bool numbers_can_be_shared(const ProductionSetup& setup, const ChipParams& chip, Operator& op) {
    if (!setup.numbered || (setup.serial.inc_save && serial_save_possible(chip)))
        return true;
    op.show_message("Several boards take serial numbers from one sequence only when each is "
                    "reserved in the image file: add --serial-save",
                    "Error", Icon::Error);
    return false;
}

int run_boards(const CliOptions& o, std::vector<BoardShare>& boards,
               const std::function<int(BoardShare&)>& run_board) {
    std::vector<std::thread> threads;
    threads.reserve(boards.size());
    for (BoardShare& board : boards)
        threads.emplace_back([&run_board, &board] { board.tally.status = run_board(board); });
    for (std::thread& t : threads)
        t.join();
    int status = 0;
    BoardTally total;
    for (const BoardShare& board : boards) {
        status = std::max(status, board.tally.status);
        total.passed += board.tally.passed;
        total.failed += board.tally.failed;
    }
    if (o.json) {
        std::printf("%s\n", summary_json(boards, status).c_str());
        return status;
    }
    for (const BoardShare& board : boards)
        std::printf("Summary %s\n", summary_line(board.port, board.tally).c_str());
    std::printf("Summary: %d passed, %d failed on %zu boards\n", total.passed, total.failed,
                boards.size());
    return status;
}

} // namespace zz::cli
