#include "dialogs/inc_data/inc_data_model.h"

#include "base/hex_text.h"
#include "base/text_lines.h"

#include <algorithm>

namespace zz {

namespace {

bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool is_dec_digit(char c) {
    return c >= '0' && c <= '9';
}

// 1 to `length` characters, each passing `digit`.
template <class Digit> bool digits_only(const std::string& text, std::size_t length, Digit digit) {
    return !text.empty() && text.size() <= length && std::all_of(text.begin(), text.end(), digit);
}

char hex_key(char key) {
    if (key == '\b' || is_dec_digit(key) || (key >= 'A' && key <= 'F'))
        return key;
    if (key >= 'a' && key <= 'f')
        return static_cast<char>(key - 'a' + 'A');
    return 0;
}

// A stored address as its field shows it; one the field cannot hold (the -1 of the ID, or
// more than four digits) leaves it empty, for OK to ask for.
std::string address_text(std::int32_t address) {
    if (address < 0 || address > 0xFFFF)
        return {};
    return to_hex(static_cast<std::uint32_t>(address), 4);
}

std::string step_text(std::int32_t step, bool hex) {
    if (step < 0 || step > (hex ? 0xFF : 99))
        return {};
    return hex ? to_hex(static_cast<std::uint32_t>(step), 2) : std::to_string(step);
}

} // namespace

IncDataModel::IncDataModel(const ChipParams& chip, Value<SerialSettings>& settings,
                           Value<bool>& SerialNumberEnabled, const Value<bool>& Busy, Operator& op,
                           std::function<void()> ser_inc, const SequenceChoice* sequence)
    : chip_(chip), settings_(settings), SerialNumberEnabled_(SerialNumberEnabled), Busy_(Busy),
      op_(op), ser_inc_(std::move(ser_inc)) {
    if (sequence)
        sequence_.emplace(*sequence);
    RadioButton1.checked = true;
    RadioButton3.checked = true;
    if (SerialNumberEnabled_) {
        CheckBox1.checked = true;
        CheckBox1Click(true);
    }
    lock_by_core();
    enable_sequence();
}

void IncDataModel::CheckBox1Click(bool ticked) {
    CheckBox1.checked = ticked;
    labels_enabled = ticked;
    for (EditField* field : {&Edit1, &Edit2, &Edit3}) {
        field->enabled = ticked;
        if (!ticked)
            field->text = "";
    }
    if (ticked)
        load_settings();
    enable_sequence();
}

// The sequence's box while numbering is on, its name while it is ticked.
void IncDataModel::enable_sequence() {
    CheckBox5.enabled = sequence_ && CheckBox1;
    Edit4.enabled = CheckBox5.enabled && CheckBox5;
    CheckBox4.enabled = !(CheckBox5.enabled && CheckBox5);
}

void IncDataModel::CheckBox5Click(bool ticked) {
    if (!CheckBox5.enabled)
        return;
    CheckBox5.checked = ticked;
    enable_sequence();
}

// The stored settings on the controls, as when the dialog opens; what was typed is discarded.
void IncDataModel::load_settings() {
    for (Flag* control : {&RadioButton1, &RadioButton2, &RadioButton5, &RadioButton4, &CheckBox2,
                          &CheckBox3, &CheckBox4})
        control->enabled = true;
    const SerialSettings& s = settings_.get();
    if (s.inc_rom || (!s.inc_eeprom && chip_.CHIPbit == 1))
        tick_region(RadioButton1);
    else
        tick_region(s.inc_eeprom ? RadioButton2 : RadioButton5);
    set_format(s.inc_16bit);
    CheckBox2.checked = s.inc_hiadd;
    CheckBox3.checked = s.inc_nohigh;
    CheckBox4.checked = s.inc_save;
    Edit1.text = address_text(s.inc_start_add);
    Edit2.text = address_text(s.inc_end_add);
    Edit3.text = step_text(s.inc_step, s.inc_16bit);
    if (sequence_) {
        CheckBox5.checked = sequence_->use.get();
        Edit4.text = sequence_->name.get();
    }
    if (RadioButton5) {
        enable_addresses(false);
        set_format(true);
        RadioButton4.enabled = false;
    }
    lock_by_core();
}

// Regions and options a core does not have. A region taken away leaves Program Memory ticked:
// with no region ticked OK would store the user ID, which these cores do not number.
void IncDataModel::lock_by_core() {
    const int bit = chip_.CHIPbit;
    const auto lock = [](Flag& control) {
        control.checked = false;
        control.enabled = false;
    };
    if (bit == 1 || bit == 4 || bit == 5)
        lock(RadioButton5);
    if (bit == 4 || bit == 5)
        lock(RadioButton2);
    if (!RadioButton1 && !RadioButton2 && !RadioButton5)
        RadioButton1Click();
    if (bit == 4)
        lock(CheckBox3);
}

void IncDataModel::tick_region(Flag& region) {
    for (Flag* button : {&RadioButton1, &RadioButton2, &RadioButton5})
        button->checked = button == &region;
}

// Ticks Hex or Dec; a change of format rewrites the step field.
void IncDataModel::set_format(bool hex) {
    if (RadioButton3 == hex && RadioButton4 == !hex)
        return;
    RadioButton3.checked = hex;
    RadioButton4.checked = !hex;
    const std::string& text = Edit3.text.get();
    if (hex && digits_only(text, 3, is_dec_digit)) {
        Edit3.text = to_hex(static_cast<std::uint32_t>(std::stoi(text)), 2);
    } else if (!hex && digits_only(text, 4, is_hex_digit)) {
        const std::string decimal = std::to_string(hex_to_int(text));
        Edit3.text = decimal.substr(0, kStepLength); // FF gives 25
    }
}

void IncDataModel::enable_addresses(bool on) {
    for (EditField* field : {&Edit1, &Edit2}) {
        field->enabled = on;
        if (!on)
            field->text = "";
    }
}

void IncDataModel::RadioButton1Click() {
    tick_region(RadioButton1);
    CheckBox3.enabled = chip_.CHIPbit != 4;
    CheckBox2.enabled = true;
    RadioButton4.enabled = true;
    if (CheckBox1)
        enable_addresses(true);
}

void IncDataModel::RadioButton2Click() {
    if (!RadioButton2.enabled)
        return;
    tick_region(RadioButton2);
    CheckBox3.enabled = false; // its tick stays; EEPROM bytes have no high byte
    CheckBox2.enabled = true;
    RadioButton4.enabled = true;
    if (CheckBox1)
        enable_addresses(true);
}

void IncDataModel::RadioButton5Click() {
    if (!RadioButton5.enabled)
        return;
    tick_region(RadioButton5);
    for (Flag* option : {&CheckBox3, &CheckBox2}) {
        option->checked = false;
        option->enabled = false;
    }
    set_format(true);
    RadioButton4.enabled = false;
    if (CheckBox1)
        enable_addresses(false);
}

void IncDataModel::RadioButton3Click() {
    set_format(true);
}

void IncDataModel::RadioButton4Click() {
    if (RadioButton4.enabled)
        set_format(false);
}

char IncDataModel::Edit1KeyPress(char key) const {
    return hex_key(key);
}

char IncDataModel::Edit2KeyPress(char key) const {
    return hex_key(key);
}

char IncDataModel::Edit3KeyPress(char key) const {
    if (RadioButton3)
        return hex_key(key);
    return key == '\b' || is_dec_digit(key) ? key : 0;
}

std::optional<SerialSettings> IncDataModel::refuse(const char* text) const {
    op_.show_message(text, "Error", Icon::Error);
    return std::nullopt;
}

std::optional<SerialSettings> IncDataModel::checked_settings() const {
    SerialSettings s = settings_.get();
    s.inc_rom = RadioButton1;
    s.inc_eeprom = RadioButton2;
    s.inc_16bit = RadioButton3;
    s.inc_hiadd = CheckBox2;
    s.inc_nohigh = CheckBox3;
    s.inc_save = CheckBox4;
    const std::string& step = Edit3.text.get();
    if (s.inc_16bit ? !digits_only(step, kStepLength, is_hex_digit)
                    : !digits_only(step, kStepLength, is_dec_digit))
        return refuse(s.inc_16bit ? inc_texts::kNoHexStep : inc_texts::kNoDecStep);
    s.inc_step = s.inc_16bit ? hex_to_int(step) : std::stoi(step);
    if (RadioButton5) {
        s.inc_start_add = s.inc_end_add = -1; // no address: the number is the ID
        return s;
    }
    // The last address of a region is one below its size.
    const std::int64_t size = s.inc_rom ? chip_.ROMsize : chip_.EEPROMsize;
    const std::string& start = Edit1.text.get();
    if (!digits_only(start, kAddressLength, is_hex_digit))
        return refuse(inc_texts::kNoStart);
    s.inc_start_add = hex_to_int(start);
    if (s.inc_start_add >= size)
        return refuse(s.inc_rom ? inc_texts::kStartPastRom : inc_texts::kStartPastEeprom);
    const std::string& end = Edit2.text.get();
    if (!digits_only(end, kAddressLength, is_hex_digit))
        return refuse(inc_texts::kNoEnd);
    s.inc_end_add = hex_to_int(end);
    if (s.inc_end_add >= size)
        return refuse(s.inc_rom ? inc_texts::kEndPastRom : inc_texts::kEndPastEeprom);
    if (s.inc_end_add < s.inc_start_add)
        return refuse(inc_texts::kEndBelowStart);
    return s;
}

bool IncDataModel::Button1Click() {
    if (!CheckBox1) {
        SerialNumberEnabled_ = false;
        return true;
    }
    const std::optional<SerialSettings> s = checked_settings();
    if (!s)
        return false;
    const std::string name = trimmed(Edit4.text.get());
    if (sequence_ && CheckBox5 && name.empty()) {
        refuse(inc_texts::kNoSequenceName);
        return false;
    }
    settings_ = *s;
    SerialNumberEnabled_ = true;
    if (sequence_) {
        sequence_->use = CheckBox5.checked.get();
        sequence_->name = name;
    }
    return true;
}

void IncDataModel::Button3Click() {
    // The buffer is being sent to a chip: changing the number now would program half of it.
    if (Busy_)
        return;
    if (!Button1Click() || !CheckBox1)
        return;
    ser_inc_();
}

} // namespace zz
