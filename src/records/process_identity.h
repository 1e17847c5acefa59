#pragma once

#include <string>
#include <sys/types.h>

namespace zz {

// Names one process of one machine over time: a process id is used again, but not with the
// same start time since the same boot.
struct ProcessIdentity {
    std::string host;
    pid_t pid = 0;
    std::string start; // "<boot id>/<start time in clock ticks since boot>"
};

ProcessIdentity this_process();

// The process `id` describes still runs (a zombie does not). Only this host's processes can be
// checked: another host's are taken as running.
bool process_running(const ProcessIdentity& id);

// This machine's host name ("localhost" when it has none).
std::string host_name();

} // namespace zz
