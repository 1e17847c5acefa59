#include "window_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace zz::test {
namespace {

struct Item {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
};

// Every menu item in menu order, with the menu that holds it.
const Item kItems[] = {
    {"N1", "N5", "&Load", "Ctrl+I"},
    {"N1", "N6", "&Save", "Ctrl+E"},
    {"N1", "N8", "&Exit", "Ctrl+Q"},
    {"N2", "N9", "&Program", "F1"},
    {"N2", "N10", "&Erase", "F7"},
    {"N2", "N11", "&Blank Check", "F8"},
    {"N2", "N12", "&Read", "Ctrl+R"},
    {"N2", "EEPROM1", "Program And Verify &EEPROM", "F4"},
    {"N2", "N13", "Program And Verify &ROM", "F3"},
    {"N2", "ID1", "Program And Verify &FUSE/ID", "F2"},
    {"N2", "N14", "&Verify", "F5"},
    {"N2", "N15", "&CALIB", "F6"},
    {"N3", "N30", "Select Programmer", ""},
    {"N30", "N_TYPE_310", "VO310Z2/DI310D2", ""},
    {"N30", "N_TYPE_320", "RA-320", ""},
    {"N30", "N_TYPE_330", "RO-ZUZ330", ""},
    {"N30", "KT3001", "VO300", ""},
    {"N3", "N16", "&Reset Programmer", "Ctrl+G"},
    {"N3", "N18", "&Turn Serial Off", ""},
    {"N3", "N29", "Auto &Find Board/Reconnect hardware", "Ctrl+F"},
    {"N3", "N22", "View Device &Position", "Ctrl+D"},
    {"N3", "N161", "&Edit Buffer", ""},
    {"N3", "N19", "&View/Edit Fuses And ID", ""},
    {"N3", "N31", "Mute", ""},
    {"N3", "UseVPPFirstProgramEntry1", "Use VPP First Program Entry", ""},
    {"N3", "N33", "Do not show dialog box after finish programmed", ""},
    {"N3", "N_chip_not", "Do not show chip position in chip selector", ""},
    {"N3", "N32", "Do not check chip type during program", ""},
    {"N3", "N_ICSP", "&ICSP Mode", ""},
    {"N3", "N20", "&Cal Program Options", ""},
    {"N20", "n_calchip", "&Preserve OSCCAL calibration value", ""},
    {"N20", "N_calfile", "&Use File", ""},
    {"N3", "N35", "Auto Update Files", ""},
    {"N3", "N21", "&Serial Number Options", ""},
    {"N3", "N_prodlog", "Production Log", ""},
    {"N3", "N_records", "Production Records...", ""},
    {"N3", "N_autoprog", "&Auto Program", "Ctrl+A"},
    {"N3", "chipinsockettime1", "Time Setting for Chip In Socket", ""},
    {"N3", "N23", "Download Operating System / Upgrade Firmware", ""},
    {"N4", "N24", "&Help", ""},
    {"N4", "N25", "&About", ""},
    {"N4", "N26", "&Protocol", ""},
};

class MenuTest : public WindowFixture {
protected:
    void SetUp() override { start(); }
};

TEST_F(MenuTest, TheFourMenusInOrder) {
    QStringList titles;
    for (QAction* a : window->menuBar()->actions())
        titles << a->objectName() + "=" + a->text();
    EXPECT_EQ(titles, QStringList({"N1=&File", "N2=&Program", "N3=&Option", "N4=&Help"}));
}

TEST_F(MenuTest, EveryItemWithItsCaptionShortcutAndMenu) {
    for (const Item& item : kItems) {
        SCOPED_TRACE(item.name);
        QAction* a = action(item.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text().toStdString(), item.caption);
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(item.shortcut)));
        auto* menu = window->findChild<QMenu*>(QString::fromLatin1(item.menu));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().contains(a));
    }
}

TEST_F(MenuTest, SeparatorsWhereTheMenusHaveThem) {
    for (const char* name : {"N7", "N17", "N27", "N28"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(action(name), nullptr);
        EXPECT_TRUE(action(name)->isSeparator());
    }
    // The Option menu: separators after "Auto Find", after "View/Edit Fuses And ID" and before
    // the firmware download.
    QStringList names;
    for (QAction* a : window->findChild<QMenu*>("N3")->actions())
        names << a->objectName();
    EXPECT_EQ(names.indexOf("N17"), names.indexOf("N29") + 1);
    EXPECT_EQ(names.indexOf("N27"), names.indexOf("N19") + 1);
    EXPECT_EQ(names.indexOf("N28") + 1, names.indexOf("N23"));
}

TEST_F(MenuTest, ButtonsAndCheckBoxesWithTheirCaptions) {
    const std::pair<const char*, const char*> captions[] = {
        {"Button1", "Load"},
        {"Button2", "Save"},
        {"Button3", "Fuses"},
        {"Button4", "CALIB"},
        {"Button5", "Program"},
        {"Button6", "Calc Checksum"},
        {"Button7", "Reset"},
        {"Button8", "Pset"},
        {"Button9", "Program"},
        {"Button10", "Auto Program"},
        {"CheckBox_blank", "Blank"},
        {"CheckBox_erase", "Erase"},
        {"CheckBox_wr_ee", "Program And Verify EEPROM"},
        {"CheckBox_wr_rom", "Program And Verify ROM"},
        {"n36", "Write finish again verify once "},
        {"CheckBox_wr_id", "Program And Verify FUSE/ID"},
    };
    for (const auto& [name, caption] : captions) {
        SCOPED_TRACE(name);
        ASSERT_NE(button(name), nullptr);
        EXPECT_EQ(button(name)->text().toStdString(), caption);
    }
    for (int n = 1; n <= 8; ++n) {
        const std::string name = "SpeedButton" + std::to_string(n);
        ASSERT_NE(button(name.c_str()), nullptr) << name;
        EXPECT_FALSE(button(name.c_str())->icon().isNull()) << name;
    }
}

TEST_F(MenuTest, TheOtherControlsByName) {
    for (const char* name :
         {"Panel1",      "Panel2",    "Panel3",    "Panel4",       "Panel5",  "Panel6",
          "Panel7",      "Panel8",    "Panel9",    "Panel10",      "Panel11", "StringGrid1",
          "cmbbxcomnum", "ComboBox1", "ComboBox2", "Label4",       "Label5",  "Label10",
          "Label11",     "Label12",   "Label17",   "ProgressBar1", "Image1",  "lab_checksum",
          "lab_fuse",    "lab_id1",   "lab_cal",   "lab_band",     "Lab_aim", "lab_pass",
          "lab_error"})
        EXPECT_NE(widget(name), nullptr) << name;
    for (int n = 1; n <= 7; ++n)
        EXPECT_NE(label(("lab_fuse" + std::to_string(n)).c_str()), nullptr) << n;
    auto* family = window->findChild<QComboBox*>("ComboBox2");
    QStringList items;
    for (int i = 0; i < family->count(); ++i)
        items << family->itemText(i);
    EXPECT_EQ(items, QStringList({"PIC 12bit MCU", "PIC 14bit MCU", "PIC 16bit MCU",
                                  "I2C/SPI EEPROM", "All Chip"}));
    EXPECT_EQ(label("Label12")->text(),
              "Tip:  When programmer is abnormal,select menu [Option]->[Download operating "
              "System],mosr of problems can be solved.");
}

} // namespace
} // namespace zz::test
