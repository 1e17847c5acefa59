#include "gui/dialogs/chip_position_art.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace zz {

namespace {

// Socket geometry (pixels).
constexpr QRectF kSocketBody{8, 4, 99, 218};
constexpr double kFirstRowY = 14.5;
constexpr double kRowPitch = 10.4;
constexpr double kLeftHoleX = 30;
constexpr double kRightHoleX = 85;
constexpr double kHole = 5;
const QColor kSocketColour(31, 95, 122);
const QColor kMark(200, 30, 30);

QPointF hole_centre(int socket_pin) {
    const SocketHole hole = socket_hole(socket_pin);
    return {hole.row == SocketRow::left ? kLeftHoleX : kRightHoleX,
            kFirstRowY + hole.place * kRowPitch};
}

QFont pixel_font(int pixels, bool bold = false) {
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The largest font up to `pixels` in which `text` fits `width`.
QFont fitting_font(const QString& text, int pixels, double width, bool bold = false) {
    QFont font = pixel_font(pixels, bold);
    while (pixels > 6 && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPixelSize(--pixels);
    return font;
}

void draw_socket(QPainter& p) {
    p.setPen(QPen(kSocketColour.darker(140), 1));
    p.setBrush(kSocketColour);
    p.drawRoundedRect(kSocketBody, 4, 4);
    p.setPen(QPen(QColor(120, 170, 190), 1));
    p.setBrush(QColor(12, 36, 48));
    for (int pin = 1; pin <= kSocketPins; ++pin)
        p.drawRect(QRectF(hole_centre(pin) - QPointF(kHole / 2, kHole / 2), QSizeF(kHole, kHole)));
    // The corner pins numbered, so the socket can be told from either end.
    p.setPen(Qt::white);
    p.setFont(pixel_font(7));
    for (int pin : {1, 20, 21, 40}) {
        const QPointF c = hole_centre(pin);
        const bool left = socket_hole(pin).row == SocketRow::left;
        const QRectF box(left ? kSocketBody.left() + 1 : c.x() + 4, c.y() - 5, 14, 10);
        p.drawText(box, Qt::AlignCenter, QString::number(pin));
    }
    // The lever along the bottom, its handle at the right.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(190, 190, 190));
    p.drawRoundedRect(QRectF(14, 226, 84, 6), 3, 3);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(101, 229), 5, 5);
}

void draw_chip(QPainter& p, const ChipPicture& picture) {
    double top = kSocketBody.bottom();
    double bottom = kSocketBody.top();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(205, 205, 210));
    for (int pin = 1; pin <= picture.chip_pins; ++pin) {
        const QPointF c = hole_centre(socket_pin_under(picture, pin));
        top = std::min(top, c.y());
        bottom = std::max(bottom, c.y());
        const bool left = c.x() < kSocketBody.center().x();
        p.drawRect(QRectF(left ? c.x() - 2 : c.x() - 8, c.y() - 1.5, 10, 3));
    }
    const QRectF body(kLeftHoleX + 6, top - 5, kRightHoleX - kLeftHoleX - 12, bottom - top + 10);
    p.setPen(QPen(QColor(10, 10, 10), 1));
    p.setBrush(QColor(40, 40, 44));
    p.drawRoundedRect(body, 2, 2);
    // The notch at the pin-1 end and the dot beside pin 1.
    const QPointF pin1 = hole_centre(picture.socket_pin_1);
    const bool pin1_at_top = socket_hole(picture.socket_pin_1).row == SocketRow::left;
    const QPointF notch(body.center().x(), pin1_at_top ? body.top() : body.bottom());
    p.setPen(Qt::NoPen);
    p.setBrush(kSocketColour);
    p.drawEllipse(notch, 5, 4);
    p.setBrush(QColor(170, 170, 175));
    p.drawEllipse(
        QPointF(pin1.x() < body.center().x() ? body.left() + 6 : body.right() - 6, pin1.y()), 2.2,
        2.2);
    p.setPen(QPen(QColor(235, 235, 235), 1));
    p.setFont(pixel_font(8));
    p.drawText(body, Qt::AlignCenter, QString::number(picture.chip_pins) + "\npin");
    // The hole under chip pin 1, and its number spelled out below the socket.
    p.setPen(QPen(kMark, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(pin1, 5, 5);
    const QString text = QStringLiteral("Pin 1 at socket pin %1").arg(picture.socket_pin_1);
    const QRectF line(2, 240, kChipPictureWidth - 4, 16);
    p.setPen(kMark);
    p.setFont(fitting_font(text, 11, line.width(), true));
    p.drawText(line, Qt::AlignCenter, text);
}

void draw_icsp(QPainter& p) {
    constexpr std::array kLines{"VPP1", "VCC", "GND", "RB7/DATA", "RB6/CLK", "LOW/RB3"};
    p.setPen(Qt::black);
    p.setFont(pixel_font(13, true));
    p.drawText(QRectF(0, 6, kChipPictureWidth, 20), Qt::AlignCenter, QStringLiteral("ICSP"));
    p.setPen(QPen(QColor(10, 10, 10), 1));
    p.setBrush(QColor(35, 35, 38));
    p.drawRoundedRect(QRectF(12, 36, 26, 190), 2, 2);
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        const double y = 52 + 31.5 * static_cast<double>(i);
        p.setPen(QPen(QColor(120, 90, 10), 1));
        p.setBrush(QColor(222, 180, 60));
        // Pin 1 (VPP1) has the square pad.
        if (i == 0)
            p.drawRect(QRectF(19, y - 6, 12, 12));
        else
            p.drawEllipse(QPointF(25, y), 6, 6);
        p.setPen(QPen(QColor(80, 80, 80), 1.5));
        p.drawLine(QPointF(38, y), QPointF(50, y));
        p.setPen(Qt::black);
        const QString name = QString::fromLatin1(kLines[i]);
        const QRectF box(52, y - 9, kChipPictureWidth - 54, 18);
        p.setFont(fitting_font(name, 11, box.width(), true));
        p.drawText(box, Qt::AlignVCenter | Qt::AlignLeft, name);
    }
    p.setPen(QColor(90, 90, 90));
    p.setFont(pixel_font(9));
    p.drawText(QRectF(0, 234, kChipPictureWidth, 20), Qt::AlignCenter,
               QStringLiteral("to the circuit"));
}

} // namespace

QPixmap draw_chip_picture(const ChipPicture& picture) {
    QPixmap pixmap(kChipPictureWidth, kChipPictureHeight);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (picture.chip_pins == 0) {
        draw_icsp(p);
    } else {
        draw_socket(p);
        draw_chip(p, picture);
    }
    p.end();
    return pixmap;
}

} // namespace zz
