#include "service/listen_address.h"

#include <fstream>

#include "service/service_setup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace zz::service {

namespace {

constexpr int kBacklog = 16; // connections waiting to be accepted

[[noreturn]] void fail(const std::string& what) {
    throw ServiceError(what + ": " + std::strerror(errno));
}

sockaddr_un unix_address(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        throw ServiceError("unix:" + path + ": a socket path of 1 to " +
                           std::to_string(sizeof(address.sun_path) - 1) + " bytes");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// A socket file nobody listens on is a dead service's: it goes. Anything else stays.
void clear_stale_socket(const std::string& path, const sockaddr_un& address) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return;
    if (!S_ISSOCK(info.st_mode))
        throw ServiceError("unix:" + path + ": the path is taken by a file that is no socket");
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool in_use =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    if (in_use)
        throw ServiceError("unix:" + path + ": another service listens there");
    ::unlink(path.c_str());
}

Listener unix_listener(const std::string& path) {
    const sockaddr_un address = unix_address(path);
    clear_stale_socket(path, address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        fail("unix:" + path);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0660) != 0 || ::listen(fd, kBacklog) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        fail("unix:" + path);
    }
    return {fd, true, "unix:" + path};
}

bool is_loopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
    return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
}

std::string shown_tcp(int fd) {
    sockaddr_storage bound{};
    socklen_t size = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size);
    char host[NI_MAXHOST] = "";
    char port[NI_MAXSERV] = "";
    ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), size, host, sizeof host, port,
                  sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
    const bool v6 = bound.ss_family == AF_INET6;
    return std::string("tcp:") + (v6 ? "[" : "") + host + (v6 ? "]" : "") + ":" + port;
}

Listener tcp_listener(const ListenAddress& a) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string shown = "tcp:" + a.host + ":" + a.port;
    if (const int error = ::getaddrinfo(a.host.c_str(), a.port.c_str(), &hints, &found))
        throw ServiceError(shown + ": " + ::gai_strerror(error));
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, ::freeaddrinfo);
    const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, 0);
    if (fd < 0)
        fail(shown);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, kBacklog) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        fail(shown);
    }
    return {fd, is_loopback(found->ai_addr), shown_tcp(fd)};
}

} // namespace

ListenAddress parse_listen_address(const std::string& text) {
    ListenAddress a;
    if (text.starts_with("unix:")) {
        a.path = text.substr(5);
        unix_address(a.path); // checks its length
        return a;
    }
    const std::size_t colon = text.rfind(':');
    if (!text.starts_with("tcp:") || colon < 4 || colon + 1 == text.size())
        throw ServiceError("\"" + text + "\" is no address: unix:PATH or tcp:HOST:PORT");
    a.unix_socket = false;
    a.host = text.substr(4, colon - 4);
    a.port = text.substr(colon + 1);
    if (a.host.size() >= 2 && a.host.front() == '[' && a.host.back() == ']')
        a.host = a.host.substr(1, a.host.size() - 2);
    if (a.host.empty())
        a.host = "127.0.0.1";
    if (a.port.find_first_not_of("0123456789") != std::string::npos || a.port.size() > 5 ||
        std::stoi(a.port) > 65535)
        throw ServiceError("\"" + text + "\": the port is a number from 0 to 65535");
    return a;
}

Listener open_listener(const ListenAddress& address) {
    return address.unix_socket ? unix_listener(address.path) : tcp_listener(address);
}

std::string read_token_file(const std::string& path) {
    std::ifstream in(path);
    std::string token;
    std::getline(in, token);
    while (!token.empty() && (token.back() == '\r' || token.back() == ' ' || token.back() == '\t'))
        token.pop_back();
    if (in.bad() || token.empty())
        throw ServiceError("no token in the first line of " + path);
    return token;
}

} // namespace zz::service
