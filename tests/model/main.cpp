#include <QtTest>

#include "test_model.h"

int main(int argc, char** argv)
{
    int status = 0;
    {
        TestDeviceConfig t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestProjectModel t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
