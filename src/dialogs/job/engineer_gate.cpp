#include "dialogs/job/engineer_gate.h"

#include "records/records_backend.h"

namespace zz {

namespace {

constexpr const char* kCaption = "Operator Mode";

// What stays as it was after a refusal.
std::string outcome(EngineerTask task) {
    return task == EngineerTask::leave_operator_mode ? "The window stays in operator mode."
                                                     : "The job file is not opened.";
}

void refuse(EngineerTask task, const std::string& why, Operator& op) {
    op.show_message(why + "\n" + outcome(task), kCaption, Icon::Error);
}

void cannot_check(EngineerTask task, const std::string& why, Operator& op) {
    refuse(task, "The engineer's password cannot be checked: " + why, op);
}

} // namespace

bool engineer_passes(EngineerTask task, bool store_open, const std::string& why_closed,
                     const PasswordChecks& checks, Operator& op) {
    if (!store_open) {
        cannot_check(task, why_closed, op);
        return false;
    }
    try {
        if (!checks.is_set()) {
            if (task == EngineerTask::leave_operator_mode)
                op.show_message(kNoEngineerPassword, kCaption, Icon::Warning);
            return true;
        }
        const std::optional<std::string> password = checks.ask();
        if (!password)
            return false;
        if (checks.accepts(*password))
            return true;
    } catch (const StoreError& e) {
        cannot_check(task, e.what(), op);
        return false;
    }
    refuse(task, "That is not the engineer's password.", op);
    return false;
}

} // namespace zz
