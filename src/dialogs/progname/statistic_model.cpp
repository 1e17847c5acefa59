#include "dialogs/progname/statistic_model.h"

#include <algorithm>

namespace zz {

namespace {
constexpr char kBackspace = '\b';

bool digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool StatisticModel::key_press(char key) {
    if (key == kBackspace || digit(key))
        return true;
    op_.show_message(kNumbersOnly, "", Icon::None);
    return false;
}

bool StatisticModel::acceptable(const std::string& text) {
    return text.size() <= kMaxDigits && std::all_of(text.begin(), text.end(), digit);
}

bool StatisticModel::ok() {
    if (!acceptable(Edit1) || !acceptable(Edit2))
        return false;
    statistics_.Lab_aim = "Target:" + four_digits(Edit1);
    statistics_.lab_pass = "Pass:" + four_digits(Edit2);
    return true;
}

std::string four_digits(const std::string& digits) {
    if (digits.size() >= StatisticModel::kMaxDigits)
        return digits;
    return std::string(StatisticModel::kMaxDigits - digits.size(), '0') + digits;
}

} // namespace zz
