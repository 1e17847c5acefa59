#pragma once

#include "cli/cli_operator.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zz::cli {

// A JSON string literal.
std::string json_quote(std::string_view text);
// A JSON array of strings.
std::string json_strings(const std::vector<std::string>& items);

// What a command prints: data lines on stdout in text mode, or named JSON values gathered into
// the one object printed at the end under --json.
class CliOutput {
public:
    explicit CliOutput(bool json, std::string prefix = {})
        : json_(json), prefix_(std::move(prefix)) {}

    bool json() const { return json_; }
    // Text mode: prints the line at once, after the prefix (the port, when several boards run),
    // with one call, so lines printed by other threads never cut into it.
    void line(const std::string& text) const;
    // JSON mode: a member of the result object; `json_value` is already JSON.
    void field(std::string key, std::string json_value);

    // The result object: the command, its exit status, every message shown and the fields.
    std::string object(const std::string& command, int exit_status,
                       const std::vector<Shown>& shown) const;

private:
    bool json_;
    std::string prefix_;
    std::vector<std::pair<std::string, std::string>> fields_;
};

} // namespace zz::cli
