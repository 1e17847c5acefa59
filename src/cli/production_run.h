#pragma once

#include "app/production_log.h"
#include "app/serial_number.h"

#include <memory>

namespace zz::cli {

struct CliContext;

// What `program` numbers and records, settled before any port is touched.
struct ProductionSetup {
    bool numbered = false;
    SerialSettings serial;
    std::shared_ptr<const ProductionLog> log;
};

// The settings file's serial-number options with the command line's over them, judged by the
// rules of the "Serial Number" dialog for the selected chip, and the production log opened.
// Fills c.production; kBadInput with the reason shown when either is refused.
int prepare_production(CliContext& c);

// After FILE is loaded: the settled numbering and log on the session. Loading the file blanked
// the buffer, which switched numbering off.
void use_production(CliContext& c);

// After FILE is loaded: programs --count chips, each a fresh one on the virtual board, with the
// serial number advancing as in the window (or reserved from FILE with --serial-save), each on
// record in the log. Stops at the first chip that fails.
int program_chips(CliContext& c);

} // namespace zz::cli
