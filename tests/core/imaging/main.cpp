#include "test_imaging.h"

#include "RunTestObjects.h"

#include "core/imaging/GreyLevel.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // The GIF codec is a plugin; a GUI application makes Qt find it.
    QGuiApplication app(argc, argv);
    // The second run (test_imaging_grey_exact) sends every grey pixel through
    // the exact sum: golden and agreement results must not change.
    const GreyAlwaysExact exact(qEnvironmentVariableIntValue("CORVANE_TEST_GREY_ALWAYS_EXACT") != 0);
    return runTestObjects<TestQuantisation, TestGreyLevel, TestAgreement, TestNoise, TestConversion, TestPacking,
                          TestImageDataBlock, TestDecoding>(argc, argv);
}
