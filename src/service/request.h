#pragma once
// One line a client sends: a JSON object whose "cmd" names the command, its arguments beside it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zz::service {

// The longest request line (bytes, without its newline).
inline constexpr std::size_t kMaxRequestBytes = 64 * 1024;

enum class Command { hello, status, program, auto_mode, stop, answer, subscribe, records, record, job };

struct Request {
    Command command = Command::hello;
    std::string cmd;                     // as the client wrote it
    std::optional<int> board;            // from 1; subscribe without one: every board
    bool on = false;                     // auto: on or off; answer: yes or no
    std::optional<std::int64_t> since_ms; // records: UTC ms since 1970
    std::string since_id;                // records: after this record
    std::string id;                      // record
    std::string name;                    // job
    std::optional<std::string> token;
};

// The request, or why the line is not one (for the error event).
using Parsed = std::variant<Request, std::string>;

Parsed parse_request(std::string_view line);

// What a client is told of a line longer than kMaxRequestBytes.
std::string too_long_text();

} // namespace zz::service
