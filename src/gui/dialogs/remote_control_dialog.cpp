#include "gui/dialogs/remote_control_dialog.h"

#include "gui/window_face.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zz {

namespace {

template <class W> W* named(W* widget, const char* name, QRect where) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(where);
    return widget;
}

} // namespace

RemoteControlDialog::RemoteControlDialog(RemoteControlModel model, QWidget* parent)
    : QDialog(parent), model_(std::move(model)) {
    setObjectName(QStringLiteral("remote_form"));
    setWindowTitle(QStringLiteral("Remote Control"));
    use_window_face(this);
    named(new QLabel(QStringLiteral("Listen on (unix:PATH or tcp:HOST:PORT, empty: off):"), this),
          "Label1", {12, 8, 376, 16});
    address_ = named(new QLineEdit(QString::fromStdString(model_.address()), this), "Edit1",
                     {12, 26, 376, 22});
    named(new QLabel(QStringLiteral("Token file (needed beyond this computer):"), this),
          "Label2", {12, 56, 376, 16});
    token_ = named(new QLineEdit(QString::fromStdString(model_.token_file()), this), "Edit2",
                   {12, 74, 376, 22});
    status_ = named(new QLabel(this), "Label3", {12, 102, 376, 32});
    status_->setWordWrap(true);
    ok_ = named(new QPushButton(QStringLiteral("OK"), this), "Button1", {232, 140, 75, 25});
    ok_->setDefault(true);
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), "Button2",
                         {313, 140, 75, 25});
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* field : {address_, token_})
        connect(field, &QLineEdit::textChanged, this, &RemoteControlDialog::edited);
    setFixedSize(400, 176);
    edited();
}

void RemoteControlDialog::edited() {
    model_.set_address(address_->text().trimmed().toStdString());
    model_.set_token_file(token_->text().trimmed().toStdString());
    status_->setText(QString::fromStdString(model_.status()));
    ok_->setEnabled(model_.problem().empty());
}

std::optional<RemoteControlModel> choose_remote_control(RemoteControlModel model, QWidget* parent) {
    RemoteControlDialog dialog(std::move(model), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.model();
}

} // namespace zz
