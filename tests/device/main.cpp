#include <QtTest>

#include "test_device.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestBLcomms t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestDiscovery t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
