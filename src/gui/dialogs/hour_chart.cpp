#include "gui/dialogs/hour_chart.h"

#include <QPainter>

namespace zz {

namespace {

constexpr int kMargin = 6;
constexpr int kLegendWidth = 70; // room on the right for the legend (px)
const QColor kPassed(0x2E, 0x8B, 0x3A);
const QColor kFailed(0xC6, 0x28, 0x28);

void legend(QPainter& p, int x, int y, const QColor& color, const QString& text) {
    p.fillRect(x, y, 10, 10, color);
    p.setPen(Qt::black);
    p.drawText(x + 14, y + 9, text);
}

} // namespace

HourChart::HourChart(const RecordsViewModel& view, QWidget* parent)
    : QWidget(parent), view_(view) {}

void HourChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int label_height = fontMetrics().height();
    const int base = height() - kMargin - label_height; // the bars stand on this line
    const int top = kMargin;
    const int slot = (width() - 2 * kMargin - kLegendWidth) / 24;
    const auto bars = view_.bars(base - top);
    p.setPen(Qt::gray);
    p.drawLine(kMargin, base, kMargin + 24 * slot, base);
    for (int hour = 0; hour < 24; ++hour) {
        const auto& bar = bars[static_cast<std::size_t>(hour)];
        const int x = kMargin + hour * slot + 1;
        const int w = std::max(1, slot - 2);
        p.fillRect(x, base - bar.passed, w, bar.passed, kPassed);
        p.fillRect(x, base - bar.passed - bar.failed, w, bar.failed, kFailed);
        if (hour % 3 == 0) {
            p.setPen(Qt::black);
            p.drawText(QRect(x - slot, base + 1, 3 * slot, label_height), Qt::AlignHCenter,
                       QString::number(hour));
        }
    }
    const int legend_x = kMargin + 24 * slot + 10;
    legend(p, legend_x, top, kPassed, QStringLiteral("passed"));
    legend(p, legend_x, top + label_height + 2, kFailed, QStringLiteral("failed"));
}

} // namespace zz
