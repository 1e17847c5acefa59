#include "gui/dialogs/job_dialog.h"

#include "gui/off_thread.h"
#include "gui/window_face.h"

#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zz {

namespace {

constexpr const char* kCaption = "Open Job";

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The list as read, or why it could not be.
struct Listing {
    std::vector<JobRow> rows;
    std::string error;
};

} // namespace

JobDialog::JobDialog(JobDialogHooks hooks, Operator& op, QWidget* parent)
    : QDialog(parent), hooks_(std::move(hooks)), op_(op),
      model_(hooks_.store != nullptr, hooks_.where), reader_(new OffThread(this)) {
    setObjectName(QStringLiteral("job_form"));
    setWindowTitle(QString::fromLatin1(kCaption));
    build();
    read_list();
}

void JobDialog::build() {
    use_window_face(this);
    resize(460, 320);
    auto* layout = new QVBoxLayout(this);
    list_ = named(new QTreeWidget(this), "JobList");
    list_->setRootIsDecorated(false);
    list_->setColumnCount(JobModel::kColumnCount);
    QStringList headers;
    for (int column = 0; column < JobModel::kColumnCount; ++column)
        headers << QString::fromStdString(JobModel::header(column));
    list_->setHeaderLabels(headers);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
        if (chosen.isEmpty())
            return;
        model_.choose_row(list_->indexOfTopLevelItem(chosen.front()));
        file_->hide();
    });
    layout->addWidget(list_, 1);
    status_ = named(new QLabel(this), "Label1");
    status_->setWordWrap(true);
    layout->addWidget(status_);
    file_ = named(new QLabel(this), "Label4");
    file_->setWordWrap(true);
    file_->hide(); // until a job file is chosen
    layout->addWidget(file_);
    auto* fields = new QFormLayout;
    operator_ = named(new QLineEdit(this), "Edit1");
    lot_ = named(new QLineEdit(this), "Edit2");
    lot_->setPlaceholderText(QStringLiteral("none"));
    fields->addRow(named(new QLabel(QStringLiteral("Operator"), this), "Label2"), operator_);
    fields->addRow(named(new QLabel(QStringLiteral("Lot"), this), "Label3"), lot_);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    auto* file = named(new QPushButton(QStringLiteral("Job File..."), this), "Button3");
    connect(file, &QPushButton::clicked, this, &JobDialog::choose_file);
    buttons->addWidget(file);
    buttons->addStretch(1);
    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &JobDialog::ok);
    buttons->addWidget(ok);
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    status_->setText(QString::fromStdString(model_.status()));
}

void JobDialog::read_list() {
    if (!hooks_.store)
        return;
    RecordsStore* store = hooks_.store;
    reader_->run<Listing>(
        [store, read = hooks_.read] {
            try {
                return Listing{list_released_jobs(*store, read), {}};
            } catch (const std::exception& e) {
                return Listing{{}, e.what()};
            }
        },
        [this](const Listing& listing) {
            if (listing.error.empty())
                model_.listed(listing.rows);
            else
                model_.list_failed(listing.error);
            show_list();
        });
}

void JobDialog::show_list() {
    list_->clear();
    for (int row = 0; row < model_.row_count(); ++row) {
        QStringList cells;
        for (int column = 0; column < JobModel::kColumnCount; ++column)
            cells << QString::fromStdString(model_.cell(row, column));
        list_->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    for (int column = 0; column < JobModel::kColumnCount; ++column)
        list_->resizeColumnToContents(column);
    status_->setText(QString::fromStdString(model_.status()));
}

// The password first: without it, no file is even chosen.
void JobDialog::choose_file() {
    if (!engineer_passes(EngineerTask::open_job_file, hooks_.store != nullptr, hooks_.where,
                         hooks_.password(this), op_))
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Job File"), QString(),
                                                      QStringLiteral("Job File (*.zzjob)"));
    if (path.isEmpty())
        return;
    if (!model_.choose_file(QFile::encodeName(path).toStdString())) {
        op_.show_message(model_.message(), kCaption, Icon::Error);
        return;
    }
    list_->clearSelection();
    file_->setText(QStringLiteral("Job file %1, rehearsed by an engineer").arg(path));
    file_->show();
}

void JobDialog::ok() {
    model_.operator_name = operator_->text().toStdString();
    model_.lot = lot_->text().toStdString();
    const std::optional<JobRequest> request = model_.accept();
    if (!request) {
        op_.show_message(model_.message(), kCaption, Icon::Error);
        return;
    }
    if (hooks_.open(*request))
        accept();
}

} // namespace zz
