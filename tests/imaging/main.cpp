#include "test_imaging.h"

#include "RunTestObjects.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // The GIF codec is a plugin; a GUI application makes Qt find it.
    QGuiApplication app(argc, argv);
    return Run_Test_Objects<TestQuantisation, TestAgreement, TestNoise, TestConversion, TestPacking, TestImageDataBlock,
                            TestDecoding>(argc, argv);
}
