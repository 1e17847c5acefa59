#include "service/station_service.h"

#include "base/sha256.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/crypto.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace zz::service {

namespace {

// The longest wait for a request, a connection or news before stop() is looked at again (ms).
constexpr int kPollMs = 500;

// In constant time: both sides are hashed to the same length first.
bool same_token(const std::string& given, const std::string& token) {
    const std::string a = sha256_hex(given);
    const std::string b = sha256_hex(token);
    return CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string peer_name(const sockaddr_storage& from, socklen_t size) {
    if (from.ss_family == AF_UNIX)
        return "unix socket";
    char host[NI_MAXHOST] = "";
    char port[NI_MAXSERV] = "";
    ::getnameinfo(reinterpret_cast<const sockaddr*>(&from), size, host, sizeof host, port,
                  sizeof port, NI_NUMERICHOST | NI_NUMERICSERV);
    return std::string(host) + " port " + port;
}

void signal_fd(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
}

} // namespace

StationService::StationService(ServiceSetup setup)
    : setup_(std::move(setup)),
      core_(setup_, [this](int client, const json& event) { send(client, event); }) {}

StationService::~StationService() {
    stop();
}

void StationService::listen(const std::string& address) {
    if (thread_.joinable())
        throw ServiceError("the service listens already, on " + listener_.shown);
    const Listener listener = open_listener(parse_listen_address(address));
    if (!listener.local && setup_.token.empty()) {
        ::close(listener.fd);
        throw ServiceError(address + " is reachable from other computers: a token is needed");
    }
    listener_ = listener;
    wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    for (std::size_t k = 0; k < setup_.boards.size(); ++k)
        listening_.push_back(setup_.boards[k]->add_listener([this, k](const BoardPanel& panel) {
            {
                const std::lock_guard lock(news_mutex_);
                news_.emplace_back(k, panel);
            }
            signal_fd(wake_fd_);
        }));
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
    log("listening on " + listener_.shown);
}

void StationService::stop() {
    for (std::size_t k = 0; k < listening_.size(); ++k)
        setup_.boards[k]->remove_listener(listening_[k]);
    listening_.clear();
    if (!thread_.joinable())
        return;
    stopping_ = true;
    signal_fd(wake_fd_);
    thread_.join();
    take_news(); // the boards' last changes (a chip's result) still reach their clients
    for (const auto& [id, client] : clients_)
        core_.client_gone(id);
    clients_.clear();
    ::close(listener_.fd);
    ::close(wake_fd_);
    if (listener_.shown.starts_with("unix:"))
        ::unlink(listener_.shown.substr(5).c_str());
    log("stopped listening on " + listener_.shown);
}

void StationService::serve() {
    std::vector<int> order;
    while (!stopping_)
        wait_and_serve(order);
}

void StationService::wait_and_serve(std::vector<int>& order) {
    std::vector<pollfd> fds{{wake_fd_, POLLIN, 0}, {listener_.fd, POLLIN, 0}};
    order.clear();
    for (const auto& [id, client] : clients_) {
        const short out = client->waiting() ? POLLOUT : 0;
        fds.push_back({client->fd(), static_cast<short>(POLLIN | out), 0});
        order.push_back(id);
    }
    if (::poll(fds.data(), fds.size(), kPollMs) <= 0)
        return;
    if (fds[0].revents)
        take_news();
    if (fds[1].revents)
        accept_client();
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int id = order[k];
        const auto at = clients_.find(id);
        if (at == clients_.end())
            continue;
        Connection& client = *at->second;
        const short events = fds[k + 2].revents;
        bool open = true;
        if (events & (POLLIN | POLLHUP | POLLERR))
            open = client.receive(
                [&](std::string_view line) { on_line(id, client, line); },
                [&] { send(id, error_event(too_long_text())); });
        if (events & POLLOUT)
            client.flush();
        if (!open)
            drop(id, "closed the connection");
        else if (client.broken())
            drop(id, "dropped: the connection failed or its events were not read");
        else if (client.closing && !client.waiting())
            drop(id, "closed");
    }
}

void StationService::take_news() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(wake_fd_, &count, sizeof count);
    std::vector<std::pair<std::size_t, BoardPanel>> news;
    {
        const std::lock_guard lock(news_mutex_);
        news.swap(news_);
    }
    for (const auto& [board, panel] : news)
        core_.board_changed(board, panel);
}

void StationService::accept_client() {
    sockaddr_storage from{};
    socklen_t size = sizeof from;
    const int fd = ::accept4(listener_.fd, reinterpret_cast<sockaddr*>(&from), &size,
                             SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    if (from.ss_family != AF_UNIX) {
        const int yes = 1; // an event goes out at once, not with the next one
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    }
    const int id = ++next_client_;
    const std::string peer = peer_name(from, size);
    clients_.emplace(id, std::make_unique<Connection>(fd, peer));
    log("client " + std::to_string(id) + " (" + peer + ") connected");
}

void StationService::on_line(int id, Connection& client, std::string_view line) {
    const Parsed parsed = parse_request(line);
    const Request* request = std::get_if<Request>(&parsed);
    if (!client.admitted && !admit(id, client, request))
        return;
    if (!request)
        return send(id, error_event(std::get<std::string>(parsed)));
    core_.request(id, *request);
}

bool StationService::admit(int id, Connection& client, const Request* request) {
    if (setup_.token.empty() || (request && request->token && same_token(*request->token, setup_.token))) {
        client.admitted = true;
        return true;
    }
    log("client " + std::to_string(id) + " (" + client.peer() +
        "): wrong or missing token, connection closed");
    send(id, error_event("wrong or missing token: the connection is closed"));
    client.closing = true;
    return false;
}

void StationService::send(int id, const json& event) {
    const auto at = clients_.find(id);
    if (at != clients_.end())
        at->second->send(event_line(event));
}

void StationService::drop(int id, const std::string& why) {
    const auto at = clients_.find(id);
    log("client " + std::to_string(id) + " (" + at->second->peer() + ") " + why);
    clients_.erase(at);
    core_.client_gone(id);
}

void StationService::log(const std::string& line) const {
    if (setup_.log)
        setup_.log(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace zz::service
