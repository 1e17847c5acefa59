#pragma once
// The engineer's password in the window: it leaves operator mode, and it opens a job file that
// has not been released. The line keeps it in the records database; the caller asks the
// database (off the window's thread) and the person, through PasswordChecks.
#include "base/operator.h"

#include <functional>
#include <optional>
#include <string>

namespace zz {

struct PasswordChecks {
    // Whether a password is set. Throws StoreError when the database cannot be asked.
    std::function<bool()> is_set;
    // Whether `password` is the engineer's. Throws StoreError likewise.
    std::function<bool(const std::string& password)> accepts;
    // The password as the person types it; nullopt when they cancel.
    std::function<std::optional<std::string>()> ask;
};

enum class EngineerTask { leave_operator_mode, open_job_file };

// Whether the task may go on. Without an open records database, never: the password cannot be
// checked, and a station must not leave its job on a database that went away (`why_closed`
// says why it is not open). With no password set, always, and leaving says so. Else only with
// the engineer's password. Each refusal is shown to `op`; a cancelled question is no refusal.
bool engineer_passes(EngineerTask task, bool store_open, const std::string& why_closed,
                     const PasswordChecks& checks, Operator& op);

// Shown when leaving needs no password.
inline constexpr const char* kNoEngineerPassword =
    "No engineer password is set: anyone may leave operator mode. Set one with ze-zuzu-cli job "
    "password.";

} // namespace zz
