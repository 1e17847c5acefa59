// The widgets of the main window at their fixed places in the 670 x 465 client area.
#include "gui/buffer_grid_model.h"
#include "gui/buffer_grid_view.h"
#include "gui/jpeg_image.h"
#include "gui/main_window.h"
#include "gui/toolbar_icons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <array>

namespace zz {

namespace {

constexpr const char* kTip = "Tip:  When programmer is abnormal,select menu [Option]->[Download "
                             "operating System],mosr of problems can be solved.";
constexpr const char* kPictureFile = "board.jpg";

// Right-hand column and the strip below the grid (pixels).
constexpr int kRightX = 492;
constexpr int kRightWidth = 174;
constexpr int kStripY = 350;
constexpr int kStripHeight = 80;

template <class W> W* place(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QFrame* panel(QWidget* parent, const char* name, QRect geometry) {
    auto* frame = place(new QFrame(parent), name, geometry);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    return frame;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title, QRect geometry) {
    return place(new QGroupBox(QString::fromLatin1(title), parent), name, geometry);
}

QLabel* text(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    return place(new QLabel(QString::fromLatin1(caption), parent), name, geometry);
}

QPushButton* push(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    return place(new QPushButton(QString::fromLatin1(caption), parent), name, geometry);
}

QFont value_font(int points) {
    QFont font(QStringLiteral("Courier New"), points);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// A status-bar field: sunken, one line.
QLabel* field(QWidget* parent, const char* name, QRect geometry) {
    auto* label = text(parent, name, "", geometry);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setIndent(3);
    return label;
}

} // namespace

void MainWindow::build_panels(QWidget* client) {
    build_toolbar(client);
    build_selectors(client);
    build_grid_panel(client);
    build_options_panel(client);
    build_values_panel(client);
    build_statistics_panel(client);
    build_button_panels(client);
    build_picture_and_notes(client);
}

void MainWindow::build_toolbar(QWidget* client) {
    QFrame* bar = panel(client, "Panel8", {0, 0, kClientWidth, 34});
    struct Tool {
        const char* name;
        ToolIcon icon;
        const char* hint;
    };
    static constexpr std::array<Tool, 8> kTools{{
        {"SpeedButton1", ToolIcon::Load, "Load"},
        {"SpeedButton2", ToolIcon::Save, "Save"},
        {"SpeedButton3", ToolIcon::EditBuffer, "Edit Buffer"},
        {"SpeedButton4", ToolIcon::Erase, "Erase"},
        {"SpeedButton5", ToolIcon::BlankCheck, "Blank Check"},
        {"SpeedButton6", ToolIcon::Program, "Program"},
        {"SpeedButton7", ToolIcon::Verify, "Verify"},
        {"SpeedButton8", ToolIcon::Read, "Read"},
    }};
    int x = 6;
    for (const Tool& tool : kTools) {
        auto* b = place(new QToolButton(bar), tool.name, {x, 2, 30, 30});
        b->setIcon(toolbar_icon(tool.icon));
        b->setIconSize({22, 22});
        b->setAutoRaise(true);
        b->setToolTip(QString::fromLatin1(tool.hint));
        // Load, Save and Edit Buffer form a group apart from the chip commands.
        x += tool.icon == ToolIcon::EditBuffer ? 42 : 32;
    }
}

void MainWindow::build_selectors(QWidget* client) {
    QGroupBox* ports = group(client, "Panel9", "Port Selector", {kRightX, 36, kRightWidth, 48});
    auto* port = place(new QComboBox(ports), "cmbbxcomnum", {8, 18, kRightWidth - 16, 22});
    port->setEditable(true);
    port->setInsertPolicy(QComboBox::NoInsert);

    QFrame* chips = panel(client, "Panel5", {kRightX, 86, kRightWidth, 86});
    text(chips, "Label1", "Chip Family", {8, 3, 150, 16});
    auto* family = place(new QComboBox(chips), "ComboBox2", {8, 19, kRightWidth - 16, 22});
    family->addItems(
        {"PIC 12bit MCU", "PIC 14bit MCU", "PIC 16bit MCU", "I2C/SPI EEPROM", "All Chip"});
    text(chips, "Label2", "Chip Select", {8, 43, 150, 16});
    auto* chip = place(new QComboBox(chips), "ComboBox1", {8, 59, kRightWidth - 16, 22});
    chip->setMaxVisibleItems(24);
}

void MainWindow::build_grid_panel(QWidget* client) {
    QFrame* frame = panel(client, "Panel1", {0, 36, 490, 312});
    grid_ = place(new BufferGridView(frame), "StringGrid1", {8, 8, 473, 281});
    model_ = new BufferGridModel(session_.buffer, this);
    grid_->setModel(model_);
    field(frame, "Label5", {8, 291, 76, 18});
    field(frame, "Label10", {86, 291, 170, 18});
    field(frame, "Label11", {258, 291, 150, 18});
    auto* progress = place(new QProgressBar(frame), "ProgressBar1", {410, 291, 71, 18});
    progress->setTextVisible(false);
}

void MainWindow::build_options_panel(QWidget* client) {
    QGroupBox* box = group(client, "Panel2", "Program Options", {kRightX, 174, kRightWidth, 164});
    struct Option {
        const char* name;
        const char* caption;
    };
    static constexpr std::array<Option, 6> kOptions{{
        {"CheckBox_blank", "Blank"},
        {"CheckBox_erase", "Erase"},
        {"CheckBox_wr_ee", "Program And Verify EEPROM"},
        {"CheckBox_wr_rom", "Program And Verify ROM"},
        {"n36", "Write finish again verify once "},
        {"CheckBox_wr_id", "Program And Verify FUSE/ID"},
    }};
    int y = 18;
    for (const Option& option : kOptions) {
        place(new QCheckBox(QString::fromLatin1(option.caption), box), option.name,
              {8, y, kRightWidth - 12, 18});
        y += 18;
    }
    push(box, "Button9", "Program", {6, 132, 78, 25});
    push(box, "Button10", "Auto Program", {88, 132, 80, 25});
}

void MainWindow::build_values_panel(QWidget* client) {
    QFrame* frame = panel(client, "Panel3", {0, kStripY, 288, kStripHeight});
    push(frame, "Button6", "Calc Checksum", {4, 4, 96, 22});
    text(frame, "lab_checksum", "Checksum  0xFFFF", {108, 7, 150, 16});
    text(frame, "lab_fuse", "Configuration Word", {6, 28, 140, 16});
    text(frame, "lab_cal", "OSCCAL    0x3FFF", {166, 28, 118, 16});
    for (int n = 1; n <= 7; ++n) {
        const std::string name = "lab_fuse" + std::to_string(n);
        text(frame, name.c_str(), "0xFFFF", {6 + (n - 1) * 41, 44, 40, 16});
    }
    text(frame, "Label17", "User ID", {6, 60, 48, 16});
    text(frame, "lab_id1", "0xFFFFFFFFFFFFFFFF", {54, 60, 124, 16});
    text(frame, "lab_band", "BandGap   11", {184, 60, 100, 16});
    for (const char* name : {"lab_checksum", "lab_cal", "lab_id1", "lab_band"})
        label(name)->setFont(value_font(8));
    // Seven words side by side need the smaller size to stay apart.
    for (int n = 1; n <= 7; ++n)
        label(("lab_fuse" + std::to_string(n)).c_str())->setFont(value_font(7));
}

void MainWindow::build_statistics_panel(QWidget* client) {
    QGroupBox* box = group(client, "Panel4", "Statistics:", {290, kStripY, 106, kStripHeight});
    text(box, "Lab_aim", "Target:9999", {6, 18, 62, 16});
    text(box, "lab_pass", "Pass:0000", {6, 36, 62, 16});
    text(box, "lab_error", "Fail:0000", {6, 54, 62, 16});
    push(box, "Button7", "Reset", {68, 30, 36, 22});
    push(box, "Button8", "Pset", {68, 54, 36, 22});
}

void MainWindow::build_button_panels(QWidget* client) {
    QFrame* files = panel(client, "Panel6", {398, kStripY, 92, 28});
    push(files, "Button1", "Load", {2, 2, 43, 24});
    push(files, "Button2", "Save", {47, 2, 43, 24});
    QFrame* chip = panel(client, "Panel7", {398, kStripY + 30, 92, kStripHeight - 30});
    push(chip, "Button3", "Fuses", {2, 2, 43, 22});
    push(chip, "Button4", "CALIB", {47, 2, 43, 22});
    push(chip, "Button5", "Program", {2, 26, 88, 22});
}

void MainWindow::build_picture_and_notes(QWidget* client) {
    QFrame* frame = panel(client, "Panel10", {kRightX, 340, kRightWidth, 90});
    auto* picture = place(new QLabel(frame), "Image1", {2, 2, kRightWidth - 4, 86});
    picture->setAlignment(Qt::AlignCenter);
    const QImage image = decode_jpeg(data_dir_ / kPictureFile);
    if (!image.isNull())
        picture->setPixmap(QPixmap::fromImage(
            image.scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    build_job_panel(frame);

    QFrame* notes = panel(client, "Panel11", {0, 432, kClientWidth, 16});
    text(notes, "Label4", "", {6, 0, kClientWidth - 12, 16});
    auto* tip = text(client, "Label12", kTip, {6, 449, kClientWidth - 12, 15});
    tip->setForegroundRole(QPalette::Mid);
}

// In the picture's place while a job runs: the job, its short fingerprint and checksum, the chip,
// the chips done, the lot and the operator, a line each.
void MainWindow::build_job_panel(QWidget* frame) {
    auto* panel = place(new QWidget(frame), "JobPanel", {2, 2, kRightWidth - 4, 86});
    panel->hide();
    const char* names[] = {"lab_job",      "lab_job_print", "lab_job_chip",
                           "lab_job_done", "lab_job_lot",   "lab_job_operator"};
    int y = 1;
    for (const char* name : names) {
        QLabel* line = text(panel, name, "", {4, y, kRightWidth - 12, 14});
        y += 14;
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    QFont bold = label("lab_job")->font();
    bold.setBold(true);
    label("lab_job")->setFont(bold);
    label("lab_job_print")->setFont(value_font(8));
}

} // namespace zz
