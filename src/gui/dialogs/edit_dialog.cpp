#include "gui/dialogs/edit_dialog.h"

#include "gui/dialogs/edit_grid_model.h"
#include "gui/dialogs/hex_validator.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace zz {

namespace {

// Pixels.
constexpr int kWidth = 560;
constexpr int kGridX = 8;
constexpr int kGridWidth = 385;
constexpr int kColumnWidth = 40;
constexpr int kRowHeight = 18;
constexpr int kRightX = 402;
constexpr int kGroupWidth = 150;
constexpr int kGroupHeight = 140;

template <class W> W* place(W* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QPushButton* push(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* b = place(new QPushButton(QString::fromLatin1(caption), parent), name, geometry);
    // Return in a field or a grid must not close the dialog behind the operator's back.
    b->setAutoDefault(false);
    return b;
}

// A grid whose keys go to the cell model instead of an editor: the first key after a selection
// empties the cell, the rest are filtered, as the model says.
class EditGridView : public QTableView {
public:
    EditGridView(EditGridModel* model, QWidget* parent) : QTableView(parent), model_(model) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Backspace) {
            model_->key(kBackspace);
            return;
        }
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            const char key = text.at(0).toLatin1();
            model_->key(key != 0 ? key : '?'); // a key beyond Latin-1 is swallowed all the same
            return;
        }
        QTableView::keyPressEvent(event);
    }

private:
    EditGridModel* model_;
};

// The field of `field` with its caption at row `row` of a fill group.
QLineEdit* fill_field(QWidget* group, EditModel& model, FillField field, const char* name,
                      const char* caption, int row) {
    const int y = 38 + 24 * row;
    place(new QLabel(QString::fromLatin1(caption), group), "", QRect(8, y + 2, 64, 16));
    auto* edit = place(new QLineEdit(group), name, QRect(76, y, 64, 20));
    filter_keys(edit, model.field_max(field), hex_key);
    QObject::connect(edit, &QLineEdit::textEdited, group, [&model, field](const QString& text) {
        model.set_field(field, text.toStdString());
    });
    return edit;
}

} // namespace

EditDialog::EditDialog(EditModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("edit_form"));
    setWindowTitle(QStringLiteral("Edit buffer"));
    const bool eeprom = model_.has_eeprom();
    rom_ = new EditGridModel(model_.rom_grid(), this);
    eeprom_ = new EditGridModel(model_.eeprom_grid(), this);

    place(new QLabel(QStringLiteral("ROM DATA:"), this), "Label1", QRect(kGridX, 2, 120, 16));
    grid("StringGrid1", rom_, QRect(kGridX, 18, kGridWidth, eeprom ? 160 : 260));
    auto* eeprom_label = place(new QLabel(QStringLiteral("EEPROM DATA:"), this), "Label2",
                               QRect(kGridX, eeprom ? 180 : 290, 120, 16));
    QTableView* eeprom_grid = grid("StringGrid2", eeprom_,
                                   QRect(kGridX, eeprom ? 200 : 300, kGridWidth, eeprom ? 113 : 0));
    eeprom_label->setEnabled(eeprom);
    eeprom_grid->setEnabled(eeprom);

    QGroupBox* rom_fill = fill_group("GroupBox1", "ROM Fill", FillField::rom_start,
                                     QRect(kRightX, 8, kGroupWidth, kGroupHeight));
    connect(push(rom_fill, "Button1", "Start fill", QRect(38, 112, 75, 22)), &QPushButton::clicked,
            this, [this] {
                if (model_.rom_fill())
                    rom_->cells_changed();
            });
    QGroupBox* eeprom_fill =
        fill_group("GroupBox2", "EEPROM Fill", FillField::eeprom_start,
                   QRect(kRightX, 152, kGroupWidth, eeprom ? kGroupHeight : 0));
    eeprom_fill->setVisible(eeprom);
    connect(push(eeprom_fill, "Button2", "Start fill", QRect(38, 112, 75, 22)),
            &QPushButton::clicked, this, [this] {
                if (model_.eeprom_fill())
                    eeprom_->cells_changed();
            });

    connect(push(this, "BitBtn1", "OK", QRect(kRightX, 296, 70, 24)), &QPushButton::clicked, this,
            [this] {
                if (model_.ok())
                    accept();
            });
    connect(push(this, "BitBtn2", "Cancel", QRect(kRightX + 80, 296, 70, 24)),
            &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(kWidth, 326);
}

QTableView* EditDialog::grid(const char* name, EditGridModel* model, QRect geometry) {
    auto* view = place(new EditGridView(model, this), name, geometry);
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    view->setFont(font);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->setWordWrap(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setTabKeyNavigation(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setModel(model);
    // The first cell is current at opening, as the model has it selected (not freshly).
    view->setCurrentIndex(model->index(0, 1));
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [model](const QModelIndex& current) { model->select(current); });
    return view;
}

QGroupBox* EditDialog::fill_group(const char* name, const char* title, FillField first,
                                  QRect geometry) {
    auto* group = place(new QGroupBox(QString::fromLatin1(title), this), name, geometry);
    place(new QLabel(QStringLiteral("Input value in Hex"), group), "", QRect(8, 18, 130, 16));
    const bool rom = first == FillField::rom_start;
    const auto at = [first](int k) { return static_cast<FillField>(static_cast<int>(first) + k); };
    fill_field(group, model_, at(0), rom ? "Edit1" : "Edit4", "Start Addr", 0);
    fill_field(group, model_, at(1), rom ? "Edit2" : "Edit5", "End Addr", 1);
    fill_field(group, model_, at(2), rom ? "Edit3" : "Edit6", "Fill value", 2);
    return group;
}

} // namespace zz
