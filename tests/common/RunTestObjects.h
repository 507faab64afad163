#pragma once
// One test executable per subsystem runs several test classes in turn; the
// exit status is non-zero if any of them failed.

#include <QTest>

template <typename Test> int Run_Test_Object(int argc, char** argv)
{
    Test t;
    return QTest::qExec(&t, argc, argv);
}

template <typename... Tests> int Run_Test_Objects(int argc, char** argv)
{
    int status = 0;
    ((status |= Run_Test_Object<Tests>(argc, argv)), ...);
    return status;
}
