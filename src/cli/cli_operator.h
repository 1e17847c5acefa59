#pragma once

#include "base/operator.h"
#include "base/text_lines.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zz::cli {

// One message box or question the window would have shown.
struct Shown {
    std::string caption;
    std::vector<std::string> lines; // the text split at its line breaks
    std::optional<bool> answer;     // questions: the answer given
    std::string text;               // as the core gave it
};

// The person at the bench, on a terminal: messages are printed as "Caption: text" with the line
// breaks of the text turned into one space (errors on stderr, the rest on stdout unless quiet);
// questions are answered by --yes / --no and printed with the answer on stderr. Under --json
// nothing is printed: the messages go into the result object. Tones are not made.
class CliOperator : public Operator {
public:
    // `prefix` goes before every line printed (the port, when several boards run).
    CliOperator(bool yes, bool json, bool quiet, std::string prefix = {})
        : yes_(yes), json_(json), quiet_(quiet), prefix_(std::move(prefix)) {}

    void show_message(std::string_view text, std::string_view caption, Icon icon) override;
    bool ask_yes_no(std::string_view text, std::string_view caption) override;
    bool play_tone(int, int) override { return true; }

    const std::vector<Shown>& shown() const { return shown_; }
    // An error message was shown: the operation failed.
    bool error_shown() const { return error_shown_; }
    // A question was answered No: the operation was refused.
    bool declined() const { return declined_; }
    // A message with exactly this text was shown.
    bool was_shown(std::string_view text) const;

private:
    bool yes_;
    bool json_;
    bool quiet_;
    std::string prefix_;
    bool error_shown_ = false;
    bool declined_ = false;
    std::vector<Shown> shown_;
};

} // namespace zz::cli
