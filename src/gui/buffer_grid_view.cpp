#include "gui/buffer_grid_view.h"

#include <QHeaderView>

namespace zz {

BufferGridView::BufferGridView(QWidget* parent) : QTableView(parent) {
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    setFont(font);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(GridLayout::kRowHeight);
    horizontalHeader()->setMinimumSectionSize(0);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTextElideMode(Qt::ElideNone);
    apply_layout(grid_layout(ChipParams{}));
}

void BufferGridView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::modelReset, this, &BufferGridView::reapply_layout);
    reapply_layout();
}

void BufferGridView::apply_layout(const GridLayout& layout) {
    layout_ = layout;
    reapply_layout();
}

void BufferGridView::reapply_layout() {
    const GridLayout& layout = layout_;
    for (int column = 0; column < GridLayout::kColumnCount; ++column) {
        const int width = layout.column_widths[static_cast<std::size_t>(column)];
        setColumnHidden(column, width == 0);
        if (width > 0)
            horizontalHeader()->resizeSection(column, width);
    }
}

} // namespace zz
