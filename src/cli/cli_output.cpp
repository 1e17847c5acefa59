#include "cli/cli_output.h"

#include <cstdio>

namespace zz::cli {

namespace {

std::string shown_json(const Shown& s) {
    std::string out =
        "{\"caption\":" + json_quote(s.caption) + ",\"lines\":" + json_strings(s.lines);
    if (s.answer)
        out += std::string(",\"answer\":") + (*s.answer ? "\"Yes\"" : "\"No\"");
    return out + "}";
}

} // namespace

std::string json_quote(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string json_strings(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items)
        out += (out.size() > 1 ? "," : "") + json_quote(item);
    return out + "]";
}

void CliOutput::line(const std::string& text) const {
    if (!json_)
        std::printf("%s%s\n", prefix_.c_str(), text.c_str());
}

void CliOutput::field(std::string key, std::string json_value) {
    if (json_)
        fields_.emplace_back(std::move(key), std::move(json_value));
}

std::string CliOutput::object(const std::string& command, int exit_status,
                              const std::vector<Shown>& shown) const {
    std::string out = "{\"command\":" + json_quote(command) +
                      ",\"exit\":" + std::to_string(exit_status) + ",\"messages\":[";
    for (std::size_t k = 0; k < shown.size(); ++k)
        out += (k ? "," : "") + shown_json(shown[k]);
    out += "]";
    for (const auto& [key, value] : fields_)
        out += "," + json_quote(key) + ":" + value;
    return out + "}";
}

} // namespace zz::cli
