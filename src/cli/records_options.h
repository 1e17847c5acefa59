#pragma once

#include <optional>
#include <string>

namespace zz::cli {

struct CliOptions;
struct CommandInfo;
class OptionArg;

// The production records: the store `program` and `auto` record into (and number from, with a
// sequence), and what `records` and `sequence` show of it.
struct RecordsOptions {
    std::string db;       // --db URI; empty: the default file
    std::string station;  // --station NAME: this station's name on record, or a records filter
    std::string sequence; // --sequence NAME: numbers from that sequence, or a records filter
    std::optional<std::string> since; // --since TIME (records)
    bool csv = false;                 // --csv (records)
    bool summary = false;             // --summary (records)
    std::string values;               // --values FILE (sequence): makes a list sequence
    bool report = false;              // --report (records): the end-of-job report of --job
    std::string html;                 // --html FILE (records --report): the report as a page
};

bool parse_records_option(const std::string& name, OptionArg& arg, CliOptions& o);
void check_records_options(const CliOptions& o, const CommandInfo& command);
extern const char kRecordsHelp[];

} // namespace zz::cli
