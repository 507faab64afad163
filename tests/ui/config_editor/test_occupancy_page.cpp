#include "PageFixture.h"
#include "test_config_editor.h"

#include "ui/common/TPictureComboBox.h"
#include "ui/config_editor/TLimitUpDown.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include <cstddef>

namespace {
const char* kItemBoxes[5]
    = {"occupied_run_enable_CheckBox", "occupied_mode_enable_CheckBox", "occupied_setpoint_enable_CheckBox",
       "occupied_fan_enable_CheckBox", "occupied_airdir_enable_CheckBox"};
const char* kLists[5] = {"occupied_run_ComboBox", "occupied_mode_ComboBox", "occupied_setpoint_ComboBox",
                         "occupied_fan_ComboBox", "occupied_airdir_ComboBox"};
} // namespace

void TestOccupancyPage::limitRules_data()
{
    // Presses of one control's arrow (+n up, -n down) from a shown record.
    QTest::addColumn<int>("storedMin");
    QTest::addColumn<int>("storedMax");
    QTest::addColumn<bool>("onMinimum");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("edit");

    QTest::newRow("minimum rises to 2 degrees below the maximum") << 100 << 290 << true << 25 << 270 << 290 << "27°C";
    QTest::newRow("maximum stays 2 degrees above the minimum") << 270 << 290 << false << -3 << 270 << 290 << "29°C";
    QTest::newRow("maximum falls to the minimum plus 2") << 150 << 290 << false << -20 << 150 << 170 << "17°C";
    QTest::newRow("minimum never below 10 degrees") << 100 << 290 << true << -1 << 100 << 290 << "10°C";
    QTest::newRow("maximum never above 29 degrees") << 100 << 290 << false << 1 << 100 << 290 << "29°C";
    QTest::newRow("one step") << 180 << 250 << true << 1 << 190 << 250 << "19°C";
    // Stored too close or crossed: a move that widens the gap is granted,
    // one that narrows it is not.
    QTest::newRow("too close: minimum down") << 200 << 200 << true << -2 << 180 << 200 << "18°C";
    QTest::newRow("too close: minimum up") << 200 << 200 << true << 1 << 200 << 200 << "20°C";
    QTest::newRow("too close: maximum up") << 200 << 210 << false << 1 << 200 << 220 << "22°C";
    QTest::newRow("too close: maximum down") << 200 << 210 << false << -1 << 200 << 210 << "21°C";
    QTest::newRow("crossed: minimum down into range") << 250 << 200 << true << -8 << 170 << 200 << "17°C";
    QTest::newRow("crossed: maximum up into range") << 250 << 200 << false << 8 << 250 << 280 << "28°C";
}

void TestOccupancyPage::limitRules()
{
    QFETCH(int, storedMin);
    QFETCH(int, storedMax);
    QFETCH(bool, onMinimum);
    QFETCH(int, presses);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QString, edit);
    PageFixture f;
    f.record.occupancy_strategy_enable = 1;
    f.record.unoccupied_min_temp = uint32_t(storedMin);
    f.record.unoccupied_max_temp = uint32_t(storedMax);
    f.show();
    auto* upDown = f.find<TLimitUpDown>(onMinimum ? "unoccupied_min_UpDown" : "unoccupied_max_UpDown");
    f.reveal(upDown);
    QToolButton* button = presses > 0 ? upDown->upButton() : upDown->downButton();

    for (int i = 0; i < qAbs(presses); ++i)
        QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(int(f.record.unoccupied_min_temp), min);
    QCOMPARE(int(f.record.unoccupied_max_temp), max);
    QCOMPARE(f.find<QLineEdit>(onMinimum ? "unoccupied_min_Edit" : "unoccupied_max_Edit")->text(), edit);
    QCOMPARE(f.changes > 0, (onMinimum ? min != storedMin : max != storedMax));
}

void TestOccupancyPage::strategyBoxesKeepTheOtherBits()
{
    PageFixture f;
    f.record.occupancy_strategy_enable = 0xFC;
    f.show();
    auto* group = f.find<QGroupBox>("unocc_strategy_GroupBox");
    QVERIFY(!group->isEnabled());
    QVERIFY(!f.find<QLineEdit>("unoccupied_min_Edit")->isEnabled());
    // Before the first change the edits read the new-project limits.
    QCOMPARE(f.find<QLineEdit>("unoccupied_min_Edit")->text(), QStringLiteral("10°C"));

    f.click("unoccupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(0xFD));
    QVERIFY(f.find<TLimitUpDown>("unoccupied_min_UpDown")->upButton()->isEnabled());
    f.click("occupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(0xFF));
    f.click("unoccupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(0xFE));
    QVERIFY(!group->isEnabled());
    f.click("occupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(0xFC));
}

void TestOccupancyPage::occupiedBoxRestoresListsFromTheirBoxes()
{
    PageFixture f;
    f.record.occupancy_strategy_enable = 2 | 4;
    const uint8_t settings[5] = {1, 0, 7, 0, 1};
    std::memcpy(f.record.occupied_settings_enable, settings, 5);
    f.show();
    for (int tag = 0; tag < 5; ++tag) {
        QCOMPARE(f.find<QCheckBox>(kItemBoxes[tag])->isChecked(), settings[tag] != 0);
        QCOMPARE(f.find(kLists[tag])->isEnabled(), settings[tag] != 0);
    }

    f.click("occupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(4));
    for (int tag = 0; tag < 5; ++tag) {
        QVERIFY(!f.find(kItemBoxes[tag])->isEnabled());
        QVERIFY(!f.find(kLists[tag])->isEnabled());
    }
    QVERIFY(std::memcmp(f.record.occupied_settings_enable, settings, 5) == 0);

    f.click("occupied_enable_CheckBox");
    QCOMPARE(f.record.occupancy_strategy_enable, uint8_t(6));
    const uint8_t rewritten[5] = {1, 0, 1, 0, 1};
    QVERIFY(std::memcmp(f.record.occupied_settings_enable, rewritten, 5) == 0);
    for (int tag = 0; tag < 5; ++tag) {
        QVERIFY(f.find(kItemBoxes[tag])->isEnabled());
        QCOMPARE(f.find(kLists[tag])->isEnabled(), settings[tag] != 0);
    }

    // An item box enables its own list and writes its entry.
    f.click("occupied_mode_enable_CheckBox");
    QCOMPARE(f.record.occupied_settings_enable[1], uint8_t(1));
    QVERIFY(f.find(kLists[1])->isEnabled());
}

void TestOccupancyPage::codesOutsideTheListsShowTheFirstItem_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    const int run = int(offsetof(TDevice_Config_v2, occupied_run));
    const int mode = int(offsetof(TDevice_Config_v2, occupied_mode));
    const int sp = int(offsetof(TDevice_Config_v2, occupied_setpoint));
    const int fan = int(offsetof(TDevice_Config_v2, occupied_fanspeed));
    const int ad = int(offsetof(TDevice_Config_v2, occupied_airdir));
    QTest::newRow("air direction Hold") << "occupied_airdir_ComboBox" << ad << 1 << 7 << "Horiz";
    QTest::newRow("air direction Swing") << "occupied_airdir_ComboBox" << ad << 1 << 1 << "Swing";
    QTest::newRow("setpoint 30.0") << "occupied_setpoint_ComboBox" << sp << 4 << 300 << "29";
    QTest::newRow("setpoint 15.0") << "occupied_setpoint_ComboBox" << sp << 4 << 150 << "18";
    QTest::newRow("setpoint far beyond") << "occupied_setpoint_ComboBox" << sp << 4 << 0x7FFFFFFF << "29";
    QTest::newRow("setpoint 21.5") << "occupied_setpoint_ComboBox" << sp << 4 << 215 << "21";
    QTest::newRow("mode 0") << "occupied_mode_ComboBox" << mode << 1 << 0 << "Cool";
    QTest::newRow("mode Heat") << "occupied_mode_ComboBox" << mode << 1 << 1 << "Heat";
    QTest::newRow("fan speed 9") << "occupied_fan_ComboBox" << fan << 1 << 9 << "Low";
    QTest::newRow("fan speed Auto") << "occupied_fan_ComboBox" << fan << 1 << 2 << "Auto";
    QTest::newRow("run 4") << "occupied_run_ComboBox" << run << 1 << 4 << "Off";
}

void TestOccupancyPage::codesOutsideTheListsShowTheFirstItem()
{
    QFETCH(QString, list);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    PageFixture f;
    f.record.occupancy_strategy_enable = 2;
    auto* field = reinterpret_cast<uint8_t*>(&f.record) + offset;
    std::memcpy(field, &stored, size_t(width));
    const TDevice_Config_v2 before = f.record;
    f.show();
    auto* combo = f.find<QComboBox>(qPrintable(list));
    QCOMPARE(combo->currentText(), shown);
    QVERIFY(sameBytes(f.record, before));
}

void TestOccupancyPage::pickingAnItemWritesItsCode_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("downPresses");
    QTest::addColumn<int>("code");
    QTest::newRow("run On") << "occupied_run_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_run)) << 1 << 1 << 1;
    QTest::newRow("mode Heat") << "occupied_mode_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_mode)) << 1 << 1
                               << 1;
    QTest::newRow("mode Dry") << "occupied_mode_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_mode)) << 1 << 3
                              << 4;
    QTest::newRow("setpoint 22") << "occupied_setpoint_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_setpoint))
                                 << 4 << 4 << 220;
    QTest::newRow("fan Medium") << "occupied_fan_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_fanspeed)) << 1
                                << 1 << 4;
    QTest::newRow("fan Auto") << "occupied_fan_ComboBox" << int(offsetof(TDevice_Config_v2, occupied_fanspeed)) << 1
                              << 3 << 2;
    QTest::newRow("air direction Vert") << "occupied_airdir_ComboBox"
                                        << int(offsetof(TDevice_Config_v2, occupied_airdir)) << 1 << 4 << 6;
    QTest::newRow("air direction Swing") << "occupied_airdir_ComboBox"
                                         << int(offsetof(TDevice_Config_v2, occupied_airdir)) << 1 << 5 << 1;
}

void TestOccupancyPage::pickingAnItemWritesItsCode()
{
    QFETCH(QString, list);
    QFETCH(int, offset);
    QFETCH(int, width);
    QFETCH(int, downPresses);
    QFETCH(int, code);
    PageFixture f;
    f.record.occupancy_strategy_enable = 2;
    f.record.occupied_run = 0;
    f.record.occupied_mode = 2; // Cool, the first item
    f.record.occupied_setpoint = 180;
    f.record.occupied_fanspeed = 5; // Low
    f.record.occupied_airdir = 2;   // Horiz
    f.show();
    auto* combo = f.find<QComboBox>(qPrintable(list));
    f.reveal(combo);
    combo->setFocus();
    for (int i = 0; i < downPresses; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    int stored = 0;
    std::memcpy(&stored, reinterpret_cast<uint8_t*>(&f.record) + offset, size_t(width));
    QCOMPARE(stored, code);
    QCOMPARE(f.changes, downPresses);
}

void TestOccupancyPage::pictureListsDropDownWideEnough_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("items");
    QTest::newRow("run, two items") << "occupied_run_ComboBox" << 2;
    QTest::newRow("mode, five items") << "occupied_mode_ComboBox" << 5;
    QTest::newRow("fan speed, four items") << "occupied_fan_ComboBox" << 4;
    QTest::newRow("air direction, six items") << "occupied_airdir_ComboBox" << 6;
}

void TestOccupancyPage::pictureListsDropDownWideEnough()
{
    QFETCH(QString, list);
    QFETCH(int, items);
    PageFixture f;
    f.record.occupancy_strategy_enable = 2;
    f.show();
    auto* combo = f.find<TPictureComboBox>(qPrintable(list));
    QCOMPARE(combo->count(), items);
    QCOMPARE(combo->maxVisibleItems(), 3);
    QCOMPARE(combo->view()->sizeHintForRow(0), 50);

    // As laid out the list is wide enough; narrowed, it opens wider.
    QCOMPARE(combo->dropDownWidth(), 0);
    combo->setFixedWidth(40);
    const int scrollBar = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    QCOMPARE(combo->dropDownWidth(), 58 + (items > 3 ? scrollBar : 0));
    combo->setMinimumWidth(0);
    combo->setMaximumWidth(QWIDGETSIZE_MAX);

    // Dropped down it shows three items, and scrolls to the others.
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    QCOMPARE(combo->view()->viewport()->height(), qMin(items, 3) * 50);
    QCOMPARE(combo->view()->verticalScrollBar()->maximum() > 0, items > 3);
    combo->hidePopup();

    // Items keep their texts for screen readers though the screen shows pictures.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(combo);
    QCOMPARE(iface->role(), QAccessible::ComboBox);
    QCOMPARE(iface->text(QAccessible::Name), combo->accessibleName());
    QVERIFY(iface->text(QAccessible::Name).startsWith("Occupied "));
    QCOMPARE(iface->text(QAccessible::Value), combo->itemText(combo->currentIndex()));
    QCOMPARE(iface->childCount(), items);
    for (int i = 0; i < items; ++i) {
        QCOMPARE(iface->child(i)->text(QAccessible::Name), combo->itemText(i));
        QCOMPARE(bool(iface->child(i)->state().selected), i == combo->currentIndex());
    }
}

void TestOccupancyPage::pictureListItemsCanBePickedByAssistiveTools()
{
    PageFixture f;
    f.record.occupancy_strategy_enable = 2;
    f.record.occupied_airdir = 7;
    f.show();
    auto* combo = f.find<TPictureComboBox>("occupied_airdir_ComboBox");
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(combo);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("Horiz"));
    QVERIFY(iface->child(0)->state().selected);

    QAccessibleInterface* vert = iface->child(4);
    QCOMPARE(vert->text(QAccessible::Name), QStringLiteral("Vert"));
    vert->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.record.occupied_airdir, uint8_t(6));
    QVERIFY(vert->state().selected);
    QVERIFY(!iface->child(0)->state().selected);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("Vert"));
    QCOMPARE(f.changes, 1);

    // A disabled list says so and takes no picks.
    f.click("occupied_airdir_enable_CheckBox");
    QVERIFY(vert->state().disabled);
    iface->child(5)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.record.occupied_airdir, uint8_t(6));
}
