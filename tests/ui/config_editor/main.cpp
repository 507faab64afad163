#include "test_config_editor.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return Run_Test_Objects<TestGeneralPage, TestUserInterfacePage, TestOccupancyPage, TestConfigurationPage>(argc,
                                                                                                              argv);
}
