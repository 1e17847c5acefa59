#pragma once
// One board of a station in a window: its session on a thread of its own, driven by commands the
// window sends (Program, Auto Program, Stop, the answer to a question), and its panel published
// for the window to read. Nothing the board does waits for the window, and nothing the window
// does waits for the board: a failure or a question on one board asks nothing of the others.
#include "app/board_panel.h"
#include "app/settings_file.h"
#include "app/station.h"
#include "base/operator.h"
#include "link/board_line.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace zz {

class Session;

// What a board's session starts from.
struct BoardStart {
    std::filesystem::path data_dir;
    AppSettings settings; // model, family, chip, image file, options: as start-up reads them
    StationPlan plan;     // numbering, log and job: the station's
    bool virtual_board = false;
};

class BoardRunner {
public:
    // How long a question waits for the person before it is answered No (s).
    static constexpr auto kQuestionWait = std::chrono::minutes(10);
    // The longest pause of the board's thread while it has nothing to do (ms).
    static constexpr int kIdlePollMs = 20;

    // Starts the board's thread: start-up, then commands until the runner ends.
    BoardRunner(Station& station, BoardLine line, BoardStart setup);
    // Ends the board's run after its current chip, and its thread.
    ~BoardRunner();
    BoardRunner(const BoardRunner&) = delete;
    BoardRunner& operator=(const BoardRunner&) = delete;

    // The panel as it was last published; `version` grows with every change.
    BoardPanel panel() const;
    std::uint64_t version() const { return version_.load(); }
    // Told from the board's thread after each change of the panel (may be empty).
    void on_change(std::function<void()> changed);
    // Also told from the board's thread after each change, with the panel as published; more
    // than one may listen. Once remove_listener(id) returns, that listener is not called again.
    int add_listener(std::function<void(const BoardPanel&)> listener);
    void remove_listener(int id);

    // --- commands, from any thread; each is ignored while it cannot be carried out ---
    void program();     // one chip, as the Program command
    void start_auto();  // the production loop, until stopped
    void stop();        // the production loop ends after its current chip
    void answer(bool yes); // the question on the panel
    // The station's plan (another job, its numbering) the board takes once it is idle, before
    // any command sent after this call.
    void use_plan(StationPlan plan);

private:
    enum class Command { none, program, start_auto };
    class PanelOperator;

    void run();
    void work(Session& session);
    void run_command(Session& session, Command command);
    void take_plan(Session& session);
    void run_auto(Session& session);
    void note_chip(const ChipRecord& record);
    void watch(Session& session);
    void publish();
    void note_message(std::string_view caption, std::string_view text);
    bool ask(std::string_view text);

    Station& station_;
    BoardLine line_;
    BoardStart setup_;
    Session* session_ = nullptr; // the thread's, while it runs
    mutable std::mutex mutex_;
    BoardPanel panel_;
    std::function<void()> changed_;
    std::atomic<std::uint64_t> version_{0};
    std::atomic<Command> command_{Command::none};
    std::atomic<bool> stop_{false};
    std::atomic<bool> ending_{false};
    std::optional<bool> answer_; // under mutex_
    std::optional<StationPlan> next_plan_; // under mutex_
    bool plan_refused_ = false;            // the board's thread's
    std::mutex listeners_mutex_; // held while they are told
    std::vector<std::pair<int, std::function<void(const BoardPanel&)>>> listeners_;
    int next_listener_ = 0;
    std::thread thread_;         // last: started once everything above is set
};

} // namespace zz
