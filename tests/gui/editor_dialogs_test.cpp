// The calibration and buffer edit dialogs, opened from their buttons and menu items as a person
// does, on the virtual board.
#include "gui/dialogs/edit_grid_model.h"
#include "window_fixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

namespace zz::test {
namespace {

class EditorDialogsTest : public WindowFixture {
protected:
    void SetUp() override { start(); }

    // Selects the chip in the window, with one of its kind in the socket.
    void use_chip(const char* family, const char* name, ChipFacts facts = {}) {
        board.insert_chip(VirtualChip(ChipDatabase(kDataDir).load(3, name, ChipParams{}), facts));
        choose("ComboBox2", family);
        choose("ComboBox1", name);
    }

    // Clicks `opener`; `inside` runs on the modal dialog it shows, which is then cancelled unless
    // `inside` closed it. The dialog's object name, or empty when none showed.
    QString with_dialog(const char* opener, const std::function<void(QDialog&)>& inside) {
        QString shown;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = dialog->objectName();
            inside(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        timer.start(0);
        click(opener);
        QCoreApplication::processEvents(); // no dialog: the timer finds none
        return shown;
    }

    template <class W> static W* child(QDialog& dialog, const char* name) {
        W* widget = dialog.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QString text(QDialog& dialog, const char* edit) {
        return child<QLineEdit>(dialog, edit)->text();
    }
    static void press(QDialog& dialog, const char* name) {
        child<QPushButton>(dialog, name)->click();
    }
    QString shown_text(const char* name) const { return label(name)->text(); }
};

TEST_F(EditorDialogsTest, CalibShowsTheChipsValuesAfterReadAndWritesThemOnOk) {
    use_chip("PIC 14bit MCU", "12F629", ChipFacts{.osccal = 0x54, .bandgap = 2});
    ASSERT_TRUE(button("Button4")->isEnabled());
    ASSERT_EQ(shown_text("lab_fuse1"), "0x3FFF");
    board.clear_trace();
    const QString name = with_dialog("Button4", [&](QDialog& d) {
        EXPECT_EQ(child<QLabel>(d, "Label2")->text(), "34");
        EXPECT_EQ(text(d, "Edit1"), "");
        EXPECT_EQ(text(d, "Edit2"), "11");
        EXPECT_TRUE(child<QLineEdit>(d, "Edit2")->isEnabled());
        press(d, "READ");
        EXPECT_EQ(text(d, "Edit1"), "54");
        EXPECT_EQ(text(d, "Edit2"), "10");
        press(d, "OK");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(name, "cal_form");
    EXPECT_EQ(session->buffer.cell(Area::rom, 1023), "3454");
    EXPECT_EQ(shown_text("lab_cal"), "OSCCAL   0x3454");
    EXPECT_EQ(shown_text("lab_band"), "BandGap  10");
    EXPECT_EQ(shown_text("lab_fuse1"), "0x2FFF"); // the BandGap digit on top
    EXPECT_EQ(board.commands().back(), "01");     // the handshake restarts after the dialog
    loop.run_for(500);
    EXPECT_EQ(status(), "Ready");
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(EditorDialogsTest, CalibMenuItemOpensTheDialogAndCancelChangesNothing) {
    EXPECT_FALSE(action("N15")->isEnabled()); // 16F877A keeps no calibration word
    EXPECT_FALSE(button("Button4")->isEnabled());
    use_chip("PIC 12bit MCU", "10F200");
    ASSERT_TRUE(action("N15")->isEnabled());
    const QString before = shown_text("lab_cal");
    const QString name = with_dialog("N15", [&](QDialog& d) {
        EXPECT_EQ(child<QLabel>(d, "Label2")->text(), "0C");
        EXPECT_FALSE(child<QLineEdit>(d, "Edit2")->isEnabled());
        QLineEdit* osccal = child<QLineEdit>(d, "Edit1");
        QTest::keyClicks(osccal, "4gx5b");
        EXPECT_EQ(osccal->text(), "45");
        press(d, "Cancel");
    });
    EXPECT_EQ(name, "cal_form");
    EXPECT_EQ(session->buffer.cell(Area::rom, 255), "0FFF");
    EXPECT_EQ(shown_text("lab_cal"), before);
}

TEST_F(EditorDialogsTest, EditBufferEditsACellAndFillsARowOnOk) {
    const QString name = with_dialog("SpeedButton3", [&](QDialog& d) {
        auto* rom = child<QTableView>(d, "StringGrid1");
        EXPECT_EQ(rom->height(), 160);
        EXPECT_EQ(child<QTableView>(d, "StringGrid2")->height(), 113);
        EXPECT_TRUE(child<QGroupBox>(d, "GroupBox2")->isVisibleTo(&d));
        EXPECT_EQ(rom->model()->rowCount(), 1024);
        rom->setCurrentIndex(rom->model()->index(1, 2));
        QTest::keyClicks(rom, "12ab");
        EXPECT_EQ(rom->model()->index(1, 2).data().toString(), "12AB");
        QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "0");
        QTest::keyClicks(child<QLineEdit>(d, "Edit2"), "7");
        QTest::keyClicks(child<QLineEdit>(d, "Edit3"), "00z00");
        press(d, "Button1");
        EXPECT_EQ(rom->model()->index(0, 8).data().toString(), "0000");
        press(d, "BitBtn1");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(name, "edit_form");
    const Buffer& b = session->buffer;
    EXPECT_EQ(b.cell(Area::rom, 7), "0000");
    EXPECT_EQ(b.cell(Area::rom, 8), "3FFF");
    EXPECT_EQ(b.cell(Area::rom, 9), "12AB");
    EXPECT_NE(shown_text("lab_checksum"), "Checksum 0x3FFF"); // recomputed
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(EditorDialogsTest, EditMenuItemOnAChipWithoutEepromAndAFillRefused) {
    use_chip("PIC 12bit MCU", "10F200");
    const QString name = with_dialog("N161", [&](QDialog& d) {
        EXPECT_EQ(child<QTableView>(d, "StringGrid1")->height(), 260);
        auto* eeprom = child<QTableView>(d, "StringGrid2");
        EXPECT_EQ(eeprom->height(), 0);
        EXPECT_FALSE(eeprom->isEnabled());
        EXPECT_FALSE(child<QGroupBox>(d, "GroupBox2")->isVisibleTo(&d));
        QTest::keyClicks(child<QLineEdit>(d, "Edit1"), "100");
        QTest::keyClicks(child<QLineEdit>(d, "Edit2"), "100");
        QTest::keyClicks(child<QLineEdit>(d, "Edit3"), "0000");
        press(d, "Button1");
        press(d, "BitBtn2");
    });
    EXPECT_EQ(name, "edit_form");
    EXPECT_EQ(desktop.messages,
              std::vector<std::string>{"Start address cannot exceed chips rom size"});
    EXPECT_EQ(session->buffer.cell(Area::rom, 0), "0FFF");
}

TEST_F(EditorDialogsTest, NoDialogWhileBusy) {
    session->link().Busy = true;
    EXPECT_EQ(with_dialog("SpeedButton3", [](QDialog&) {}), "");
    session->link().Busy = false;
}

TEST(EditGridModelTest, AnswersAsATableModelShould) {
    Buffer buffer;
    ChipParams chip = ChipDatabase(kDataDir).load(3, "16F877A", ChipParams{});
    buffer.clrbuffer(chip);
    EditGrid grid(buffer, Area::rom, 1024, 4);
    EditGridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.columnCount(), 9);
    EXPECT_EQ(model.index(1, 0).data().toString(), "0008:");
    EXPECT_FALSE(model.flags(model.index(1, 0)) & Qt::ItemIsSelectable);
    EXPECT_TRUE(model.flags(model.index(1, 1)) & Qt::ItemIsSelectable);
    EXPECT_EQ(model.index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);

    QList<QModelIndex> changed;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex&) { changed.push_back(from); });
    EXPECT_FALSE(model.select(model.index(3, 0)));
    model.key('1');
    EXPECT_TRUE(changed.isEmpty());
    EXPECT_TRUE(model.select(model.index(3, 5)));
    model.key('1');
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0], model.index(3, 5));
    EXPECT_EQ(changed[0].data().toString(), "1");
    model.cells_changed();
    EXPECT_EQ(changed.size(), 2);
}

} // namespace
} // namespace zz::test
