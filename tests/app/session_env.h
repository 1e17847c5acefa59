#pragma once

#include "app/session.h"
#include "base/virtual_loop.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "support/recording_operator.h"

#include <filesystem>

namespace zz::test {

// What a session runs on in tests: a virtual clock, a recording operator and a virtual board of
// model 3 on a port named "Virtual board".
struct SessionParts {
    VirtualLoop loop;
    RecordingOperator op{loop};
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};

    SessionEnv env(std::filesystem::path data_dir, std::filesystem::path settings = {}) {
        return SessionEnv{loop, op, port, std::move(data_dir), std::move(settings),
                          [this] { return std::vector<std::string>{port.name()}; }, true};
    }
};

} // namespace zz::test
