#include "base/sha256.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <stdexcept>
#include <unistd.h>

namespace zz {

namespace {

using Context = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

Context new_context() {
    Context context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
    return context;
}

std::string hex_of(EVP_MD_CTX* context) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context, digest, &size);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < size; ++i) {
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 0xF];
    }
    return text;
}

} // namespace

std::string sha256_hex(std::string_view bytes) {
    const Context context = new_context();
    EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
    return hex_of(context.get());
}

std::string sha256_of_file(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot read " + path.string() + ": " + std::strerror(errno));
    const Context context = new_context();
    char block[65536];
    ssize_t n = 0;
    while ((n = ::read(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            EVP_DigestUpdate(context.get(), block, static_cast<std::size_t>(n));
    const int error = errno;
    ::close(fd);
    if (n < 0)
        throw std::runtime_error("cannot read " + path.string() + ": " + std::strerror(error));
    return hex_of(context.get());
}

} // namespace zz
