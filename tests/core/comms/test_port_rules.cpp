#include "test_comms.h"

#include "core/comms/PortRules.h"

#include <QtTest>

void TestPortRules::windowsPortName_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("name");
    QTest::newRow("1") << 1 << "COM1";
    QTest::newRow("9") << 9 << "COM9";
    QTest::newRow("10") << 10 << "\\\\.\\COM10";
    QTest::newRow("255") << 255 << "\\\\.\\COM255";
}

void TestPortRules::windowsPortName()
{
    QFETCH(int, port);
    QFETCH(QString, name);
    QCOMPARE(::windowsPortName(port), name);
}

void TestPortRules::readInterval_data()
{
    QTest::addColumn<uint>("baud");
    QTest::addColumn<uint>("interChar");
    QTest::addColumn<uint>("ms");
    QTest::newRow("230400") << 230400u << 0u << 1u;
    QTest::newRow("115200") << 115200u << 0u << 1u;
    QTest::newRow("19200") << 19200u << 0u << 2u;
    QTest::newRow("9600") << 9600u << 0u << 4u;
    QTest::newRow("explicit is kept") << 9600u << 25u << 25u;
    QTest::newRow("speed 0 does not divide by zero") << 0u << 0u << 97u;
}

void TestPortRules::readInterval()
{
    QFETCH(uint, baud);
    QFETCH(uint, interChar);
    QFETCH(uint, ms);
    QCOMPARE(defaultReadIntervalMs(baud, interChar), ms);
}
