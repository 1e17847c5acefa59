#include "gui/dialogs/fuse_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace zz {

namespace {

// Two columns of settings, three when there are more than fit two on a 768-pixel screen.
constexpr std::size_t kTwoColumnSettings = 30;
// Room the title bar, the ID line, the buttons and the margins take beside the settings (px).
constexpr int kFrameRoom = 160;

// Typed ID text through the editor's keystroke filter: hex digits, upper case, no more than fit.
class IdValidator : public QValidator {
public:
    IdValidator(const FuseIdField& id, QObject* parent) : QValidator(parent), id_(id) {}

    State validate(QString& input, int& pos) const override {
        const std::string before_cursor = id_.typed(input.left(pos).toStdString());
        input = QString::fromStdString(id_.typed(input.toStdString()));
        pos = std::min(static_cast<int>(before_cursor.size()), static_cast<int>(input.size()));
        return Acceptable;
    }

private:
    const FuseIdField& id_;
};

QComboBox* setting_box(FuseEditor& editor, std::size_t s, QWidget* parent) {
    const FuseSetting& setting = editor.settings()[s];
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("ComboBox_LIST%1").arg(setting.list_number));
    for (const FuseOption& option : setting.options)
        box->addItem(QString::fromStdString(option.text));
    const auto chosen = editor.chosen(s);
    box->setCurrentIndex(chosen ? static_cast<int>(*chosen) : -1);
    box->setToolTip(QStringLiteral("Configuration word %1").arg(setting.word));
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [&editor, s](int index) {
        if (index >= 0)
            editor.choose(s, static_cast<std::size_t>(index));
    });
    return box;
}

} // namespace

FuseDialog::FuseDialog(FuseEditor& editor, QWidget* parent) : QDialog(parent), editor_(editor) {
    setObjectName(QStringLiteral("fuse_form"));
    setWindowTitle(QStringLiteral("Edit Fuses"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    QScrollArea* settings = build_settings();
    layout->addWidget(settings);
    layout->addLayout(build_id_and_buttons());
    fit_to_screen(settings);
}

QScrollArea* FuseDialog::build_settings() {
    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("panel"));
    area->setFrameShadow(QFrame::Sunken);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* rows = new QWidget(area);
    auto* grid = new QGridLayout(rows);
    const std::size_t columns = editor_.settings().size() > kTwoColumnSettings ? 3 : 2;
    for (std::size_t s = 0; s < editor_.settings().size(); ++s) {
        const int row = static_cast<int>(s / columns);
        const int column = static_cast<int>(s % columns) * 2;
        auto* caption = new QLabel(QString::fromStdString(editor_.settings()[s].caption), rows);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QComboBox* box = setting_box(editor_, s, rows);
        caption->setBuddy(box);
        grid->addWidget(caption, row, column);
        grid->addWidget(box, row, column + 1);
    }
    for (std::size_t c = 0; c < columns; ++c)
        grid->setColumnStretch(static_cast<int>(c) * 2 + 1, 1);
    grid->setRowStretch(grid->rowCount(), 1);
    area->setWidget(rows);
    return area;
}

QLayout* FuseDialog::build_id_and_buttons() {
    auto* line = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("ID"), this);
    label->setObjectName(QStringLiteral("Label35"));
    auto* id = new QLineEdit(this);
    id->setObjectName(QStringLiteral("Edit1"));
    FuseIdField& field = editor_.id();
    label->setBuddy(id);
    label->setEnabled(field.enabled());
    id->setEnabled(field.enabled());
    id->setMaxLength(std::max(1, static_cast<int>(field.max_length())));
    id->setValidator(new IdValidator(field, id));
    id->setText(QString::fromStdString(field.text()));
    // Wide enough for the longest ID of the chip.
    id->setMinimumWidth(id->fontMetrics().horizontalAdvance(QString(17, QLatin1Char('F'))));
    connect(id, &QLineEdit::textChanged, this,
            [&field](const QString& text) { field.set_text(text.toStdString()); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BitBtn1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("BitBtn2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FuseDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FuseDialog::reject);
    line->addWidget(label);
    line->addWidget(id);
    line->addStretch(1);
    line->addWidget(buttons);
    return line;
}

void FuseDialog::fit_to_screen(QScrollArea* area) {
    // All rows without scrolling where the screen has room; else as many as fit.
    const QSize rows = area->widget()->sizeHint();
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().height() - kFrameRoom : rows.height();
    const int frame = 2 * area->frameWidth();
    area->setMinimumWidth(rows.width() + frame + area->verticalScrollBar()->sizeHint().width());
    area->setMinimumHeight(std::min(rows.height(), std::max(room, 0)) + frame);
}

void FuseDialog::accept() {
    editor_.ok();
    QDialog::accept();
}

void open_fuse_dialog(FuseCommand& command, QWidget* parent) {
    command.run([parent](FuseEditor& editor) {
        FuseDialog dialog(editor, parent);
        dialog.exec();
    });
}

} // namespace zz
