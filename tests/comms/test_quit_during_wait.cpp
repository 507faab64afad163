// A quit request that arrives while a request waits ends the wait with 0 and
// still ends the application's loop. In an executable of its own: once the
// application has been told to quit, no later event loop of this process runs.
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

class TestQuitDuringWait : public QObject {
    Q_OBJECT
private slots:
    void quitEndsWaitAndApplication();
};

void TestQuitDuringWait::quitEndsWaitAndApplication()
{
    SimPty peer;
    QVERIFY(peer.open());
    TVrexComms comms;
    comms.PortName = peer.slavePath();
    QVERIFY(comms.OpenComm());
    TRxCondition set;
    const uint8_t ack = 0x06;
    set.PrepRxBuffAdd(1, &ack, 0, 0, nullptr, 0, 0, 1, 0);
    int result = 99;
    bool waitReturned = false;
    QTimer::singleShot(0, [&] {
        comms.AttachCond(&set);
        comms.ClearFlags();
        comms.SendCommData(nullptr, 0, TVrexComms::kNoTimeLimit);
        QTimer::singleShot(200, [] { QCoreApplication::quit(); });
        result = comms.WaitForResult();
        waitReturned = true;
        comms.DetachCond();
    });
    QCoreApplication::exec();
    QVERIFY(waitReturned);
    QCOMPARE(result, 0);
    QCOMPARE(comms.RxResult(), 0);
    QVERIFY(comms.isOpen());
}

QTEST_GUILESS_MAIN(TestQuitDuringWait)
#include "test_quit_during_wait.moc"
