#include "cli/cli_operator.h"

#include <cstdio>

namespace zz::cli {

namespace {
constexpr std::string_view kErrorCaption = "Error";

// One call per line: lines printed by other threads never cut into it.
void print_line(std::FILE* stream, const std::string& prefix, std::string_view caption,
                std::string_view text, std::string_view tail = {}) {
    const std::string line =
        prefix + std::string(caption) + ": " + one_line(text) + std::string(tail);
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}
} // namespace

void CliOperator::show_message(std::string_view text, std::string_view caption, Icon icon) {
    const bool error = caption == kErrorCaption || icon == Icon::Error;
    error_shown_ = error_shown_ || error;
    shown_.push_back({std::string(caption), split_lines(text), std::nullopt, std::string(text)});
    if (json_)
        return;
    if (error)
        print_line(stderr, prefix_, caption, text);
    else if (!quiet_)
        print_line(stdout, prefix_, caption, text);
}

bool CliOperator::ask_yes_no(std::string_view text, std::string_view caption) {
    declined_ = declined_ || !yes_;
    shown_.push_back({std::string(caption), split_lines(text), yes_, std::string(text)});
    if (!json_)
        print_line(stderr, prefix_, caption, text, yes_ ? " -- answered Yes" : " -- answered No");
    return yes_;
}

bool CliOperator::was_shown(std::string_view text) const {
    for (const Shown& s : shown_)
        if (!s.answer && s.text == text)
            return true;
    return false;
}

} // namespace zz::cli
