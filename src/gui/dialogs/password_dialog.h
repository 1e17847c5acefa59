#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

namespace zz {

// "Engineer's Password": one field that shows no characters, OK and Cancel.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    // `why`: what the password is for, above the field.
    PasswordDialog(const QString& why, QWidget* parent);

    std::string password() const;

private:
    QLineEdit* field_;
};

// The password as typed; nullopt when the dialog is cancelled.
std::optional<std::string> ask_engineer_password(const QString& why, QWidget* parent);

} // namespace zz
