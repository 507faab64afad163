#include "test_cli.h"

#include "RunTestObjects.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // The fixtures encode PNG pictures, which needs Qt's image plug-ins.
    QGuiApplication app(argc, argv);
    return runTestObjects<TestCli, TestCommandLines, TestInfoJson, TestDiff, TestOutputs, TestFileSafety,
                          TestSimReadiness>(argc, argv);
}
