#include "test_sim.h"

#include "RunTestObjects.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return runTestObjects<TestVirtualController, TestRcSimProgram>(argc, argv);
}
