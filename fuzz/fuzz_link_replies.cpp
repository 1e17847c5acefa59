// Bytes from the board in every state of the link: the start-up handshake and the announcement
// path, each chip command with its streams, the hardware version, the board search and the
// restart. Whatever arrives, the link neither fails in a way the sanitizers see nor hangs.
#include "link_script.h"

#include <deque>

namespace zz::fuzz {
namespace {

// A board that answers from the input's groups of deliveries (link_script.h).
class ScriptedPort : public Port, public EventSource {
public:
    ScriptedPort(Loop& loop, std::vector<Group> groups) : loop_(loop), groups_(std::move(groups)) {
        loop_.add_source(this);
    }
    ~ScriptedPort() override { loop_.remove_source(this); }

    void open() override {
        if (open_)
            throw CommError(comm_error::kAlreadyOpen);
        open_ = true;
        update_dtr();
    }
    void close() override {
        open_ = false;
        due_.clear();
        update_dtr();
    }
    bool is_open() const override { return open_; }
    // The scripted board answers or stays silent; its line never goes away.
    bool lost() const override { return false; }
    bool write(std::span<const std::uint8_t> bytes) override {
        if (!open_ || bytes.empty() || bytes.size() > kMaxWrite)
            return false;
        release_next();
        return true;
    }
    void set_properties(const CommProperties& properties) override {
        properties_ = properties;
        update_dtr();
    }
    const CommProperties& properties() const override { return properties_; }
    void set_name(const std::string& name) override { name_ = name; }
    const std::string& name() const override { return name_; }

    void dispatch(std::int64_t now_ms) override {
        // One delivery at a time: the handler may close the port or run a nested wait.
        while (!due_.empty() && due_.front().first <= now_ms) {
            const std::vector<std::uint8_t> bytes = std::move(due_.front().second);
            due_.pop_front();
            if (!bytes.empty())
                deliver(std::span(bytes).first(std::min(bytes.size(), kMaxDelivery)));
        }
    }
    std::optional<std::int64_t> next_due_ms() const override {
        if (due_.empty())
            return std::nullopt;
        return due_.front().first;
    }

private:
    void update_dtr() {
        const bool active = open_ && properties_.Dtr != DtrControl::Disable;
        if (active && !dtr_active_)
            release_next(); // a restarted board announces itself
        dtr_active_ = active;
    }

    void release_next() {
        if (next_ >= groups_.size())
            return;
        std::int64_t at =
            due_.empty() ? loop_.now_ms() : std::max(loop_.now_ms(), due_.back().first);
        for (Chunk& chunk : groups_[next_]) {
            at += chunk.delay_ms;
            due_.emplace_back(at, std::move(chunk.bytes));
        }
        ++next_;
    }

    Loop& loop_;
    std::vector<Group> groups_;
    std::size_t next_ = 0;
    std::deque<std::pair<std::int64_t, std::vector<std::uint8_t>>> due_;
    CommProperties properties_;
    std::string name_;
    bool open_ = false;
    bool dtr_active_ = false;
};

} // namespace
} // namespace zz::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zz;
    using namespace zz::fuzz;
    InputReader in({data, size});
    const LinkCase c = LinkCase::read(in);
    VirtualLoop loop;
    ScriptedPort port(loop, parse_groups(in));
    run_link_case(loop, port, c);
    return 0;
}
