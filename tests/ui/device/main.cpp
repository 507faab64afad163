#include "RunTestObjects.h"
#include "test_device_window.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return runTestObjects<TestDeviceWindow>(argc, argv);
}
