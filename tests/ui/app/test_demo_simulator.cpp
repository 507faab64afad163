#include "test_ui.h"

#include "ui/app/TDemoSimulator.h"

#include <QFileInfo>
#include <QProcess>
#include <QtTest>

void TestDemoSimulator::missingSimulatorIsReported()
{
    QTemporaryDir empty;
    TDemoSimulator sim;
    QVERIFY(!sim.start(empty.path()));
    QVERIFY(sim.port().isEmpty());
    QVERIFY2(sim.errorText().contains(QStringLiteral("corvane-rc-sim")), qPrintable(sim.errorText()));
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
        QVERIFY2(sim.start(dir), qPrintable(sim.errorText()));
        port = sim.port();
        QVERIFY2(QFileInfo::exists(port), qPrintable(port));
    }
    // Once stopped, its pseudo-terminal is gone.
    QTRY_VERIFY(!QFileInfo::exists(port));
}
