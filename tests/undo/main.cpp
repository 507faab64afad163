#include "test_undo.h"

#include "RunTestObjects.h"

#include "ui/app/TConfiguratorApplication.h"

#include <cstring>

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    // Started again by the recovery test as the configurator it kills.
    if (argc == 5 && std::strcmp(argv[1], "--recovery-child") == 0)
        return runRecoveryChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                QString::fromLocal8Bit(argv[4]));
    return runTestObjects<TestUndoCommands, TestRecovery>(argc, argv);
}
