#pragma once
// The protocol between the clients and the boards, without the sockets: each request answered
// with events, each board's news sent to the client whose command it follows and to the
// clients that subscribed to the board. Runs on one thread (the server's).
#include "service/board_events.h"
#include "service/request.h"
#include "service/service_setup.h"

#include <atomic>
#include <functional>
#include <set>
#include <vector>

namespace zz::service {

class ServiceCore {
public:
    // Writes `event` to the client numbered `client` (one that is gone is passed over).
    using Send = std::function<void(int client, const json& event)>;

    ServiceCore(const ServiceSetup& setup, Send send);

    void request(int client, const Request& request);
    // The board at `index` (from 0) published `panel`.
    void board_changed(std::size_t index, const BoardPanel& panel);
    void client_gone(int client);
    // From any thread: no more chips are started (the station is stopping); the running ones
    // finish and are told.
    void refuse_chips() { refusing_ = true; }

    // The most records one answer lists.
    static constexpr int kMostRecords = 1000;

private:
    struct Board {
        BoardRunner* runner;
        BoardEvents events;
        int owner = 0;           // the client whose program or auto runs; 0: none
        std::set<int> until_end; // told until the running command ends (asked to stop it)
        std::set<int> subscribers;
    };

    Board* board_of(int client, const Request& r);
    void hello(int client);
    void status(int client);
    void program(int client, const Request& r);
    void auto_mode(int client, const Request& r);
    void stop(int client, const Request& r);
    void answer(int client, const Request& r);
    void subscribe(int client, const Request& r);
    void records(int client, const Request& r);
    void record(int client, const Request& r);
    void job(int client, const Request& r);
    std::vector<ChipRecord> records_since(const Request& r);
    std::optional<ChipRecord> find_record(const std::string& id);
    RecordsStore* store(int client);

    const ServiceSetup& setup_;
    Send send_;
    std::vector<Board> boards_;
    std::string job_; // the job every board runs, as hello names it
    std::atomic<bool> refusing_{false};
};

} // namespace zz::service
