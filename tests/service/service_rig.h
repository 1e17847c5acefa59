#pragma once
// A station of two virtual boards on the virtual clock behind the service, and a client that
// reads its events with a deadline.
#include "app/board_runner.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "records/records_env.h"
#include "service/station_service.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zz::service::testing {

using nlohmann::json;

inline const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

// One connection; every read has a deadline, so a missing event fails the test, not hangs it.
class Client {
public:
    static constexpr int kDeadlineMs = 20000;

    explicit Client(int fd) : fd_(fd) {}
    static Client unix_socket(const std::string& path) {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << path;
        return Client(fd);
    }
    Client(Client&& other) noexcept : fd_(std::exchange(other.fd_, -1)), in_(other.in_) {}
    ~Client() { close(); }
    void close() {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
    }

    void send(const std::string& text) {
        ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(text.size()));
    }
    void request(const json& r) { send(r.dump() + "\n"); }

    // The next event; nullopt when the connection closed or none came in time.
    std::optional<json> next() {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
        for (;;) {
            if (const auto end = in_.find('\n'); end != std::string::npos) {
                const std::string line = in_.substr(0, end);
                in_.erase(0, end + 1);
                return json::parse(line);
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char block[4096];
            const ssize_t got = ::recv(fd_, block, sizeof block, 0);
            if (got <= 0)
                return std::nullopt;
            in_.append(block, static_cast<std::size_t>(got));
        }
    }
    // Events up to and including the first named `name` (empty when it never came).
    std::vector<json> until(const std::string& name) {
        std::vector<json> seen;
        while (std::optional<json> e = next()) {
            seen.push_back(*e);
            if ((*e)["event"] == name)
                return seen;
        }
        return {};
    }

private:
    int fd_;
    std::string in_;
};

class ServiceRig : public ::testing::Test {
protected:
    static constexpr int kBoards = 2;

    ServiceRig() : station(store.open("station-1")) {
        chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell_and_view(Area::rom, 0x10, "0005");
        image.set_cell_and_view(Area::rom, 0x11, "0000");
        export_hex_file(chip, image, store.folder.path() / "image.hex");
        station.set_board_factory(
            [](const std::string& name) { return virtual_line(3, name, false); });
    }

    // Board `n` (from 1) with a chip in its socket; `weak`: one whose 0x10 will not program.
    void add_board(int n, bool weak = false) {
        BoardLine line = station.open_line("Virtual board " + std::to_string(n));
        VirtualChip in_socket(chip);
        if (weak)
            in_socket.set_weak_cell(0x10);
        line.board->insert_chip(std::move(in_socket));
        if (setup_board)
            setup_board(n, *line.board);
        AppSettings s;
        s.filename = (store.folder.path() / "image.hex").string();
        s.fast = true;
        const StationPlan plan{
            true, {0x10, 0x11, 1, true, false, false, false, true, false}, "LINE", nullptr};
        runners.push_back(std::make_unique<BoardRunner>(station, std::move(line),
                                                        BoardStart{kData, s, plan, true}));
    }

    // Listens on a Unix socket in the test's folder, once every board is ready.
    void start(std::vector<bool> weak = {}, std::string token = {}) {
        weak.resize(kBoards);
        for (int n = 1; n <= kBoards; ++n)
            add_board(n, weak[n - 1]);
        std::vector<BoardRunner*> boards;
        for (const auto& r : runners) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            // Ready, and its firmware asked (hello names it).
            while ((r->panel().phase != BoardPhase::ready || r->panel().firmware.empty()) &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            boards.push_back(r.get());
        }
        service = std::make_unique<StationService>(
            ServiceSetup{station, boards, {}, std::move(token), [this](const std::string& line) {
                             const std::lock_guard lock(log_mutex);
                             log.push_back(line);
                         }});
    }
    std::string socket_path() const { return (store.folder.path() / "station.sock").string(); }
    Client connect() { return Client::unix_socket(socket_path()); }

    zz::testing::StoreEnv store;
    Station station;
    ChipParams chip;
    // Called for each board before it starts (faults, say); may be empty.
    std::function<void(int n, VirtualBoard& board)> setup_board;
    std::vector<std::unique_ptr<BoardRunner>> runners;
    std::mutex log_mutex;
    std::vector<std::string> log;
    std::unique_ptr<StationService> service; // last: it goes before the boards it listens to
};

} // namespace zz::service::testing
