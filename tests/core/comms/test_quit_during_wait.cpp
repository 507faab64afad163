// A quit request that arrives while a request waits (for its reply, or for
// room to write its frame) ends the transaction with 0 and still ends the
// application's loop. In an executable of its own: once the application has
// been told to quit, no event loop of this process runs before the next
// QCoreApplication::exec().
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

class TestQuitDuringWait : public QObject {
    Q_OBJECT
private slots:
    void quitEndsWaitAndApplication();
    void quitEndsStalledWriteAndApplication();
};

void TestQuitDuringWait::quitEndsWaitAndApplication()
{
    SimPty peer;
    QVERIFY(peer.open());
    TVrexComms comms;
    comms.portName = peer.slavePath();
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

void TestQuitDuringWait::quitEndsStalledWriteAndApplication()
{
    SimPty peer; // never read: the frame does not fit on the line
    QVERIFY(peer.open());
    TVrexComms comms;
    comms.portName = peer.slavePath();
    QVERIFY(comms.OpenComm());
    TRxCondition set;
    const uint8_t ack = 0x06;
    set.PrepRxBuffAdd(1, &ack, 0, 0, nullptr, 0, 0, 1, 0);
    const QByteArray frame(65535, '\x5a');
    bool sent = true;
    int result = 99;
    QTimer::singleShot(0, [&] {
        comms.AttachCond(&set);
        comms.ClearFlags();
        QTimer::singleShot(200, [] { QCoreApplication::quit(); });
        sent = comms.SendCommData(reinterpret_cast<const uint8_t*>(frame.constData()), 65535, TVrexComms::kNoTimeLimit);
        result = comms.WaitForResult();
        comms.DetachCond();
    });
    QCoreApplication::exec();
    QVERIFY(!sent);
    QCOMPARE(result, 0);
    QVERIFY(comms.isOpen());
}

QTEST_GUILESS_MAIN(TestQuitDuringWait)
#include "test_quit_during_wait.moc"
