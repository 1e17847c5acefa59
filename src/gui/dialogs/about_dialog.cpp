#include "gui/dialogs/about_dialog.h"

#include "gui/jpeg_image.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace zz {

namespace {
constexpr int kWidth = 330;
constexpr int kHeight = 170;
constexpr int kPicture = 110; // pixels square

QLabel* line(QWidget* parent, const char* name, const std::string& text, QRect geometry) {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setWordWrap(true);
    return label;
}
} // namespace

AboutDialog::AboutDialog(const AboutBox& box, const std::filesystem::path& data_dir,
                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QString::fromLatin1(AboutBox::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setGeometry(12, 12, kPicture, kPicture);
    const QImage image = decode_jpeg(data_dir / AboutBox::kPictureFile);
    if (!image.isNull())
        picture->setPixmap(QPixmap::fromImage(
            image.scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));

    QLabel* name = line(this, "ProductName", AboutBox::kProductName, {134, 16, 186, 36});
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    name->setFont(bold);
    QPalette navy = name->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    name->setPalette(navy);
    line(this, "Version", box.version, {134, 58, 186, 16});
    line(this, "Comments", box.description, {134, 80, 186, 40});

    auto* ok = new QPushButton(QString::fromLatin1(AboutBox::kOkButton), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry((kWidth - 75) / 2, kHeight - 37, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(kWidth, kHeight);
    // Centred on the screen rather than on the window.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace zz
