#include <QGuiApplication>
#include <QtTest>

#include "test_imaging.h"

template <typename T>
int run(int argc, char** argv)
{
    T t;
    return QTest::qExec(&t, argc, argv);
}

int main(int argc, char** argv)
{
    // The GIF codec is a plugin; a GUI application makes Qt find it.
    QGuiApplication app(argc, argv);
    int status = 0;
    status |= run<TestQuantisation>(argc, argv);
    status |= run<TestNoise>(argc, argv);
    status |= run<TestConversion>(argc, argv);
    status |= run<TestPacking>(argc, argv);
    status |= run<TestImageDataBlock>(argc, argv);
    status |= run<TestDecoding>(argc, argv);
    return status;
}
