// The test program's entry: widgets need a QApplication before the first test runs. The windows
// it starts keep their production records in a folder of its own, never in the user's.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char* argv[]) {
    const std::filesystem::path data = std::filesystem::path(ZZ_BINARY_DIR) / "gui-data";
    std::filesystem::create_directories(data);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
