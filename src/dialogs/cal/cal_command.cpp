#include "dialogs/cal/cal_command.h"

namespace zz {

void calib_command(Link& link, const std::function<void()>& show_dialog) {
    if (link.Busy)
        return;
    link.CollectReplies = true;
    show_dialog();
    link.CollectReplies = false;
    // A port released while the dialog was open (idle release, or switched off) has no board to
    // restart: "01" would only report the port as not initialised, and the watchdog would then
    // report a board that cannot answer.
    if (link.flags().N18)
        return;
    link.finish_operation();
}

} // namespace zz
