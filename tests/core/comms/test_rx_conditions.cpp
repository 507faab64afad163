#include "test_comms.h"

#include "core/comms/CommsByteUtils.h"
#include "core/comms/TRxCondition.h"

#include <QtTest>

namespace {
// Feeds bytes the way the component does: conditions are scanned until one
// has its start and end, then only counted.
int feed(TRxCondition& set, const QByteArray& bytes)
{
    int startEnd = -1;
    for (char c : bytes) {
        if (startEnd == -1)
            startEnd = set.CheckConditions(static_cast<uint8_t>(c));
        else
            set.UpdateCharCounts();
    }
    return startEnd;
}
} // namespace

void TestRxConditions::startBytes_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("started");
    QTest::newRow("sequence AB on A,B") << QByteArray("AB") << 1 << QByteArray("AB") << true;
    QTest::newRow("sequence AB on A,A,B is not retried") << QByteArray("AB") << 1 << QByteArray("AAB") << false;
    QTest::newRow("sequence AB after noise") << QByteArray("AB") << 1 << QByteArray("xAB") << true;
    QTest::newRow("any-of ACK") << QByteArray("\x06\x15") << 0 << QByteArray("\x06") << true;
    QTest::newRow("any-of NAK") << QByteArray("\x06\x15") << 0 << QByteArray("zz\x15") << true;
    QTest::newRow("any-of neither") << QByteArray("\x06\x15") << 0 << QByteArray("\x01\x02") << false;
}

void TestRxConditions::startBytes()
{
    QFETCH(QByteArray, start);
    QFETCH(int, mode);
    QFETCH(QByteArray, input);
    QFETCH(bool, started);
    TRxCondition set;
    set.PrepRxBuffAdd(start.size(), reinterpret_cast<const uint8_t*>(start.constData()), mode, 0, nullptr, 0, 0, 1, 0);
    feed(set, input);
    QCOMPARE(set.GetConditionPtr(1)->gotstart, started);
    QCOMPARE(set.CheckRxChars(1), started);
}

void TestRxConditions::countsSplitAroundMessage()
{
    // Start S, no end, post 5: complete on the fifth byte after S; what came
    // before S counts as pre bytes.
    TRxCondition set;
    const uint8_t s = 'S';
    set.PrepRxBuffAdd(1, &s, 0, 0, nullptr, 0, 0, 1, 5);
    feed(set, "xyS1234");
    QVERIFY(!set.CheckRxChars(1));
    feed(set, "5");
    QVERIFY(set.CheckRxChars(1));
    const TRxConditionItem* c = set.GetConditionPtr(1);
    QCOMPARE(c->prechrs, uint16_t(2));
    QCOMPARE(c->msgchrs, uint16_t(1));
    QCOMPARE(c->postchrs, uint16_t(5));

    // With end bytes: the message runs up to the last end byte, which is a post byte.
    TRxCondition framed;
    const uint8_t stx = 0x02, etx = 0x03;
    framed.PrepRxBuffAdd(1, &stx, 0, 1, &etx, 0, 0, 2, 1);
    feed(framed, QByteArray("\x02\x03") + "ab\x03");
    QVERIFY(framed.CheckRxChars(1));
    QCOMPARE(framed.GetConditionPtr(1)->msgchrs, uint16_t(4)); // the early 0x03 is a message byte: mid not yet reached
    QCOMPARE(framed.GetConditionPtr(1)->postchrs, uint16_t(1));
}

void TestRxConditions::limitsOfTheSet()
{
    TRxCondition set;
    const uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 11; ++i)
        set.PrepRxBuffAdd(8, bytes, 1, 8, bytes, 1, 0, 1, 0);
    QCOMPARE(set.Cond_count, uint16_t(10));
    QCOMPARE(set.GetConditionPtr(1)->nstart, uint16_t(5));
    QCOMPARE(set.GetConditionPtr(1)->nend, uint16_t(5));
    QVERIFY(set.GetConditionPtr(10) != nullptr);
    QVERIFY(set.GetConditionPtr(11) == nullptr);
    QVERIFY(set.GetConditionPtr(0) == nullptr);
    QVERIFY(!set.CheckRxChars(11));

    // A condition without start bytes never starts.
    TRxCondition none;
    none.PrepRxBuffAdd(0, nullptr, 0, 0, nullptr, 0, 0, 0, 0);
    feed(none, "anything");
    QVERIFY(!none.CheckRxChars(1));
}

void TestRxConditions::resetKeepsDefinition()
{
    TRxCondition set;
    const uint8_t ack = 0x06;
    set.PrepRxBuffAdd(1, &ack, 0, 0, nullptr, 0, 0, 1, 0);
    feed(set, "\x06");
    QVERIFY(set.CheckRxChars(1));
    set.PrepRxBuffResetFlags();
    QVERIFY(!set.CheckRxChars(1));
    const TRxConditionItem* c = set.GetConditionPtr(1);
    QCOMPARE(c->prechrs + c->msgchrs + c->postchrs, 0);
    QCOMPARE(c->startchr[0], uint8_t(0x06));
    QCOMPARE(c->minmid, uint16_t(1));
    feed(set, "\x06");
    QVERIFY(set.CheckRxChars(1));
}

void TestRxConditions::bccCheck_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("st");
    QTest::addColumn<int>("en");
    QTest::addColumn<int>("result");
    QTest::newRow("01 02 03 then 00") << QByteArray("\x01\x02\x03\x00", 4) << 0 << 2 << 1;
    QTest::newRow("01 02 03 then 01") << QByteArray("\x01\x02\x03\x01", 4) << 0 << 2 << 0;
    QTest::newRow("inner range") << QByteArray("\xff\x0f\xf0\xff", 4) << 1 << 2 << 1;
    QTest::newRow("empty range compares with 0") << QByteArray("\x00\x00", 2) << 1 << 0 << 1;
}

void TestRxConditions::bccCheck()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, st);
    QFETCH(int, en);
    QFETCH(int, result);
    QCOMPARE(BCC_Check(reinterpret_cast<const uint8_t*>(bytes.constData()), st, en), result);
}

void TestRxConditions::findChar_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("result");
    QTest::newRow("10 then any") << QByteArray("\x00\x10\x41\x00", 4) << 0x10 << int('*') << 3 << 3;
    QTest::newRow("exact pair") << QByteArray("\x10\x40\x10\x41\x00", 5) << 0x10 << 0x41 << 4 << 4;
    QTest::newRow("no pair") << QByteArray("\x10\x40\x00", 3) << 0x10 << 0x41 << 2 << 0;
    QTest::newRow("n is 0") << QByteArray("\x10\x41", 2) << 0x10 << 0x41 << 0 << 0;
}

void TestRxConditions::findChar()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, n);
    QFETCH(int, result);
    QCOMPARE(int(Find_Char(reinterpret_cast<const uint8_t*>(bytes.constData()), first, second, n)), result);
}

void TestRxConditions::byteMoveTerminates()
{
    const uint8_t src[3] = {7, 8, 9};
    uint8_t dest[5] = {1, 1, 1, 1, 1};
    Byte_Move(src, dest, 3, true);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(dest), 5), QByteArray("\x07\x08\x09\x00\x01", 5));
    uint8_t plain[4] = {1, 1, 1, 1};
    Byte_Move(src, plain, 2, false);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(plain), 4), QByteArray("\x07\x08\x01\x01", 4));
}

void TestRxConditions::endsOnItsLastByte_data()
{
    // A set that ends on its last byte is handed over without waiting for the
    // line to go quiet; one that counts bytes after its end must wait, or a
    // reply longer than asked for would be cut instead of refused.
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("post");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("endsOnLastByte");
    QTest::newRow("ACK") << QByteArray("\x06") << QByteArray() << 1 << 0 << QByteArray("\x06") << true;
    QTest::newRow("ACK after a stray byte")
        << QByteArray("\x06") << QByteArray() << 1 << 0 << QByteArray("\x01\x06") << true;
    QTest::newRow("terminated line") << QByteArray("$") << QByteArray("\r") << 1 << 1 << QByteArray("$ok\r") << true;
    QTest::newRow("terminator and a check byte")
        << QByteArray("$") << QByteArray("\r") << 1 << 2 << QByteArray("$ok\r!") << false;
    QTest::newRow("frame of known length") << QByteArray("\x01") << QByteArray() << 1 << 3
                                           << QByteArray("\x01"
                                                         "abc")
                                           << false;
}

void TestRxConditions::endsOnItsLastByte()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, end);
    QFETCH(int, mid);
    QFETCH(int, post);
    QFETCH(QByteArray, reply);
    QFETCH(bool, endsOnLastByte);
    TRxCondition set;
    set.PrepRxBuffAdd(uint16_t(start.size()), reinterpret_cast<const uint8_t*>(start.constData()), 1,
                      uint16_t(end.size()), reinterpret_cast<const uint8_t*>(end.constData()), 1, 0, uint16_t(mid),
                      uint16_t(post));
    QCOMPARE(set.endsOnItsLastByte(), endsOnLastByte);
    feed(set, reply.chopped(1));
    QVERIFY(!set.CheckRxChars(1));
    feed(set, reply.right(1));
    QVERIFY2(set.CheckRxChars(1), "the reply's last byte completes it");

    // The protocol's sets: a command or a write waits for ACK or NAK only
    // (a reply frame there never completes); a read counts its frame's bytes.
    TRxCondition command;
    for (uint8_t b : {uint8_t(0x06), uint8_t(0x15)})
        command.PrepRxBuffAdd(1, &b, 0, 0, nullptr, 0, 0, 1, 0);
    const uint8_t frameStart = 0x01;
    command.PrepRxBuffAdd(1, &frameStart, 0, 0, nullptr, 0, 0, 9, 0);
    QVERIFY(command.endsOnItsLastByte());
    TRxCondition read;
    read.PrepRxBuffAdd(1, &frameStart, 0, 0, nullptr, 0, 0, 1, 128 + 11);
    QVERIFY(!read.endsOnItsLastByte());
    read.PrepRxBuffAdd(1, &frameStart, 0, 0, nullptr, 0, 0, 1, 0);
    QVERIFY2(!read.endsOnItsLastByte(), "one condition that counts on is enough to wait");
}
