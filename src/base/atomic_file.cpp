#include "base/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace zz {

namespace {
[[noreturn]] void fail(const std::string& what, const std::filesystem::path& path) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(errno));
}
} // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view contents) {
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
    // A new file keeps the usual permissions rather than mkstemp's 0600.
    ::fchmod(fd, 0644);
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
