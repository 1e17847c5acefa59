// Request lines of the control socket, of any content: each is a request or the reason it is
// not, and the error event that reason makes is a JSON line a client can read.
#include "service/events.h"
#include "service/request.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zz::service;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const Parsed parsed = parse_request(line);
    if (const Request* r = std::get_if<Request>(&parsed)) {
        if (r->cmd.empty() || (r->board && *r->board < 1))
            __builtin_trap();
        return 0;
    }
    const std::string written = event_line(error_event(std::get<std::string>(parsed)));
    if (written.back() != '\n' || json::parse(written).at("event") != "error")
        __builtin_trap();
    return 0;
}
