#pragma once
// The station's records store kept within reach on a thread of its own, so that a window never
// waits for the database: opened at start and, while it cannot be, tried again with a growing
// pause; won back (its spool handed over and the station's stop ended) once it was lost.
#include "app/station.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace zz {

class StoreKeeper {
public:
    enum class State { opening, open, away };

    // The first pause between tries and the longest (ms).
    static constexpr int kFirstPauseMs = 1000;
    static constexpr int kLongestPauseMs = 30000;
    // How often an open store is looked at (ms).
    static constexpr int kWatchMs = 1000;

    // Starts the thread. `changed` is called from it whenever the state or its text changes.
    StoreKeeper(Station& station, StationOptions options, std::function<void()> changed = {});
    // Ends the thread; waits for the try under way (at most the store's deadline).
    ~StoreKeeper();
    StoreKeeper(const StoreKeeper&) = delete;
    StoreKeeper& operator=(const StoreKeeper&) = delete;

    State state() const;
    // For the status line: "Records: postgresql://db/line", or why not and when it is tried
    // again.
    std::string text() const;
    // Tries again at once (the person asked to).
    void try_now();

private:
    void run();
    bool open_store();
    bool keep_store();
    void set(State state, std::string text);
    // Sleeps `ms` unless woken; false when the keeper ends.
    bool pause(int ms);

    Station& station_;
    StationOptions options_;
    std::function<void()> changed_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    bool poked_ = false;
    State state_ = State::opening;
    std::string text_;
    int pause_ms_ = kFirstPauseMs;
    std::thread thread_; // last: started once everything above is set
};

} // namespace zz
