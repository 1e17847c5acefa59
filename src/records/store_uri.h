#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zz {

// Where the records are kept: a SQLite file, or a PostgreSQL database in libpq's URI form.
struct StoreUri {
    enum class Kind { sqlite, postgresql };
    Kind kind = Kind::sqlite;
    std::filesystem::path path; // sqlite
    std::string conninfo;       // postgresql: the URI as given, handed to libpq
    std::string shown;          // for messages: the URI with any password left out
};

// "PATH", "sqlite:PATH", "postgresql://..." or "postgres://..." ("postgresql://" alone takes
// libpq's environment: PGHOST, PGPORT, PGUSER, PGPASSWORD, PGDATABASE). An empty text or
// "sqlite:" alone is the default file. Throws std::invalid_argument for an unknown scheme.
StoreUri parse_store_uri(std::string_view text);

// The URI with the password of its user part and any "password=" parameter left out.
std::string without_password(std::string_view uri);

// $XDG_DATA_HOME/ze-zuzu (an unset, empty or relative XDG_DATA_HOME: ~/.local/share/ze-zuzu).
std::filesystem::path user_data_folder();
// The default store: user_data_folder()/production.sqlite.
std::filesystem::path default_store_path();
// Where records that could not reach the store wait: user_data_folder()/pending-records.sqlite.
std::filesystem::path default_spool_path();

} // namespace zz
