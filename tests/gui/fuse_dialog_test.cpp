// The "Edit Fuses" dialog in the window: opened by "Fuses" and the Option menu, showing the
// options the buffer's words select, writing the labels on OK and nothing on Cancel.
#include "gui/dialogs/fuse_dialog.h"
#include "window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace zz::test {
namespace {

class FuseDialogTest : public WindowFixture {
protected:
    void SetUp() override { start(); }

    // Clicks `opener` and hands the modal dialog it shows to `inspect`; the dialog is cancelled
    // unless `inspect` closed it. False when no dialog opened.
    bool with_dialog(const char* opener, const std::function<void(QDialog&)>& inspect) {
        bool opened = false;
        QTimer timer; // goes with this call, so it never fires into a later test
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                inspect(*dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
        timer.start(0);
        click(opener);
        return opened;
    }

    static QComboBox* box(QDialog& dialog, int list_number) {
        return dialog.findChild<QComboBox*>(QStringLiteral("ComboBox_LIST%1").arg(list_number));
    }
    static QPushButton* push(QDialog& dialog, const char* name) {
        return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    }
};

TEST_F(FuseDialogTest, FusesShowsTheCurrentOptionsAndOkWritesTheLabels) {
    session->buffer.lab_fuse(1) = "0x3F72";
    ASSERT_TRUE(with_dialog("Button3", [](QDialog& dialog) {
        EXPECT_EQ(box(dialog, 1)->currentText(), "HS");
        EXPECT_EQ(box(dialog, 2)->currentText(), "Off");
        EXPECT_FALSE(box(dialog, 2)->isEditable());
        box(dialog, 2)->setCurrentText("On");
        auto* id = dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"));
        id->clear();
        QTest::keyClicks(id, "12abz");
        EXPECT_EQ(id->text(), "12AB");
        push(dialog, "BitBtn1")->click();
    }));
    EXPECT_EQ(label("lab_fuse1")->text(), "0x3F76");
    EXPECT_EQ(label("lab_id1")->text(), "0x12ABFFFF");
    EXPECT_NE(label("lab_checksum")->text(), "Checksum 0xFFFF");
}

TEST_F(FuseDialogTest, TheMenuItemOpensItForPicsOnly) {
    EXPECT_TRUE(with_dialog("N19", [](QDialog&) {}));
    choose("ComboBox2", "I2C/SPI EEPROM");
    EXPECT_FALSE(button("Button3")->isEnabled());
    EXPECT_FALSE(action("N19")->isEnabled());
    EXPECT_FALSE(with_dialog("N19", [](QDialog&) {}));
}

TEST_F(FuseDialogTest, FortySixSettingsFitOnTheScreen) {
    choose("ComboBox1", "18F8722");
    FuseEditor editor(session->chip(), session->buffer);
    ASSERT_EQ(editor.settings().size(), 46u);
    FuseDialog dialog(editor, window.get());
    dialog.show();
    const QRect screen = dialog.screen()->availableGeometry();
    EXPECT_LE(dialog.frameGeometry().height(), screen.height());
    EXPECT_LE(dialog.width(), std::min(screen.width(), 1024));
}

} // namespace
} // namespace zz::test
