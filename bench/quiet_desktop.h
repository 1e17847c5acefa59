#pragma once
// A desktop for the window's benchmarks: answers every question with Yes, keeps quiet, makes no
// sound and chooses no file.
#include "gui/desktop.h"

namespace zz::bench {

class QuietDesktop : public Desktop {
public:
    void show_message(std::string_view, std::string_view, Icon) override {}
    bool ask_yes_no(std::string_view, std::string_view) override { return true; }
    bool play_tone(int, int) override { return true; }
    std::string choose_load_file() override { return {}; }
    std::string choose_save_file() override { return {}; }
    std::string choose_log_file() override { return {}; }
    void open_help(const std::filesystem::path&) override {}
};

} // namespace zz::bench
