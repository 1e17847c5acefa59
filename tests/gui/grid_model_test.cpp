#include "device/chip_database.h"
#include "gui/buffer_grid_model.h"
#include "gui/buffer_grid_view.h"
#include "window_fixture.h"

#include <QAbstractItemModelTester>
#include <QColor>

namespace zz::test {
namespace {

ChipParams chip_named(const char* name) {
    return ChipDatabase(kDataDir).load(3, name, ChipParams{});
}

class GridModelTest : public ::testing::Test {
protected:
    Buffer buffer;
    BufferGridModel model{buffer};
    QAbstractItemModelTester tester{&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning};
};

TEST_F(GridModelTest, FollowsChipLayoutsAndCellChanges) {
    for (const char* name : {"16F877A", "16F57", "18F452", "24xx01"}) {
        SCOPED_TRACE(name);
        const ChipParams chip = chip_named(name);
        buffer.clrbuffer(chip);
        EXPECT_EQ(model.rowCount(), buffer_shape(chip).row_count());
        EXPECT_EQ(model.columnCount(), 19);
    }
    buffer.clrbuffer(chip_named("16F877A"));
    int changed_row = -1;
    QObject::connect(
        &model, &QAbstractItemModel::dataChanged,
        [&](const QModelIndex& from, const QModelIndex&) { changed_row = from.row(); });
    buffer.set_cell_and_view(Area::rom, 9, "1234");
    EXPECT_EQ(changed_row, 2);
    EXPECT_EQ(model.index(2, 2).data().toString(), "1234");
    EXPECT_FALSE(model.flags(model.index(2, 2)) & Qt::ItemIsEditable);
}

TEST_F(GridModelTest, HeaderCellsAreRed) {
    const ChipParams chip = chip_named("16F877A");
    buffer.clrbuffer(chip);
    const int eeprom_header = buffer.shape().eeprom_header_row();
    for (int column = 0; column < 19; ++column) {
        const bool header = column >= 1 && column <= 4;
        EXPECT_EQ(model.index(0, column).data(Qt::ForegroundRole).value<QColor>() == Qt::red,
                  header)
            << column;
        EXPECT_EQ(model.index(eeprom_header, column).data(Qt::ForegroundRole).value<QColor>() ==
                      Qt::red,
                  header)
            << column;
    }
    EXPECT_FALSE(model.index(1, 1).data(Qt::ForegroundRole).isValid());
}

TEST_F(GridModelTest, SerialNumberCellsAreBlueOnSilver) {
    buffer.clrbuffer(chip_named("16F877A"));
    model.set_serial_highlight({false, true, false, 5, 10});
    EXPECT_FALSE(model.index(1, 6).data(Qt::BackgroundRole).isValid());
    buffer.SerialNumberEnabled = true;
    EXPECT_EQ(model.index(1, 6).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
    EXPECT_EQ(model.index(1, 6).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_EQ(model.index(2, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_FALSE(model.index(2, 4).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(1, 14).data(Qt::BackgroundRole).isValid()); // printable view
}

TEST_F(GridModelTest, TheLargestChipIsOneModelOfItsFullSize) {
    const ChipParams chip = chip_named("24xx1024");
    ASSERT_GT(chip.ROMsize, 0);
    buffer.clrbuffer(chip);
    EXPECT_EQ(model.rowCount(), buffer_shape(chip).row_count());
    const int last = model.rowCount() - 1;
    EXPECT_FALSE(model.index(last, 1).data().toString().isEmpty());
}

TEST(GridView, ColumnWidthsFollowTheLayout) {
    Buffer buffer;
    BufferGridModel model(buffer);
    BufferGridView view;
    view.setModel(&model);
    ChipParams chip;
    const GridLayout layout = grid_layout(chip);
    view.apply_layout(layout);
    buffer.clrbuffer(chip); // a model reset keeps the widths
    for (int column = 0; column < 18; ++column)
        EXPECT_EQ(view.columnWidth(column), layout.column_widths[static_cast<std::size_t>(column)])
            << column;
    EXPECT_TRUE(view.isColumnHidden(18));
    EXPECT_EQ(view.rowHeight(0), 15);
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

} // namespace
} // namespace zz::test
