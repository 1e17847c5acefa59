#pragma once

#include "base/operator.h"

#include <string>

namespace zz {

// Passes everything on to the person and remembers the last failure shown since clear(): an
// error message, or else a question answered No. The production record takes the failing
// step's message from it.
class FailureTap : public Operator {
public:
    explicit FailureTap(Operator& op) : op_(op) {}

    void show_message(std::string_view text, std::string_view caption, Icon icon) override {
        if (caption == "Error" || icon == Icon::Error)
            error_ = text;
        op_.show_message(text, caption, icon);
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        const bool yes = op_.ask_yes_no(text, caption);
        if (!yes)
            declined_ = text;
        return yes;
    }
    bool play_tone(int hz, int ms) override { return op_.play_tone(hz, ms); }

    void clear() {
        error_.clear();
        declined_.clear();
    }
    const std::string& failure() const { return error_.empty() ? declined_ : error_; }

private:
    Operator& op_;
    std::string error_;
    std::string declined_;
};

} // namespace zz
