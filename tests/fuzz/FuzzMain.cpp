// The libFuzzer entry of one target, chosen at build time by
// CORVANE_FUZZ_TARGET (a function of FuzzTargets.h).

#include "FuzzTargets.h"

#include <QGuiApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The GIF codec is a plugin; a GUI application (without a display) lets
    // Qt find it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    fuzzQuietQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CORVANE_FUZZ_TARGET(data, size);
    return 0;
}
