#pragma once
// Option, "Remote Control...": where the station view listens for the handlers and testers that
// drive its boards ("unix:PATH" or "tcp:HOST:PORT"), and the token file an address beyond this
// computer needs. Kept in the settings file.
#include <string>

namespace zz {

class RemoteControlModel {
public:
    // `applies_at_once`: the station view (else the one-board window, from its next start).
    RemoteControlModel(std::string address, std::string token_file, bool applies_at_once);

    void set_address(std::string address);
    void set_token_file(std::string token_file);
    const std::string& address() const { return address_; }
    const std::string& token_file() const { return token_file_; }

    // Why OK is refused; empty when it may be taken (an empty address turns listening off).
    std::string problem() const;
    // The line under the fields: the problem, or when the choice takes effect.
    std::string status() const;

private:
    std::string address_;
    std::string token_file_;
    bool applies_at_once_;
};

// Whether a TCP host stays on this computer: empty (loopback), "localhost", 127.x.x.x or [::1].
bool is_loopback_host(const std::string& host);

} // namespace zz
