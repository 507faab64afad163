#include "test_model.h"

#include "RunTestObjects.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return runTestObjects<TestDeviceConfig, TestProjectModel>(argc, argv);
}
