// The station as a service, on virtual boards in real time (38400 baud on the wire): the time
// from a `program` request to the board's first byte and from the board's last byte to the
// `result` event (goal: each under 2 ms), and chips per hour on 4 boards driven over the Unix
// socket against the same boards driven directly, as the production loop's front ends do.
// Usage: bench_station_service [CHIPS_PER_BOARD]
#include "app/board_runner.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "service/station_service.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"

#include <nlohmann/json.hpp>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using namespace zz;
using Clock = std::chrono::steady_clock;

constexpr int kBoards = 4;
constexpr auto kChipDeadline = std::chrono::seconds(60); // a 16F84A takes about 2 s

std::int64_t now_us() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               Clock::now().time_since_epoch())
        .count();
}

// The board's port, with the time of the first byte written after arm() and of the last byte
// either way.
class TimedPort : public Port {
public:
    explicit TimedPort(std::unique_ptr<Port> inner) : inner_(std::move(inner)) {
        inner_->on_receive([this](std::span<const std::uint8_t> bytes) {
            last_us = now_us();
            deliver(bytes);
        });
        inner_->on_lost([this] { report_lost(); });
    }
    void arm() { first_us = 0; }
    void open() override { inner_->open(); }
    void close() override { inner_->close(); }
    bool is_open() const override { return inner_->is_open(); }
    bool lost() const override { return inner_->lost(); }
    bool write(std::span<const std::uint8_t> bytes) override {
        const std::int64_t now = now_us();
        std::int64_t none = 0;
        first_us.compare_exchange_strong(none, now);
        last_us = now;
        return inner_->write(bytes);
    }
    void expect_reply(const ExpectedReply& reply) override { inner_->expect_reply(reply); }
    void set_properties(const CommProperties& p) override { inner_->set_properties(p); }
    const CommProperties& properties() const override { return inner_->properties(); }
    void set_name(const std::string& name) override { inner_->set_name(name); }
    const std::string& name() const override { return inner_->name(); }

    std::atomic<std::int64_t> first_us{-1}; // -1: not armed
    std::atomic<std::int64_t> last_us{0};

private:
    std::unique_ptr<Port> inner_;
};

struct Rig {
    Rig() : folder(std::filesystem::temp_directory_path() /
                    ("zz-bench-service-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder);
        StoreOptions o;
        o.station = "bench";
        o.spool = folder / "spool.sqlite";
        station = std::make_unique<Station>(
            RecordsStore::open("sqlite:" + (folder / "records.sqlite").string(), o));
        const std::filesystem::path data = ZZ_SOURCE_DIR "/data";
        chip = ChipDatabase(data).load(3, "16F84A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        for (int a = 0; a < 64; ++a)
            image.set_cell_and_view(Area::rom, a, "3FF0");
        export_hex_file(chip, image, folder / "image.hex");
        station->set_board_factory([this](const std::string& name) {
            BoardLine line = virtual_line(3, name, true);
            line.board->insert_chip(VirtualChip(chip));
            auto timed = std::make_unique<TimedPort>(std::move(line.port));
            ports.push_back(timed.get());
            line.port = std::move(timed);
            return line;
        });
        AppSettings s;
        s.filename = (folder / "image.hex").string();
        s.fast = true;
        s.prog_type = 3;
        s.chip_type = "16F84A";
        for (int n = 1; n <= kBoards; ++n)
            runners.push_back(std::make_unique<BoardRunner>(
                *station, station->open_line("Virtual board " + std::to_string(n)),
                BoardStart{data, s, StationPlan{}, true}));
        for (const auto& r : runners) {
            const auto deadline = Clock::now() + kChipDeadline;
            while (r->panel().phase != BoardPhase::ready && Clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~Rig() {
        runners.clear();
        station.reset();
        std::filesystem::remove_all(folder);
    }
    std::vector<BoardRunner*> boards() const {
        std::vector<BoardRunner*> out;
        for (const auto& r : runners)
            out.push_back(r.get());
        return out;
    }

    std::filesystem::path folder;
    std::unique_ptr<Station> station;
    ChipParams chip;
    std::vector<TimedPort*> ports;
    std::vector<std::unique_ptr<BoardRunner>> runners;
};

class Client {
public:
    explicit Client(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            std::exit(1);
        timeval limit{60, 0}; // a chip's result comes within this (s)
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~Client() { ::close(fd_); }
    void send(const nlohmann::json& r) {
        const std::string line = r.dump() + "\n";
        if (::send(fd_, line.data(), line.size(), MSG_NOSIGNAL) < 0)
            std::exit(1);
    }
    nlohmann::json next() {
        for (std::size_t end; (end = in_.find('\n')) == std::string::npos;) {
            char block[4096];
            const ssize_t got = ::recv(fd_, block, sizeof block, 0);
            if (got <= 0) {
                std::printf("no event within 60 s: %s\n", std::strerror(errno));
                std::exit(1);
            }
            in_.append(block, static_cast<std::size_t>(got));
        }
        const std::size_t end = in_.find('\n');
        nlohmann::json event = nlohmann::json::parse(in_.substr(0, end));
        in_.erase(0, end + 1);
        return event;
    }

private:
    int fd_;
    std::string in_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One chip at a time on board 1: the two latencies of each (ms).
void latencies(Rig& rig, Client& client, int chips) {
    std::vector<double> to_first, from_last;
    TimedPort& port = *rig.ports[0];
    for (int k = 0; k < chips; ++k) {
        port.arm();
        const std::int64_t sent = now_us();
        client.send({{"cmd", "program"}, {"board", 1}});
        for (nlohmann::json e = client.next(); e["event"] != "result"; e = client.next())
            if (e["event"] == "error" || e["event"] == "question") {
                std::printf("%s\n", e.dump().c_str());
                std::exit(1);
            }
        const std::int64_t received = now_us();
        to_first.push_back((port.first_us - sent) / 1000.0);
        from_last.push_back((received - port.last_us) / 1000.0);
    }
    // The board's first chip also finds the session's and the store's work cold.
    std::printf("program request -> board's first byte: first chip %.3f ms; then median %.3f ms, "
                "worst %.3f ms\n",
                to_first.front(), median({to_first.begin() + 1, to_first.end()}),
                *std::max_element(to_first.begin() + 1, to_first.end()));
    std::printf("board's last byte -> result event: median %.3f ms, worst %.3f ms\n",
                median(from_last), *std::max_element(from_last.begin(), from_last.end()));
}

// Every board programs `chips` chips, the next asked for as soon as a result comes.
double over_socket(Client& client, int chips) {
    const auto start = Clock::now();
    for (int b = 1; b <= kBoards; ++b)
        client.send({{"cmd", "program"}, {"board", b}});
    std::vector<int> done(kBoards + 1, 0);
    for (int left = kBoards * chips; left > 0;) {
        const nlohmann::json e = client.next();
        if (e["event"] != "result")
            continue;
        --left;
        const int b = e["board"];
        if (++done[b] < chips)
            client.send({{"cmd", "program"}, {"board", b}});
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The same, each board given its next chip directly once its command has ended.
double direct(Rig& rig, int chips) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> ended(kBoards, 0);
    std::vector<int> ids;
    for (int b = 0; b < kBoards; ++b)
        ids.push_back(rig.runners[b]->add_listener(
            [&, b, before = rig.runners[b]->panel().commands_ended](const BoardPanel& p) {
                const std::lock_guard lock(mutex);
                ended[b] = p.commands_ended - before;
                changed.notify_all();
            }));
    const auto start = Clock::now();
    const auto deadline = start + kChipDeadline * chips;
    std::vector<int> asked(kBoards, 0);
    std::unique_lock lock(mutex);
    const auto all_done = [&] { return std::count(ended.begin(), ended.end(), chips) == kBoards; };
    while (!all_done() && Clock::now() < deadline) {
        for (int b = 0; b < kBoards; ++b)
            if (ended[b] == asked[b] && asked[b] < chips) {
                ++asked[b];
                rig.runners[b]->program();
            }
        changed.wait_until(lock, deadline, [&] {
            for (int b = 0; b < kBoards; ++b)
                if (ended[b] == asked[b] && asked[b] < chips)
                    return true;
            return all_done();
        });
    }
    lock.unlock();
    for (int b = 0; b < kBoards; ++b)
        rig.runners[b]->remove_listener(ids[b]);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const int chips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    Rig rig;
    const std::string path = (rig.folder / "station.sock").string();
    service::StationService service({*rig.station, rig.boards(), {}, {}, {}});
    service.listen("unix:" + path);
    Client client(path);
    std::printf("16F84A, 64 words, %d virtual boards at 38400 baud, real time\n", kBoards);
    latencies(rig, client, 2 * chips);
    over_socket(client, 1); // every board's first chip, which alone finds its records table cold
    const double socket_s = over_socket(client, chips);
    const double direct_s = direct(rig, chips);
    const double socket_rate = kBoards * chips * 3600.0 / socket_s;
    const double direct_rate = kBoards * chips * 3600.0 / direct_s;
    std::printf("chips per hour, %d boards x %d chips: over the socket %.0f, directly %.0f "
                "(%+.2f %%)\n",
                kBoards, chips, socket_rate, direct_rate,
                100.0 * (socket_rate - direct_rate) / direct_rate);
    return 0;
}
