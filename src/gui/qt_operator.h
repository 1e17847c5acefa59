#pragma once

#include "gui/desktop.h"

#include <QPointer>
#include <QWidget>

namespace zz {

// The desktop of a person at the bench: modal message boxes over the main window, Qt's file
// dialogs, tones through the sound system and the manual in the default viewer.
class QtOperator : public Desktop {
public:
    // Dialogs are centred on `parent` once it is set.
    void set_parent(QWidget* parent) { parent_ = parent; }

    void show_message(std::string_view text, std::string_view caption, Icon icon) override;
    bool ask_yes_no(std::string_view text, std::string_view caption) override;
    bool play_tone(int hz, int ms) override;

    std::string choose_load_file() override;
    std::string choose_save_file() override;
    std::string choose_log_file() override;
    void open_help(const std::filesystem::path& manual) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace zz
