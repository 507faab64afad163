#include <QtTest>

#include "test_comms.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestRxConditions t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestPortRules t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestVrexComms t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
