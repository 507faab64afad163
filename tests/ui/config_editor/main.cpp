#include "test_config_editor.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return runTestObjects<TestGeneralPage, TestUserInterfacePage, TestOccupancyPage, TestConfigurationPage>(argc, argv);
}
