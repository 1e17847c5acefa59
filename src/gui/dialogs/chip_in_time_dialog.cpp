#include "gui/dialogs/chip_in_time_dialog.h"

#include "ops/auto_program.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace zz {

ChipInTimeDialog::ChipInTimeDialog(int& ChipInSocketTime, QWidget* parent)
    : QDialog(parent), model_(ChipInSocketTime) {
    setObjectName(QStringLiteral("chipintime_form"));
    setWindowTitle(QString::fromLatin1(ChipInTimeModel::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* label = new QLabel(QString::fromStdString(model_.Label1()), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(12, 8, 200, 16);
    auto* bar = new QSlider(Qt::Horizontal, this);
    bar->setObjectName(QStringLiteral("TrackBar1"));
    bar->setGeometry(8, 28, 209, 30);
    bar->setRange(kMinChipInSocketTime, kMaxChipInSocketTime);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setPageStep(1);
    bar->setValue(model_.TrackBar1());
    connect(bar, &QSlider::valueChanged, this, [this, label](int position) {
        model_.TrackBar1Change(position);
        label->setText(QString::fromStdString(model_.Label1()));
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setGeometry(32, 68, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.Button1Click();
        accept();
    });
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Button2"));
    cancel->setGeometry(118, 68, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(ChipInTimeModel::kWidth, ChipInTimeModel::kHeight);
}

} // namespace zz
