#include "gui/dialogs/password_dialog.h"

#include "gui/window_face.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zz {

PasswordDialog::PasswordDialog(const QString& why, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("password_form"));
    setWindowTitle(QStringLiteral("Engineer's Password"));
    use_window_face(this);
    auto* label = new QLabel(why, this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(12, 8, 276, 32);
    label->setWordWrap(true);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("Edit1"));
    field_->setGeometry(12, 44, 276, 22);
    field_->setEchoMode(QLineEdit::Password);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(132, 76, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(213, 76, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(300, 110);
}

std::string PasswordDialog::password() const {
    return field_->text().toStdString();
}

std::optional<std::string> ask_engineer_password(const QString& why, QWidget* parent) {
    PasswordDialog dialog(why, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.password();
}

} // namespace zz
