#pragma once
// The sequences' rows and the taking of their next value, inside the store's transactions.
#include "records/records_backend.h"
#include "records/records_store.h"

#include <optional>
#include <string>

namespace zz {

struct SequenceRow {
    std::string name;
    SequenceKind kind = SequenceKind::counter;
    std::string next_value;         // counter
    std::int64_t next_position = 0; // list
    SerialCounting counting;        // counter
};

// The sequence, its row locked until the transaction ends when `lock`; nullopt: no such one.
std::optional<SequenceRow> read_sequence(RecordsBackend& db, const std::string& name, bool lock);

// Creates the counter sequence `request` describes, unless another store just did. Throws
// StoreError for a first value or a counting that cannot make a sequence.
void create_counter(RecordsBackend& db, const SequenceRequest& request, std::int64_t now_ms);

// Takes the sequence's next value and moves it on. Throws StoreError when none is left, when
// the request counts otherwise than the sequence, or when the value is on record already (a
// counter that came round).
std::string take_next_value(RecordsBackend& db, const SequenceRow& sequence,
                            const SequenceRequest& request);

void create_list(RecordsBackend& db, const std::string& name,
                 const std::vector<std::string>& values, std::int64_t now_ms);

// The next value of a list (empty when none is left) and how many are left.
std::pair<std::string, std::int64_t> list_position(RecordsBackend& db, const SequenceRow& row);

} // namespace zz
