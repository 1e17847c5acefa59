#pragma once

#include "files/serial_number.h"
#include "base/observable.h"
#include "base/operator.h"
#include "device/chip_params.h"

#include <functional>
#include <optional>
#include <string>

namespace zz {

// The texts of the dialog's messages (caption "Error").
namespace inc_texts {
inline constexpr const char* kStartPastRom = "Auto increment start address exceeded chip rom size";
inline constexpr const char* kStartPastEeprom =
    "Auto increase start address exceed chip eepromsize";
inline constexpr const char* kEndPastRom = "Auto increment end address exceeded chip rom size";
inline constexpr const char* kEndPastEeprom = "Auto increase end address exceed chip eepromsize";
inline constexpr const char* kEndBelowStart =
    "Auto increment end address can not be less than start address";
inline constexpr const char* kNoStart = "Enter the start address as 1 to 4 hex digits";
inline constexpr const char* kNoEnd = "Enter the end address as 1 to 4 hex digits";
inline constexpr const char* kNoHexStep = "Enter the step as 1 to 2 hex digits";
inline constexpr const char* kNoDecStep = "Enter the step as 1 to 2 decimal digits";
inline constexpr const char* kNoSequenceName = "Enter the name of the shared sequence";
} // namespace inc_texts

// "Take numbers from the shared sequence" and the sequence's name, as the session keeps them.
struct SequenceChoice {
    Value<bool>& use;
    Value<std::string>& name;
};

// A text field of the dialog and whether it can be typed into.
struct EditField {
    Value<std::string> text;
    Value<bool> enabled{false};
};

// The "Serial Number" dialog without its widgets: the state of every control, by component
// name, and the rules of its handlers. It edits the serial-number settings, whether numbering
// is on (the buffer's SerialNumberEnabled) and whether numbers come from the records store's
// shared sequence; nothing changes until OK or TEST finds the input good, and then all change
// together.
class IncDataModel {
public:
    static constexpr std::size_t kAddressLength = 4; // Edit1, Edit2: hex digits
    static constexpr std::size_t kStepLength = 2;    // Edit3

    // Opens the dialog (FormCreate). `Busy`: an operation is running, so TEST leaves the buffer
    // alone. `ser_inc` advances the number once with the stored settings. Without `sequence`
    // the shared sequence cannot be chosen here.
    IncDataModel(const ChipParams& chip, Value<SerialSettings>& settings,
                 Value<bool>& SerialNumberEnabled, const Value<bool>& Busy, Operator& op,
                 std::function<void()> ser_inc, const SequenceChoice* sequence = nullptr);

    Flag CheckBox1{false};    // "Serial Number Enabled"
    Flag RadioButton1{false}; // "Program Memory"
    Flag RadioButton2{false}; // "Data EEPROM"
    Flag RadioButton5{false}; // "ID"
    Flag RadioButton3{false}; // "Hex"
    Flag RadioButton4{false}; // "Dec"
    Flag CheckBox2{false};    // "Increment From High Address"
    Flag CheckBox3{false};    // "Ignore High Byte of Word"
    Flag CheckBox4{false};    // "Save buffer to current file after successfully programmed"
    Flag CheckBox5{false};    // "Take numbers from the shared sequence"
    Value<bool> labels_enabled{false}; // the address and step labels
    EditField Edit1;                   // start address
    EditField Edit2;                   // end address
    EditField Edit3;                   // step
    EditField Edit4;                   // the shared sequence's name

    // "Serial Number Enabled" ticked or unticked: ticking reloads the stored settings.
    void CheckBox1Click(bool ticked);
    void RadioButton1Click(); // "Program Memory"
    void RadioButton2Click(); // "Data EEPROM"
    void RadioButton5Click(); // "ID"
    void RadioButton3Click(); // "Hex": the step field from decimal to hex
    void RadioButton4Click(); // "Dec": the step field from hex to decimal
    // "Take numbers from the shared sequence": the name can be typed; the image file is left
    // alone, so "Save buffer to current file" does not apply.
    void CheckBox5Click(bool ticked);
    // The character a keystroke puts into the field, or 0 when it is swallowed ('\b' is
    // backspace).
    char Edit1KeyPress(char key) const;
    char Edit2KeyPress(char key) const;
    char Edit3KeyPress(char key) const;
    // OK: stores the settings; true when the dialog closes, false (the message shown) when the
    // input is refused.
    bool Button1Click();
    // TEST: stores the settings as OK does and advances the number once; the dialog stays.
    void Button3Click();

private:
    void load_settings();
    void lock_by_core();
    void tick_region(Flag& region);
    void set_format(bool hex);
    void enable_addresses(bool on);
    void enable_sequence();
    // The settings the controls show; nullopt, with the message shown, when they are refused.
    std::optional<SerialSettings> checked_settings() const;
    std::optional<SerialSettings> refuse(const char* text) const;

    const ChipParams& chip_;
    Value<SerialSettings>& settings_;
    Value<bool>& SerialNumberEnabled_;
    const Value<bool>& Busy_;
    Operator& op_;
    std::function<void()> ser_inc_;
    std::optional<SequenceChoice> sequence_;
};

} // namespace zz
