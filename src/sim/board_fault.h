#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zz {

// What a fault can hit besides a command code (0x00-0xFF, the command's first byte).
namespace fault_target {
inline constexpr int kIdentity = 0x142;     // the identity sent after a restart
inline constexpr int kRomBlock = 0x107;     // the answer to each 32-byte block of "07"
inline constexpr int kEepromUnit = 0x108;   // the answer to each 2-byte unit of "08"
inline constexpr int kIdBlock = 0x109;      // the answer to the data block after "09"
inline constexpr int kConfigBlock = 0x111;  // the answer to the data block after "11"
inline constexpr int kSocketReport = 0x159; // the 59h report of a socket watch
} // namespace fault_target

// A fault injected into the board's answer to a command (or another target above), selected by
// its occurrence: 1 = the first one after the fault was added, 2 = the second ..., 0 = every one.
struct Fault {
    // Restart: instead of its answer the board restarts `delay_ms` after the command arrived
    // (a stream already running stops there).
    enum class Kind { Silent, Replace, Split, Extra, Delay, Restart };

    Kind kind = Kind::Silent;
    int command = 0;
    int occurrence = 0;
    std::vector<std::uint8_t> bytes; // Replace: the whole answer; Extra: appended to it
    std::vector<int> sizes;          // Split: bytes per delivery; the rest goes in a last one
    std::vector<int> gaps_ms;        // Split: pause before delivery 2, 3, ... (missing ones: 1 ms)
    int delay_ms = 0;                // Delay: added before the answer; Restart: when

    static Fault silent(int command, int occurrence = 0);
    static Fault reply(int command, std::vector<std::uint8_t> bytes, int occurrence = 0);
    static Fault split(int command, std::vector<int> sizes, std::vector<int> gaps_ms,
                       int occurrence = 0);
    static Fault extra(int command, std::vector<std::uint8_t> bytes, int occurrence = 0);
    static Fault delay(int command, int delay_ms, int occurrence = 0);
    static Fault restart(int command, int delay_ms, int occurrence = 0);
};

// What the faults make of one answer.
struct AnswerShape {
    bool silent = false;
    bool replaced = false;
    std::vector<std::uint8_t> replacement;
    std::vector<std::uint8_t> extra;
    std::vector<int> sizes;
    std::vector<int> gaps_ms;
    int delay_ms = 0;
    std::optional<int> restart_ms;
};

// The faults in force, each counting the commands it watches.
class FaultList {
public:
    void add(Fault fault);
    void clear() { faults_.clear(); }
    // Counts one occurrence of `target` and combines the faults that hit it.
    AnswerShape on_command(int target);

private:
    struct Entry {
        Fault fault;
        int seen = 0;
    };
    std::vector<Entry> faults_;
};

} // namespace zz
