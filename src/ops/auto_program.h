#pragma once

#include "ops/chip_context.h"

#include <functional>
#include <string>

namespace zz {

namespace texts {
inline constexpr const char* kAutoProgramCaption = "Auto Program";
inline constexpr const char* kStopCaption = "Stop";
inline constexpr const char* kWaitingForInsertion = "Waiting for chip insertion...";
inline constexpr const char* kWaitingForRemoval = "Waiting for chip removal...";
inline constexpr const char* kPleaseStop = "Please stop running \"Auto Program\",";
inline constexpr const char* kOtpChip = "OTP chip cannot work in Auto Program Mode";
inline constexpr const char* kIcspWarning =
    "Auto Program Mode may not work correctly when ICSP is enabled";
} // namespace texts

// The range of ChipInSocketTime; a stored value outside it counts as the nearest end.
inline constexpr int kMinChipInSocketTime = 1;
inline constexpr int kMaxChipInSocketTime = 10;

// What the window shows of the production loop: Button10's caption ("Auto Program", or "Stop"
// while the loop runs) and whether the chip, family and port lists can be used.
struct AutoProgramControls {
    Value<std::string>& Button10;
    Value<bool>& ComboBox1;
    Value<bool>& ComboBox2;
    Value<bool>& cmbbxcomnum;
};

// What a front end without a person at the window adds to the loop.
struct AutoProgramHooks {
    // At the end of each cycle, once the chip has been taken out; may set CloseRequested.
    std::function<void()> cycle_ended = {};
    // A board that answers a socket watch with nothing and does not come back on a restart ends
    // the loop, instead of the loop trying again until it is stopped.
    bool drop_silent_board = false;
};

// Everything the production loop works with. The chip context's `begin_chip` runs before each
// chip's steps (its number), `after_pass` after each passed chip (the serial number), its
// `programmed` as soon as a chip's steps have ended (the production record).
struct AutoProgramContext {
    ChipContext& chip;
    AutoProgramControls controls;
    // Set by a Stop click, the window closing or a signal: ends the waits and the loop.
    bool& CloseRequested;
    // Reports of a chip in the socket, one after another, before it is programmed.
    int ChipInSocketTime = 1;
    AutoProgramHooks hooks = {};
};

// How a run of the loop ended.
struct AutoProgramResult {
    bool started = false;    // the loop ran (not refused, the set-up answered)
    bool board_lost = false; // ended by a board that stopped answering (drop_silent_board)
};

// "Auto Program" / "Stop" (Button10): while the loop runs, a click only asks it to stop. Else,
// unless another operation runs, the loop: the set-up "03", then cycle after cycle the chip's
// insertion ("12" ... 59h, ChipInSocketTime times), the presence check ("0D"), the program
// steps, the statistics and the serial number, "05", and the chip's removal ("13" ... 59h),
// until CloseRequested; then the closing "01".
AutoProgramResult auto_program_command(AutoProgramContext& a);

} // namespace zz
