#include "test_shell.h"

#include "RunTestObjects.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return runTestObjects<TestActivityLog, TestGenLib, TestAuxWindows, TestProjectDocument>(argc, argv);
}
