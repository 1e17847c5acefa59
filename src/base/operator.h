#pragma once

#include <string>
#include <string_view>

namespace zz {

enum class Icon { None, Information, Warning, Error, Question };

// How the core speaks to the person at the bench. The GUI shows dialogs; the command line prints;
// tests record and answer from a script.
class Operator {
public:
    virtual ~Operator() = default;
    // A modal message with an OK button.
    virtual void show_message(std::string_view text, std::string_view caption, Icon icon) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool ask_yes_no(std::string_view text, std::string_view caption) = 0;
    // Sounds a tone and returns after `ms`; false when no tone can be made.
    virtual bool play_tone(int hz, int ms) = 0;
};

// Nobody to ask: questions are answered No, tones are silent, and the last message is kept for
// whoever asked the core to check something.
class QuietOperator : public Operator {
public:
    void show_message(std::string_view text, std::string_view, Icon) override {
        last_message = std::string(text);
    }
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
    bool play_tone(int, int) override { return true; }

    std::string last_message;
};

} // namespace zz
