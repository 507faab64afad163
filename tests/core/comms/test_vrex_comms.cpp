#include "EventWait.h"
#include "test_comms.h"

#include "core/comms/ECommsError.h"
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"
#include "sim/lib/SimPty.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QtTest>

#include <memory>

// Every test here runs the real component on a real pseudo-terminal; the
// test plays the other end of the line with raw bytes.
namespace {
std::unique_ptr<SimPty> peer;
std::unique_ptr<TVrexComms> comms;

void openComms(uint16_t rxBufferSize = 256)
{
    comms = std::make_unique<TVrexComms>();
    comms->portName = peer->slavePath();
    comms->BaudRate = 230400;
    comms->RxBufferSize = rxBufferSize;
    QVERIFY(comms->OpenComm());
}

void addStart(TRxCondition& set, uint8_t start, uint16_t mid, uint16_t post)
{
    set.PrepRxBuffAdd(1, &start, 0, 0, nullptr, 0, 0, mid, post);
}

// What the component wrote, read until count bytes are in or a generous
// deadline has passed.
QByteArray fromComponent(int count)
{
    QByteArray out;
    const QDeadlineTimer deadline(10000);
    while (out.size() < count && !deadline.hasExpired())
        out += peer->read(50);
    return out;
}

// The peer's bytes are on the line before the wait is armed; the component
// sees them only once the wait dispatches their delivery.
int receive(TRxCondition& set, const QByteArray& bytes, uint16_t timeout = 50)
{
    comms->AttachCond(&set);
    comms->ClearFlags();
    if (!bytes.isEmpty())
        peer->writeAll(bytes);
    comms->SendCommData(nullptr, 0, timeout);
    return comms->WaitForResult();
}
} // namespace

void TestVrexComms::init()
{
    peer = std::make_unique<SimPty>();
    QString error;
    QVERIFY2(peer->open(&error), qPrintable(error));
    openComms();
}

void TestVrexComms::cleanup()
{
    if (comms)
        comms->DetachCond();
    comms.reset();
    peer.reset();
}

void TestVrexComms::ringBufferKeepsFirstBytes()
{
    comms.reset();
    openComms(4);
    TRxCondition set;
    addStart(set, 0x66, 1, 0); // the sixth byte: the condition step sees every byte
    QCOMPARE(receive(set, QByteArray("\x11\x22\x33\x44\x55\x66")), 1);
    QByteArray kept;
    uint8_t ch = 0;
    while (comms->GetNextChar(ch))
        kept.append(static_cast<char>(ch));
    QCOMPARE(kept, QByteArray("\x11\x22\x33"));
    comms->DetachCond();
}

void TestVrexComms::firstAddedConditionWins()
{
    // Both conditions are satisfied by the same bytes; the first added is reported.
    TRxCondition set;
    addStart(set, 'a', 1, 2);
    addStart(set, 'a', 1, 1);
    QCOMPARE(receive(set, "abc"), 1);
    QVERIFY(set.CheckRxChars(2) == false); // it never saw the start: the scan stopped at item 1
    comms->DetachCond();

    TRxCondition reversed;
    addStart(reversed, 'x', 1, 0);
    addStart(reversed, 'a', 1, 0);
    QCOMPARE(receive(reversed, "ax"), 2);
    comms->DetachCond();
}

void TestVrexComms::completedScanStartsNoOtherCondition()
{
    TRxCondition set;
    addStart(set, 'A', 1, 2);
    addStart(set, 'B', 1, 0);
    QCOMPARE(receive(set, "ABC"), 1);
    QVERIFY(!set.GetConditionPtr(2)->gotstart);
    // The byte that completed item 1 is not offered to item 2 at all.
    QCOMPARE(set.GetConditionPtr(2)->prechrs, uint16_t(2));
    comms->DetachCond();
}

void TestVrexComms::messageCountAboveOneNeverCompletes()
{
    // Without end bytes only the start byte is a message byte: mid 9 cannot be reached.
    TRxCondition set;
    addStart(set, 0x01, 9, 0);
    QCOMPARE(receive(set, QByteArray(20, '\x01'), 1), 0);
    QCOMPARE(set.GetConditionPtr(1)->msgchrs, uint16_t(1));
    comms->DetachCond();
}

void TestVrexComms::getReply_data()
{
    QTest::addColumn<int>("pre");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("post");
    QTest::addColumn<int>("bufsize");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("message and everything after") << 0 << -1 << -1 << 16 << QByteArray("Sab");
    QTest::newRow("with every pre byte") << -1 << -1 << -1 << 16 << QByteArray("XSab");
    QTest::newRow("post part starts at the message") << 0 << 0 << 2 << 16 << QByteArray("Sa");
    QTest::newRow("cut at bufsize") << -1 << -1 << -1 << 2 << QByteArray("XS");
    QTest::newRow("post beyond what arrived") << 0 << 1 << 50 << 64 << QByteArray("Sab");
}

void TestVrexComms::getReply()
{
    QFETCH(int, pre);
    QFETCH(int, mid);
    QFETCH(int, post);
    QFETCH(int, bufsize);
    QFETCH(QByteArray, expected);
    TRxCondition set;
    addStart(set, 'S', 1, 2);
    QCOMPARE(receive(set, "XSab"), 1);
    QByteArray buf(bufsize + 1, '\x7f');
    const int n = comms->GetReply(1, reinterpret_cast<uint8_t*>(buf.data()), bufsize, pre, mid, post);
    QCOMPARE(buf.left(n), expected);
    QCOMPARE(buf.at(n), '\0');
    comms->DetachCond();
}

void TestVrexComms::getReplyWithoutSet()
{
    uint8_t buf[4] = {9, 9, 9, 9};
    QCOMPARE(comms->GetReply(1, buf, 3, 0, -1, -1), uint16_t(0));
    QCOMPARE(buf[0], uint8_t(0));
    QCOMPARE(comms->GetCondition(), -1);
}

void TestVrexComms::timeoutEndsWait_data()
{
    QTest::addColumn<int>("timeout");
    QTest::newRow("0: first tick") << 0;
    QTest::newRow("1: second tick") << 1;
    QTest::newRow("3") << 3;
}

void TestVrexComms::timeoutEndsWait()
{
    QFETCH(int, timeout);
    int timeouts = 0;
    comms->OnTimeOut = [&] { ++timeouts; };
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    QVERIFY(comms->SendCommData(reinterpret_cast<const uint8_t*>("\x01"), 1, static_cast<uint16_t>(timeout)));
    QCOMPARE(comms->WaitForResult(), 0);
    QCOMPARE(comms->RxResult(), 0);
    QCOMPARE(timeouts, 1);
    // A late reply after the timeout changes nothing.
    bool delivered = false;
    comms->OnReceiveData = [&](const uint8_t*, uint16_t) { delivered = true; };
    peer->writeAll(QByteArray("\x06"));
    CORVANE_TRY_VERIFY(delivered, 10000);
    QCOMPARE(comms->RxResult(), 0);
    comms->DetachCond();
}

void TestVrexComms::zeroLengthSendArmsWithoutWriting()
{
    QVERIFY(comms->SendCommData(nullptr, 0, 0));
    QCOMPARE(comms->WaitForResult(), 0);
    QVERIFY(peer->read(50).isEmpty());
}

void TestVrexComms::closeDuringWaitEndsIt()
{
    // No time limit: only the handler that closes the port can end this wait.
    int timeouts = 0;
    comms->OnTimeOut = [&] { ++timeouts; };
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    QVERIFY(comms->SendCommData(reinterpret_cast<const uint8_t*>("hi"), 2, TVrexComms::kNoTimeLimit));
    QTimer::singleShot(300, [] { comms->CloseComm(); });
    const int result = comms->WaitForResult();
    QVERIFY(result < 1);
    QVERIFY(!comms->isOpen());
    QCOMPARE(timeouts, 0);
    QCOMPARE(fromComponent(2), QByteArray("hi"));
}

void TestVrexComms::closedComponentRefusesUntilReopened()
{
    comms->CloseComm();
    QCOMPARE(comms->RxResult(), -1);
    comms->CloseComm(); // on a closed component
    QCOMPARE(comms->RxResult(), -2);
    const uint8_t b = 0x42;
    QVERIFY(!comms->SendCommData(&b, 1, 1));
    QCOMPARE(comms->WaitForResult(), -2);
    QVERIFY(comms->OpenComm());
    QVERIFY(comms->SendCommData(&b, 1, 0));
    QCOMPARE(fromComponent(1), QByteArray("B"));
    QCOMPARE(comms->WaitForResult(), 0);
}

void TestVrexComms::openTwiceThrowsAndKeepsPort()
{
    try {
        comms->OpenComm();
        QFAIL("a second OpenComm must throw");
    } catch (const ECommsError& e) {
        QCOMPARE(e.message(), QStringLiteral("Already have a Comm File Open"));
    }
    QVERIFY(comms->isOpen());
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    QCOMPARE(receive(set, "\x06"), 1);
    comms->DetachCond();
}

void TestVrexComms::openFailureKeepsReason()
{
    TVrexComms second;
    second.portName = peer->slavePath();
    QVERIFY(!second.OpenComm());
    QCOMPARE(second.lastOpenFailure(), TPortOpenFailure::Busy);
    QVERIFY(!second.isOpen());

    TVrexComms missing;
    missing.portName = QStringLiteral("/dev/corvane-no-such-port");
    QVERIFY(!missing.OpenComm());
    QCOMPARE(missing.lastOpenFailure(), TPortOpenFailure::Missing);

    comms->CloseComm();
    QVERIFY(second.OpenComm()); // free again once the first holder closed it
}

void TestVrexComms::nonTerminalIsRefused()
{
    TVrexComms c;
    c.portName = QStringLiteral("/dev/null");
    QVERIFY_THROWS_EXCEPTION(ECommsError, c.OpenComm());
    QVERIFY(!c.isOpen());
    QVERIFY_THROWS_EXCEPTION(ECommsError, TVrexComms::CheckPort(QStringLiteral("/dev/null")));
    QVERIFY(!TVrexComms::CheckPort(QStringLiteral("/dev/corvane-no-such-port")));
    QVERIFY(!TVrexComms::CheckPort(peer->slavePath())); // held by the component
    comms->CloseComm();
    QVERIFY(TVrexComms::CheckPort(peer->slavePath()));
}

void TestVrexComms::waitWithoutDispatchStillSeesReply()
{
    TRxCondition set;
    addStart(set, 0x15, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    peer->writeAll(QByteArray("\x15"));
    QVERIFY(comms->SendCommData(nullptr, 0, 50));
    QCOMPARE(comms->WaitForResult_T(), 1);
    comms->ClearFlags();
    QVERIFY(comms->SendCommData(nullptr, 0, 1));
    QCOMPARE(comms->WaitForResult_T(), 0);
    comms->DetachCond();
}

void TestVrexComms::receiveMsgEventRestartsScan()
{
    QByteArray seen;
    QList<int> messages;
    comms->OnReceiveData = [&](const uint8_t* b, uint16_t n) { seen.append(reinterpret_cast<const char*>(b), n); };
    comms->OnReceiveMsg = [&](int c) { messages << c; };
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    QVERIFY(comms->SendCommData(nullptr, 0, 5));
    peer->writeAll(QByteArray("\x06x\x06"));
    QTRY_COMPARE(seen.size(), 3);
    QCOMPARE(messages, QList<int>({1, 1}));
    comms->DetachCond();
}

void TestVrexComms::putCharWritesOneByte()
{
    QVERIFY(comms->PutChar(0x5A));
    QCOMPARE(fromComponent(1), QByteArray("Z"));
    comms->CloseComm();
    QVERIFY(!comms->PutChar(0x5A));
}

void TestVrexComms::readIntervalExtremesDeliver_data()
{
    QTest::addColumn<uint>("interCharTimeOut");
    QTest::newRow("0xFFFFFFFF: hand over what is there") << 0xFFFFFFFFu;
    QTest::newRow("1 ms") << 1u;
}

void TestVrexComms::readIntervalExtremesDeliver()
{
    // 0xFFFFFFFF is the one interval that means "do not wait for more bytes".
    QFETCH(uint, interCharTimeOut);
    comms.reset();
    comms = std::make_unique<TVrexComms>();
    comms->portName = peer->slavePath();
    comms->InterCharTimeOut = interCharTimeOut;
    QVERIFY(comms->OpenComm());
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    QCOMPARE(receive(set, "\x06", 20), 1);
    comms->DetachCond();
}

void TestVrexComms::stalledWriteEndsTransaction_data()
{
    QTest::addColumn<int>("timeout");
    QTest::addColumn<bool>("closeDuringWrite");
    QTest::newRow("the reply time runs out") << 3 << false;
    QTest::newRow("no time limit: the stall ends it") << int(TVrexComms::kNoTimeLimit) << false;
    QTest::newRow("a handler closes the port") << int(TVrexComms::kNoTimeLimit) << true;
}

void TestVrexComms::stalledWriteEndsTransaction()
{
    // Nobody reads the peer: the terminal takes a few kilobytes, then no more.
    QFETCH(int, timeout);
    QFETCH(bool, closeDuringWrite);
    const QByteArray frame(65535, '\x5a');
    int ticksDuringSend = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticksDuringSend; });
    ticker.start(20);
    if (closeDuringWrite)
        QTimer::singleShot(300, [] { comms->CloseComm(); });
    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    QVERIFY(!comms->SendCommData(reinterpret_cast<const uint8_t*>(frame.constData()), 65535,
                                 static_cast<uint16_t>(timeout)));
    ticker.stop();
    QVERIFY(ticksDuringSend > 0); // the event loop kept running while the write waited
    const int result = comms->WaitForResult();
    comms->DetachCond();
    if (closeDuringWrite) {
        QVERIFY(result < 1);
        QVERIFY(!comms->isOpen());
        return;
    }
    QCOMPARE(result, 0);

    // Nothing of the stalled frame follows later: once the peer has taken
    // what was on the line, the next request is all it sees.
    while (!peer->read(100).isEmpty()) { }
    const QByteArray next("\x01\x0c");
    comms->AttachCond(&set);
    comms->ClearFlags();
    QVERIFY(comms->SendCommData(reinterpret_cast<const uint8_t*>(next.constData()), 2, 50));
    QCOMPARE(fromComponent(2), next);
    peer->writeAll(QByteArray("\x06"));
    QCOMPARE(comms->WaitForResult(), 1);
    comms->DetachCond();
    QVERIFY(peer->read(100).isEmpty());
}

void TestVrexComms::traceShowsTrafficInHex()
{
    struct Captured {
        QString category;
        QString text;
    };
    static QList<Captured> captured;
    captured.clear();
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
              captured.append({QString::fromLatin1(context.category), text});
          });
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.comms.debug=true"));

    TRxCondition set;
    addStart(set, 0x06, 1, 0);
    comms->AttachCond(&set);
    comms->ClearFlags();
    const uint8_t request[3] = {0x01, 0x0c, 0xab};
    QVERIFY(comms->SendCommData(request, 3, 50));
    QCOMPARE(fromComponent(3), QByteArray("\x01\x0c\xab"));
    peer->writeAll(QByteArray("\x06"));
    QCOMPARE(comms->WaitForResult(), 1);
    comms->DetachCond();

    QLoggingCategory::setFilterRules(QStringLiteral("corvane.comms.debug=false"));
    qInstallMessageHandler(previous);
    QStringList lines;
    for (const Captured& m : captured) {
        QCOMPARE(m.category, QStringLiteral("corvane.comms"));
        lines << m.text;
    }
    const QString port = peer->slavePath();
    const QRegularExpression tx(
        QStringLiteral("^\\d+\\.\\d ms %1 tx 3: 01 0c ab$").arg(QRegularExpression::escape(port)));
    const QRegularExpression rx(QStringLiteral("^\\d+\\.\\d ms %1 rx 1: 06$").arg(QRegularExpression::escape(port)));
    QVERIFY2(!lines.filter(tx).isEmpty(), qPrintable(lines.join('\n')));
    QVERIFY2(!lines.filter(rx).isEmpty(), qPrintable(lines.join('\n')));
}
