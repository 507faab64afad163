#include "EventWait.h"
#include "test_device.h"

#include "SimSession.h"
#include "core/protocol/BLcomms.h"

#include <QBuffer>
#include <QFileInfo>
#include <QtTest>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray lastFrame(const VirtualController& sim)
{
    const auto frames = sim.frames();
    return frames.empty() ? QByteArray() : frames.back().bytes;
}
} // namespace

void TestBLcomms::initTestCase() { }

void TestBLcomms::exampleFramesAsReceived()
{
    SimSession s;
    QVERIFY(s.ok());
    BL_InitBuffers(s.comms, BL::kTxBufferSize);

    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 50), 1);
    QCOMPARE(lastFrame(*s.sim), hex("010C000000000000965C"));

    // Before any data frame the read request's two trailing bytes are zero.
    uint8_t block[128] = {};
    QCOMPARE(BL_ReadBlock(s.comms, BL::kCmdReadMemory, 0x80, nullptr, 0, block, 0, 128, 30), 1);
    QCOMPARE(lastFrame(*s.sim), hex("01CC8000000000000DA4") + hex("0000"));

    const uint8_t data[3] = {0x11, 0x22, 0x33};
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0x80000, data, 3, 30), 1);
    QCOMPARE(lastFrame(*s.sim), hex("01C800000800000382A8112233EEAA"));
    QCOMPARE(s.sim->memory(0x80000, 3), hex("112233"));

    // Afterwards they are what the write left at offsets 10 and 11.
    QCOMPARE(BL_ReadBlock(s.comms, BL::kCmdReadMemory, 0x80, nullptr, 0, block, 0, 128, 30), 1);
    QCOMPARE(lastFrame(*s.sim), hex("01CC8000000000000DA4") + hex("1122"));
    for (const SimFrame& f : s.sim->frames())
        QVERIFY2(f.headerOk && f.dataOk, qPrintable(f.bytes.toHex()));
}

// The bytes a read request inherits come from the frame before it on the
// same connection: a write to one controller leaves another connection's
// read requests as they were.
void TestBLcomms::connectionsKeepTheirOwnFrames()
{
    SimSession a;
    SimSession b;
    QVERIFY(a.ok());
    QVERIFY(b.ok());
    const uint8_t data[3] = {0x11, 0x22, 0x33};
    QCOMPARE(BL_WriteBlock(a.comms, BL::kCmdWriteMemory, 0x80000, data, 3, 30), 1);
    uint8_t block[128] = {};
    QCOMPARE(BL_ReadBlock(b.comms, BL::kCmdReadMemory, 0x80, nullptr, 0, block, 0, 128, 30), 1);
    QCOMPARE(lastFrame(*b.sim), hex("01CC8000000000000DA4") + hex("0000"));
    QCOMPARE(BL_ReadBlock(a.comms, BL::kCmdReadMemory, 0x80, nullptr, 0, block, 0, 128, 30), 1);
    QCOMPARE(lastFrame(*a.sim), hex("01CC8000000000000DA4") + hex("1122"));
}

void TestBLcomms::fullSizeWrite()
{
    SimSession s;
    QVERIFY(s.ok());
    QByteArray data(512, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0x37000 + 512,
                           reinterpret_cast<const uint8_t*>(data.constData()), 512, 30),
             1);
    const QByteArray frame = lastFrame(*s.sim);
    QCOMPARE(frame.size(), 524);
    QCOMPARE(frame.mid(6, 2), hex("0200"));
    QCOMPARE(s.sim->memory(0x37000 + 512, 512), data);

    // Read back in 128-byte blocks, as a retrieve does.
    QByteArray back(512, '\0');
    for (int i = 0; i < 4; ++i)
        QCOMPARE(BL_ReadBlock(s.comms, BL::kCmdReadMemory, 0x37000 + 512 + 128 * i, nullptr, 0,
                              reinterpret_cast<uint8_t*>(back.data()), 128 * i, 128, 30),
                 1);
    QCOMPARE(back, data);
}

void TestBLcomms::writeFromStreamAdvancesIt()
{
    SimSession s;
    QVERIFY(s.ok());
    QByteArray source("abcdefghij");
    QBuffer stream(&source);
    QVERIFY(stream.open(QIODevice::ReadOnly));
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0, &stream, 4, 100), 1);
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 4, &stream, 4, 100), 1);
    QCOMPARE(stream.pos(), qint64(8));
    QCOMPARE(s.sim->memory(0, 8), QByteArray("abcdefgh"));
    // Two bytes left: a write of four must not send stale bytes in their place.
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 8, &stream, 4, 100), 0);
    QCOMPARE(s.sim->frameCount(), 2);
}

void TestBLcomms::badWriteLengthSendsNothing()
{
    SimSession s;
    QVERIFY(s.ok());
    QByteArray big(989, 'x');
    const auto* p = reinterpret_cast<const uint8_t*>(big.constData());
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0, p, 0, 10), 0);
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0, p, 989, 10), 0);
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0x80000, p, 988, 50), 1);
    QCOMPARE(s.sim->frameCount(), 1);
}

void TestBLcomms::readReply_data()
{
    QTest::addColumn<int>("extraBytes");
    QTest::addColumn<bool>("corrupt");
    QTest::addColumn<bool>("copied");
    QTest::newRow("exactly 140 bytes") << 0 << false << true;
    QTest::newRow("141 bytes") << 1 << false << false;
    QTest::newRow("bad data check bytes") << 0 << true << false;
}

void TestBLcomms::readReply()
{
    QFETCH(int, extraBytes);
    QFETCH(bool, corrupt);
    QFETCH(bool, copied);
    SimOptions o;
    o.readReplyExtraBytes = extraBytes;
    o.corruptReadReplies = corrupt;
    SimSession s(o);
    QVERIFY(s.ok());
    QByteArray stored(128, '\0');
    for (int i = 0; i < 128; ++i)
        stored[i] = static_cast<char>(255 - i);
    QVERIFY(s.sim->setMemory(0x80000 + 256, stored));
    QByteArray dest(140, '\x5A');
    QCOMPARE(BL_ReadBlock(s.comms, BL::kCmdReadMemory, 0x80000 + 256, nullptr, 0,
                          reinterpret_cast<uint8_t*>(dest.data()), 6, 128, 30),
             1);
    if (copied) {
        QCOMPARE(dest.mid(6, 128), stored);
        QCOMPARE(dest.left(6), QByteArray(6, '\x5A'));
        QCOMPARE(dest.mid(134), QByteArray(6, '\x5A'));
    } else {
        QCOMPARE(dest, QByteArray(140, '\x5A'));
    }
}

void TestBLcomms::refusalAndSilence_data()
{
    QTest::addColumn<int>("nakWrite");
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<int>("commandResult");
    QTest::addColumn<int>("writeResult");
    QTest::addColumn<int>("writeTimeout"); // ample where an answer is due, short where none comes
    QTest::newRow("NAK of the write") << 1 << 0 << 1 << 2 << 50;
    QTest::newRow("silence") << 0 << 1 << 1 << 0 << 2;
}

void TestBLcomms::refusalAndSilence()
{
    QFETCH(int, nakWrite);
    QFETCH(int, silentAfter);
    QFETCH(int, commandResult);
    QFETCH(int, writeResult);
    QFETCH(int, writeTimeout);
    SimOptions o;
    o.nakWrite = nakWrite;
    o.silentAfter = silentAfter;
    SimSession s(o);
    QVERIFY(s.ok());
    QCOMPARE(BL_Command(s.comms, BL::kCmdFirmwareWriteApp, 201u << 16 | 5813u, 50), commandResult);
    const uint8_t data[2] = {1, 2};
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0x80000, data, 2, static_cast<uint16_t>(writeTimeout)),
             writeResult);
    QCOMPARE(s.sim->memory(0x80000, 2), QByteArray(2, '\xff')); // neither stored anything
    // An unknown command is refused too.
    if (silentAfter == 0)
        QCOMPARE(BL_Command(s.comms, 99, 0, 50), 2);
}

void TestBLcomms::strayStartByte()
{
    SimOptions o;
    o.strayEvery = true;
    SimSession s(o);
    QVERIFY(s.ok());
    // A write waits only for ACK or NAK: the stray byte is a byte before the reply.
    const uint8_t data[1] = {7};
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0, data, 1, 50), 1);
    // A command also registers the reply-frame start: it stops the scan, so the
    // ACK behind it is not recognised and the command ends by timeout.
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 1), 0);
    // A read takes the stray byte as the frame's start: too long, nothing copied.
    uint8_t dest[128] = {};
    QCOMPARE(BL_ReadBlock(s.comms, BL::kCmdReadMemory, 0, nullptr, 0, dest, 0, 128, 30), 1);
    QCOMPARE(dest[0], uint8_t(0));
}

void TestBLcomms::ignoredResets()
{
    SimOptions o;
    o.ignoreResets = 1;
    SimSession s(o);
    QVERIFY(s.ok());
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 1), 0);
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 50), 1);
    QCOMPARE(s.sim->resetCount(), 2);
}

void TestBLcomms::portVanishesMidWait()
{
    SimOptions o;
    o.vanishAfter = 2;
    SimSession s(o);
    QVERIFY(s.ok());
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 50), 1);
    // The terminal closes while this request waits: the wait ends as soon as
    // the component sees the hang-up, which may be before the simulator has
    // finished closing its side.
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 5), 0);
    CORVANE_TRY_VERIFY(s.sim->hasVanished(), 10000);
    const uint8_t data[1] = {1};
    QCOMPARE(BL_WriteBlock(s.comms, BL::kCmdWriteMemory, 0, data, 1, 1), 0);
    s.comms.CloseComm();
    QVERIFY(!s.comms.isOpen());
    // The terminal is gone. Its number may already belong to a terminal that
    // another program (a test running beside this one) made since: only then
    // may the open find something.
    const bool opened = s.comms.OpenComm();
    if (opened || s.comms.lastOpenFailure() != TPortOpenFailure::Missing) {
        QVERIFY2(QFileInfo::exists(s.comms.portName), "the vanished terminal could still be opened");
        s.comms.CloseComm();
    }
    QVERIFY(BL_Command(s.comms, BL::kCmdReset, 0, 1) < 0);
}

void TestBLcomms::closedComponentRefusesUntilReopened()
{
    SimSession s;
    QVERIFY(s.ok());
    s.comms.CloseComm();
    s.comms.CloseComm();
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 10), -2);
    QCOMPARE(s.sim->frameCount(), 0);
    QVERIFY(s.comms.OpenComm());
    QCOMPARE(BL_Command(s.comms, BL::kCmdReset, 0, 50), 1);
    QCOMPARE(s.sim->frameCount(), 1);
}
