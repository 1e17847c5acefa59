#pragma once

#include "app/session.h"
#include "base/virtual_loop.h"
#include "device/chip_database.h"
#include "gui/buffer_grid_model.h"
#include "gui/desktop.h"
#include "gui/main_window.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zz::test {

inline const std::filesystem::path kDataDir = ZZ_SOURCE_DIR "/data";

// A desktop that records what the window and the core ask of it and answers from fields.
class FakeDesktop : public Desktop {
public:
    explicit FakeDesktop(Loop& loop) : loop_(loop) {}

    void show_message(std::string_view text, std::string_view caption, Icon) override {
        messages.emplace_back(text);
        captions.emplace_back(caption);
    }
    bool ask_yes_no(std::string_view text, std::string_view) override {
        messages.emplace_back(text);
        return false;
    }
    bool play_tone(int, int ms) override {
        loop_.sleep_ms(ms);
        return true;
    }
    std::string choose_load_file() override {
        ++load_requests;
        return load_answer;
    }
    std::string choose_save_file() override {
        ++save_requests;
        return save_answer;
    }
    std::string choose_log_file() override {
        ++log_requests;
        return log_answer;
    }
    void open_help(const std::filesystem::path& manual) override { help = manual; }

    std::vector<std::string> messages;
    std::vector<std::string> captions;
    int load_requests = 0;
    int save_requests = 0;
    int log_requests = 0;
    std::string load_answer;
    std::string save_answer;
    std::string log_answer;
    std::filesystem::path help;

private:
    Loop& loop_;
};

// The window over a session on the virtual clock, with a virtual board of model 3 holding a blank
// 16F877A, started up and ready.
class WindowFixture : public ::testing::Test {
public:
    void start(std::filesystem::path settings = {}) {
        const ChipParams chip = ChipDatabase(data_dir).load(3, "16F877A", ChipParams{});
        board.insert_chip(VirtualChip(chip));
        session = std::make_unique<Session>(
            SessionEnv{loop, desktop, port, data_dir, std::move(settings),
                       [this] { return std::vector<std::string>{port.name()}; }, true});
        // The blank image is programmed without the question (the session's tests ask it).
        session->ask_before_blank_image = false;
        window = std::make_unique<MainWindow>(*session, desktop, data_dir);
        session->startup();
        loop.run_for(500);
    }

    QAction* action(const char* name) const {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
    QAbstractButton* button(const char* name) const {
        return window->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QLabel* label(const char* name) const {
        return window->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QWidget* widget(const char* name) const {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    }
    // Clicks a menu item or a button by component name.
    void click(const char* name) {
        if (QAction* a = action(name))
            a->trigger();
        else
            button(name)->click();
    }
    // Picks an entry of a list as the person would.
    void choose(const char* combo, const char* text) {
        auto* box = window->findChild<QComboBox*>(QString::fromLatin1(combo));
        box->setCurrentText(QString::fromLatin1(text));
        emit box->textActivated(QString::fromLatin1(text));
    }
    std::string status() const { return session->link().status.Label11.get(); }

    std::filesystem::path data_dir = kDataDir; // set before start() for a data folder of its own
    VirtualLoop loop;
    FakeDesktop desktop{loop};
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    std::unique_ptr<Session> session;
    std::unique_ptr<MainWindow> window;
};

} // namespace zz::test
