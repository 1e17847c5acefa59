#pragma once

#include "base/operator.h"
#include "ops/chip_context.h"

#include <string>

namespace zz {

// The statistic dialog ("Pset"): sets the target and the pass counter of the production
// statistics. Nothing changes until OK.
class StatisticModel {
public:
    static constexpr std::size_t kMaxDigits = 4;
    static constexpr const char* kCaption = "Statistic";
    static constexpr const char* kLabel3 = "Target Count 0-9999 PCS";
    static constexpr const char* kNumbersOnly = "Can only import number 0-9";

    StatisticModel(ChipState& statistics, Operator& op) : statistics_(statistics), op_(op) {}

    // A character typed into either field: backspace and the digits pass; anything else is
    // swallowed with the message "Can only import number 0-9". True when it passes.
    bool key_press(char key);
    // Whether a field may hold `text` (pasted, say): up to four digits.
    static bool acceptable(const std::string& text);

    std::string Edit1; // "Target Count"
    std::string Edit2; // "Pass Count"

    // OK: Lab_aim and lab_pass take the fields, padded with "0" to four digits. The fail counter
    // stays. A field that does not hold digits only changes nothing (the view never lets one).
    bool ok();

private:
    ChipState& statistics_;
    Operator& op_;
};

// `digits` padded on the left with "0" to four characters.
std::string four_digits(const std::string& digits);

} // namespace zz
