#include "test_ui.h"

#include "UiTestFixtures.h"

#include "ui/app/TWindowPlacement.h"

#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Each test keeps its placement in a file of its own, never in the user's
// settings.
std::unique_ptr<QSettings> settingsIn(const QTemporaryDir& dir)
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("placement.ini")), QSettings::IniFormat);
}

QSplitter* logSplitter(Tbmpgen_Form& f)
{
    return f.findChild<QSplitter*>(QStringLiteral("log_Splitter"));
}
} // namespace

void TestWindowPlacement::remembersSizePositionAndSplit()
{
    QTemporaryDir dir;
    QList<int> split;
    QRect placed;
    {
        TFormFixture fx;
        Tbmpgen_Form& f = fx.form();
        auto* placement = new TWindowPlacement(&f, logSplitter(f), settingsIn(dir));
        placement->restore();
        f.setGeometry(QRect(40, 50, 820, 640));
        QTRY_COMPARE(f.size(), QSize(820, 640));
        placed = f.geometry();
        logSplitter(f)->setSizes({380, 200});
        split = logSplitter(f)->sizes();
        QVERIFY(f.close());
    }
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    f.hide();
    auto* placement = new TWindowPlacement(&f, logSplitter(f), settingsIn(dir));
    placement->restore();
    f.show();
    QTRY_COMPARE(f.geometry(), placed);
    QTRY_COMPARE(logSplitter(f)->sizes(), split);
}

void TestWindowPlacement::firstStartFitsTheScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    // The window asks for 1024 x 720.
    QTest::newRow("large screen: asked size, centred") << QRect(0, 0, 1920, 1040) << QRect(448, 160, 1024, 720);
    QTest::newRow("1366 x 768 less a panel") << QRect(0, 0, 1366, 728) << QRect(171, 20, 1024, 688);
    QTest::newRow("1366 x 768 at scale 1.5") << QRect(0, 0, 910, 485) << QRect(20, 20, 870, 445);
    QTest::newRow("second screen to the right") << QRect(1920, 0, 1280, 1000) << QRect(2048, 140, 1024, 720);
}

void TestWindowPlacement::firstStartFitsTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    const QRect fitted = TWindowPlacement::fittingGeometry(QSize(1024, 720), available);
    QCOMPARE(fitted, expected);
    QVERIFY(available.contains(fitted));
}

void TestWindowPlacement::firstStartGivesTheLogAShare()
{
    // Nothing saved yet: a window that fits the screen, a fifth or so of it
    // for the log, never less than room for a few entries.
    QTemporaryDir dir;
    TFormFixture fx;
    Tbmpgen_Form& f = fx.form();
    f.hide();
    auto* placement = new TWindowPlacement(&f, logSplitter(f), settingsIn(dir));
    placement->restore();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QSize room = f.screen()->availableGeometry().size();
    QVERIFY(f.width() <= qMax(room.width(), f.minimumWidth()) && f.height() <= room.height());
    const int log = logSplitter(f)->sizes().at(1);
    QVERIFY2(log >= 96 && log <= qMax(96, f.height() / 4), qPrintable(QString::number(log)));
}
