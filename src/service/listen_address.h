#pragma once
// Where the service listens: "unix:PATH" or "tcp:HOST:PORT" (HOST empty: loopback; an IPv6
// address in brackets).
#include <string>

namespace zz::service {

struct ListenAddress {
    bool unix_socket = true;
    std::string path; // unix
    std::string host; // tcp
    std::string port; // tcp
};

// Throws ServiceError for anything else.
ListenAddress parse_listen_address(const std::string& text);

struct Listener {
    int fd = -1;
    bool local = true; // a Unix socket or a loopback address
    std::string shown; // as listened on, with the port the system chose for port 0
};

// The token of `path`: its first line without the blanks after it. Throws ServiceError when the
// file cannot be read or its first line is empty.
std::string read_token_file(const std::string& path);

// Binds and listens. A Unix socket gets mode 0660 (its group may drive the station); one left
// behind by a service that is gone is replaced, one in use is not. Throws ServiceError.
Listener open_listener(const ListenAddress& address);

} // namespace zz::service
