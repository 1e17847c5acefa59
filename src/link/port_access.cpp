#include "link/port_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zz {

namespace {

constexpr const char* kUdevRule = "60-ze-zuzu.rules";

std::string octal_mode(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777);
    return text;
}

std::string login_name(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->pw_name;
}

std::string group_name(gid_t gid) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->gr_name;
}

bool process_has_group(gid_t gid) {
    if (getegid() == gid)
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.end();
}

// The groups of the user's next login, from the group database.
bool database_has_group(const std::string& user, gid_t gid) {
    if (user.empty())
        return false;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user.c_str(), found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user.c_str(), found->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

AccessFacts access_facts(const std::string& device, const struct stat& st) {
    AccessFacts f;
    f.device = device;
    f.user = login_name(geteuid());
    f.group = group_name(st.st_gid);
    f.owner = login_name(st.st_uid);
    f.mode = st.st_mode & 07777;
    f.group_may_read_write = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    f.process_in_group = process_has_group(st.st_gid);
    f.user_in_group = database_has_group(f.user, st.st_gid);
    return f;
}

} // namespace

std::string access_hint(const AccessFacts& f) {
    const std::string user = f.user.empty() ? "$USER" : f.user;
    // Joining the group helps only where the group may read and write, and root's group is no
    // group to join.
    const bool group_helps = f.group_may_read_write && !f.group.empty() && f.group != "root";
    if (group_helps && f.process_in_group)
        return "the system refused access although you are in the group " + f.group;
    if (group_helps && f.user_in_group)
        return "you are in the group " + f.group +
               " since your last login: log out and in again (or run: newgrp " + f.group + ")";
    if (group_helps)
        return "the port belongs to the group " + f.group +
               "; add yourself with: sudo usermod -aG " + f.group + " " + user +
               ", then log out and in again";
    return "mode " + octal_mode(f.mode) + ", owner " + (f.owner.empty() ? "?" : f.owner) +
           ", group " + (f.group.empty() ? "?" : f.group) +
           ": for a USB-serial adapter install the udev rule " + kUdevRule +
           " and plug the adapter in again";
}

PortAccess port_access(const std::string& device) {
    if (::access(device.c_str(), R_OK | W_OK) == 0)
        return {};
    const int error = errno;
    struct stat st {};
    if ((error != EACCES && error != EPERM) || ::stat(device.c_str(), &st) != 0)
        return {false, std::strerror(error)};
    return {false, access_hint(access_facts(device, st))};
}

std::string permission_denied_text(const std::string& device) {
    const PortAccess access = port_access(device);
    // The open was refused although the permission bits allow it (a security module, say).
    const std::string hint = access.may_open ? "the system refused access" : access.hint;
    return "Permission denied on " + device + ": " + hint;
}

} // namespace zz
