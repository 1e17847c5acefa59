#include "records/store_uri.h"

#include <cstdlib>
#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace zz {

namespace {

bool starts_with_any(std::string_view text, std::initializer_list<std::string_view> prefixes) {
    for (std::string_view p : prefixes)
        if (text.starts_with(p))
            return true;
    return false;
}

std::string home_folder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

// "user:secret@host" -> "user@host" in the part between "//" and the first "/", "?" or "#".
std::string without_user_password(std::string uri) {
    const std::size_t authority = uri.find("//");
    if (authority == std::string::npos)
        return uri;
    const std::size_t begin = authority + 2;
    const std::size_t end = std::min(uri.find_first_of("/?#", begin), uri.size());
    const std::size_t at = uri.rfind('@', end - 1);
    if (at == std::string::npos || at < begin)
        return uri;
    const std::size_t colon = uri.find(':', begin);
    if (colon != std::string::npos && colon < at)
        uri.erase(colon, at - colon);
    return uri;
}

// Drops "password=..." from the query part.
std::string without_password_parameter(const std::string& uri) {
    const std::size_t query = uri.find('?');
    if (query == std::string::npos)
        return uri;
    std::string kept;
    std::size_t begin = query + 1;
    while (begin <= uri.size()) {
        std::size_t end = uri.find('&', begin);
        if (end == std::string::npos)
            end = uri.size();
        const std::string_view item = std::string_view(uri).substr(begin, end - begin);
        if (!item.empty() && !item.starts_with("password="))
            kept += (kept.empty() ? "" : "&") + std::string(item);
        begin = end + 1;
    }
    return uri.substr(0, query) + (kept.empty() ? "" : "?" + kept);
}

} // namespace

std::string without_password(std::string_view uri) {
    return without_password_parameter(without_user_password(std::string(uri)));
}

std::filesystem::path user_data_folder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/')
        return std::filesystem::path(xdg) / "ze-zuzu";
    return std::filesystem::path(home_folder()) / ".local" / "share" / "ze-zuzu";
}

std::filesystem::path default_store_path() {
    return user_data_folder() / "production.sqlite";
}

std::filesystem::path default_spool_path() {
    return user_data_folder() / "pending-records.sqlite";
}

StoreUri parse_store_uri(std::string_view text) {
    StoreUri uri;
    if (starts_with_any(text, {"postgresql://", "postgres://"})) {
        uri.kind = StoreUri::Kind::postgresql;
        uri.conninfo = std::string(text);
        uri.shown = without_password(text);
        return uri;
    }
    if (text.starts_with("sqlite:"))
        text.remove_prefix(7);
    else if (const std::size_t colon = text.find("://"); colon != std::string_view::npos)
        throw std::invalid_argument("Unknown kind of records database \"" +
                                    without_password(text.substr(0, colon)) +
                                    "\": give a file, sqlite:FILE or postgresql://...");
    uri.path = text.empty() ? default_store_path() : std::filesystem::path(text);
    uri.shown = "sqlite:" + uri.path.string();
    return uri;
}

} // namespace zz
