#include "test_shell.h"

#include "ui/app/TActivityLogPanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

namespace {

// A panel on screen with room for a handful of rows, so scrolling is real.
struct ShownPanel {
    TActivityLogPanel panel;
    QTableWidget* grid;
    ShownPanel() : grid(panel.findChild<QTableWidget*>("activity_log_StringGrid"))
    {
        panel.resize(700, 160);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
    }
    bool lastRowVisible() const
    {
        const int last = grid->rowCount() - 1;
        return grid->rowViewportPosition(last) + grid->rowHeight(last) <= grid->viewport()->height()
            && grid->rowViewportPosition(last) >= 0;
    }
};

} // namespace

void TestActivityLog::gridLayout()
{
    TActivityLogPanel panel;
    auto* grid = panel.findChild<QTableWidget*>("activity_log_StringGrid");
    QVERIFY(grid);
    QVERIFY(panel.findChild<QLabel*>()->text() == "  Activity Log");
    QCOMPARE(grid->columnCount(), 4);
    QCOMPARE(grid->rowCount(), 0);
    const QStringList headers{"", "Date/Time", "Description", "Additional Info"};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(grid->horizontalHeaderItem(c)->text(), headers[c]);
    QCOMPARE(grid->columnWidth(0), 20);
    QCOMPARE(grid->columnWidth(1), 175);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(grid->showGrid());
}

void TestActivityLog::statusCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "!"
                       << "Invalid Image File";
    QTest::newRow("3") << 3 << "*"
                       << "Image List Full";
    QTest::newRow("4") << 4 << " "
                       << "Image Added Successfully";
    QTest::newRow("9") << 9 << "!"
                       << "Error retrieving configuration";
    QTest::newRow("12") << 12 << " "
                        << "Connected to R/C";
    QTest::newRow("21") << 21 << " "
                        << "Uploading data...";
    QTest::newRow("25") << 25 << "!"
                        << "Error during upgrade sequence";
    QTest::newRow("26") << 26 << "*"
                        << "Upload aborted";
    QTest::newRow("29") << 29 << " "
                        << "Connecting to R/C";
    QTest::newRow("below range") << -1 << "!"
                                 << "Unknown status code -1";
    QTest::newRow("above range") << 30 << "!"
                                 << "Unknown status code 30";
}

void TestActivityLog::statusCodes()
{
    QFETCH(int, code);
    QFETCH(QString, marker);
    QFETCH(QString, text);
    QCOMPARE(TActivityLogPanel::statusCodeMarker(code), marker);
    QCOMPARE(TActivityLogPanel::statusCodeText(code), text);
    // Every code has its own text and one of the three markers.
    QSet<QString> texts;
    for (int c = 0; c < TActivityLogPanel::kStatusCodeCount; ++c) {
        texts.insert(TActivityLogPanel::statusCodeText(c));
        QVERIFY(QStringList({" ", "*", "!"}).contains(TActivityLogPanel::statusCodeMarker(c)));
    }
    QCOMPARE(texts.size(), TActivityLogPanel::kStatusCodeCount);
}

void TestActivityLog::entryFillsItsColumns()
{
    TActivityLogPanel panel;
    QTableWidget* grid = panel.grid();
    panel.Log_Activity(5, "C:/projects/lobby.cvp");
    panel.Log_Activity(13);
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 0)->text(), QString(" "));
    QVERIFY(!grid->item(0, 1)->text().isEmpty());
    QCOMPARE(grid->item(0, 2)->text(), QString("Project Loaded"));
    QCOMPARE(grid->item(0, 3)->text(), QString("C:/projects/lobby.cvp"));
    QCOMPARE(grid->item(1, 2)->text(), QString("Comms link closed"));
    QCOMPARE(grid->item(1, 3)->text(), QString());
}

void TestActivityLog::columnsWidenButNeverShrink()
{
    TActivityLogPanel panel;
    QTableWidget* grid = panel.grid();
    const QString longInfo = QString("D:/a very long folder name/").repeated(8) + "project.cvp";
    panel.Log_Activity(6, longInfo);
    const int wide = grid->columnWidth(3);
    QCOMPARE(wide, grid->fontMetrics().horizontalAdvance(longInfo + "WW"));
    panel.Log_Activity(6, "x.cvp");
    QCOMPARE(grid->columnWidth(3), wide);
    // A short text never narrows the default width either.
    QCOMPARE(grid->columnWidth(1), qMax(175, grid->fontMetrics().horizontalAdvance(grid->item(0, 1)->text() + "WW")));
    QCOMPARE(grid->columnWidth(0), 20);
}

void TestActivityLog::columnsFillTheWidth()
{
    ShownPanel shown;
    QTableWidget* grid = shown.grid;
    auto total = [grid] {
        int sum = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            sum += grid->columnWidth(c);
        return sum;
    };
    // No empty strip at the right: the last column takes the rest.
    QTRY_COMPARE(total(), grid->viewport()->width());
    shown.panel.resize(900, 160);
    QTRY_COMPARE(total(), grid->viewport()->width());
    shown.panel.Log_Activity(5, QStringLiteral("C:/site.cvp"));
    QCOMPARE(total(), grid->viewport()->width());
    // A text longer than the room still widens its column, and a narrower
    // window does not cut it.
    const QString longInfo = QString("D:/a very long folder name/").repeated(8) + "project.cvp";
    shown.panel.Log_Activity(6, longInfo);
    const int needed = grid->fontMetrics().horizontalAdvance(longInfo + "WW");
    QCOMPARE(grid->columnWidth(3), needed);
    shown.panel.resize(600, 160);
    QTRY_COMPARE(grid->columnWidth(3), needed);
}

void TestActivityLog::viewFollowsOnlyWhenLastRowInView()
{
    ShownPanel s;
    for (int i = 0; i < 30; ++i)
        s.panel.Log_Activity(4, QString::number(i));
    QVERIFY(s.lastRowVisible());
    QCOMPARE(s.grid->currentRow(), 29);
    QVERIFY(s.grid->item(29, 2)->isSelected());

    // The user scrolls up: new entries leave the view alone.
    s.grid->verticalScrollBar()->setValue(3);
    s.panel.Log_Activity(11, "Ensure R/C is in Config mode!");
    s.panel.Log_Activity(4, "more");
    QCOMPARE(s.grid->verticalScrollBar()->value(), 3);
    QCOMPARE(s.grid->currentRow(), 29);
    QVERIFY(!s.lastRowVisible());

    // Back at the bottom, the view follows again.
    s.grid->scrollToBottom();
    s.panel.Log_Activity(7, "after");
    QVERIFY(s.lastRowVisible());
    QCOMPARE(s.grid->currentRow(), s.grid->rowCount() - 1);
}

void TestActivityLog::entriesWrittenBeforeShowingAreFollowed()
{
    TActivityLogPanel panel;
    panel.resize(700, 160);
    for (int i = 0; i < 40; ++i)
        panel.Log_Activity(4, QString::number(i));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.Log_Activity(27, "new.cvp");
    QTableWidget* grid = panel.grid();
    const int last = grid->rowCount() - 1;
    QCOMPARE(grid->currentRow(), last);
    QVERIFY(grid->rowViewportPosition(last) >= 0);
    QVERIFY(grid->rowViewportPosition(last) + grid->rowHeight(last) <= grid->viewport()->height());
}

void TestActivityLog::markerColoursFillColumnZero_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QColor>("fill");
    QTest::newRow("warning") << 26 << QColor(0xBA, 0xE1, 0xFF);
    QTest::newRow("error") << 14 << QColor(0xFF, 0x9A, 0x9A);
    QTest::newRow("information") << 27 << QColor();
}

void TestActivityLog::markerColoursFillColumnZero()
{
    QFETCH(int, code);
    QFETCH(QColor, fill);
    ShownPanel s;
    s.panel.Log_Activity(code, "x");
    s.panel.Log_Activity(4, "selected row below"); // keeps the tested row unselected
    const QImage shot = s.grid->viewport()->grab().toImage();
    const QRect cell = s.grid->visualRect(s.grid->model()->index(0, 0));
    const QColor corner = shot.pixelColor(cell.left() + 2, cell.top() + 2);
    if (fill.isValid()) {
        QCOMPARE(corner.rgb(), fill.rgb());
    } else {
        QVERIFY(corner.rgb() != QColor(0xBA, 0xE1, 0xFF).rgb());
        QVERIFY(corner.rgb() != QColor(0xFF, 0x9A, 0x9A).rgb());
    }
    // The marker column of a selected error entry keeps its colour too.
    if (fill.isValid()) {
        s.grid->selectRow(0);
        const QImage selected = s.grid->viewport()->grab().toImage();
        QCOMPARE(selected.pixelColor(cell.left() + 2, cell.top() + 2).rgb(), fill.rgb());
    }
}
