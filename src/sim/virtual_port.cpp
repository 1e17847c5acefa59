#include "sim/virtual_port.h"

namespace zz {

VirtualPort::VirtualPort(Loop& loop, VirtualBoard& board, std::string name)
    : loop_(loop), board_(board), name_(std::move(name)) {
    board_.set_output([this](std::span<const std::uint8_t> bytes) {
        if (!open_ || stale_)
            return false;
        deliver(bytes);
        return true;
    });
    loop_.add_source(this);
}

VirtualPort::~VirtualPort() {
    loop_.remove_source(this);
    board_.set_output(nullptr);
}

void VirtualPort::open() {
    if (open_error_) {
        const std::string text = *open_error_;
        open_error_.reset();
        throw CommError(text);
    }
    if (open_)
        throw CommError(comm_error::kAlreadyOpen);
    if (gone_)
        throw CommError(comm_error::kOpenFailed);
    open_ = true;
    update_dtr();
}

void VirtualPort::close() {
    if (!open_)
        return;
    open_ = false;
    stale_ = false;
    lost_pending_ = false;
    update_dtr();
}

bool VirtualPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_ || stale_ || bytes.empty() || bytes.size() > kMaxWrite || write_refused_)
        return false;
    board_.host_write(bytes);
    return true;
}

void VirtualPort::set_properties(const CommProperties& properties) {
    properties_ = properties;
    if (open_)
        update_dtr();
}

void VirtualPort::fail_next_open(std::string comm_error_text) {
    open_error_ = std::move(comm_error_text);
}

void VirtualPort::set_gone(bool gone) {
    gone_ = gone;
    if (gone && open_ && !stale_)
        stale_ = lost_pending_ = true;
    update_dtr();
}

void VirtualPort::set_dtr_line(bool present) {
    dtr_line_ = present;
    update_dtr();
}

void VirtualPort::update_dtr() {
    const bool dtr = !dtr_line_ || properties_.Dtr != DtrControl::Disable;
    board_.set_dtr(open_ && !stale_ && dtr);
}

void VirtualPort::dispatch(std::int64_t now_ms) {
    board_.dispatch(now_ms);
    if (lost_pending_) {
        lost_pending_ = false;
        report_lost();
    }
}

std::optional<std::int64_t> VirtualPort::next_due_ms() const {
    if (lost_pending_)
        return loop_.now_ms();
    return board_.next_due_ms();
}

} // namespace zz
