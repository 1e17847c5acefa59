#pragma once

namespace zz::cli {

// SIGINT and SIGTERM ask the production loops to end: the chip being programmed finishes, or the
// wait for a chip ends, the board is handed back with "01" and the summary prints. A second
// signal ends the program at once. Each board's session learns of it through a
// CloseRequestWatch on stop_signal_caught.
void catch_stop_signals();
bool stop_signal_caught();

} // namespace zz::cli
