#include "gui/dialogs/inc_data_dialog.h"

#include "gui/bindings.h"
#include "gui/window_face.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zz {

namespace {

constexpr const char* kObjectName = "inc_form";

template <class W> W* place(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

template <class W>
W* control(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    return place(new W(QString::fromLatin1(caption), parent), name, geometry);
}

void show_flag(QAbstractButton* button, const Flag& flag) {
    button->setChecked(flag.checked.get());
    button->setEnabled(flag.enabled.get());
}

void show_field(QLineEdit* edit, const EditField& field) {
    if (edit->text() != qt_text(field.text.get()))
        edit->setText(qt_text(field.text.get()));
    edit->setEnabled(field.enabled.get());
}

} // namespace

IncDataDialog::IncDataDialog(Session& session, Operator& op, QWidget* parent)
    : QDialog(parent), sequence_{session.use_sequence, session.sequence_name},
      model_(
          session.chip(), session.serial_settings, session.buffer.SerialNumberEnabled,
          session.link().Busy, op, [&session] { session.ser_inc(); }, &sequence_) {
    setObjectName(QString::fromLatin1(kObjectName));
    setWindowTitle(QStringLiteral("Serial Number"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setModal(false);
    build();
    wire();
    show_model();
}

void IncDataDialog::build() {
    use_window_face(this);
    setFixedSize(400, 340);
    control<QCheckBox>(this, "CheckBox1", "Serial Number Enabled", {12, 8, 376, 20});
    auto* region =
        place(new QGroupBox(QStringLiteral("Memory"), this), "GroupBox1", {12, 32, 180, 92});
    control<QRadioButton>(region, "RadioButton1", "Program Memory", {10, 20, 160, 20});
    control<QRadioButton>(region, "RadioButton2", "Data EEPROM", {10, 42, 160, 20});
    control<QRadioButton>(region, "RadioButton5", "ID", {10, 64, 160, 20});
    auto* format =
        place(new QGroupBox(QStringLiteral("Format"), this), "GroupBox2", {208, 32, 180, 92});
    control<QRadioButton>(format, "RadioButton3", "Hex", {10, 20, 160, 20});
    control<QRadioButton>(format, "RadioButton4", "Dec", {10, 42, 160, 20});
    const struct {
        const char* label;
        const char* caption;
        const char* edit;
        std::size_t length;
    } fields[] = {{"Label1", "Start Address", "Edit1", IncDataModel::kAddressLength},
                  {"Label2", "End Address", "Edit2", IncDataModel::kAddressLength},
                  {"Label3", "Step", "Edit3", IncDataModel::kStepLength}};
    for (int k = 0; k < 3; ++k) {
        const int x = 12 + 128 * k;
        control<QLabel>(this, fields[k].label, fields[k].caption, {x, 132, 120, 16});
        auto* edit = place(new QLineEdit(this), fields[k].edit, {x, 150, 120, 22});
        edit->setMaxLength(static_cast<int>(fields[k].length));
        edit->installEventFilter(this);
    }
    control<QCheckBox>(this, "CheckBox2", "Increment From High Address", {12, 182, 376, 20});
    control<QCheckBox>(this, "CheckBox3", "Ignore High Byte of Word", {12, 204, 376, 20});
    control<QCheckBox>(this, "CheckBox4",
                       "Save buffer to current file after successfully programmed",
                       {12, 226, 376, 20});
    control<QCheckBox>(this, "CheckBox5", "Take numbers from the shared sequence",
                       {12, 248, 376, 20});
    control<QLabel>(this, "Label4", "Sequence", {32, 274, 80, 16});
    place(new QLineEdit(this), "Edit4", {112, 270, 276, 22});
    control<QPushButton>(this, "Button1", "OK", {12, 306, 100, 24})->setDefault(true);
    control<QPushButton>(this, "Button3", "TEST", {150, 306, 100, 24});
    control<QPushButton>(this, "Button2", "Calcel", {288, 306, 100, 24});
    // The model keeps one region and one format ticked.
    for (const char* name :
         {"RadioButton1", "RadioButton2", "RadioButton5", "RadioButton3", "RadioButton4"})
        button(name)->setAutoExclusive(false);
}

void IncDataDialog::wire() {
    connect(button("CheckBox1"), &QAbstractButton::clicked, this, [this](bool ticked) {
        model_.CheckBox1Click(ticked);
        show_model();
    });
    on_click("RadioButton1", &IncDataModel::RadioButton1Click);
    on_click("RadioButton2", &IncDataModel::RadioButton2Click);
    on_click("RadioButton5", &IncDataModel::RadioButton5Click);
    on_click("RadioButton3", &IncDataModel::RadioButton3Click);
    on_click("RadioButton4", &IncDataModel::RadioButton4Click);
    connect(button("CheckBox5"), &QAbstractButton::clicked, this, [this](bool ticked) {
        model_.CheckBox5Click(ticked);
        show_model();
    });
    const std::pair<const char*, Flag*> options[] = {{"CheckBox2", &model_.CheckBox2},
                                                     {"CheckBox3", &model_.CheckBox3},
                                                     {"CheckBox4", &model_.CheckBox4},
                                                     {"CheckBox5", &model_.CheckBox5}};
    for (const auto& [name, flag] : options)
        connect(button(name), &QAbstractButton::clicked, this,
                [flag](bool ticked) { flag->checked = ticked; });
    const std::pair<const char*, EditField*> fields[] = {{"Edit1", &model_.Edit1},
                                                         {"Edit2", &model_.Edit2},
                                                         {"Edit3", &model_.Edit3},
                                                         {"Edit4", &model_.Edit4}};
    for (const auto& [name, field] : fields)
        connect(edit(name), &QLineEdit::textChanged, this,
                [field](const QString& text) { field->text = text.toStdString(); });
    connect(button("Button1"), &QAbstractButton::clicked, this, [this] {
        if (model_.Button1Click())
            close();
        else
            show_model();
    });
    connect(button("Button3"), &QAbstractButton::clicked, this, [this] {
        model_.Button3Click();
        show_model();
    });
    connect(button("Button2"), &QAbstractButton::clicked, this, &QDialog::close);
}

void IncDataDialog::on_click(const char* name, void (IncDataModel::*handler)()) {
    connect(button(name), &QAbstractButton::clicked, this, [this, handler] {
        (model_.*handler)();
        show_model();
    });
}

void IncDataDialog::show_model() {
    const std::pair<const char*, const Flag*> flags[] = {
        {"CheckBox1", &model_.CheckBox1},       {"RadioButton1", &model_.RadioButton1},
        {"RadioButton2", &model_.RadioButton2}, {"RadioButton5", &model_.RadioButton5},
        {"RadioButton3", &model_.RadioButton3}, {"RadioButton4", &model_.RadioButton4},
        {"CheckBox2", &model_.CheckBox2},       {"CheckBox3", &model_.CheckBox3},
        {"CheckBox4", &model_.CheckBox4}};
    for (const auto& [name, flag] : flags)
        show_flag(button(name), *flag);
    show_field(edit("Edit1"), model_.Edit1);
    show_field(edit("Edit2"), model_.Edit2);
    show_field(edit("Edit3"), model_.Edit3);
    show_field(edit("Edit4"), model_.Edit4);
    findChild<QLabel*>(QStringLiteral("Label4"))->setEnabled(model_.Edit4.enabled.get());
    for (const char* name : {"Label1", "Label2", "Label3"})
        findChild<QLabel*>(QString::fromLatin1(name))->setEnabled(model_.labels_enabled.get());
}

// Printable keys and backspace go through the field's filter; the rest (Tab, Return, the
// cursor keys, shortcuts) keep their usual meaning.
bool IncDataDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(watched);
    if (!line || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || (text[0].unicode() < 0x20 && text[0] != QChar('\b')) ||
        text[0].unicode() == 0x7F)
        return false;
    const char key = text[0].unicode() < 0x80 ? static_cast<char>(text[0].unicode()) : '\x7F';
    const QString name = line->objectName();
    const char taken = name == QLatin1String("Edit1")   ? model_.Edit1KeyPress(key)
                       : name == QLatin1String("Edit2") ? model_.Edit2KeyPress(key)
                                                        : model_.Edit3KeyPress(key);
    if (taken == '\b')
        return false;
    if (taken != 0)
        line->insert(QString(QChar(taken)));
    return true;
}

void IncDataDialog::changeEvent(QEvent* event) {
    // Maximising is ignored: the dialog keeps its size.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QDialog::changeEvent(event);
}

QAbstractButton* IncDataDialog::button(const char* name) const {
    return findChild<QAbstractButton*>(QString::fromLatin1(name));
}

QLineEdit* IncDataDialog::edit(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

void open_inc_data_dialog(QWidget* window, Session& session, Operator& op) {
    if (auto* open = window->findChild<IncDataDialog*>(QString::fromLatin1(kObjectName))) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new IncDataDialog(session, op, window);
    dialog->show();
}

} // namespace zz
