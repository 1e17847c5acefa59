// Writes the seed corpus of fuzz_link_replies: every command on every fuzz chip, with the
// virtual board's answers recorded in the fuzzer's input form. Run from the fuzz build:
// make_link_seeds <folder>.
#include "link_script.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <cstdio>
#include <fstream>

namespace zz::fuzz {
namespace {

// The virtual board's port, keeping what the board sent after each host event.
class RecordingPort : public Port {
public:
    RecordingPort(Loop& loop, Port& inner) : loop_(loop), inner_(inner) {
        inner_.on_receive([this](std::span<const std::uint8_t> bytes) {
            if (!groups_.empty()) {
                Group& group = groups_.back();
                const std::int64_t now = loop_.now_ms();
                group.push_back(
                    {static_cast<int>(now - last_), !group.empty(), {bytes.begin(), bytes.end()}});
                last_ = now;
            }
            deliver(bytes);
        });
    }
    void open() override {
        inner_.open();
        update_dtr();
    }
    void close() override {
        inner_.close();
        update_dtr();
    }
    bool is_open() const override { return inner_.is_open(); }
    bool lost() const override { return inner_.lost(); }
    bool write(std::span<const std::uint8_t> bytes) override {
        event();
        return inner_.write(bytes);
    }
    void set_properties(const CommProperties& properties) override {
        inner_.set_properties(properties);
        update_dtr();
    }
    const CommProperties& properties() const override { return inner_.properties(); }
    void set_name(const std::string& name) override { inner_.set_name(name); }
    const std::string& name() const override { return inner_.name(); }

    // Every group, an empty one as a chunk without bytes.
    std::vector<Group> groups() const {
        std::vector<Group> out = groups_;
        for (Group& group : out)
            if (group.empty())
                group.push_back({});
        return out;
    }

private:
    void event() {
        groups_.emplace_back();
        last_ = loop_.now_ms();
    }
    void update_dtr() {
        const bool active = inner_.is_open() && properties().Dtr != DtrControl::Disable;
        if (active && !dtr_active_)
            event();
        dtr_active_ = active;
    }

    Loop& loop_;
    Port& inner_;
    std::vector<Group> groups_;
    std::int64_t last_ = 0;
    bool dtr_active_ = false;
};

} // namespace
} // namespace zz::fuzz

int main(int argc, char* argv[]) {
    using namespace zz;
    using namespace zz::fuzz;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_link_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (int command = 0; command < kLinkCommands; ++command) {
        for (std::size_t chip = 0; chip < fuzz_chips().size(); ++chip) {
            // Questions answered Yes; default options; model 3.
            const LinkCase c{static_cast<std::uint8_t>(command), static_cast<std::uint8_t>(chip),
                             0xFF, 0x80};
            VirtualLoop loop;
            VirtualBoard board(loop, 3);
            board.insert_chip(VirtualChip(fuzz_chips()[chip]));
            VirtualPort inner(loop, board, kPortName);
            RecordingPort port(loop, inner);
            run_link_case(loop, port, c);
            std::vector<std::uint8_t> seed;
            c.append(seed);
            append_groups(port.groups(), seed);
            const auto name = "command" + std::to_string(command) + "-chip" + std::to_string(chip);
            std::ofstream(folder / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(seed.data()),
                       static_cast<std::streamsize>(seed.size()));
        }
    }
    return 0;
}
