#include "gui/board_panel_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zz {

namespace {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString text_of(const std::string& text) {
    return QString::fromStdString(text);
}

// The state line's colours: green for a pass, red for a failure (also while the chip waits to be
// taken out), amber for a question.
const char* state_style(const BoardPanel& p) {
    BoardPhase phase = p.phase;
    if (phase == BoardPhase::waiting && p.last_result >= 0)
        phase = p.last_result ? BoardPhase::passed : BoardPhase::failed;
    switch (phase) {
    case BoardPhase::passed:
        return "background:#2e8b3a;color:white;";
    case BoardPhase::failed:
        return "background:#c0281e;color:white;";
    case BoardPhase::question:
        return "background:#f0b400;color:black;";
    case BoardPhase::no_board:
        return "background:#8a8a8a;color:white;";
    default:
        return "background:#1f4e8c;color:white;";
    }
}

} // namespace

QString board_panel_name(const std::string& port) {
    return QStringLiteral("board:") + text_of(port);
}

BoardPanelWidget::BoardPanelWidget(const QString& port, Commands commands, QWidget* parent)
    : QFrame(parent), commands_(std::move(commands)) {
    setObjectName(QStringLiteral("board:") + port);
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setFixedSize(kWidth, kHeight);
    build(port);
    show_panel(BoardPanel{});
}

void BoardPanelWidget::build(const QString& port) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    auto* title = new QHBoxLayout;
    auto* name = named(new QLabel(port, this), "lab_port");
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    title->addWidget(name, 1);
    model_ = named(new QLabel(this), "lab_model");
    title->addWidget(model_);
    layout->addLayout(title);
    state_ = named(new QLabel(this), "lab_state");
    state_->setFont(bold);
    state_->setIndent(4);
    // "Passed 0000002A: take the chip out" is wider than a panel.
    state_->setWordWrap(true);
    state_->setMinimumHeight(22);
    layout->addWidget(state_);
    progress_ = named(new QProgressBar(this), "progress");
    progress_->setTextVisible(false);
    progress_->setFixedHeight(10);
    layout->addWidget(progress_);
    auto* figures = new QHBoxLayout;
    serial_ = named(new QLabel(this), "lab_serial");
    figures->addWidget(serial_, 1);
    counts_ = named(new QLabel(this), "lab_counts");
    figures->addWidget(counts_);
    layout->addLayout(figures);
    message_ = named(new QLabel(this), "lab_message");
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(message_, 1);
    layout->addWidget(build_question());
    layout->addWidget(build_buttons());
}

QWidget* BoardPanelWidget::build_question() {
    question_row_ = named(new QWidget(this), "question");
    auto* row = new QHBoxLayout(question_row_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    auto* yes = named(new QPushButton(QStringLiteral("Yes"), question_row_), "btn_yes");
    auto* no = named(new QPushButton(QStringLiteral("No"), question_row_), "btn_no");
    for (QPushButton* b : {yes, no}) {
        b->setFixedWidth(60);
        row->addWidget(b);
    }
    connect(yes, &QPushButton::clicked, this, [this] { commands_.answer(true); });
    connect(no, &QPushButton::clicked, this, [this] { commands_.answer(false); });
    return question_row_;
}

QWidget* BoardPanelWidget::build_buttons() {
    auto* buttons = new QWidget(this);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    program_ = named(new QPushButton(QStringLiteral("Program"), buttons), "btn_program");
    auto_ = named(new QPushButton(QStringLiteral("Auto Program"), buttons), "btn_auto");
    row->addWidget(program_);
    row->addWidget(auto_);
    connect(program_, &QPushButton::clicked, this, [this] { commands_.program(); });
    connect(auto_, &QPushButton::clicked, this, &BoardPanelWidget::auto_clicked);
    return buttons;
}

void BoardPanelWidget::auto_clicked() {
    if (panel_.auto_running)
        commands_.stop();
    else
        commands_.start_auto();
}

void BoardPanelWidget::show_panel(const BoardPanel& p, bool leaving) {
    panel_ = p;
    const std::string firmware = p.firmware.empty() ? "" : "  fw " + p.firmware;
    model_->setText(text_of(p.model + firmware));
    state_->setText(text_of(phase_text(p)));
    state_->setStyleSheet(QString::fromLatin1(state_style(p)));
    progress_->setMaximum(std::max(1, p.progress_max));
    progress_->setValue(std::clamp(p.progress, 0, std::max(1, p.progress_max)));
    serial_->setText(p.serial.empty() ? QString() : QStringLiteral("Serial ") + text_of(p.serial));
    counts_->setText(QStringLiteral("Passed %1  Failed %2").arg(p.passed).arg(p.failed));
    // A question takes the message's place until it is answered.
    const std::string message = !p.question.empty() ? p.question
                                : leaving           ? "Taken away once it is idle"
                                                    : p.message;
    message_->setText(text_of(message));
    message_->setToolTip(text_of(message));
    question_row_->setVisible(!p.question.empty());
    program_->setEnabled(!p.busy && p.question.empty() && !leaving);
    auto_->setText(p.auto_running ? QStringLiteral("Stop") : QStringLiteral("Auto Program"));
    auto_->setEnabled(p.auto_running || (!p.busy && !leaving));
}

void BoardPanelWidget::show_restarting() {
    BoardPanel p = panel_;
    p.phase = BoardPhase::no_board;
    p.busy = true;
    show_panel(p);
    state_->setText(QStringLiteral("Starting"));
}

} // namespace zz
