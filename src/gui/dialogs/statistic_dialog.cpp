#include "gui/dialogs/statistic_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace zz {

StatisticDialog::StatisticDialog(ChipState& statistics, Operator& op, QWidget* parent)
    : QDialog(parent), model_(statistics, op) {
    setObjectName(QStringLiteral("prog_name"));
    setWindowTitle(QString::fromLatin1(StatisticModel::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* title = new QLabel(QString::fromLatin1(StatisticModel::kLabel3), this);
    title->setObjectName(QStringLiteral("Label3"));
    title->setGeometry(16, 10, 200, 16);
    edit1_ = field("Edit1", "Target Count", 36);
    edit2_ = field("Edit2", "Pass Count", 64);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(30, 98, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &StatisticDialog::ok);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(122, 98, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(228, 134);
}

// A caption, the field and "PCS" on one line.
QLineEdit* StatisticDialog::field(const char* name, const char* caption, int y) {
    auto* text = new QLabel(QString::fromLatin1(caption), this);
    text->setGeometry(16, y + 3, 80, 16);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(100, y, 60, 22);
    edit->setMaxLength(static_cast<int>(StatisticModel::kMaxDigits));
    // Pasted text is held to the same digits the keys are.
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), edit));
    edit->installEventFilter(this);
    auto* unit = new QLabel(QStringLiteral("PCS"), this);
    unit->setGeometry(166, y + 3, 40, 16);
    return edit;
}

// Typed characters go through the model; keys that type nothing (arrows, Delete, Tab, Enter,
// shortcuts such as Ctrl+C) keep their usual meaning.
bool StatisticDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || (watched != edit1_ && watched != edit2_))
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    const bool typed = c == u'\b' || (c.isPrint() && !(key->modifiers() & Qt::ControlModifier));
    if (!typed)
        return false;
    return !model_.key_press(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '?');
}

void StatisticDialog::ok() {
    model_.Edit1 = edit1_->text().toStdString();
    model_.Edit2 = edit2_->text().toStdString();
    if (model_.ok())
        accept();
}

} // namespace zz
