#include "dialogs/remote/remote_control_model.h"

#include <algorithm>
#include <cctype>

namespace zz {

namespace {

bool starts(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool is_port(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return false;
    const int port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

// "tcp:HOST:PORT": the problem with it, or empty.
std::string tcp_problem(const std::string& rest, const std::string& token_file) {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos || !is_port(rest.substr(colon + 1)))
        return "A TCP address is tcp:HOST:PORT, with a port from 1 to 65535.";
    if (!is_loopback_host(rest.substr(0, colon)) && token_file.empty())
        return "An address beyond this computer needs a token file.";
    return {};
}

} // namespace

bool is_loopback_host(const std::string& host) {
    return host.empty() || host == "localhost" || host == "[::1]" || starts(host, "127.");
}

RemoteControlModel::RemoteControlModel(std::string address, std::string token_file,
                                       bool applies_at_once)
    : address_(std::move(address)), token_file_(std::move(token_file)),
      applies_at_once_(applies_at_once) {}

void RemoteControlModel::set_address(std::string address) {
    address_ = std::move(address);
}

void RemoteControlModel::set_token_file(std::string token_file) {
    token_file_ = std::move(token_file);
}

std::string RemoteControlModel::problem() const {
    if (address_.empty())
        return {};
    if (starts(address_, "unix:"))
        return address_.size() > 5 ? "" : "A Unix socket is unix:PATH.";
    if (starts(address_, "tcp:"))
        return tcp_problem(address_.substr(4), token_file_);
    return "The address is unix:PATH or tcp:HOST:PORT.";
}

std::string RemoteControlModel::status() const {
    if (const std::string why = problem(); !why.empty())
        return why;
    if (address_.empty())
        return "Remote control is off.";
    return applies_at_once_ ? "The station listens from OK on."
                            : "The window listens from its next start, its boards on panels.";
}

} // namespace zz
