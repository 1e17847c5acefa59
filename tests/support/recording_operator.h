#pragma once

#include "base/loop.h"
#include "base/operator.h"

#include <deque>
#include <string>
#include <vector>

namespace zz::test {

// An operator for tests: keeps every message and question, answers questions from a script
// (No when the script is empty) and makes tones that take virtual time.
class RecordingOperator : public Operator {
public:
    struct Message {
        std::string text;
        std::string caption;
        Icon icon;
    };

    explicit RecordingOperator(Loop& loop) : loop_(loop) {}

    void show_message(std::string_view text, std::string_view caption, Icon icon) override {
        messages.push_back({std::string(text), std::string(caption), icon});
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        questions.push_back({std::string(text), std::string(caption), Icon::Question});
        if (answers.empty())
            return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool play_tone(int hz, int ms) override {
        tones.push_back({hz, ms});
        if (!sound_works)
            return false;
        loop_.sleep_ms(ms);
        return true;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }

    std::vector<Message> messages;
    std::vector<Message> questions;
    std::deque<bool> answers;
    std::vector<std::pair<int, int>> tones;
    bool sound_works = true;

private:
    Loop& loop_;
};

} // namespace zz::test
