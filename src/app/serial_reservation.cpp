#include "app/serial_reservation.h"

#include "app/blank_labels.h"
#include "files/checksum.h"
#include "files/hex_import.h"
#include "files/image_export.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace zz {

namespace {

// A board waiting for another's reservation goes on within this time of its release (ms).
constexpr int kLockPollMs = 1;

// An exclusive lock on "<image>.lock", held for the object's lifetime. The lock file stays in
// place: removing it would let a program lock a new file while another still holds the old one.
class ImageLock {
public:
    explicit ImageLock(const std::filesystem::path& image) {
        std::filesystem::path name = image;
        name += ".lock";
        fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw std::runtime_error("cannot open " + name.string() + ": " + std::strerror(errno));
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kReservationWaitMs);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if ((error != EWOULDBLOCK && error != EINTR) ||
                std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                throw std::runtime_error(error == EWOULDBLOCK
                                             ? name.string() + " is held by another program"
                                             : "cannot lock " + name.string() + ": " +
                                                   std::strerror(error));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kLockPollMs));
        }
    }
    ~ImageLock() { ::close(fd_); } // releases the lock
    ImageLock(const ImageLock&) = delete;
    ImageLock& operator=(const ImageLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

void reserve_serial_number(const ChipParams& chip, Buffer& buffer, const SerialSettings& serial,
                           const std::filesystem::path& image) {
    const ImageLock lock(image);
    Buffer on_disk;
    on_disk.clrbuffer(chip);
    blank_labels(chip, on_disk);
    const LoadResult loaded = read_image_file(chip, on_disk, image);
    if (!loaded.ok)
        throw std::runtime_error(loaded.error);
    // The number is taken only once the advanced one is saved: should the save fail, `buffer`
    // stays as it was.
    Buffer taken;
    taken.clrbuffer(chip);
    copy_serial_number(chip, on_disk, taken, serial);
    ser_inc(chip, on_disk, serial);
    export_image_file(chip, on_disk, image);
    copy_serial_number(chip, taken, buffer, serial);
    if (serial_region(serial) != SerialRegion::id)
        calc_checksum(chip, buffer);
}

} // namespace zz
