#include "gui/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zz {

namespace {

constexpr int kSize = 22; // pixels

// A 16-pin DIP package seen from above, the common ground of the chip commands.
void chip(QPainter& p) {
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(2, 6 + 3 * i, 5, 6 + 3 * i);
        p.drawLine(13, 6 + 3 * i, 16, 6 + 3 * i);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(5, 3, 8, 16), 1, 1);
    p.setBrush(QColor(110, 110, 115));
    p.drawEllipse(QRectF(7.5, 4.5, 3, 3));
}

void folder(QPainter& p) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(235, 190, 70));
    p.drawRect(QRectF(2.5, 5.5, 15, 12));
    p.drawRect(QRectF(2.5, 3.5, 6, 2));
    QPainterPath open;
    open.moveTo(4.5, 9.5);
    open.lineTo(20.5, 9.5);
    open.lineTo(17.5, 17.5);
    open.lineTo(2.5, 17.5);
    open.closeSubpath();
    p.setBrush(QColor(250, 215, 110));
    p.drawPath(open);
}

void floppy(QPainter& p) {
    p.setPen(QPen(QColor(20, 50, 110), 1));
    p.setBrush(QColor(50, 95, 170));
    p.drawRect(QRectF(3.5, 2.5, 15, 16));
    p.setBrush(QColor(225, 230, 240));
    p.drawRect(QRectF(6.5, 2.5, 9, 6));
    p.setBrush(QColor(245, 245, 245));
    p.drawRect(QRectF(6.5, 11.5, 9, 7));
    p.setBrush(QColor(50, 95, 170));
    p.drawRect(QRectF(12.5, 3.5, 2, 4));
}

void sheet_and_pencil(QPainter& p) {
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 14, 17));
    p.setPen(QPen(QColor(170, 170, 200), 1));
    for (int y = 6; y < 19; y += 3)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(14.5, y + 0.5));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(240, 180, 40));
    QPainterPath pencil;
    pencil.moveTo(19.5, 6.5);
    pencil.lineTo(21.5, 8.5);
    pencil.lineTo(12.5, 17.5);
    pencil.lineTo(9.5, 18.5);
    pencil.lineTo(10.5, 15.5);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void cross(QPainter& p) {
    p.setPen(QPen(QColor(210, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 11), QPointF(20, 19));
    p.drawLine(QPointF(20, 11), QPointF(12, 19));
}

void magnifier(QPainter& p) {
    p.setPen(QPen(QColor(30, 90, 170), 2));
    p.setBrush(QColor(220, 235, 255, 200));
    p.drawEllipse(QRectF(11, 9, 7, 7));
    p.setPen(QPen(QColor(30, 90, 170), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 15), QPointF(20.5, 18.5));
}

// An arrow between the top edge and the chip: into it (program) or out of it (read).
void arrow(QPainter& p, bool down, QColor colour) {
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(colour);
    QPainterPath path;
    const double tip = down ? 20.5 : 9.5;
    const double base = down ? 15.5 : 14.5;
    const double tail = down ? 9.5 : 20.5;
    path.moveTo(16.5, tip);
    path.lineTo(21.5, base);
    path.lineTo(18.5, base);
    path.lineTo(18.5, tail);
    path.lineTo(14.5, tail);
    path.lineTo(14.5, base);
    path.lineTo(11.5, base);
    path.closeSubpath();
    p.drawPath(path);
}

void tick(QPainter& p) {
    p.setPen(QPen(QColor(20, 150, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(11, 15), QPointF(14.5, 19), QPointF(21, 10)}));
}

void paint(QPainter& p, ToolIcon icon) {
    switch (icon) {
    case ToolIcon::Load:
        return folder(p);
    case ToolIcon::Save:
        return floppy(p);
    case ToolIcon::EditBuffer:
        return sheet_and_pencil(p);
    case ToolIcon::Erase:
        chip(p);
        return cross(p);
    case ToolIcon::BlankCheck:
        chip(p);
        return magnifier(p);
    case ToolIcon::Program:
        chip(p);
        return arrow(p, true, QColor(220, 60, 40));
    case ToolIcon::Verify:
        chip(p);
        return tick(p);
    case ToolIcon::Read:
        chip(p);
        return arrow(p, false, QColor(40, 110, 210));
    }
}

} // namespace

QIcon toolbar_icon(ToolIcon icon) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, icon);
    painter.end();
    return QIcon(pixmap);
}

} // namespace zz
