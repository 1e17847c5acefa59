#include "gui/dialogs/chip_position_dialog.h"

#include "gui/dialogs/chip_position_art.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace zz {

namespace {
constexpr int kClientWidth = 144;
constexpr int kClientHeight = 323;
constexpr int kPictureTop = 24;
} // namespace

ChipPositionDialog::ChipPositionDialog(const ChipPosition& position, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("chip_form"));
    setWindowTitle(QStringLiteral("Device Position"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* label = new QLabel(QString::fromStdString(position.Label1), this);
    label->setObjectName(QStringLiteral("Label1"));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    // A long chip name widens the dialog rather than being cut off.
    const int width =
        std::max(kClientWidth, QFontMetrics(bold).horizontalAdvance(label->text()) + 12);
    label->setGeometry(6, 4, width - 12, 18);

    const int picture_left = (width - kChipPictureWidth) / 2;
    for (const ChipPicture& picture : chip_pictures()) {
        auto* image = new QLabel(this);
        image->setObjectName(
            QString::fromLatin1(picture.name.data(), static_cast<qsizetype>(picture.name.size())));
        image->setGeometry(picture_left, kPictureTop, kChipPictureWidth, kChipPictureHeight);
        image->setPixmap(draw_chip_picture(picture));
        image->setVisible(&picture == position.picture);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry((width - 75) / 2, kPictureTop + kChipPictureHeight + 8, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(width, kClientHeight);
}

} // namespace zz
