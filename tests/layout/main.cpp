#include "test_layout.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    return runTestObjects<TestWindowLayout>(argc, argv);
}
