#pragma once

#include "app/settings_file.h"
#include "app/station.h"
#include "base/operator.h"

#include <memory>
#include <optional>

namespace zz::cli {

struct CliContext;
struct ProductionOptions;

// The serial settings the "Serial Number" dialog takes from the --serial... options typed over
// `start`; nullopt when its OK refused them (the message shown). Throws UsageError for an option
// the chip or the serial region does not allow.
std::optional<SerialSettings> serial_settings_from_options(const ProductionOptions& p,
                                                           const SerialSettings& start,
                                                           const ChipParams& chip, Operator& op);

// Without start-up: the model, family and chip of session.settings as start-up would apply them,
// no port opened.
void select_offline(Session& session);

// A job's board starts with the job's model, family and chip.
void with_job_chip(AppSettings& settings, const Job& job);

// What `program` and `auto` number and record, settled before any port is touched: the settings
// file's serial-number options with the command line's over them, judged by the rules of the
// "Serial Number" dialog for the selected chip, the sequence (--sequence), and the production
// log opened. Fills c.production; kBadInput with the reason shown when refused.
int prepare_production(CliContext& c);

// The station of `program` and `auto`, before any port is touched: its records store opened
// (--db, --station), and the plan checked against it (several boards share only reserved
// numbers; a list sequence's values must fit the serial cells). Sets c.station; kBadInput with
// the reason shown (the store named without its password) when refused.
int open_station(CliContext& c, bool several_boards, std::unique_ptr<Station>& station);

// After FILE is loaded: the session works for the station as settled (and runs its job).
// Loading the file blanked the buffer, which switched numbering off. kFailed (the reason shown)
// when the job cannot run on this board.
int use_production(CliContext& c);

// After FILE is loaded: programs --count chips, each a fresh one on the virtual board, numbered
// as settled, each on record. Stops at the first chip that fails, or when the station stops.
int program_chips(CliContext& c);

} // namespace zz::cli
