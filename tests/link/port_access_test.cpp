// What a person who may not open a serial port is told to do about it.
#include "link/port_access.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz {
namespace {

using ::testing::HasSubstr;

AccessFacts dialout_port() {
    AccessFacts f;
    f.device = "/dev/ttyUSB0";
    f.user = "alice";
    f.owner = "root";
    f.group = "dialout";
    f.mode = 0660;
    f.group_may_read_write = true;
    return f;
}

TEST(PortAccess, HintFollowsWhatWouldGiveAccess) {
    struct Case {
        const char* name;
        void (*change)(AccessFacts&);
        const char* hint;
    };
    const Case cases[] = {
        {"not in the group", [](AccessFacts&) {},
         "the port belongs to the group dialout; add yourself with: sudo usermod -aG dialout "
         "alice, then log out and in again"},
        {"added but not logged in again", [](AccessFacts& f) { f.user_in_group = true; },
         "you are in the group dialout since your last login: log out and in again (or run: "
         "newgrp dialout)"},
        {"unknown user", [](AccessFacts& f) { f.user.clear(); }, "sudo usermod -aG dialout $USER"},
        {"group without rights",
         [](AccessFacts& f) {
             f.mode = 0600;
             f.group_may_read_write = false;
         },
         "mode 0600, owner root, group dialout: for a USB-serial adapter install the udev rule "
         "60-ze-zuzu.rules and plug the adapter in again"},
        {"root's group is not joined", [](AccessFacts& f) { f.group = "root"; },
         "mode 0660, owner root, group root: for a USB-serial adapter install"},
        {"denied in spite of the group", [](AccessFacts& f) { f.process_in_group = true; },
         "the system refused access although you are in the group dialout"},
    };
    for (const Case& c : cases) {
        AccessFacts facts = dialout_port();
        c.change(facts);
        EXPECT_THAT(access_hint(facts), HasSubstr(c.hint)) << c.name;
    }
}

TEST(PortAccess, MissingDeviceIsNotToBeOpened) {
    const PortAccess missing = port_access("/nonexistent/ttyUSB9");
    EXPECT_FALSE(missing.may_open);
    EXPECT_EQ(missing.hint, "No such file or directory");
    EXPECT_THAT(permission_denied_text("/nonexistent/ttyUSB9"),
                HasSubstr("Permission denied on /nonexistent/ttyUSB9: "));
}

} // namespace
} // namespace zz
