#include "test_ui.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    // The program's own application object, so errors escaping an event
    // handler meet the same top-level handler as in the configurator.
    TConfiguratorApplication app(argc, argv);
    return runTestObjects<TestProjectCommands, TestMainWindow, TestDemoSimulator, TestDesktopConventions,
                          TestKeyboardUse, TestWindowPlacement>(argc, argv);
}
