#include "cli/board_runs.h"

#include "cli/cli_output.h"
#include "link/board_discovery.h"

#include <cstdio>
#include <stdexcept>

namespace zz::cli {

namespace {

std::string summary_line(const StationBoard& b) {
    return b.port + ": " + std::to_string(b.passed) + " passed, " + std::to_string(b.failed) +
           " failed" + (b.lost ? ", stopped answering and dropped" : "");
}

std::string summary_json(const std::vector<StationBoard>& boards, int status) {
    std::string out = "{\"summary\":[";
    for (std::size_t k = 0; k < boards.size(); ++k) {
        const StationBoard& b = boards[k];
        out += std::string(k ? "," : "") + "{\"port\":" + json_quote(b.port) +
               ",\"passed\":" + std::to_string(b.passed) +
               ",\"failed\":" + std::to_string(b.failed) +
               ",\"lost\":" + (b.lost ? "true" : "false") +
               ",\"exit\":" + std::to_string(b.status) + "}";
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
        ports = ports_with_a_board(system_serial_ports());
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

void print_summary(const CliOptions& o, const Station& station, int status) {
    const std::vector<StationBoard> boards = station.boards();
    if (o.json) {
        std::printf("%s\n", summary_json(boards, status).c_str());
        return;
    }
    StationBoard total;
    for (const StationBoard& b : boards) {
        std::printf("Summary %s\n", summary_line(b).c_str());
        total.passed += b.passed;
        total.failed += b.failed;
    }
    std::printf("Summary: %d passed, %d failed on %zu boards\n", total.passed, total.failed,
                boards.size());
}

} // namespace zz::cli
