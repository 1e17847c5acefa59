// The session's state on the widgets: texts, check marks, enabled states, lists and progress.
#include "gui/bindings.h"
#include "gui/buffer_grid_model.h"
#include "gui/buffer_grid_view.h"
#include "gui/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>

namespace zz {

namespace {

void show_current(QComboBox* combo, const std::string& text) {
    combo->setCurrentText(qt_text(text));
}

// A list whose current entry is `current`, a value of its own: after refilling the list the
// entry shows again.
void bind_list(Value<std::vector<std::string>>& items, Value<std::string>& current,
               QComboBox* combo) {
    bind(items, combo, [&current](QComboBox* c, const std::vector<std::string>& list) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(list.size()));
        for (const std::string& item : list)
            texts.push_back(qt_text(item));
        c->clear();
        c->addItems(texts);
        show_current(c, current);
    });
    bind(current, combo, show_current);
}

} // namespace

void MainWindow::bind_state() {
    // In operator mode the caption and the notice line also show the job (window_job.cpp).
    bind(session_.caption, this, [](MainWindow* w, const std::string&) { w->show_caption(); });
    bind(session_.grid, grid_,
         [](BufferGridView* view, const GridLayout& layout) { view->apply_layout(layout); });
    // The grid marks the serial number where the settings put it (whether it is on, the grid
    // model follows itself).
    bind(session_.serial_settings, model_,
         [&on = session_.buffer.SerialNumberEnabled](BufferGridModel* m, const SerialSettings& s) {
             m->set_serial_highlight({on, s.inc_rom, s.inc_eeprom, s.inc_start_add, s.inc_end_add});
         });
    bind_selectors();
    bind_status();
    bind_values();
    bind_options();
}

void MainWindow::bind_selectors() {
    auto* family = findChild<QComboBox*>(QStringLiteral("ComboBox2"));
    auto* chip = findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    auto* port = findChild<QComboBox*>(QStringLiteral("cmbbxcomnum"));
    bind(session_.ComboBox2, family, show_current);
    bind_list(session_.ComboBox1_items, session_.ComboBox1, chip);
    PortSelector& selector = session_.discovery().selector;
    bind_list(selector.items, selector.text, port);
}

void MainWindow::bind_status() {
    LinkStatus& status = session_.link().status;
    bind_text(status.Label5, label("Label5"));
    bind_enabled(status.Label5_enabled, label("Label5"));
    bind_text(status.Label10, label("Label10"));
    // The status field is narrow: a long text (a load warning naming the bad line) is read in full
    // from its tooltip.
    bind(status.Label11, label("Label11"), [](QLabel* l, const std::string& text) {
        l->setText(qt_text(text));
        l->setToolTip(qt_text(text));
    });
    auto* progress = findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    bind(status.progress_max, progress, [](QProgressBar* p, int max) { p->setMaximum(max); });
    bind(status.progress_position, progress,
         [](QProgressBar* p, int position) { p->setValue(position); });
    bind_text(session_.statistics.Lab_aim, label("Lab_aim"));
    bind_text(session_.statistics.lab_pass, label("lab_pass"));
    bind_text(session_.statistics.lab_error, label("lab_error"));
    bind(session_.Label4, this, [](MainWindow* w, const std::string&) { w->show_notice(); });
}

void MainWindow::bind_values() {
    Buffer& buffer = session_.buffer;
    ControlStates& controls = session_.controls;
    for (int n = 1; n <= 7; ++n) {
        QLabel* word = label(("lab_fuse" + std::to_string(n)).c_str());
        bind_text(buffer.lab_fuse(n), word);
        bind_enabled(controls.word_label(n), word);
    }
    bind_text(buffer.lab_id1, label("lab_id1"));
    bind_text(buffer.lab_cal, label("lab_cal"));
    bind_text(buffer.lab_band, label("lab_band"));
    bind_text(buffer.lab_checksum, label("lab_checksum"));
    bind_enabled(controls.lab_fuse, label("lab_fuse"));
    bind_enabled(controls.lab_id1, label("lab_id1"));
    bind_enabled(controls.Label17, label("Label17"));
    bind_enabled(controls.lab_cal, label("lab_cal"));
    bind_enabled(controls.lab_band, label("lab_band"));
    bind_enabled(controls.SpeedButton4, button("SpeedButton4"));
    bind_enabled(controls.SpeedButton5, button("SpeedButton5"));
    bind_enabled(controls.SpeedButton7, button("SpeedButton7"));
    bind_enabled(controls.N10, action("N10"));
    bind_enabled(controls.N11, action("N11"));
    bind_enabled(controls.N14, action("N14"));
    bind_enabled(controls.EEPROM1, action("EEPROM1"));
    bind_enabled(controls.ID1, action("ID1"));
    bind_enabled(controls.Button3, button("Button3"));
    bind_enabled(controls.Button3, action("N19")); // the same editor as the "Fuses" button
}

void MainWindow::bind_options() {
    OptionFlags& flags = session_.flags;
    const std::pair<const char*, Flag*> menu_flags[] = {
        {"N31", &flags.N31},
        {"UseVPPFirstProgramEntry1", &flags.UseVPPFirstProgramEntry1},
        {"N33", &flags.N33},
        {"N_chip_not", &flags.N_chip_not},
        {"N32", &flags.N32},
        {"N_ICSP", &flags.N_ICSP},
        {"n_calchip", &flags.n_calchip},
        {"N_calfile", &flags.N_calfile},
        {"N35", &flags.N35},
        {"N_autoprog", &flags.N_autoprog},
        {"N18", &flags.N18},
        {"N_prodlog", &flags.N_prodlog},
        {"N_TYPE_310", &session_.model_items[0]},
        {"N_TYPE_320", &session_.model_items[1]},
        {"N_TYPE_330", &session_.model_items[2]},
        {"KT3001", &session_.model_items[3]},
    };
    for (const auto& [name, flag] : menu_flags)
        bind_flag(*flag, action(name));
    const std::pair<const char*, Flag*> boxes[] = {
        {"CheckBox_blank", &flags.CheckBox_blank}, {"CheckBox_erase", &flags.CheckBox_erase},
        {"CheckBox_wr_ee", &flags.CheckBox_wr_ee}, {"CheckBox_wr_rom", &flags.CheckBox_wr_rom},
        {"CheckBox_wr_id", &flags.CheckBox_wr_id}, {"n36", &flags.n36},
    };
    for (const auto& [name, flag] : boxes)
        bind_flag(*flag, findChild<QCheckBox*>(QString::fromLatin1(name)));
}

} // namespace zz
