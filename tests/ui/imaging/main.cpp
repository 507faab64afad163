#include "test_images.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return runTestObjects<TestImageImport, TestImagesPage, TestImageCommands, TestAddImages>(argc, argv);
}
