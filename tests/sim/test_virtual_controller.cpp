#include "test_sim.h"

#include "RawClient.h"
#include "core/model/Fletcher.h"
#include "sim/lib/VirtualController.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A request frame built here, independently of the protocol code.
QByteArray frame(uint8_t command, uint32_t address, const QByteArray& data)
{
    QByteArray f(10, '\0');
    f[0] = 0x01;
    f[1] = static_cast<char>(command);
    for (int i = 0; i < 4; ++i)
        f[2 + i] = static_cast<char>(address >> (8 * i));
    f[6] = static_cast<char>(data.size() >> 8);
    f[7] = static_cast<char>(data.size() & 0xFF);
    f.resize(12);
    Fletcher_Check_Bytes(reinterpret_cast<uint8_t*>(f.data()), 0, 8);
    f.resize(10);
    if (!data.isEmpty()) {
        f += data;
        f.resize(f.size() + 2);
        Fletcher_Check_Bytes(reinterpret_cast<uint8_t*>(f.data()), 10, static_cast<std::size_t>(data.size()));
    }
    return f;
}

const QByteArray kAck("\x06");
const QByteArray kNak("\x15");
} // namespace

void TestVirtualController::badCheckBytesAreRefused_data()
{
    QTest::addColumn<int>("flipAt");
    QTest::addColumn<bool>("headerOk");
    QTest::newRow("header check byte") << 8 << false;
    QTest::newRow("address byte") << 3 << false;
    QTest::newRow("data byte") << 11 << true;
    QTest::newRow("data check byte") << 14 << true;
}

void TestVirtualController::badCheckBytesAreRefused()
{
    QFETCH(int, flipAt);
    QFETCH(bool, headerOk);
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    QVERIFY(c.ok());
    QByteArray f = frame(200, 0x80000, "abc");
    f[flipAt] = static_cast<char>(f[flipAt] ^ 0x40);
    QVERIFY(c.send(f));
    QCOMPARE(c.receive(), kNak);
    // A host resends as soon as the NAK is in: the resend is a frame of its
    // own, not taken for the rest of the refused one.
    QVERIFY(c.send(frame(200, 0x80000, "abc")));
    QCOMPARE(c.receive(), kAck);
    QCOMPARE(sim.memory(0x80000, 3), QByteArray("abc"));
    const auto frames = sim.frames();
    QCOMPARE(frames.size(), std::size_t(2));
    QCOMPARE(frames[0].headerOk, headerOk);
    QCOMPARE(frames[0].reply, QStringLiteral("NAK"));
    QCOMPARE(frames[0].bytes, f); // the whole refused frame, nothing of the resend
    QCOMPARE(frames[1].bytes, frame(200, 0x80000, "abc"));
}

void TestVirtualController::memoryOutsideRegionsIsRefused_data()
{
    QTest::addColumn<uint>("address");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("last configuration byte") << 1407u << 1 << true;
    QTest::newRow("past the configuration block") << 1407u << 2 << false;
    QTest::newRow("between regions") << 0x36FFFu << 1 << false;
    QTest::newRow("firmware area") << 0x37000u << 512 << true;
    QTest::newRow("end of the firmware area") << 0x37000u + 266240u - 512u << 512 << true;
    QTest::newRow("past the firmware area") << 0x37000u + 266240u - 511u << 512 << false;
    QTest::newRow("end of the image store") << 0x80000u + 3657728u - 4u << 4 << true;
    QTest::newRow("past the image store") << 0x80000u + 3657728u << 1 << false;
    QTest::newRow("address wraps") << 0xFFFFFFFFu << 2 << false;
}

void TestVirtualController::memoryOutsideRegionsIsRefused()
{
    QFETCH(uint, address);
    QFETCH(int, length);
    QFETCH(bool, accepted);
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    const QByteArray data(length, '\x42');
    QVERIFY(c.send(frame(200, address, data)));
    QCOMPARE(c.receive(), accepted ? kAck : kNak);
    QCOMPARE(sim.memory(address, length), accepted ? data : QByteArray());
}

void TestVirtualController::cutShortFrameIsDroppedAndLineResyncs()
{
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    QVERIFY(c.send(frame(200, 0, "hello").left(12)));
    // Once the line has been quiet for the frame gap, the part frame is dropped unanswered.
    QVERIFY(sim.waitForFrames(1, 30000));
    QCOMPARE(sim.frames()[0].reply, QStringLiteral("none"));
    QVERIFY(c.pending().isEmpty());
    QVERIFY(c.send(QByteArray("\x33\x44") + frame(200, 0, "hello")));
    QCOMPARE(c.receive(), kAck);
    const auto frames = sim.frames();
    QCOMPARE(frames.size(), std::size_t(2));
    QVERIFY(!frames[0].complete);
    QCOMPARE(frames[0].reply, QStringLiteral("none"));
    QVERIFY(frames[1].complete);
    QCOMPARE(sim.memory(0, 5), QByteArray("hello"));
}

void TestVirtualController::readRequestWithoutTrailingBytesIsAnswered()
{
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    QVERIFY(c.send(frame(204, 0, {})));
    const QByteArray reply = c.receive(140);
    QCOMPARE(reply.size(), 140);
    QCOMPARE(Fletcher_Sum(reinterpret_cast<const uint8_t*>(reply.constData()), 0, 10), uint16_t(0));
    QCOMPARE(Fletcher_Sum(reinterpret_cast<const uint8_t*>(reply.constData()), 10, 130), uint16_t(0));
    // With them, the reply comes without waiting for the line to go quiet.
    QVERIFY(c.send(frame(204, 128, {}) + QByteArray("\x01\x01")));
    QCOMPARE(c.receive(140).size(), 140);
    QCOMPARE(sim.frames().back().bytes.size(), 12);
}

void TestVirtualController::commandsAreRecorded()
{
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    for (uint8_t cmd : {uint8_t(12), uint8_t(14), uint8_t(20)}) {
        QVERIFY(c.send(frame(cmd, 0x00C916B5, {})));
        QCOMPARE(c.receive(), kAck);
    }
    QVERIFY(c.send(frame(77, 0, {})));
    QCOMPARE(c.receive(), kNak);
    const auto frames = sim.frames();
    QCOMPARE(frames.size(), std::size_t(4));
    QCOMPARE(frames[1].command, uint8_t(14));
    QCOMPARE(frames[1].address, uint32_t(0x00C916B5));
    QCOMPARE(frames[3].reply, QStringLiteral("NAK"));
    QCOMPARE(sim.resetCount(), 1);
}

void TestVirtualController::startBlockMustFit()
{
    SimOptions o;
    o.initialConfig = QByteArray(1407, 'c');
    VirtualController bad(o);
    QString error;
    QVERIFY(!bad.start(&error));
    QVERIFY(error.contains("1408"));

    o.initialConfig = QByteArray(1408, 'c');
    VirtualController good(o);
    QVERIFY(good.start());
    QCOMPARE(good.region(0), o.initialConfig);
    QCOMPARE(good.region(2), QByteArray(3657728, '\xff'));
}

void TestVirtualController::dumpHoldsMemoryAndFrames()
{
    VirtualController sim;
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    QVERIFY(c.send(frame(200, 0x37000, "FW")));
    QCOMPARE(c.receive(), kAck);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(sim.writeDump(dir.path() + "/out", &error), qPrintable(error));
    QFile fw(dir.path() + "/out/firmware.bin");
    QVERIFY(fw.open(QIODevice::ReadOnly));
    const QByteArray bytes = fw.readAll();
    QCOMPARE(bytes.size(), 266240);
    QCOMPARE(bytes.left(3), QByteArray("FW\xff"));
    QFile json(dir.path() + "/out/frames.json");
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
    const QJsonArray frames = root["frames"].toArray();
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].toObject()["bytes"].toString(), QString::fromLatin1(frame(200, 0x37000, "FW").toHex()));
    QCOMPARE(frames[0].toObject()["reply"].toString(), QStringLiteral("ACK"));
    QCOMPARE(root["regions"].toArray().size(), 3);
}

void TestVirtualController::lineRateKeepsTheProtocol()
{
    SimOptions o;
    o.lineRate = true;
    VirtualController sim(o);
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    const QByteArray data(512, '\x5a');
    QVERIFY(c.send(frame(200, 0x80000, data)));
    QCOMPARE(c.receive(), kAck);
    QVERIFY(c.send(frame(204, 0x80000, {}) + QByteArray(2, '\0')));
    const QByteArray reply = c.receive(140);
    QCOMPARE(reply.size(), 140);
    QCOMPARE(reply.mid(10, 128), data.left(128));
}

void TestVirtualController::nthWriteIsRefused()
{
    SimOptions o;
    o.nakWrite = 2;
    VirtualController sim(o);
    QVERIFY(sim.start());
    RawClient c(sim.portName());
    QByteArray replies;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(c.send(frame(200, 0x80000 + i, "x")));
        replies += c.receive();
    }
    QCOMPARE(replies, QByteArray("\x06\x15\x06"));
    QCOMPARE(sim.memory(0x80000, 3), QByteArray("x\xffx"));
}
