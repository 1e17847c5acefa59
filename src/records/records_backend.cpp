#include "records/records_backend.h"

#include "records/records_postgres.h"
#include "records/records_sqlite.h"

#include <charconv>

namespace zz {

std::int64_t SqlRow::integer(std::size_t i) const {
    const std::string& text = cells.at(i).value();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw StoreError("The records database holds \"" + text + "\" where a number belongs");
    return value;
}

std::string seconds_text(int ms) {
    if (ms % 1000 == 0)
        return std::to_string(ms / 1000) + " s";
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

std::unique_ptr<RecordsBackend> open_backend(const StoreUri& uri, int deadline_ms) {
    if (uri.kind == StoreUri::Kind::postgresql)
        return std::make_unique<PostgresBackend>(uri, deadline_ms);
    return std::make_unique<SqliteBackend>(uri.path, uri.shown, deadline_ms);
}

WriteTransaction::~WriteTransaction() {
    if (!open_)
        return;
    try {
        db_.exec("ROLLBACK");
    } catch (const StoreError&) {
        // A lost connection has rolled back by itself.
    }
}

void WriteTransaction::commit() {
    db_.exec("COMMIT");
    open_ = false;
}

} // namespace zz
