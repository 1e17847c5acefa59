#pragma once

#include "dialogs/hex_entry.h"

#include <QLineEdit>
#include <QValidator>

namespace zz {

// A field's key filter and length as a validator: what is typed or pasted passes the filter key
// by key, and lower-case hex becomes upper case.
class KeyFilterValidator : public QValidator {
    Q_OBJECT
public:
    KeyFilterValidator(std::size_t max, KeyFilter filter, QObject* parent)
        : QValidator(parent), max_(max), filter_(filter) {}

    State validate(QString& input, int& pos) const override;

private:
    std::size_t max_;
    KeyFilter filter_;
};

// Gives `edit` the filter and the length.
void filter_keys(QLineEdit* edit, std::size_t max, KeyFilter filter);

} // namespace zz
