#include "gui/dialogs/cal_dialog.h"

#include "dialogs/cal/cal_texts.h"
#include "gui/bindings.h"
#include "gui/dialogs/hex_validator.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zz {

namespace {

constexpr int kFieldWidth = 40; // pixels: two digits with room for the cursor
constexpr int kNoteWidth = 260;

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = named(new QPushButton(QString::fromLatin1(caption), parent), name);
    // Return in a field must not close the dialog behind the operator's back.
    b->setAutoDefault(false);
    return b;
}

// A field that cannot be used is drawn flat in the colour of the window's scroll bars.
void show_unusable(QLineEdit* edit) {
    edit->setEnabled(false);
    edit->setFrame(false);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Button));
    edit->setPalette(palette);
}

} // namespace

CalDialog::CalDialog(CalModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("cal_form"));
    setWindowTitle(QStringLiteral("OSCCAL"));
    build();
    bind_fields();
}

void CalDialog::build() {
    auto* opcode = named(new QLabel(qt_text(model_.Label2()), this), "Label2");
    QFont bold = opcode->font();
    bold.setBold(true);
    opcode->setFont(bold);
    opcode->setStyleSheet(QStringLiteral("color: red"));
    auto* osccal = named(new QLineEdit(this), "Edit1");
    filter_keys(osccal, CalModel::kOsccalLength, hex_key);
    osccal->setFixedWidth(kFieldWidth);
    auto* bandgap_caption = named(new QLabel(QStringLiteral("Bandgap"), this), "Label3");
    auto* bandgap = named(new QLineEdit(this), "Edit2");
    filter_keys(bandgap, CalModel::kBandgapLength, binary_key);
    bandgap->setFixedWidth(kFieldWidth);
    if (!model_.bandgap_enabled()) {
        bandgap_caption->setEnabled(false);
        show_unusable(bandgap);
    }
    auto* note = named(new QLabel(QString::fromLatin1(texts::kCalNote), this), "Label4");
    note->setWordWrap(true);
    note->setFixedWidth(kNoteWidth);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("OSCCAL Value"), this), 0, 0);
    fields->addWidget(opcode, 0, 1);
    fields->addWidget(osccal, 0, 2);
    fields->addWidget(bandgap_caption, 1, 0);
    fields->addWidget(bandgap, 1, 2);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    QPushButton* read = button(this, "READ", "Read Chip");
    QPushButton* ok = button(this, "OK", "OK");
    QPushButton* cancel = button(this, "Cancel", "Cancel");
    for (QPushButton* b : {read, ok, cancel})
        buttons->addWidget(b);
    connect(read, &QPushButton::clicked, this, [this] { model_.read_chip(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (model_.ok())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(note);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CalDialog::bind_fields() {
    const auto show = [](QLineEdit* edit, const std::string& text) {
        if (edit->text() != qt_text(text))
            edit->setText(qt_text(text));
    };
    auto* osccal = findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* bandgap = findChild<QLineEdit*>(QStringLiteral("Edit2"));
    bind(model_.Edit1, osccal, show);
    bind(model_.Edit2, bandgap, show);
    connect(osccal, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.set_osccal(text.toStdString()); });
    connect(bandgap, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.set_bandgap(text.toStdString()); });
}

} // namespace zz
