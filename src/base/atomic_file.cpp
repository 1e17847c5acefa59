#include "base/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zz {

namespace {
[[noreturn]] void fail(const std::string& what, const std::filesystem::path& path) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(errno));
}

// The permission bits the new file gets: those of the file it replaces, else the usual ones.
// A file its user may not write, or one without any write permission (made read-only on
// purpose, which root could otherwise write), is not replaced.
mode_t replaced_mode(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0644;
    if (::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)
        throw std::runtime_error(path.string() + " is read-only: it was not replaced");
    return st.st_mode & 07777;
}

} // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view contents) {
    const mode_t mode = replaced_mode(path);
    std::filesystem::path temp = path;
    temp += ".tmp-XXXXXX";
    std::string name = temp.string();
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail("cannot create", temp);
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int saved = errno;
            ::close(fd);
            ::unlink(name.c_str());
            errno = saved;
            fail("cannot write", name);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // Not mkstemp's 0600.
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(name.c_str());
        fail("cannot write", name);
    }
    if (::rename(name.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(name.c_str());
        errno = saved;
        fail("cannot replace", path);
    }
}

} // namespace zz
