// The "Serial Number" dialog in the window: opened from the menu, typed into, and the numbers it
// sets programmed into chips on the virtual board; the production log item.
#include "files/hex_export.h"
#include "files/hex_import.h"
#include "gui/dialogs/inc_data_dialog.h"
#include "window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <fstream>

namespace zz::test {
namespace {

const QColor kSilver(192, 192, 192);

class IncDataDialogTest : public WindowFixture {
protected:
    void SetUp() override {
        start();
        desktop.messages.clear();
    }
    void TearDown() override {
        std::filesystem::remove(image);
        std::filesystem::remove(std::filesystem::path(image.string() + ".lock"));
        std::filesystem::remove(log);
    }

    IncDataDialog* dialog() const {
        return window->findChild<IncDataDialog*>(QStringLiteral("inc_form"));
    }
    QLineEdit* edit(const char* name) const {
        return dialog()->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    void tick(const char* name) {
        dialog()->findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    }
    void type(const char* field, const char* keys) {
        edit(field)->clear();
        QTest::keyClicks(edit(field), QString::fromLatin1(keys));
    }
    bool highlighted(int row, int column) const {
        return window->grid_model().index(row, column).data(Qt::BackgroundRole) ==
               QVariant(kSilver);
    }
    // Numbering for words 0x10-0x11 through the dialog.
    void number_words_10_11(bool save) {
        click("N21");
        ASSERT_NE(dialog(), nullptr);
        tick("CheckBox1");
        type("Edit1", "1g0"); // "g" is no hex digit
        type("Edit2", "11");
        if (save)
            tick("CheckBox4");
        tick("Button1");
    }
    void write_image() {
        Buffer b;
        b.clrbuffer(session->chip());
        b.set_cell_and_view(Area::rom, 0x10, "0005");
        b.set_cell_and_view(Area::rom, 0x11, "0000");
        export_hex_file(session->chip(), b, image);
        desktop.load_answer = image.string();
        click("Button1");
    }
    void program_fresh_chip() {
        board.insert_chip(VirtualChip(session->chip()));
        click("Button9");
        loop.run_for(200);
    }

    std::filesystem::path image = std::filesystem::path(ZZ_BINARY_DIR) / "gui-serial.hex";
    std::filesystem::path log = std::filesystem::path(ZZ_BINARY_DIR) / "gui-serial-log.csv";
};

TEST_F(IncDataDialogTest, OpensModelessOnceAndFreesItselfOnClose) {
    click("N21");
    QPointer<IncDataDialog> opened = dialog();
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(opened->isModal());
    EXPECT_EQ(opened->windowTitle(), "Serial Number");
    EXPECT_FALSE(opened->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(opened->findChild<QAbstractButton*>("Button2")->text(), "Calcel");
    click("N21"); // brings the open one forward
    EXPECT_EQ(window->findChildren<IncDataDialog*>().size(), 1);
    tick("Button2");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opened.isNull());
    EXPECT_FALSE(session->buffer.SerialNumberEnabled.get());
}

TEST_F(IncDataDialogTest, OkSetsTheSettingsAndTheGridMarksTheNumber) {
    EXPECT_FALSE(highlighted(3, 1));
    number_words_10_11(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(desktop.messages.empty()) << desktop.messages.front();
    EXPECT_TRUE(session->buffer.SerialNumberEnabled.get());
    EXPECT_EQ(session->serial_settings.get().inc_start_add, 0x10);
    EXPECT_EQ(session->serial_settings.get().inc_end_add, 0x11);
    EXPECT_TRUE(highlighted(3, 1)); // word 0x10: row 0x10 / 8 + 1, column 0x10 % 8 + 1
    EXPECT_TRUE(highlighted(3, 2));
    EXPECT_FALSE(highlighted(3, 3));
}

TEST_F(IncDataDialogTest, BadInputGetsItsMessageAndChangesNothing) {
    click("N21");
    tick("CheckBox1");
    type("Edit1", "20");
    type("Edit2", "1f");
    EXPECT_EQ(edit("Edit2")->text(), "1F");
    tick("Button1");
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0], "Auto increment end address can not be less than start address");
    EXPECT_EQ(desktop.captions[0], "Error");
    EXPECT_NE(dialog(), nullptr); // still open
    EXPECT_FALSE(session->buffer.SerialNumberEnabled.get());
    EXPECT_EQ(session->serial_settings.get(), SerialSettings{});
    EXPECT_FALSE(highlighted(5, 1));
}

TEST_F(IncDataDialogTest, ThreeChipsGetConsecutiveNumbersAndTheFileTheNext) {
    write_image();
    number_words_10_11(true);
    desktop.log_answer = log.string();
    click("N_prodlog");
    EXPECT_TRUE(action("N_prodlog")->isChecked());
    for (int n = 0; n < 3; ++n) {
        program_fresh_chip();
        EXPECT_EQ(board.chip()->rom().at(0x10), 5 + n) << n;
        EXPECT_EQ(board.chip()->rom().at(0x11), 0) << n;
    }
    Buffer saved;
    saved.clrbuffer(session->chip());
    read_image_file(session->chip(), saved, image);
    EXPECT_EQ(saved.cell(Area::rom, 0x10), "0008");
    EXPECT_EQ(window->grid_model().index(3, 1).data().toString(), "0008");

    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[3].find(",00000007,pass,"), std::string::npos) << lines[3];
    EXPECT_EQ(session->production_log_file, log.string());
}

} // namespace
} // namespace zz::test
