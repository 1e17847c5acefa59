#include "gui/dialogs/records_dialog.h"

#include "gui/dialogs/hour_chart.h"
#include "gui/dialogs/records_table_model.h"
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

RecordsViewModel view_model_of(const Session& session) {
    const Station* station = session.station();
    if (station && station->store())
        return RecordsViewModel(station->store());
    return RecordsViewModel(nullptr, station ? station->why_no_store()
                                             : std::string("no records database is open"));
}

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

RecordsDialog::RecordsDialog(Session& session, QWidget* parent)
    : QDialog(parent), model_(view_model_of(session)) {
    setObjectName(QString::fromLatin1(kObjectName));
    setWindowTitle(QStringLiteral("Production Records"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    build();
    refresh();
    // A chip finished: its record is in the store.
    session.chips_recorded.observe([guard = QPointer<RecordsDialog>(this)](int) {
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
    table_->refresh();
    chart_->update();
    status_->setText(QString::fromStdString(model_.status()));
    auto* view = findChild<QTableView*>(QStringLiteral("RecordsTable"));
    view->resizeColumnsToContents();
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

void open_records_dialog(QWidget* window, Session& session) {
    if (auto* open = window->findChild<RecordsDialog*>(QString::fromLatin1(kObjectName))) {
        open->raise();
        open->activateWindow();
        return;
    }
    (new RecordsDialog(session, window))->show();
}

} // namespace zz
