#include "app/close_request_watch.h"

namespace zz {

CloseRequestWatch::CloseRequestWatch(Loop& loop, std::function<bool()> stop, bool& CloseRequested)
    : loop_(loop), stop_(std::move(stop)), close_requested_(CloseRequested) {
    loop_.add_source(this);
}

CloseRequestWatch::~CloseRequestWatch() {
    loop_.remove_source(this);
}

void CloseRequestWatch::dispatch(std::int64_t) {
    if (stop_())
        close_requested_ = true;
}

} // namespace zz
