#include "gui/dialogs/boards_dialog.h"

#include "app/station.h"
#include "gui/off_thread.h"
#include "gui/window_face.h"
#include "link/board_discovery.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zz {

namespace {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

BoardSearch search_serial_ports(const std::vector<std::string>& in_use) {
    BoardSearch result;
    for (const std::string& port : system_serial_ports())
        if (std::find(in_use.begin(), in_use.end(), port) == in_use.end())
            result.searched.push_back(port);
    result.found = ports_with_a_board(result.searched);
    return result;
}

BoardsDialog::BoardsDialog(Setup setup, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)),
      model_(setup_.chosen, setup_.applies_at_once) {
    setObjectName(QStringLiteral("boards_form"));
    setWindowTitle(QStringLiteral("Boards"));
    build();
    show_rows();
    search();
}

void BoardsDialog::build() {
    use_window_face(this);
    resize(420, 320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named(new QLabel(QStringLiteral("Boards the window drives:"), this),
                            "Label1"));
    list_ = named(new QListWidget(this), "BoardsList");
    layout->addWidget(list_, 1);
    status_ = named(new QLabel(this), "Label2");
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("Button1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Button2"));
    again_ = named(buttons->addButton(QStringLiteral("Search Again"),
                                      QDialogButtonBox::ActionRole),
                   "Button3");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(again_, &QPushButton::clicked, this, &BoardsDialog::search);
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        model_.tick(list_->row(item), item->checkState() == Qt::Checked);
    });
}

void BoardsDialog::search() {
    if (model_.searching() || !setup_.search)
        return;
    model_.search_started();
    show_rows();
    const QPointer<BoardsDialog> guard(this);
    setup_.worker->run<BoardSearch>(
        [search = setup_.search, in_use = setup_.in_use] { return search(in_use); },
        [guard](BoardSearch result) {
            if (guard)
                guard->show_found(result);
        });
}

void BoardsDialog::show_found(const BoardSearch& result) {
    model_.search_done(result.searched, result.found);
    show_rows();
}

void BoardsDialog::show_rows() {
    const QSignalBlocker quiet(list_); // the rows are the model's: no tick comes back
    list_->clear();
    const std::vector<BoardsModel::Row>& rows = model_.rows();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        auto* item = new QListWidgetItem(QString::fromStdString(model_.row_text(row)), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(rows[static_cast<std::size_t>(row)].ticked ? Qt::Checked
                                                                       : Qt::Unchecked);
    }
    status_->setText(QString::fromStdString(model_.status()));
    again_->setEnabled(!model_.searching());
}

std::optional<std::vector<std::string>> choose_boards(BoardsDialog::Setup setup,
                                                      QWidget* parent) {
    BoardsDialog dialog(std::move(setup), parent);
    if (dialog.exec() != QDialog::Accepted || !dialog.model().changed())
        return std::nullopt;
    return dialog.model().chosen();
}

} // namespace zz
