#include "test_device.h"

#include "RunTestObjects.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    return runTestObjects<TestBLcomms, TestDiscovery, TestDeviceOperations, TestFirmwareOperations, TestDeviceResults>(
        argc, argv);
}
