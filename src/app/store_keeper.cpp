#include "app/store_keeper.h"

#include <algorithm>

namespace zz {

namespace {

std::string again_in(int ms) {
    return ", trying again in " + std::to_string(ms / 1000) + " s";
}

} // namespace

StoreKeeper::StoreKeeper(Station& station, StationOptions options, std::function<void()> changed)
    : station_(station), options_(std::move(options)), changed_(std::move(changed)),
      text_("Records: opening the database"), thread_([this] { run(); }) {}

StoreKeeper::~StoreKeeper() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

StoreKeeper::State StoreKeeper::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

std::string StoreKeeper::text() const {
    const std::lock_guard lock(mutex_);
    return text_;
}

void StoreKeeper::try_now() {
    {
        const std::lock_guard lock(mutex_);
        poked_ = true;
    }
    wake_.notify_all();
}

void StoreKeeper::set(State state, std::string text) {
    {
        const std::lock_guard lock(mutex_);
        if (state_ == state && text_ == text)
            return;
        state_ = state;
        text_ = std::move(text);
    }
    if (changed_)
        changed_();
}

bool StoreKeeper::pause(int ms) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return ending_ || poked_; });
    poked_ = false;
    return !ending_;
}

void StoreKeeper::run() {
    for (;;) {
        const bool fine = station_.store() ? keep_store() : open_store();
        if (fine)
            pause_ms_ = kFirstPauseMs;
        const int wait_ms = fine ? kWatchMs : pause_ms_;
        if (!fine)
            pause_ms_ = std::min(2 * pause_ms_, kLongestPauseMs);
        if (!pause(wait_ms))
            return;
    }
}

bool StoreKeeper::open_store() {
    try {
        StoreOptions store;
        store.station = options_.name;
        store.spool = options_.spool;
        std::unique_ptr<RecordsStore> opened = RecordsStore::open(options_.store_uri, store);
        const std::string uri = opened->uri();
        station_.attach_store(std::move(opened));
        set(State::open, "Records: " + uri);
        return true;
    } catch (const StoreError& e) {
        station_.set_why_no_store(e.what());
        set(State::away, std::string("Records: ") + e.what() + again_in(pause_ms_));
        return false;
    }
}

// A lost store is won back (its spool handed over) and the station's stop for it ended.
bool StoreKeeper::keep_store() {
    RecordsStore& store = *station_.store();
    if (!store.lost()) {
        set(State::open, "Records: " + store.uri());
        return true;
    }
    set(State::away, "Records: " + store.uri() + " cannot be reached" + again_in(pause_ms_));
    try {
        store.hand_over();
    } catch (const StoreError&) {
        return false;
    }
    if (store.lost())
        return false;
    if (station_.stopped_for_lost_store())
        station_.resume();
    set(State::open, "Records: " + store.uri());
    return true;
}

} // namespace zz
