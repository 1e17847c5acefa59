#include "service/service_core.h"

#include "base/version.h"

#include <algorithm>

namespace zz::service {

namespace {

// The newest records one search for an id looks through.
constexpr int kRecordsSearched = 10000;

json board_event(const char* name, int board) {
    return {{"event", name}, {"board", board}};
}

} // namespace

ServiceCore::ServiceCore(const ServiceSetup& setup, Send send)
    : setup_(setup), send_(std::move(send)), job_(setup.job) {
    int number = 0;
    for (BoardRunner* runner : setup.boards)
        boards_.push_back(Board{runner, BoardEvents(++number, runner->panel()), 0, {}, {}});
}

void ServiceCore::request(int client, const Request& r) {
    switch (r.command) {
    case Command::hello:
        return hello(client);
    case Command::status:
        return status(client);
    case Command::program:
        return program(client, r);
    case Command::auto_mode:
        return auto_mode(client, r);
    case Command::stop:
        return stop(client, r);
    case Command::answer:
        return answer(client, r);
    case Command::subscribe:
        return subscribe(client, r);
    case Command::records:
        return records(client, r);
    case Command::record:
        return record(client, r);
    case Command::job:
        return job(client, r);
    }
}

void ServiceCore::board_changed(std::size_t index, const BoardPanel& panel) {
    Board& b = boards_.at(index);
    const BoardNews news = b.events.next(panel);
    std::set<int> told = b.subscribers;
    told.insert(b.until_end.begin(), b.until_end.end());
    if (b.owner)
        told.insert(b.owner);
    for (const json& event : news.events)
        for (const int client : told)
            send_(client, event);
    if (news.command_ended) {
        b.owner = 0;
        b.until_end.clear();
    }
}

// The chip its program started goes on: only its events stop.
void ServiceCore::client_gone(int client) {
    for (Board& b : boards_) {
        b.subscribers.erase(client);
        b.until_end.erase(client);
        if (b.owner == client)
            b.owner = 0;
    }
}

ServiceCore::Board* ServiceCore::board_of(int client, const Request& r) {
    const int number = r.board.value_or(0);
    if (number >= 1 && number <= static_cast<int>(boards_.size()))
        return &boards_[number - 1];
    send_(client, error_event(r.cmd + ": there is no board " + std::to_string(number) +
                              " (boards 1 to " + std::to_string(boards_.size()) + ")"));
    return nullptr;
}

void ServiceCore::hello(int client) {
    json boards = json::array();
    int number = 0;
    for (const Board& b : boards_)
        boards.push_back(board_json(++number, b.runner->panel()));
    json event{{"event", "hello"},       {"program", "ze-zuzu"}, {"version", ZZ_VERSION},
               {"protocol", kProtocolVersion}, {"job", nullptr}, {"boards", boards}};
    if (!job_.empty())
        event["job"] = job_;
    send_(client, event);
}

void ServiceCore::status(int client) {
    json boards = json::array();
    int number = 0;
    for (const Board& b : boards_)
        boards.push_back(status_json(++number, b.runner->panel()));
    send_(client, {{"event", "status"}, {"boards", boards}});
}

namespace {

// Why the board takes no command now; empty when it does.
std::string busy_reason(const BoardPanel& p, bool commanded, bool refusing) {
    if (refusing)
        return "the station is stopping";
    if (!p.question.empty())
        return "it waits for an answer";
    if (p.auto_running)
        return "its production loop runs";
    if (p.busy || commanded)
        return "it is busy";
    return {};
}

} // namespace

void ServiceCore::program(int client, const Request& r) {
    Board* b = board_of(client, r);
    if (!b)
        return;
    if (const std::string why = busy_reason(b->runner->panel(), b->owner != 0, refusing_);
        !why.empty())
        return send_(client, error_event("program: board " + std::to_string(*r.board) +
                                             " takes no chip now: " + why,
                                         *r.board));
    b->owner = client;
    b->runner->program();
}

void ServiceCore::auto_mode(int client, const Request& r) {
    Board* b = board_of(client, r);
    if (!b)
        return;
    const BoardPanel panel = b->runner->panel();
    if (!r.on) {
        if (!panel.auto_running)
            return send_(client, {{"event", "auto"}, {"board", *r.board}, {"on", false}});
        b->until_end.insert(client);
        return b->runner->stop();
    }
    if (const std::string why = busy_reason(panel, b->owner != 0, refusing_);
        !why.empty())
        return send_(client, error_event("auto: board " + std::to_string(*r.board) +
                                             " cannot start its production loop: " + why,
                                         *r.board));
    b->owner = client;
    b->runner->start_auto();
}

void ServiceCore::stop(int client, const Request& r) {
    if (Board* b = board_of(client, r)) {
        b->runner->stop();
        send_(client, board_event("stopping", *r.board));
    }
}

void ServiceCore::answer(int client, const Request& r) {
    Board* b = board_of(client, r);
    if (!b)
        return;
    if (b->runner->panel().question.empty())
        return send_(client, error_event("answer: board " + std::to_string(*r.board) +
                                             " asks no question",
                                         *r.board));
    b->runner->answer(r.on);
    send_(client, board_event("answered", *r.board));
}

void ServiceCore::subscribe(int client, const Request& r) {
    if (!r.board) {
        for (Board& b : boards_)
            b.subscribers.insert(client);
        return send_(client, {{"event", "subscribed"}, {"board", nullptr}});
    }
    if (Board* b = board_of(client, r)) {
        b->subscribers.insert(client);
        send_(client, board_event("subscribed", *r.board));
    }
}

void ServiceCore::job(int client, const Request& r) {
    if (!setup_.change_job)
        return send_(client, error_event("job: this station was not started to allow a job "
                                         "change; it runs " +
                                         (job_.empty() ? std::string("no job") : "job " + job_) +
                                         ", not " + r.name));
    if (r.name.empty())
        return send_(client, error_event("job: the request names no job (\"name\")"));
    // Every board idle: no chip is ever programmed half by one job and half by another.
    for (std::size_t n = 0; n < boards_.size(); ++n) {
        const BoardPanel p = boards_[n].runner->panel();
        if (p.busy || p.auto_running || !p.question.empty())
            return send_(client, error_event("job: board " + std::to_string(n + 1) +
                                             " is at work; stop every board first"));
    }
    std::string title;
    if (const std::string why = setup_.change_job(r.name, title); !why.empty())
        return send_(client, error_event("job: " + why));
    job_ = title;
    send_(client, {{"event", "job"}, {"job", job_}});
}

RecordsStore* ServiceCore::store(int client) {
    RecordsStore* store = setup_.station.store();
    if (!store)
        send_(client, error_event("there is no records store: " + setup_.station.why_no_store()));
    return store;
}

void ServiceCore::records(int client, const Request& r) {
    if (!store(client))
        return;
    try {
        json list = json::array();
        for (const ChipRecord& record : records_since(r))
            list.push_back(record_json(record));
        send_(client, {{"event", "records"}, {"records", list}});
    } catch (const std::exception& e) {
        send_(client, error_event(std::string("records: ") + e.what()));
    }
}

void ServiceCore::record(int client, const Request& r) {
    if (!store(client))
        return;
    try {
        if (const std::optional<ChipRecord> found = find_record(r.id))
            return send_(client, {{"event", "record"}, {"record", record_json(*found)}});
        send_(client, error_event("record: no record " + r.id + " at this station"));
    } catch (const std::exception& e) {
        send_(client, error_event(std::string("record: ") + e.what()));
    }
}

// This station's records from a time, or after a record; without either the newest.
std::vector<ChipRecord> ServiceCore::records_since(const Request& r) {
    RecordsStore& store = *setup_.station.store();
    RecordFilter filter;
    filter.station = store.station();
    filter.last = kMostRecords;
    filter.since_ms = r.since_ms;
    if (r.since_id.empty())
        return store.records(filter);
    const std::optional<ChipRecord> from = find_record(r.since_id);
    if (!from)
        throw std::runtime_error("no record " + r.since_id + " at this station");
    filter.since_ms = from->time_ms;
    std::vector<ChipRecord> found = store.records(filter);
    const auto at = std::find_if(found.begin(), found.end(),
                                 [&](const ChipRecord& c) { return c.id == r.since_id; });
    found.erase(found.begin(), at == found.end() ? at : at + 1);
    return found;
}

std::optional<ChipRecord> ServiceCore::find_record(const std::string& id) {
    RecordsStore& store = *setup_.station.store();
    RecordFilter filter;
    filter.station = store.station();
    filter.last = kRecordsSearched;
    for (ChipRecord& record : store.records(filter))
        if (record.id == id)
            return std::move(record);
    return std::nullopt;
}

} // namespace zz::service
