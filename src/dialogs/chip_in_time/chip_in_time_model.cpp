#include "dialogs/chip_in_time/chip_in_time_model.h"

#include "ops/auto_program.h"

#include <algorithm>

namespace zz {

namespace {
int in_range(int position) {
    return std::clamp(position, kMinChipInSocketTime, kMaxChipInSocketTime);
}
} // namespace

ChipInTimeModel::ChipInTimeModel(int& ChipInSocketTime)
    : stored_(ChipInSocketTime), position_(in_range(ChipInSocketTime)) {}

void ChipInTimeModel::TrackBar1Change(int position) {
    position_ = in_range(position);
}

std::string ChipInTimeModel::Label1() const {
    return "Chip In Socket Time(" + std::to_string(position_) + ")";
}

} // namespace zz
