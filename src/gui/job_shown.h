#pragma once
// What the window shows of the job a station runs.
#include "app/running_job.h"
#include "dialogs/job/operator_mode.h"

namespace zz {

inline JobShown job_shown(const RunningJob& running) {
    return JobShown{running.title(),      short_fingerprint(running.fingerprint),
                    running.checksum,     running.job.chip,
                    running.job.quantity, running.lot,
                    running.operator_name};
}

} // namespace zz
