#include "test_comms.h"

#include "RunTestObjects.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return Run_Test_Objects<TestRxConditions, TestPortRules, TestVrexComms, TestPortBackends, TestErrors>(argc, argv);
}
