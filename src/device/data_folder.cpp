#include "device/data_folder.h"

#include "device/chip_database.h"
#include "device/chip_family.h"

#include <system_error>

namespace zz {

namespace {
constexpr int kModelCount = 4;

bool holds_chip_lists(const std::filesystem::path& dir) {
    const ChipDatabase database(dir);
    const auto suffix = find_chip_family(kAllChipFamily)->list_suffix;
    std::error_code error;
    for (int model = 1; model <= kModelCount; ++model)
        if (std::filesystem::is_regular_file(database.list_file(model, suffix), error))
            return true;
    return false;
}
} // namespace

std::filesystem::path executable_dir() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::vector<std::filesystem::path> standard_data_dirs() {
    const auto dir = executable_dir();
    if (dir.empty())
        return {};
    return {dir, (dir / ".." / "share" / "ze-zuzu").lexically_normal()};
}

std::filesystem::path find_data_dir(const std::vector<std::filesystem::path>& candidates) {
    for (const auto& dir : candidates)
        if (holds_chip_lists(dir))
            return dir;
    return candidates.empty() ? std::filesystem::path() : candidates.front();
}

} // namespace zz
