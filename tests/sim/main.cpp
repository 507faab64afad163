#include <QtTest>

#include "test_sim.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        TestVirtualController t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestRcSimProgram t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
