#include "dialogs/about/about_box.h"

#include <gtest/gtest.h>

namespace zz::test {
namespace {

TEST(AboutBox, ShowsTheVersionOfTheWindowCaption) {
    EXPECT_EQ(AboutBox("ZE-ZUZU V2.37").version, "Version 2.37");
    EXPECT_EQ(AboutBox("ZE-ZUZU").version, "");
}

} // namespace
} // namespace zz::test
