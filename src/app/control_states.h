#pragma once

#include "base/observable.h"

#include <array>
#include <string>

namespace zz {

// Whether the controls that the chip selection switches can be used, by component name.
struct ControlStates {
    Value<bool> SpeedButton4{true}; // erase
    Value<bool> SpeedButton5{true}; // blank check
    Value<bool> SpeedButton7{true}; // verify
    Value<bool> N10{true};          // menu "&Erase"
    Value<bool> N11{true};          // menu "&Blank Check"
    Value<bool> N14{true};          // menu "&Verify"
    Value<bool> N15{true};          // menu "&CALIB"
    Value<bool> Button3{true};      // "Fuses"
    Value<bool> Button4{true};      // "CALIB"
    Value<bool> Button10{true};     // "Auto Program"
    // Button10's caption: "Stop" while the production loop runs.
    Value<std::string> Button10_caption{"Auto Program"};
    // The chip, family and port lists; locked while the production loop runs.
    Value<bool> ComboBox1{true};
    Value<bool> ComboBox2{true};
    Value<bool> cmbbxcomnum{true};
    Value<bool> EEPROM1{true};  // menu "Program And Verify &EEPROM"
    Value<bool> ID1{true};      // menu "Program And Verify &FUSE/ID"
    Value<bool> lab_fuse{true}; // caption "Configuration Word"
    // lab_fuse1 ... lab_fuse7
    std::array<Value<bool>, 7> lab_fuses{Value<bool>{true}, Value<bool>{true}, Value<bool>{true},
                                         Value<bool>{true}, Value<bool>{true}, Value<bool>{true},
                                         Value<bool>{true}};
    Value<bool> lab_id1{true};
    Value<bool> Label17{true}; // caption "User ID"
    Value<bool> lab_cal{true};
    Value<bool> lab_band{true};

    // lab_fuse1 ... lab_fuse7 by number 1 ... 7.
    Value<bool>& word_label(int n) { return lab_fuses.at(n - 1); }
    const Value<bool>& word_label(int n) const { return lab_fuses.at(n - 1); }
};

} // namespace zz
