#pragma once

#include "cli/cli_operator.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "records/records_store.h"

namespace zz::cli {

// `records --report --job NAME [--lot TEXT]`: the end-of-job report of the chips `filter`
// chooses, with the quantity of the job's latest released revision (unknown for a job only
// rehearsed): as text, as one JSON object (--json), or written to a page (--html FILE).
int job_report_command(const CliOptions& o, const RecordFilter& filter, RecordsStore& store,
                       CliOperator& op, CliOutput& out);

} // namespace zz::cli
