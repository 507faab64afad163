#include "test_comms.h"

#include "RunTestObjects.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return runTestObjects<TestRxConditions, TestPortRules, TestVrexComms, TestPortBackends, TestErrors>(argc, argv);
}
