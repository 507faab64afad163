#include "test_ui.h"

#include "ui/app/TDemoSimulator.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

void TestDemoSimulator::missingSimulatorIsReported()
{
    QTemporaryDir empty;
    TDemoSimulator sim;
    QVERIFY(!sim.Start(empty.path()));
    QVERIFY(sim.Port().isEmpty());
    QVERIFY2(sim.Error_Text().contains(QStringLiteral("corvane-rc-sim")), qPrintable(sim.Error_Text()));
}

void TestDemoSimulator::startsAndStopsTheSimulator()
{
    // The simulator is built next to the tests.
    const QString dir = QCoreApplication::applicationDirPath();
    if (!QFileInfo(dir + QStringLiteral("/corvane-rc-sim")).isExecutable())
        QSKIP("corvane-rc-sim is not built");
    QString port;
    {
        TDemoSimulator sim;
        QVERIFY2(sim.Start(dir), qPrintable(sim.Error_Text()));
        port = sim.Port();
        QVERIFY2(QFileInfo::exists(port), qPrintable(port));
    }
    // Once stopped, its pseudo-terminal is gone.
    QTRY_VERIFY(!QFileInfo::exists(port));
}
