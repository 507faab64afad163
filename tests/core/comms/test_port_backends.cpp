// What every serial backend promises, checked on the one the environment
// picks (this executable runs once per backend) and, where two handles meet,
// on both at once.
#include "EventWait.h"
#include "test_comms.h"

#include "core/comms/SerialBackend.h"
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Sets a variable for one test and puts the previous value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// Runs f with the rights of an ordinary user when the test runs as root (who
// may open anything), with the test's own rights otherwise.
template <typename F> void asOrdinaryUser(F&& f)
{
    const bool root = ::geteuid() == 0;
    if (root)
        QVERIFY(::seteuid(65534) == 0); // nobody
    f();
    if (root)
        QVERIFY(::seteuid(0) == 0);
}

void armAckWait(TVrexComms& comms, TRxCondition& set, uint16_t timeout)
{
    const uint8_t ack = 0x06;
    set.PrepRxBuffAdd(1, &ack, 0, 0, nullptr, 0, 0, 1, 0);
    comms.AttachCond(&set);
    comms.ClearFlags();
    QVERIFY(comms.SendCommData(reinterpret_cast<const uint8_t*>("\x01"), 1, timeout));
}
} // namespace

void TestPortBackends::unknownBackendIsRefusedByName()
{
    const ScopedEnv env(kSerialBackendVariable, "serialx");
    QString error;
    QVERIFY(!serialBackendFromEnvironment(&error));
    QVERIFY2(error.contains(QStringLiteral("CORVANE_SERIAL_BACKEND=serialx")), qPrintable(error));
    QVERIFY(!error.contains('\n'));
    SimPty peer;
    QVERIFY(peer.open());
    TVrexComms comms;
    comms.portName = peer.slavePath();
    QVERIFY(!comms.OpenComm());
    QCOMPARE(comms.lastOpenError(), error);
    QVERIFY(!comms.isOpen());
}

void TestPortBackends::openIsExclusiveAcrossBackends_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    constexpr int posix = int(TSerialBackend::Posix);
    constexpr int qt = int(TSerialBackend::Qt);
    QTest::newRow("posix holds, qt asks") << posix << qt;
    QTest::newRow("qt holds, posix asks") << qt << posix;
    QTest::newRow("qt holds, qt asks") << qt << qt;
}

void TestPortBackends::openIsExclusiveAcrossBackends()
{
    // A configurator and a script may use different backends on one adapter.
    QFETCH(int, first);
    QFETCH(int, second);
    SimPty peer;
    QVERIFY(peer.open());
    const auto holder = makeSerialPortHandle(TSerialBackend(first));
    const auto other = makeSerialPortHandle(TSerialBackend(second));
    QVERIFY(holder->open(peer.slavePath()));
    QVERIFY(!other->open(peer.slavePath()));
    QCOMPARE(other->lastFailure(), TPortOpenFailure::Busy);
    holder->close();
    QVERIFY(other->open(peer.slavePath()));
}

void TestPortBackends::permissionDeniedSaysTheFix()
{
    SimPty peer;
    QVERIFY(peer.open());
    const QByteArray path = peer.slavePath().toLocal8Bit();
    QVERIFY(::chmod(path.constData(), 0) == 0);
    TVrexComms comms;
    comms.portName = peer.slavePath();
    bool opened = true;
    asOrdinaryUser([&] { opened = comms.OpenComm(); });
    QVERIFY(!opened);
    QCOMPARE(comms.lastOpenFailure(), TPortOpenFailure::PermissionDenied);
    QCOMPARE(portOpenFailureText(comms.lastOpenFailure(), peer.slavePath()),
             peer.slavePath() + QStringLiteral(": permission denied"));
    // Mode 0 gives no group anything: joining one would not help.
    QVERIFY(portOpenFailureFix(comms.lastOpenFailure(), peer.slavePath()).contains(QLatin1String(kPortAccessRule)));
}

void TestPortBackends::vanishedPortEndsTransaction_data()
{
    QTest::addColumn<int>("timeout");
    QTest::addColumn<bool>("dispatching");
    QTest::newRow("no time limit") << int(TVrexComms::kNoTimeLimit) << true;
    QTest::newRow("long time limit") << 600 << true;
    QTest::newRow("wait without dispatching") << 600 << false;
}

void TestPortBackends::vanishedPortEndsTransaction()
{
    // The adapter is unplugged while a request waits for its reply: the
    // wait ends with the failure result long before its time runs out.
    QFETCH(int, timeout);
    QFETCH(bool, dispatching);
    SimPty peer;
    QVERIFY(peer.open());
    TVrexComms comms;
    comms.portName = peer.slavePath();
    comms.BaudRate = 230400;
    QVERIFY(comms.OpenComm());
    TRxCondition set;
    armAckWait(comms, set, static_cast<uint16_t>(timeout));
    QVERIFY(!peer.read(2000).isEmpty());
    QTimer::singleShot(200, [&] { peer.close(); });
    QElapsedTimer waited;
    waited.start();
    int result = -1;
    if (dispatching) {
        result = comms.WaitForResult();
    } else {
        // No events run in this wait: the loss is seen by the wait itself.
        QTest::qWait(400);
        result = comms.WaitForResult_T();
    }
    QCOMPARE(result, 0);
    QVERIFY2(waited.elapsed() < 30000, "the wait ran until its time limit");
    CORVANE_TRY_VERIFY(comms.portWasLost(), 10000);
    comms.DetachCond();
    // Later requests fail at once; closing never hangs.
    QVERIFY(!comms.SendCommData(reinterpret_cast<const uint8_t*>("\x01"), 1, TVrexComms::kNoTimeLimit));
    QCOMPARE(comms.WaitForResult(), 0);
    comms.CloseComm();
    QVERIFY(!comms.isOpen());
}
