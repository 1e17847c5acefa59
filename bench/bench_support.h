#pragma once

#include "app/session.h"
#include "base/operator.h"
#include "base/virtual_loop.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <filesystem>

namespace zz::bench {

// An operator that answers every question with Yes and makes no sound.
class SilentOperator : public Operator {
public:
    void show_message(std::string_view, std::string_view, Icon) override {}
    bool ask_yes_no(std::string_view, std::string_view) override { return true; }
    bool play_tone(int, int) override { return true; }
};

// A session on a virtual clock with a virtual board of model 3.
struct VirtualSession {
    explicit VirtualSession(const std::filesystem::path& data_dir)
        : session(SessionEnv{loop, op, port, data_dir, {}, {}, true}) {}

    VirtualLoop loop;
    SilentOperator op;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    Session session;
};

} // namespace zz::bench
