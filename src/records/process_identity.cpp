#include "records/process_identity.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zz {

namespace {

std::string boot_id() {
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return id;
}

// The state letter and start time (field 22) from /proc/PID/stat; false when there is no such
// process. The command name (field 2) may hold blanks and parentheses, so fields are counted
// from its closing parenthesis.
bool read_stat(pid_t pid, char& state, std::string& start_ticks) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return false;
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    fields >> state;
    for (int n = 4; n <= 22 && fields >> field; ++n) // fields 4 to 22
        start_ticks = field;
    return !fields.fail();
}

std::string start_of(pid_t pid) {
    char state = 0;
    std::string ticks;
    if (!read_stat(pid, state, ticks) || state == 'Z' || state == 'X')
        return {};
    return boot_id() + "/" + ticks;
}

} // namespace

std::string host_name() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !name[0])
        return "localhost";
    return name;
}

ProcessIdentity this_process() {
    return ProcessIdentity{host_name(), ::getpid(), start_of(::getpid())};
}

bool process_running(const ProcessIdentity& id) {
    if (id.host != host_name())
        return true;
    const std::string start = start_of(id.pid);
    return !start.empty() && start == id.start;
}

} // namespace zz
