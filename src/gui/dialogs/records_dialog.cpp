#include "gui/dialogs/records_dialog.h"

#include "gui/dialogs/hour_chart.h"
#include "gui/dialogs/records_table_model.h"
#include "gui/off_thread.h"
#include "gui/window_face.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace zz {

namespace {

constexpr const char* kObjectName = "records_form";
constexpr int kChartHeight = 120; // px

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

RecordsSource records_source(const Station* station, OffThread& worker) {
    return RecordsSource{[station] { return station ? station->store() : nullptr; },
                         [station] {
                             return station ? station->why_no_store()
                                            : std::string("no records database is open");
                         },
                         &worker};
}

RecordsDialog::RecordsDialog(RecordsSource source, QWidget* parent)
    : QDialog(parent), source_(std::move(source)) {
    setObjectName(QString::fromLatin1(kObjectName));
    setWindowTitle(QStringLiteral("Production Records"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    build();
    refresh();
    // A chip finished: its record is in the store.
    if (source_.chips_recorded)
        source_.chips_recorded->observe([guard = QPointer<RecordsDialog>(this)](int) {
            if (guard)
                guard->refresh();
        });
}

void RecordsDialog::build() {
    use_window_face(this);
    resize(660, 460);
    auto* layout = new QVBoxLayout(this);
    auto* filter_row = new QHBoxLayout;
    filter_row->addWidget(named(new QLabel(QStringLiteral("Serial Number"), this), "Label2"));
    filter_ = named(new QLineEdit(this), "Edit1");
    filter_->setMaxLength(static_cast<int>(RecordsViewModel::kFilterLength));
    filter_->setPlaceholderText(QStringLiteral("every chip"));
    filter_->installEventFilter(this);
    filter_row->addWidget(filter_, 1);
    layout->addLayout(filter_row);
    table_ = new RecordsTableModel(model_, this);
    auto* view = named(new QTableView(this), "RecordsTable");
    view->setModel(table_);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(view, 1);
    layout->addWidget(named(new QLabel(QStringLiteral("Chips per hour today"), this), "Label3"));
    chart_ = named(new HourChart(model_, this), "HourChart");
    chart_->setFixedHeight(kChartHeight);
    layout->addWidget(chart_);
    auto* bottom = new QHBoxLayout;
    status_ = named(new QLabel(this), "Label1");
    bottom->addWidget(status_, 1);
    auto* close_button = named(new QPushButton(QStringLiteral("Close"), this), "Button1");
    bottom->addWidget(close_button);
    layout->addLayout(bottom);
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.set_filter(text.toStdString());
        refresh();
    });
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
}

void RecordsDialog::refresh() {
    // The store may have come since the last read.
    RecordsStore* store = source_.store();
    model_.set_store(store, store ? std::string() : source_.why_none());
    if (std::optional<RecordsQuery> query = model_.request())
        run(std::move(*query));
    show_status();
}

void RecordsDialog::run(RecordsQuery query) {
    const QPointer<RecordsDialog> guard(this);
    source_.worker->run<RecordsSnapshot>([query] { return read_records(query); },
                                         [guard](RecordsSnapshot snapshot) {
                                             if (guard)
                                                 guard->show_answer(std::move(snapshot));
                                         });
}

void RecordsDialog::show_answer(RecordsSnapshot snapshot) {
    std::optional<RecordsQuery> next = table_->apply(std::move(snapshot));
    chart_->update();
    show_status();
    findChild<QTableView*>(QStringLiteral("RecordsTable"))->resizeColumnsToContents();
    if (next)
        run(std::move(*next));
}

void RecordsDialog::show_status() {
    status_->setText(QString::fromStdString(model_.status()));
}

// Printable keys go through the filter field's rule; the rest keep their usual meaning.
bool RecordsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != filter_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() >= 0x7F)
        return false;
    if (const char taken = RecordsViewModel::filter_key(static_cast<char>(text[0].unicode())))
        filter_->insert(QString(QChar(taken)));
    return true;
}

RecordsDialog* open_records_dialog(QWidget* window, const RecordsSource& source) {
    if (auto* open = window->findChild<RecordsDialog*>(QString::fromLatin1(kObjectName))) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* dialog = new RecordsDialog(source, window);
    dialog->show();
    return dialog;
}

} // namespace zz
