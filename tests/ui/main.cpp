#include "test_ui.h"

#include "ui/app/TConfiguratorApplication.h"

#include <QtTest>

int main(int argc, char** argv)
{
    // The program's own application object, so errors escaping an event
    // handler meet the same top-level handler as in the configurator.
    TConfiguratorApplication app(argc, argv);
    int status = 0;
    {
        TestProjectCommands t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestMainWindow t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestDemoSimulator t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
