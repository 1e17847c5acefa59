#pragma once

#include "app/control_states.h"
#include "app/option_flags.h"
#include "base/observable.h"
#include "device/buffer.h"
#include "device/chip_database.h"
#include "device/chip_params.h"
#include "files/grid_layout.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zz {

// The application's state and commands, independent of any front end: the selected chip, its
// buffer, the option flags and the enabled states of the window's controls.
class Session {
public:
    static constexpr std::string_view kCaption = "ZE-ZUZU V2.37";

    explicit Session(std::filesystem::path data_dir);

    const ChipDatabase& database() const { return database_; }
    // Written only by chip_changed().
    const ChipParams& chip() const { return chip_; }

    // The chip family selector changed: fill the chip list and select the family's default.
    void family_changed();
    // The chip selector changed: load the chip named by ComboBox1 and arrange the window for it.
    void chip_changed();
    // Blank configuration-word, ID and checksum displays; the caption without a file name.
    void clrwindows();

    Buffer buffer;
    OptionFlags flags;
    ControlStates controls;
    Value<std::string> ComboBox2{"All Chip"}; // chip family
    Value<std::string> ComboBox1{"16F877A"};  // chip name
    Value<std::vector<std::string>> ComboBox1_items;
    Value<std::string> caption{std::string(kCaption)};
    Value<GridLayout> grid{grid_layout(ChipParams{})};
    Value<int> ProgrammerModel{3};
    bool SuppressChipPositionOnce = false;
    // Shows the chip position dialog modally.
    std::function<void()> show_chip_position;

private:
    void apply_memory_kind();
    void apply_options();
    void offer_chip_position();

    ChipDatabase database_;
    ChipParams chip_;
};

} // namespace zz
