#pragma once
// The station as a service: a control socket on which clients drive the front end's boards
// with JSON Lines requests and read their events. One thread of its own serves every
// connection; the boards run on theirs and are never waited for.
#include "service/connection.h"
#include "service/listen_address.h"
#include "service/service_core.h"
#include "service/service_setup.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zz::service {

class StationService {
public:
    explicit StationService(ServiceSetup setup);
    // Stops listening; the boards go on.
    ~StationService();
    StationService(const StationService&) = delete;
    StationService& operator=(const StationService&) = delete;

    // Listens on `address` ("unix:PATH" or "tcp:HOST:PORT") and serves from then on. Throws
    // ServiceError for a bad address, one that cannot be listened on, or an address beyond this
    // computer without a token.
    void listen(const std::string& address);
    // Where it listens, as listen() was given it (the port the system chose for port 0).
    const std::string& address() const { return listener_.shown; }
    // Closes every connection and the socket; the boards' chips go on. Also by the destructor.
    void stop();
    // From any thread: no more chips are started; the boards' running chips finish and their
    // clients are told, until stop().
    void refuse_chips() { core_.refuse_chips(); }

private:
    void serve();
    void wait_and_serve(std::vector<int>& order);
    void take_news();
    void accept_client();
    void on_line(int id, Connection& client, std::string_view line);
    bool admit(int id, Connection& client, const Request* request);
    void send(int id, const json& event);
    void drop(int id, const std::string& why);
    void log(const std::string& line) const;

    ServiceSetup setup_;
    ServiceCore core_;
    Listener listener_;
    int wake_fd_ = -1; // an eventfd: news from a board, or stop()
    std::mutex news_mutex_;
    std::vector<std::pair<std::size_t, BoardPanel>> news_; // under news_mutex_
    std::vector<int> listening_;                           // each board's listener
    std::map<int, std::unique_ptr<Connection>> clients_;    // the server thread's
    int next_client_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace zz::service
