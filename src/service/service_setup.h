#pragma once
// What a front end hands the service: its station and the boards it already runs.
#include "app/board_runner.h"
#include "app/station.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zz::service {

// An address that cannot be listened on, or a listener that could not be set up.
class ServiceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ServiceSetup {
    Station& station;
    // The boards, numbered from 1 in this order; the front end keeps them running for at least
    // as long as the service.
    std::vector<BoardRunner*> boards;
    std::string job; // the job every board runs, as hello names it; empty: none
    // The first request of each connection carries it; empty: none is asked for (then only a
    // Unix socket or a loopback address may be listened on).
    std::string token;
    // One line for the station's log (connections, refused tokens); empty: stderr.
    std::function<void(const std::string&)> log;
    // `job {name}`: every board takes the released job `name` (its latest revision, or
    // NAME@REV) before its next chip. Returns why not (empty: done) and sets `title` to the job's.
    // Empty: the job cannot be changed over the socket.
    std::function<std::string(const std::string& name, std::string& title)> change_job = {};
};

} // namespace zz::service
