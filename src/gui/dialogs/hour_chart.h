#pragma once

#include "dialogs/records/records_view_model.h"

#include <QWidget>

namespace zz {

// Today's chips hour by hour: one bar per hour, its passed part green below its failed part
// red, scaled to the busiest hour; the hours marked every three.
class HourChart : public QWidget {
    Q_OBJECT
public:
    HourChart(const RecordsViewModel& view, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RecordsViewModel& view_;
};

} // namespace zz
