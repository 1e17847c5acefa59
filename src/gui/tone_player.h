#pragma once

namespace zz {

// Plays a sine tone of `hz` for `ms` on the default sound device and returns when it has been
// heard; false when no sound device can be opened or set up.
bool play_sine_tone(int hz, int ms);

} // namespace zz
