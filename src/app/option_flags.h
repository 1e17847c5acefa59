#pragma once

#include "base/observable.h"

namespace zz {

// The option check marks of the main window (menu items and check boxes), by component name,
// in their initial state. Each is both checked and enabled state.
struct OptionFlags {
    Flag N31{true};                       // "Mute"
    Flag UseVPPFirstProgramEntry1{false}; // "Use VPP First Program Entry"
    Flag N33{false};                      // "Do not show dialog box after finish programmed"
    Flag N_chip_not{false};               // "Do not show chip position in chip selector"
    Flag N32{false};                      // "Do not check chip type during program"
    Flag N_ICSP{false};                   // "&ICSP Mode"
    Flag n_calchip{true};                 // "&Preserve OSCCAL calibration value"
    Flag N_calfile{false};                // "&Use File"
    Flag N35{false};                      // "Auto Update Files"
    Flag N_autoprog{false};               // "&Auto Program"
    Flag n36{true};                       // "Write finish again verify once "
    Flag CheckBox_blank{true};
    Flag CheckBox_erase{true};
    Flag CheckBox_wr_ee{true};
    Flag CheckBox_wr_rom{true};
    Flag CheckBox_wr_id{true};
    Flag N18{false}; // "&Turn Serial Off"
    Flag N_prodlog{false}; // "Production Log"
};

} // namespace zz
