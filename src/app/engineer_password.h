#pragma once
// The engineer's password, which leaves the window's operator mode and opens job files there.
// The records database keeps only a salted, slow hash of it (Argon2id), shared by the line.
#include "records/records_store.h"

#include <string>
#include <string_view>

namespace zz {

// The name the hash is kept under in the store.
inline constexpr const char* kEngineerPassword = "engineer_password";

// An Argon2id hash of the password with a fresh random salt, in its encoded form ($argon2id$...).
// Throws std::runtime_error when it cannot be made.
std::string hash_password(std::string_view password);
// Whether `password` is the one `encoded` was made from.
bool password_matches(std::string_view password, const std::string& encoded);

// Sets the line's engineer password (an empty one is refused: std::invalid_argument).
void set_engineer_password(RecordsStore& store, std::string_view password);
// Whether leaving operator mode needs the password: one is set.
bool engineer_password_set(RecordsStore& store);
// Whether `password` is the engineer's; true when none is set.
bool engineer_password_accepts(RecordsStore& store, std::string_view password);

} // namespace zz
