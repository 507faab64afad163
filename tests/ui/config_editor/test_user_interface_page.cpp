#include "PageFixture.h"
#include "test_config_editor.h"

#include "ui/config_editor/TOptionGrid.h"

#include <QAccessible>
#include <QCheckBox>
#include <QtTest>

#include <cstddef>

namespace {
TOptionGrid* gridOf(PageFixture& f, const char* name)
{
    auto* grid = f.find<TOptionGrid>(name);
    f.reveal(grid);
    return grid;
}

void clickCell(TOptionGrid* grid, int cell)
{
    QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(cell).center());
}

// A point on the cell's rounded rectangle outside its picture: the fill
// colour says whether the option is drawn as selected.
QColor cellFill(TOptionGrid* grid, int cell)
{
    const QImage image = grid->grab().toImage();
    const QRect r = grid->cellRect(cell);
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(QPoint(int((r.right() - 9) * ratio), int(r.center().y() * ratio)));
}

const QColor kMoneyGreen(192, 220, 192);
const QColor kSilver(192, 192, 192);
} // namespace

void TestUserInterfacePage::clickFlipsTheOption_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("cell");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("afterClick");
    const int md = int(offsetof(TDevice_Config_v2, md_ctrl_enable));
    const int fs = int(offsetof(TDevice_Config_v2, fs_ctrl_enable));
    const int ad = int(offsetof(TDevice_Config_v2, ad_ctrl_enable));
    QTest::newRow("mode Dry on") << "mode_DrawGrid" << md << 3 << 0 << 1;
    QTest::newRow("mode Cool off") << "mode_DrawGrid" << md << 0 << 1 << 0;
    QTest::newRow("any other value counts as offered") << "mode_DrawGrid" << md << 4 << 9 << 0;
    QTest::newRow("fan Auto on") << "fanspeed_DrawGrid" << fs << 3 << 0 << 1;
    QTest::newRow("air direction Swing off") << "airdir_DrawGrid" << ad << 5 << 1 << 0;
    QTest::newRow("air direction Horiz on") << "airdir_DrawGrid" << ad << 0 << 0 << 1;
}

void TestUserInterfacePage::clickFlipsTheOption()
{
    QFETCH(QString, grid);
    QFETCH(int, offset);
    QFETCH(int, cell);
    QFETCH(int, stored);
    QFETCH(int, afterClick);
    PageFixture f;
    uint8_t* entries = reinterpret_cast<uint8_t*>(&f.record) + offset;
    entries[cell] = uint8_t(stored);
    const TDevice_Config_v2 before = f.record;
    f.show();
    TOptionGrid* g = gridOf(f, qPrintable(grid));
    QCOMPARE(cellFill(g, cell), stored ? kMoneyGreen : g->palette().color(QPalette::Base));

    clickCell(g, cell);
    QCOMPARE(int(entries[cell]), afterClick);
    QCOMPARE(cellFill(g, cell), afterClick ? kMoneyGreen : g->palette().color(QPalette::Base));
    QCOMPARE(f.changes, 1);
    // Nothing but the clicked entry moved.
    TDevice_Config_v2 expected = before;
    reinterpret_cast<uint8_t*>(&expected)[offset + cell] = uint8_t(afterClick);
    QVERIFY(sameBytes(f.record, expected));

    // A second click (a double click, so quickly) flips it back, once.
    clickCell(g, cell);
    QCOMPARE(int(entries[cell]), stored ? 1 : 0);
    QCOMPARE(f.changes, 2);
}

void TestUserInterfacePage::setpointCellsChooseTheDisplay()
{
    PageFixture f;
    f.record.show_setpoint_value = 0;
    f.show();
    TOptionGrid* g = gridOf(f, "sp_DrawGrid");
    QCOMPARE(g->cellCount(), 2);
    QCOMPARE(g->cellRect(1).width(), 130);

    clickCell(g, 0);
    QCOMPARE(f.record.show_setpoint_value, uint8_t(1));
    clickCell(g, 0);
    QCOMPARE(f.record.show_setpoint_value, uint8_t(1));
    QCOMPARE(cellFill(g, 0), kMoneyGreen);
    QCOMPARE(cellFill(g, 1), g->palette().color(QPalette::Base));

    clickCell(g, 1);
    QCOMPARE(f.record.show_setpoint_value, uint8_t(0));
    QCOMPARE(cellFill(g, 1), kMoneyGreen);
    QCOMPARE(f.changes, 3);
}

void TestUserInterfacePage::enableBoxFadesTheGridAndKeepsItsOptions()
{
    PageFixture f;
    const uint8_t options[7] = {1, 0, 1, 0, 1, 1, 0};
    std::memcpy(f.record.ad_ctrl_enable, options, 7);
    f.record.rc_ctrl_enable[3] = 1;
    f.show();
    TOptionGrid* g = gridOf(f, "airdir_DrawGrid");
    auto* box = f.find<QCheckBox>("ad_ui_CheckBox");
    QVERIFY(box->isChecked());
    QVERIFY(g->isEnabled());

    f.click("ad_ui_CheckBox");
    QCOMPARE(f.record.rc_ctrl_enable[3], uint8_t(0));
    QVERIFY(!g->isEnabled());
    QCOMPARE(cellFill(g, 0), kSilver);
    QCOMPARE(cellFill(g, 1), g->palette().color(QPalette::Button));
    QVERIFY(std::memcmp(f.record.ad_ctrl_enable, options, 7) == 0);
    // A disabled grid takes no clicks.
    clickCell(g, 1);
    QVERIFY(std::memcmp(f.record.ad_ctrl_enable, options, 7) == 0);

    f.click("ad_ui_CheckBox");
    QCOMPARE(f.record.rc_ctrl_enable[3], uint8_t(1));
    QVERIFY(g->isEnabled());
    QCOMPARE(cellFill(g, 0), kMoneyGreen);
    QCOMPARE(cellFill(g, 1), g->palette().color(QPalette::Base));
    QVERIFY(std::memcmp(f.record.ad_ctrl_enable, options, 7) == 0);
}

void TestUserInterfacePage::holdEntryNeverChanges()
{
    for (uint8_t hold : {uint8_t(0), uint8_t(3)}) {
        PageFixture f;
        f.record.ad_ctrl_enable[6] = hold;
        f.show();
        TOptionGrid* g = gridOf(f, "airdir_DrawGrid");
        QCOMPARE(g->cellCount(), 6);
        for (int cell = 0; cell < 6; ++cell)
            clickCell(g, cell);
        // Clicks beyond the last cell land nowhere.
        QTest::mouseClick(g, Qt::LeftButton, {}, QPoint(g->width() - 1, 5));
        g->setFocus();
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClick(g, Qt::Key_Space);
        f.click("ad_ui_CheckBox");
        f.click("ad_ui_CheckBox");
        QCOMPARE(f.record.ad_ctrl_enable[6], hold);
    }
}

void TestUserInterfacePage::keyboardMovesAndSelects()
{
    PageFixture f;
    std::memset(f.record.md_ctrl_enable, 0, 5);
    f.show();
    TOptionGrid* g = gridOf(f, "mode_DrawGrid");
    g->setFocus();
    QCOMPARE(g->currentCell(), 0);

    // Each move of the current cell selects the cell it reaches.
    QTest::keyClick(g, Qt::Key_Right);
    QTest::keyClick(g, Qt::Key_Right);
    QCOMPARE(g->currentCell(), 2);
    const uint8_t afterMoves[5] = {0, 1, 1, 0, 0};
    QVERIFY(std::memcmp(f.record.md_ctrl_enable, afterMoves, 5) == 0);

    QTest::keyClick(g, Qt::Key_Space);
    QCOMPARE(f.record.md_ctrl_enable[2], uint8_t(0));
    QTest::keyClick(g, Qt::Key_Left);
    QCOMPARE(f.record.md_ctrl_enable[1], uint8_t(0));
    // Against the end nothing moves and nothing flips.
    QTest::keyClick(g, Qt::Key_Home);
    QCOMPARE(f.record.md_ctrl_enable[0], uint8_t(1));
    QTest::keyClick(g, Qt::Key_Left);
    QCOMPARE(g->currentCell(), 0);
    QCOMPARE(f.record.md_ctrl_enable[0], uint8_t(1));
}

void TestUserInterfacePage::cellsAreVisibleToAssistiveTools()
{
    PageFixture f;
    const uint8_t fans[4] = {1, 0, 0, 1};
    std::memcpy(f.record.fs_ctrl_enable, fans, 4);
    f.show();
    TOptionGrid* g = gridOf(f, "fanspeed_DrawGrid");
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(g);
    QVERIFY(grid);
    QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Fan Speed options"));
    QCOMPARE(grid->childCount(), 4);
    const QStringList names{"Low", "Medium", "High", "Auto"};
    for (int i = 0; i < 4; ++i) {
        QAccessibleInterface* cell = grid->child(i);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), names[i]);
        QCOMPARE(cell->role(), QAccessible::CheckBox);
        QCOMPARE(bool(cell->state().checked), fans[i] != 0);
        QCOMPARE(grid->indexOfChild(cell), i);
        QCOMPARE(cell->parent(), grid);
    }

    // Pressing a cell does what a click does.
    QAccessibleActionInterface* action = grid->child(2)->actionInterface();
    QVERIFY(action);
    QVERIFY(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.record.fs_ctrl_enable[2], uint8_t(1));
    QVERIFY(grid->child(2)->state().checked);
    QCOMPARE(f.changes, 1);

    // The setpoint cells are a choice of one; a disabled grid says so.
    QAccessibleInterface* sp = QAccessible::queryAccessibleInterface(gridOf(f, "sp_DrawGrid"));
    QCOMPARE(sp->child(0)->role(), QAccessible::RadioButton);
    QCOMPARE(sp->child(0)->text(QAccessible::Name), QStringLiteral("Setpoint shown as a value"));
    f.click("fs_ui_CheckBox");
    QVERIFY(grid->child(0)->state().disabled);
    QCOMPARE(grid->childAt(g->mapToGlobal(g->cellRect(3).center()).x(), g->mapToGlobal(g->cellRect(3).center()).y()),
             grid->child(3));
}
