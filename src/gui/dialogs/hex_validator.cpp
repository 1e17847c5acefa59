#include "gui/dialogs/hex_validator.h"

namespace zz {

QValidator::State KeyFilterValidator::validate(QString& input, int&) const {
    const std::optional<std::string> typed = typed_text(input.toStdString(), max_, filter_);
    if (!typed)
        return Invalid;
    input = QString::fromStdString(*typed);
    return Acceptable;
}

void filter_keys(QLineEdit* edit, std::size_t max, KeyFilter filter) {
    edit->setMaxLength(static_cast<int>(max));
    edit->setValidator(new KeyFilterValidator(max, filter, edit));
}

} // namespace zz
