#pragma once

#include <filesystem>
#include <vector>

namespace zz {

// The program's own folder (empty when it cannot be found).
std::filesystem::path executable_dir();

// Where an installed program keeps its chip databases, in the order to try: beside the
// executable, then the installed share folder (<prefix>/share/ze-zuzu). Front ends may
// append folders of their own (a source tree's data/ for a build that is not installed).
std::vector<std::filesystem::path> standard_data_dirs();

// The first candidate that holds the "All Chip" list file of any programmer model; when none
// does, the first candidate (so every chip then selects with its defaults); empty for no
// candidates.
std::filesystem::path find_data_dir(const std::vector<std::filesystem::path>& candidates);

} // namespace zz
