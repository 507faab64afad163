#include "test_images.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return Run_Test_Objects<TestImageImport, TestImagesPage, TestImageCommands, TestAddImages>(argc, argv);
}
