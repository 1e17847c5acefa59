#include "device/data_folder.h"

#include "device/temp_folder.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

TEST(DataFolder, TheFirstFolderWithAChipListWins) {
    testing::TempFolder empty, first, second;
    first.write("4-chip.ini", "[16F84A]\n");
    second.write("1-chip.ini", "[16F84A]\n");
    EXPECT_EQ(find_data_dir({empty.path(), first.path(), second.path()}), first.path());
    EXPECT_EQ(find_data_dir({empty.path(), second.path(), first.path()}), second.path());
    // Nothing found: the first candidate, where every chip then takes its defaults.
    EXPECT_EQ(find_data_dir({empty.path() / "missing", empty.path()}), empty.path() / "missing");
    EXPECT_EQ(find_data_dir({}), std::filesystem::path());
}

TEST(DataFolder, StandardFoldersStartBesideTheProgram) {
    const auto dirs = standard_data_dirs();
    ASSERT_EQ(dirs.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(dirs[0]));
    EXPECT_EQ(dirs[1], (dirs[0].parent_path() / "share" / "ze-zuzu"));
}

} // namespace
} // namespace zz
