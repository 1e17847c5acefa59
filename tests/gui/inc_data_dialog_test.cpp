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
    std::filesystem::path image = std::filesystem::path(ZZ_BINARY_DIR) / "gui-serial.hex";
    std::filesystem::path log = std::filesystem::path(ZZ_BINARY_DIR) / "gui-serial-log.csv";
};

TEST_F(IncDataDialogTest, OpensFromItsMenuAndOkChangesTheSettingsAndTheGrid) {
    click("N21");
    QPointer<IncDataDialog> opened = dialog();
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(opened->isModal());
    EXPECT_FALSE(opened->windowFlags() & Qt::WindowMaximizeButtonHint);
    click("N21"); // brings the open one forward
    EXPECT_EQ(window->findChildren<IncDataDialog*>().size(), 1);

    tick("CheckBox1");
    type("Edit1", "20");
    type("Edit2", "1f");
    EXPECT_EQ(edit("Edit2")->text(), "1F");
    tick("Button1");
    EXPECT_EQ(desktop.messages, std::vector<std::string>{inc_texts::kEndBelowStart});
    EXPECT_FALSE(session->buffer.SerialNumberEnabled.get());
    type("Edit1", "1g0"); // "g" is no hex digit
    type("Edit2", "11");
    tick("Button1");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opened.isNull());
    EXPECT_TRUE(session->buffer.SerialNumberEnabled.get());
    EXPECT_EQ(session->serial_settings.get().inc_start_add, 0x10);
    EXPECT_TRUE(highlighted(3, 1)); // word 0x10: row 0x10 / 8 + 1, column 0x10 % 8 + 1
    EXPECT_TRUE(highlighted(3, 2));
    EXPECT_FALSE(highlighted(3, 3));
}

TEST_F(IncDataDialogTest, ThreeChipsGetConsecutiveNumbersAndTheFileTheNext) {
    Buffer b;
    b.clrbuffer(session->chip());
    b.set_cell_and_view(Area::rom, 0x10, "0005");
    b.set_cell_and_view(Area::rom, 0x11, "0000");
    export_hex_file(session->chip(), b, image);
    desktop.load_answer = image.string();
    click("Button1");
    click("N21");
    tick("CheckBox1");
    type("Edit1", "10");
    type("Edit2", "11");
    tick("CheckBox4"); // "Save ..."
    tick("Button1");
    desktop.log_answer = "/nonexistent-folder/log.csv";
    click("N_prodlog");
    EXPECT_FALSE(action("N_prodlog")->isChecked()); // reported, and asked for again next time
    desktop.log_answer = log.string();
    click("N_prodlog");
    EXPECT_TRUE(action("N_prodlog")->isChecked());
    EXPECT_EQ(desktop.log_requests, 2);
    click("N35"); // "Auto Update Files": the saves must not reload the file over the buffer
    for (int n = 0; n < 3; ++n) {
        board.insert_chip(VirtualChip(session->chip()));
        click("Button9");
        loop.run_for(200);
        EXPECT_EQ(board.chip()->rom().at(0x10), 5 + n) << n;
        EXPECT_EQ(board.chip()->rom().at(0x11), 0) << n;
        const std::string mark = "100" + std::to_string(n); // not what was saved
        session->buffer.set_cell_and_view(Area::rom, 0, mark);
        loop.run_for(1500);
        EXPECT_EQ(session->buffer.cell(Area::rom, 0), mark) << n;
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
}

} // namespace
} // namespace zz::test
