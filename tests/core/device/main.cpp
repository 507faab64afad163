#include "test_device.h"

#include "RunTestObjects.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    return Run_Test_Objects<TestBLcomms, TestDiscovery, TestDeviceOperations, TestFirmwareOperations,
                            TestDeviceResults>(argc, argv);
}
