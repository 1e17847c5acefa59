#include "app/engineer_password.h"

#include <argon2.h>
#include <openssl/rand.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace zz {

namespace {

// About a tenth of a second and 64 MiB per try on a station PC: slow for a guesser.
constexpr std::uint32_t kTimeCost = 3;
constexpr std::uint32_t kMemoryKiB = 64 * 1024;
constexpr std::uint32_t kLanes = 1;
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;

} // namespace

std::string hash_password(std::string_view password) {
    std::array<unsigned char, kSaltBytes> salt{};
    if (RAND_bytes(salt.data(), static_cast<int>(salt.size())) != 1)
        throw std::runtime_error("no random salt for the password");
    std::vector<char> encoded(argon2_encodedlen(kTimeCost, kMemoryKiB, kLanes, kSaltBytes,
                                                kHashBytes, Argon2_id));
    const int status = argon2id_hash_encoded(kTimeCost, kMemoryKiB, kLanes, password.data(),
                                             password.size(), salt.data(), salt.size(),
                                             kHashBytes, encoded.data(), encoded.size());
    if (status != ARGON2_OK)
        throw std::runtime_error(std::string("the password could not be hashed: ") +
                                 argon2_error_message(status));
    return encoded.data();
}

bool password_matches(std::string_view password, const std::string& encoded) {
    return !encoded.empty() &&
           argon2id_verify(encoded.c_str(), password.data(), password.size()) == ARGON2_OK;
}

void set_engineer_password(RecordsStore& store, std::string_view password) {
    if (password.empty())
        throw std::invalid_argument("the engineer's password must not be empty");
    store.set_secret(kEngineerPassword, hash_password(password));
}

bool engineer_password_set(RecordsStore& store) {
    return !store.secret(kEngineerPassword).empty();
}

bool engineer_password_accepts(RecordsStore& store, std::string_view password) {
    const std::string encoded = store.secret(kEngineerPassword);
    return encoded.empty() || password_matches(password, encoded);
}

} // namespace zz
